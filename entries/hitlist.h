// The listing tool: `hitlist SUBFILE`.
#pragma once

#include <span>
#include <string>

namespace cv {

// Runs hitlist with its command-line arguments (the program name left out).
//
// Loads SUBFILE and prints on standard output its history, one line per
// record ("history 1: Starting from full database"), the number of hits
// ("hits: 3"), then one tab-separated line per hit in entry order:
//   rank, entry number, identifier, name text 1, and the entry's three
//   strongest lines (the highest intensities; of equal ones, the first in the
//   entry's line list), each as its d-spacing with four decimals and its
//   intensity, two fields a line.
// An entry with fewer lines has fewer fields; a line whose code has no
// d-spacing is left out. Control characters in a name (a tab would break the
// columns) are shown as blanks.
//
// Messages go to standard error: the usage lines, "error initializing the TARN
// database", "error reading subfile %s", "error reading entry %d" (after the
// library's own line). Returns 0 after a successful run, 1 otherwise.
int run_hitlist(std::span<const std::string> args);

}  // namespace cv
