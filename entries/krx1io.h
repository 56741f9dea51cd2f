// What the KRX1 and KRX2 readers share: a window onto a database file,
// the record readers written once over it, and big-endian numbers.
#pragma once

#include <corvane/entries/krx1.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string_view>

namespace corvane {

// Records addressed through a 32-bit offset end before this position: a
// record that would pass it is cut off there, so an offset advanced over what
// was read always fits its 32 bits.
inline constexpr std::int64_t kOffsetEnd = INT32_MAX;
// Any other position (index records, bit-library records) ends before this.
inline constexpr std::int64_t kPositionEnd = INT64_C(1) << 62;

// Reads a database file by byte position through a buffer of its own, with
// pread on the stream's descriptor: the stream's own position and buffer are
// never used or moved. A stream without a descriptor is read with fseek and
// fread instead. Bytes inside the buffer cost no system call, so records read
// in file order cost one read per buffer-full; a read elsewhere refills the
// buffer from there (a buffer-full when it lies just ahead, a few kilobytes
// after a jump, so random access stays cheap).
class FileWindow {
  public:
    // capacity: the largest buffer-full; at least kMinCapacity is used.
    FileWindow(std::FILE* stream, std::size_t capacity);
    FileWindow(const FileWindow&) = delete;
    FileWindow& operator=(const FileWindow&) = delete;

    static constexpr std::size_t kMinCapacity = 4096;

    // Whether a record may start at pos: the stream is open and pos lies in
    // 0 .. end - 1. This is the readers' "positioning".
    bool placeable(std::int64_t pos, std::int64_t end = kPositionEnd) const;

    // Up to n bytes at pos (n at most kMinCapacity), ending before `end`: a
    // view that stays valid until the next call on this window. Shorter when
    // the file (or `end`) comes first; empty when the record cannot be placed.
    std::span<const unsigned char> bytes(std::int64_t pos, std::size_t n,
                                         std::int64_t end = kPositionEnd);

    // Copies up to n bytes at pos straight into dst (any n); the number that
    // arrived.
    std::size_t copy(std::int64_t pos, void* dst, std::size_t n, std::int64_t end = kPositionEnd);

  private:
    std::size_t fill(std::int64_t pos, unsigned char* dst, std::size_t n);

    std::FILE* stream_;
    int fd_;
    std::size_t capacity_;
    std::unique_ptr<unsigned char[]> buffer_;  // taken on the first read, not cleared
    std::int64_t base_ = 0;                    // file position of buffer_[0]
    std::size_t size_ = 0;                     // bytes of the file held
};

// The sources a set of KRX1 reads goes through: one per file.
struct Krx1Sources {
    FileWindow& index;
    FileWindow& names;
    FileWindow& lines;
    FileWindow& refs;
};

// The reader's own sources, behind the public Krx1Reader.
struct Krx1Reader::Impl {
    Impl(Library& lib, std::size_t capacity)
        : index(lib.findex, capacity),
          names(lib.fnamlib, capacity),
          lines(lib.fdilib, capacity),
          refs(lib.freflib, capacity) {}
    FileWindow index, names, lines, refs;
    Krx1Sources sources() { return {index, names, lines, refs}; }
};

// The signed 32-bit value of four bytes stored most significant first.
std::int32_t big_endian_word(const unsigned char* bytes);

// The signed 16-bit value of two bytes stored most significant first, in host
// order.
std::int16_t big_endian_half(const unsigned char* bytes);

// The five words of an index record.
struct IndexRecord {
    std::int32_t entid, namoff, dioff, refoff, recoff;
};

// The four texts of a name or reference record, as views into the source's
// buffer (valid until the source is read again), and a reference's year byte.
struct RecordTexts {
    std::array<std::string_view, 4> text;
    unsigned char year_code = 0;
};

// The record readers, each with the rules and statuses of its routine.
int read_index(FileWindow& index, std::int32_t entry, IndexRecord& out);
// A name record (header 4) or a reference record (header 5): 0, or -1 when it
// cannot be placed or is cut off (offset then advanced over what arrived).
int read_texts(FileWindow& src, std::int32_t& offset, int header_len, RecordTexts& out);
int read_lines(FileWindow& lines, std::int32_t& offset,
               std::array<unsigned char, kMaxLines * 2>& codes,
               std::array<unsigned char, kMaxLines>& intensities, std::int32_t& count);

}  // namespace corvane
