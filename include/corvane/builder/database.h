// Writing the database files, entry by entry.
//
//   krx2.dat   each record's cards back to back, 80 bytes each, no line ends
//   kelpa.ind  20 bytes an entry: five big-endian signed words, entid and the
//              offsets of the entry's records in name.lib, di.lib, ref.lib and
//              krx2.dat
//   name.lib   four length bytes, then the four name texts
//   di.lib     a count byte N, N big-endian 16-bit angle codes, N intensity bytes
//   ref.lib    four length bytes, the year byte (127: no year), then journal
//              code, volume, page and author list
//   pdsize.txt the entry count, the number of cards in krx2.dat and the sizes
//              of name.lib, di.lib and ref.lib in bytes, on one line
//   dall.lib, dtop3.lib  the d-spacing bit libraries (bitlib.h)
//
// kelpa.ind stores offsets and pdsize.txt sizes as signed 32-bit numbers, so
// no file may pass 2147483647 bytes: the entry that would take one past it is
// refused.
#pragma once

#include <corvane/builder/bitlib.h>
#include <corvane/builder/cardfile.h>
#include <corvane/builder/entry.h>
#include <corvane/builder/output.h>

#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace corvane::builder {

// The KRX1 records of one entry, appended to out.
void append_index_record(std::string& out, std::int32_t entid, std::int32_t namoff,
                         std::int32_t dioff, std::int32_t refoff, std::int32_t recoff);
void append_name_record(std::string& out, const EntryFields& e);
void append_di_record(std::string& out, const EntryFields& e);
void append_ref_record(std::string& out, const EntryFields& e);

// The five files written entry by entry.
struct DatabaseFiles {
    OutFile* krx2;
    OutFile* kelpa;
    OutFile* names;
    OutFile* di;
    OutFile* refs;
};

class DatabaseWriter {
  public:
    static constexpr std::int64_t kMaxFileSize = std::numeric_limits<std::int32_t>::max();

    // max_size: the largest size any file may reach (smaller only in tests).
    explicit DatabaseWriter(const DatabaseFiles& files, std::int64_t max_size = kMaxFileSize);

    enum class Added {
        kOk,
        kTooLarge,  // a file would pass max_size; `too_large` names it
        kFailed,    // an output file failed (it has reported why)
    };
    // Appends the next entry: its record's cards, its KRX1 records and its
    // lines in the bit libraries.
    Added add(const CardRecord& rec, const EntryFields& e);
    std::string_view too_large() const { return too_large_; }

    std::int32_t entries() const { return entries_; }
    // The five numbers of pdsize.txt, and the file's text.
    std::array<std::int32_t, 5> sizes() const;
    std::string sizes_text() const;

    const DBitLibrary& all_lines() const { return all_; }
    const DBitLibrary& strong_lines() const { return strong_; }

  private:
    DatabaseFiles files_;
    std::int64_t max_size_;
    std::int32_t entries_ = 0;
    std::int64_t cards_ = 0;
    std::int64_t krx2_size_ = 0, kelpa_size_ = 0, names_size_ = 0, di_size_ = 0, refs_size_ = 0;
    std::string_view too_large_;
    // One entry's bytes for each file, reused from entry to entry.
    std::string krx2_, kelpa_, names_, di_, refs_;
    DBitLibrary all_, strong_;
};

}  // namespace corvane::builder
