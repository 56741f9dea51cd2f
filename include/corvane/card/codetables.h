// The code tables' files: sequential tables read line by line from the start
// (stdcodes.tbl, mineral.tbl, and picodes.tbl while it is loaded) and the
// direct-access journal table codens.tbl of fixed 81-character records.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace corvane::card {

class CardFormatter;

// The opening step of the four code tables: stdcodes.tbl, mineral.tbl and
// codens.tbl are opened and kept open, picodes.tbl is loaded into picds, each
// from the primary directory and then the secondary one. Runs on the first call
// only (tables_pending is then cleared); later calls do nothing, whatever
// changed on disk. A table that does not open gets an "unable to open" line.
void opentables(CardFormatter& fm);

// A text file read one record (line) at a time; stays open until closed or
// destroyed.
class SeqTable {
  public:
    SeqTable() = default;
    ~SeqTable() { close(); }
    SeqTable(const SeqTable&) = delete;
    SeqTable& operator=(const SeqTable&) = delete;

    // Opens a regular file for reading; false when it does not open.
    bool open(const std::string& name);
    void close();
    bool is_open() const { return f_ != nullptr; }
    // Back to the first record.
    void rewind();
    // The next record without its line end (a carriage return before the line
    // feed is dropped too); false at the end of the file or when not open.
    bool next(std::string& rec);

  private:
    std::FILE* f_ = nullptr;
};

// A file of fixed-length records: record r (1-based) occupies bytes
// (r - 1) x reclen to r x reclen - 1.
class DirectTable {
  public:
    static constexpr int kRecLen = 81;

    DirectTable() = default;
    ~DirectTable() { close(); }
    DirectTable(const DirectTable&) = delete;
    DirectTable& operator=(const DirectTable&) = delete;

    bool open(const std::string& name);
    void close();
    bool is_open() const { return f_ != nullptr; }
    // Reads record r into rec (kRecLen characters). False when the table is
    // not open, r < 1, or the record lies beyond the end of the file. A last
    // record cut short (its final line end missing) reads blank-padded.
    bool read(int r, std::string& rec);
    // Records read since the table was opened.
    int reads() const { return reads_; }

  private:
    std::FILE* f_ = nullptr;
    int reads_ = 0;
};

}  // namespace corvane::card
