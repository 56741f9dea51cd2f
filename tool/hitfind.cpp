// hitfind [-all] [-fields LIST] [-in SUBFILE] outfile string...
#include "entries/hitfind.h"

#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return cv::run_hitfind(args);
}
