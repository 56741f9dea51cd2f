// Hit count, walks through the hits and the history, as the tools see them.
#pragma once

#include <corvane/setup/library.h>

#include <array>

namespace corvane {

// which 0: the hits of the current table, counted afresh; otherwise the
// number of entries in the database.
int cvl_rephits(Library& lib, int which);

// The next hit after cur (direction 0) or before it (otherwise), keeping its
// rank; cur 0 starts at the first (or last) entry, cur < 0 jumps to the hit of
// the given rank. Returns the entry number, or -1 when there is none.
int cvl_nexthit(Library& lib, int& cur, int& rank, int direction);

// 1 and history record i as a terminated text in a field of 101 characters,
// or 0 when there is no record i.
int cvl_rephistory(Library& lib, int i, std::array<char, 101>& text);

}  // namespace corvane
