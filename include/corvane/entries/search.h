// The text search of one entry's name and reference texts, and the library's
// own case-blind substring search it uses.
#pragma once

#include <corvane/entries/krx1.h>
#include <corvane/setup/library.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace corvane {

// Position in text of the first occurrence of needle, every one of its
// characters compared without regard to case (A-Z equal to a-z; every other
// byte only to itself), the first character included, so "quartz" finds
// "Quartz". std::string_view::npos when there is none. An empty needle occurs
// at the end of any text.
std::size_t strcasestr(std::string_view text, std::string_view needle);

// The six selector flags of cv_srchlibs, by element (0-based): a non-zero
// element selects its field.
enum SearchField : int {
    kSearchName4 = 0,    // name text 4, other names
    kSearchName1 = 1,    // name text 1, the chemical name
    kSearchName3 = 2,    // name text 3, the formula
    kSearchName2 = 3,    // name text 2, the mineral name
    kSearchAuthors = 4,  // reference text 4, the author list
    kSearchJournal = 5,  // reference text 1, the journal code
};
using SearchFlags = std::array<std::int32_t, 6>;

// Whether one entry's texts contain the strings: 1 match, 0 none, -1 when a
// library cannot be positioned or the record is cut off. The offsets come from
// the entry's index record and grow by what is read. count >= 0: any of count
// strings; count < 0: all of -count strings (never more than strings.size()).
// The reference volume and page are read but never searched.
int cv_srchlibs(Library& lib, std::int32_t& namoff, std::int32_t& refoff,
                std::span<const std::string> strings, std::int32_t count, const SearchFlags& flags);
// The same, through a reader's buffers: for a walk over many entries.
int cv_srchlibs(Krx1Reader& rd, std::int32_t& namoff, std::int32_t& refoff,
                std::span<const std::string> strings, std::int32_t count, const SearchFlags& flags);

}  // namespace corvane
