// hitmake outfile entry...
#include <string>
#include <vector>

#include "hits/hitmake.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return cv::run_hitmake(args);
}
