// The d-spacing bit libraries: for each d-spacing bucket (dtoind's buckets
// 1 to 629 of the database's angle codes), a bitmap of the entries that have a
// line in that bucket, so that a search by d-spacing reads one record instead
// of every entry's lines.
//
//   dall.lib   bucket k = every entry with any of its lines in bucket k
//   dtop3.lib  bucket k = every entry with one of its three strongest lines
//              (highest intensity; equal ones in line order) in bucket k
//
// Both are bit libraries as cv_readbitlib reads them, over nbits = the entry
// count: record k (1 to 629) holds bucket k in W = (nbits + 31) / 32 words of
// 32 bits and begins at byte (k - 1) * W * 4; each word is stored big-endian
// like every number of the KRX1 files, and entry n is bit (n - 1) mod 32,
// counted from the least significant bit, of word (n - 1) / 32, as in a hit
// table. A line whose d-spacing lies above bucket 1 (about 1997 and above)
// counts in bucket 1, where dtoind puts it.
#pragma once

#include <corvane/builder/entry.h>
#include <corvane/builder/output.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace corvane::builder {

inline constexpr std::string_view kAllLinesLib = "dall.lib";
inline constexpr std::string_view kStrongLinesLib = "dtop3.lib";

class DBitLibrary {
  public:
    // Adds the next entry with its lines in these buckets (1 to kDBuckets).
    void add_entry(std::span<const DLine> lines);

    std::int32_t entries() const { return entries_; }
    // Word w (from 0) of bucket k's record, as a number.
    std::uint32_t word(std::int32_t bucket, std::size_t w) const;
    // Writes the 629 records in bucket order.
    bool write(OutFile& out) const;

  private:
    // Bucket-major blocks: the 629 words of entries 32b+1 .. 32b+32 together,
    // so that adding an entry only ever appends.
    std::vector<std::uint32_t> blocks_;
    std::int32_t entries_ = 0;
};

// The three strongest of an entry's lines (fewer when it has fewer), highest
// intensity first, equal intensities in line order. Returns how many.
std::size_t strongest_lines(std::span<const DLine> lines, std::array<DLine, 3>& out);

}  // namespace corvane::builder
