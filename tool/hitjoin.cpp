// hitjoin file1 file2 [ -or | -and | -remove | -not ]
#include "hits/hitjoin.h"

#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return cv::run_hitjoin(args);
}
