// The combine tool: `hitjoin file1 file2 option`.
#pragma once

#include <span>
#include <string>

namespace cv {

// Runs hitjoin with its command-line arguments (the program name left out):
// loads file1, merges file2 into it by the option ("-and", "-or", "-remove",
// "-not"), saves the result over file1 and prints the hit count on standard
// output. Messages go to standard error. Returns the exit status: 0 after a
// successful run, 1 after a start-up failure, a usage error, a failed read or
// a failed save (file1 then stays as it was, and no count is printed).
int run_hitjoin(std::span<const std::string> args);

}  // namespace cv
