// krxbuild [-t TABLEDIR] CARDFILE OUTDIR: builds a database directory from a
// card file of KRX2 records; the four code tables come from TABLEDIR, by
// default the card file's own directory.
#include <corvane/builder/build.h>

#include <iostream>
#include <string>

#include "cli/common.h"
#include "cli/tools.h"

namespace corvane::cli {
namespace {

constexpr Tool kKrxbuild = {"krxbuild", "build a database directory from a card file",
                            "\tkrxbuild [-t TABLEDIR] <cardfile> <outdir>\n"
                            "\t\t(the code tables come from TABLEDIR, by default the card file's "
                            "directory)\n"};

}  // namespace

int krxbuild(int argc, char** argv) {
    const auto args = arguments(argc, argv);
    if (const auto status = help_or_version(kKrxbuild, args)) return *status;
    std::string tabledir;
    std::size_t i = 0;
    if (args.size() > 1 && args[0] == "-t") {
        tabledir = args[1];
        i = 2;
    }
    if (args.size() - i != 2) {
        usage_error(kKrxbuild);
        return 1;
    }
    const std::string& cardfile = args[i];
    const std::string& outdir = args[i + 1];
    if (builder::krxbuild(cardfile, outdir, tabledir, std::cerr) != 0) return 1;
    std::cout << "krxbuild: database written to " << outdir << '\n';
    return std::cout.flush() ? 0 : 1;
}

}  // namespace corvane::cli
