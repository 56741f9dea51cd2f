// The subfile maker: `hitmake outfile entry...`.
#pragma once

#include <span>
#include <string>

namespace cv {

// Runs hitmake with its command-line arguments (the program name left out).
// Each entry argument is an entry number ("7") or an inclusive range ("3-7")
// of decimal digits. After start-up the selected entries become the current
// table by a "-and" step on the full database, so the subfile holds the hits
// and the history "Starting from full database" followed by "Match by entries "
// and the selection as sorted, merged runs ("Match by entries 1-4,7"). The hit
// count goes to standard output, messages to standard error:
//   "outfile and at least one entry required"  fewer than two arguments
//   "invalid entry: %s"                        not a number or a rising range
//   "entry out of range: %s (the database has %d entries)"
//   "error initializing the TARN database", "error writing subfile %s"
// Returns 0 after a successful run and 1 otherwise; outfile is written only by
// a successful run (and then replaced whole).
int run_hitmake(std::span<const std::string> args);

}  // namespace cv
