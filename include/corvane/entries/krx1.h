// The KRX1 readers: one record of kelpa.ind, name.lib, ref.lib, di.lib or the
// bit library per call, read through the streams that start-up opened.
//
// kelpa.ind holds one 20-byte record per entry: five big-endian signed words,
// the identifier and the byte offsets of the entry's records in name.lib,
// di.lib, ref.lib and krx2.dat. A name record is four length bytes and the four
// texts; a reference record is four length bytes, a year byte and the four
// texts; a di.lib record is a count byte N, N big-endian 16-bit angle codes and
// N intensity bytes. No file has a header and no text a terminator.
//
// Every reader places its record absolutely and returns 0, or -1 when the
// stream is empty or the position is negative, or when the record is cut off
// by the end of its file (offsets then grow only by the bytes that arrived,
// and no output is changed). A record addressed by a 32-bit offset ends before
// byte 2^31 - 1: one that would pass it is cut off there, so an advanced
// offset always fits. The readers never move the streams: they read by
// position (pread) through buffers of their own.
//
// Each reader comes twice: over the Library, reading the one record through a
// small buffer of its own, and over a Krx1Reader, whose large buffers live as
// long as it does, so that a tool walking the entries in file order reads each
// file once, a buffer-full at a time, without a seek per record.
#pragma once

#include <corvane/setup/library.h>

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace corvane {

// An entry has at most this many diffraction lines (a one-byte count).
inline constexpr int kMaxLines = 255;
template <typename T>
using LineValues = std::array<T, kMaxLines>;

// Buffered reading of the KRX1 files kelpa.ind, name.lib, di.lib and ref.lib
// for many entries in a row. It reads through the handles the library holds
// when the reader is made (make a new one after a handle changes), never moves
// them, and gives the statuses and messages of the routines over the Library.
// Its buffers (128 KiB a file) are taken on the first read of each file.
class Krx1Reader {
  public:
    explicit Krx1Reader(Library& lib);
    ~Krx1Reader();
    Krx1Reader(const Krx1Reader&) = delete;
    Krx1Reader& operator=(const Krx1Reader&) = delete;

    Library& library() const { return lib_; }

    struct Impl;  // the reader's buffers, known to the readers only
    Impl& impl() { return *impl_; }

  private:
    Library& lib_;
    std::unique_ptr<Impl> impl_;
};

// The index record of entry (1-based).
int cv_readindex(Library& lib, std::int32_t entry, std::int32_t& entid, std::int32_t& namoff,
                 std::int32_t& dioff, std::int32_t& refoff, std::int32_t& recoff);
int cv_readindex(Krx1Reader& rd, std::int32_t entry, std::int32_t& entid, std::int32_t& namoff,
                 std::int32_t& dioff, std::int32_t& refoff, std::int32_t& recoff);

// The four name texts, whole (0 to 255 characters each).
int cv_readnamlib(Library& lib, std::int32_t& offset, std::string& text1, std::string& text2,
                  std::string& text3, std::string& text4);
int cv_readnamlib(Krx1Reader& rd, std::int32_t& offset, std::string& text1, std::string& text2,
                  std::string& text3, std::string& text4);

// Year 1900 + Y, or 0 when Y is 127; journal code, volume, page, authors.
int cv_readreflib(Library& lib, std::int32_t& offset, std::int32_t& year, std::string& text1,
                  std::string& text2, std::string& text3, std::string& text4);
int cv_readreflib(Krx1Reader& rd, std::int32_t& offset, std::int32_t& year, std::string& text1,
                  std::string& text2, std::string& text3, std::string& text4);

// The line count and the big-endian code bytes and intensity bytes as stored;
// count is 0 unless the whole record arrived.
int cv_readdilib(Library& lib, std::int32_t& offset,
                 std::array<unsigned char, kMaxLines * 2>& codes,
                 std::array<unsigned char, kMaxLines>& intensities, std::int32_t& count);
int cv_readdilib(Krx1Reader& rd, std::int32_t& offset,
                 std::array<unsigned char, kMaxLines * 2>& codes,
                 std::array<unsigned char, kMaxLines>& intensities, std::int32_t& count);

// Record k of the bit library: (nbits + 31) / 32 words as stored; -1 when
// words holds fewer (or nbits is negative).
int cv_readbitlib(Library& lib, std::int32_t k, std::span<std::uint32_t> words, std::int32_t nbits);

}  // namespace corvane
