// The text-search tool: `hitfind [-all] [-fields LIST] [-in SUBFILE] OUTFILE STRING...`.
#pragma once

#include <span>
#include <string>

namespace cv {

// Runs hitfind with its command-line arguments (the program name left out).
//
// Searches the name and reference texts of every entry of the current table
// (the whole database after start-up, or SUBFILE's hits with -in) for the
// strings, without regard to case. Any one string is enough; with -all every
// string must occur (each in some selected field). LIST is a comma-separated
// choice of name1, name2, name3, name4, names (all four), authors, journal;
// the default is names. The result is merged into the current table as a
// "-and" step whose history record reads "Match by " and, for example,
// "any of names: quartz, silicon" or "all of name1,authors: quartz, smith"
// (the mode, the fields in that canonical order with "names" for all four, and
// the strings), saved to OUTFILE, and the hit count printed.
//
// Messages go to standard error:
//   "unknown option: %s", "missing value for option %s", "unknown field: %s",
//   "outfile and at least one search string required" (then the usage lines);
//   "error initializing the TARN database", "error reading subfile %s",
//   "error reading entry %d", "error writing subfile %s".
// Returns 0 after a successful run and 1 otherwise; OUTFILE is written only by
// a successful run.
int run_hitfind(std::span<const std::string> args);

}  // namespace cv
