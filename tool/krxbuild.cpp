// krxbuild [-t TABLEDIR] CARDFILE OUTDIR
//
// Builds a database directory from a card file of KRX2 records; the four code
// tables come from TABLEDIR, by default the card file's own directory.
#include <iostream>
#include <string>

#include "entries/dbbuild.h"

int main(int argc, char** argv) {
    std::string tabledir;
    int i = 1;
    if (argc > 2 && std::string(argv[1]) == "-t") {
        tabledir = argv[2];
        i = 3;
    }
    if (argc - i != 2) {
        std::cerr << "usage: krxbuild [-t TABLEDIR] CARDFILE OUTDIR\n";
        return 1;
    }
    const std::string cardfile = argv[i];
    const std::string outdir = argv[i + 1];
    if (cv::krxbuild(cardfile, outdir, tabledir, std::cerr) != 0) return 1;
    std::cout << "krxbuild: database written to " << outdir << '\n';
    return 0;
}
