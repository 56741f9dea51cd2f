// What one record puts into the KRX1 files, read off its cards and checked.
//
//   entid       the entry number of the first type-1 card, columns 73-78, six
//               digits read as one number (set 5, sequence 628 -> 50628)
//   name text 1 the chemical name: the first name card (type 6) with role "P"
//               in column 69, columns 1-67, joined with the next name card
//               when column 70 holds "C" (one blank between, none after "-")
//   name text 2 the mineral name: the first name card with role "M"
//   name text 3 the chemical formula: the first formula card (type 7),
//               columns 1-67, with its continuation card, all blanks removed
//               ("Ca C O3" -> "CaCO3")
//   name text 4 the other names: every name card with role "C", each joined
//               with its continuation cards, the names separated by "; "
//   reference   the pattern's reference card (type 9): the first whose source
//               code (columns 68-69) is blank, else the first with "KW", else
//               the first reference card. Journal code columns 1-6, volume
//               7-10, page 11-15 (each without its blanks at either end), the
//               author list columns 22-67 with up to two continuation cards
//               (column 70 "C") joined by one blank, the year columns 17-20
//               (blank: no year)
//   lines       the d-spacing lines of the I cards, three groups of 23
//               columns a card, in card order: d-spacing columns 1-7,
//               intensity 8-10, Miller indices 12-20; a group whose d-spacing
//               is 0 is no line; each d-spacing is stored as its angle code, so
//               it must be at least 0.770299 and below 100000 (the readers
//               cannot decode the code of 100000 and more)
// Texts keep their markup ("$" codes and the like); the blanks around them
// are dropped.
#pragma once

#include <corvane/builder/cardfile.h>
#include <corvane/builder/report.h>
#include <corvane/entries/angles.h>  // kDBuckets

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace corvane::builder {

// The year byte of a reference without a year.
inline constexpr int kNoYear = 127;
// The longest text name.lib and ref.lib can hold: its length is one byte.
inline constexpr std::size_t kMaxText = 255;

// One diffraction line: its angle code, its intensity (0 to 255) and the
// d-spacing bucket it falls in (1 to kDBuckets; d-spacings above bucket 1 go
// into bucket 1, as dtoind clamps them).
struct DLine {
    std::int32_t code = 0;
    std::int32_t intensity = 0;
    std::int32_t bucket = 0;
};

struct EntryFields {
    std::int32_t entid = 0;            // -1 when it could not be read
    std::array<std::string, 4> names;  // name texts 1 to 4
    std::string journal, volume, page, authors;
    std::int32_t year = kNoYear;  // year code: the year less 1900
    std::vector<DLine> lines;

    // Empties every field, keeping the memory for the next record.
    void clear();
};

// Reads the KRX1 fields of a sound record into e, reporting each fault of a
// field. Returns the number of faults; e is usable only when it is 0.
int compose_entry(const CardRecord& rec, Reporter& rep, EntryFields& e);

// The entry numbers used so far, each with the record that used it first.
class EntryNumbers {
  public:
    // 0 when entid (0 to 999999) is new, else the record that has it already.
    std::int32_t claim(std::int32_t entid, std::int32_t record);

  private:
    // Six digits: a million numbers, in pages made when first used.
    static constexpr std::int32_t kPageSize = 1000;
    static constexpr std::int32_t kPages = 1000;
    std::array<std::unique_ptr<std::int32_t[]>, kPages> pages_;
};

}  // namespace corvane::builder
