// hitjoin file1 file2 [ -or | -and | -remove | -not ]
#include <string>
#include <vector>

#include "hits/hitjoin.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return cv::run_hitjoin(args);
}
