// History records of the phase searches: texts that fit a record without
// splitting a character, the ranking of a result kept beside its set, and
// reading that ranking back.
//
// A subfile holds a set of entries; the order of a ranking lives in its
// history, in records "Ranked phase P: E1,E2,..." that list the entries of
// phase P's ranking, best first. A list too long for one record goes on in the
// next record under the same prefix; a history that is full (100 records)
// ends the list where it is.
#pragma once

#include <corvane/setup/library.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::phase {

// At most `bytes` bytes of text, cut before a character of several bytes
// (UTF-8) rather than through it.
std::string cut_utf8(std::string_view text, std::size_t bytes);

// Appends a record as it stands (cut to a record's length, blank-padded).
// False when the history already holds 100 records.
bool append_history(Library& lib, std::string_view text);

// Appends the "Ranked phase P: ..." records of a ranking. False when the
// history filled up before the list was complete.
bool append_ranking(Library& lib, int phase, std::span<const std::int32_t> entries);

// The ranking of phase P as the current history holds it (empty when none).
std::vector<std::int32_t> ranking_of(const Library& lib, int phase);

}  // namespace corvane::phase
