#include <corvane/entries/byteorder.h>

#include <cstring>

namespace corvane {

int get_byte_order() {
    const std::uint32_t one = 1;
    unsigned char bytes[4];
    std::memcpy(bytes, &one, sizeof bytes);
    return bytes[0] == 1 ? 0 : 1;
}

// The conversions below keep only the low-order part of their argument or
// extend it; native integer conversions give exactly the values the byte-level
// description fixes, whatever the host's byte order.

std::int8_t long2byte(const std::int32_t& value) {
    const auto low = static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) & 0xFFu);
    return static_cast<std::int8_t>(low);
}

std::int16_t long2short(const std::int32_t& value) {
    const auto low = static_cast<std::uint16_t>(static_cast<std::uint32_t>(value) & 0xFFFFu);
    return static_cast<std::int16_t>(low);
}

void byte2long(const unsigned char& byte, std::int32_t& value) {
    value = byte;
}

void short2long(const std::int16_t& half, std::int32_t& value) {
    value = half;
}

}  // namespace corvane
