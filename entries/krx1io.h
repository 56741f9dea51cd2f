// Small stream helpers shared by the KRX1 readers and the text search.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string_view>

namespace corvane {

// Positions a stream at a byte offset from the start of its file. False for an
// empty handle, a negative offset or a failed positioning.
bool seek_to(std::FILE* stream, std::int64_t offset);

// Reads up to n bytes; the number that arrived.
std::size_t read_bytes(std::FILE* stream, void* buffer, std::size_t n);

// The signed 32-bit value of four bytes stored most significant first.
std::int32_t big_endian_word(const unsigned char* bytes);

// The signed 16-bit value of two bytes stored most significant first, in host
// order.
std::int16_t big_endian_half(const unsigned char* bytes);

// A text of a KRX1 library: up to 255 stored characters, held without
// allocation. A stored length is one byte, so the field always has room.
struct TextField {
    std::array<char, 256> chars{};
    std::size_t size = 0;
    std::string_view view() const { return {chars.data(), size}; }
};

// Reads the header of a name record (header_len 4) or a reference record
// (header_len 5, its fifth byte going to *extra when extra is not null) and
// then its four texts, adding every byte that arrives to offset. False when
// the record is cut off; the texts read until then are complete, the others
// empty.
bool read_texts(std::FILE* stream, std::int32_t& offset, int header_len,
                std::array<TextField, 4>& texts, unsigned char* extra);

// Reads the header only; false when it is cut off.
bool read_header(std::FILE* stream, std::int32_t& offset, int header_len,
                 std::array<unsigned char, 5>& header);

// Reads one text of the given stored length into field; false when it is cut
// off (the field then holds what arrived).
bool read_text(std::FILE* stream, std::int32_t& offset, unsigned char length, TextField& field);

}  // namespace corvane
