// Start-up: every tool calls cvl_init once, before any other routine.
#pragma once

#include <corvane/setup/library.h>

namespace corvane {

// The database files start-up keeps open, as bits of cvl_init's `open`.
enum DbFile : unsigned {
    kDbKrx2 = 1,   // krx2.dat, fcdrom slot 0
    kDbIndex = 2,  // kelpa.ind
    kDbNames = 4,  // name.lib
    kDbLines = 8,  // di.lib
    kDbRefs = 16,  // ref.lib
    kDbAll = 31,
    kDbNone = 0,
};

// Reads the database location and sizes, opens krx2.dat (a failure only
// warns) and the four KRX1 files, makes every entry a hit of the current table
// and starts the history with "Starting from full database". Returns 0 when
// the database is ready, 1 after its messages otherwise. An entry count the
// hit tables cannot hold (negative or above 250,016) is refused.
//
// A tool that needs only some of the files names them in `open`: the others
// are looked for all the same (cv_findkrx2, cv_findfile), so a missing one
// gives the same messages and status, but are closed again at once and their
// handles stay empty.
int cvl_init(Library& lib, unsigned open = kDbAll);

}  // namespace corvane
