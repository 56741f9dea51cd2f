// Widening and narrowing the packed 8-bit and 16-bit fields of the KRX1 entry
// data. The routines convert values only; they never swap bytes, so 16-bit
// codes read from the big-endian files are put in host order by their reader's
// caller before short2long sees them.
#pragma once

#include <cstdint>

namespace corvane {

// 0 when the host stores the least significant byte first, 1 when it stores
// the most significant byte first.
int get_byte_order();

// The low-order 8 bits of value, as a signed byte (-128 .. 127).
std::int8_t long2byte(const std::int32_t& value);

// The low-order 16 bits of value, as a signed half-word (-32768 .. 32767).
std::int16_t long2short(const std::int32_t& value);

// The byte taken as unsigned (0 .. 255): intensities are never negative.
void byte2long(const unsigned char& byte, std::int32_t& value);

// The half-word taken as signed (-32768 .. 32767): angle codes can be negative.
void short2long(const std::int16_t& half, std::int32_t& value);

}  // namespace corvane
