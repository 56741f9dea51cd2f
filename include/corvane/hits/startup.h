// Start-up: every tool calls cvl_init once, before any other routine.
#pragma once

#include <corvane/setup/library.h>

namespace corvane {

// Reads the database location and sizes, opens krx2.dat (a failure only
// warns) and the four KRX1 files, makes every entry a hit of the current table
// and starts the history with "Starting from full database". Returns 0 when
// the database is ready, 1 after its messages otherwise. An entry count the
// hit tables cannot hold (negative or above 250,016) is refused.
int cvl_init(Library& lib);

}  // namespace corvane
