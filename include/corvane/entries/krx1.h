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
// Every reader positions its stream absolutely and returns 0, or -1 when the
// stream is empty or cannot be positioned, or when the record is cut off by
// the end of its file (offsets then grow only by the bytes that arrived, and
// no output is changed).
#pragma once

#include <corvane/setup/library.h>

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace corvane {

// An entry has at most this many diffraction lines (a one-byte count).
inline constexpr int kMaxLines = 255;
template <typename T>
using LineValues = std::array<T, kMaxLines>;

// The index record of entry (1-based).
int cv_readindex(Library& lib, std::int32_t entry, std::int32_t& entid, std::int32_t& namoff,
                 std::int32_t& dioff, std::int32_t& refoff, std::int32_t& recoff);

// The four name texts, whole (0 to 255 characters each).
int cv_readnamlib(Library& lib, std::int32_t& offset, std::string& text1, std::string& text2,
                  std::string& text3, std::string& text4);

// Year 1900 + Y, or 0 when Y is 127; journal code, volume, page, authors.
int cv_readreflib(Library& lib, std::int32_t& offset, std::int32_t& year, std::string& text1,
                  std::string& text2, std::string& text3, std::string& text4);

// The line count and the big-endian code bytes and intensity bytes as stored;
// count is 0 unless the whole record arrived.
int cv_readdilib(Library& lib, std::int32_t& offset,
                 std::array<unsigned char, kMaxLines * 2>& codes,
                 std::array<unsigned char, kMaxLines>& intensities, std::int32_t& count);

// Record k of the bit library: (nbits + 31) / 32 words as stored; -1 when
// words holds fewer.
int cv_readbitlib(Library& lib, std::int32_t k, std::span<std::uint32_t> words, std::int32_t nbits);

}  // namespace corvane
