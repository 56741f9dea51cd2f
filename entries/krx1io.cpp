#include "entries/krx1io.h"

namespace corvane {

bool seek_to(std::FILE* stream, std::int64_t offset) {
    if (stream == nullptr || offset < 0 || offset > INT64_C(0x7FFFFFFF)) return false;
    return std::fseek(stream, static_cast<long>(offset), SEEK_SET) == 0;
}

std::size_t read_bytes(std::FILE* stream, void* buffer, std::size_t n) {
    if (n == 0) return 0;
    return std::fread(buffer, 1, n, stream);
}

std::int32_t big_endian_word(const unsigned char* bytes) {
    const std::uint32_t u = (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
                            (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
    return static_cast<std::int32_t>(u);
}

std::int16_t big_endian_half(const unsigned char* bytes) {
    const auto u = static_cast<std::uint16_t>((bytes[0] << 8) | bytes[1]);
    return static_cast<std::int16_t>(u);
}

bool read_header(std::FILE* stream, std::int32_t& offset, int header_len,
                 std::array<unsigned char, 5>& header) {
    const auto want = static_cast<std::size_t>(header_len);
    const std::size_t got = read_bytes(stream, header.data(), want);
    offset += static_cast<std::int32_t>(got);
    return got == want;
}

bool read_text(std::FILE* stream, std::int32_t& offset, unsigned char length, TextField& field) {
    const std::size_t got = read_bytes(stream, field.chars.data(), length);
    offset += static_cast<std::int32_t>(got);
    field.size = got;
    field.chars[got] = '\0';
    return got == length;
}

bool read_texts(std::FILE* stream, std::int32_t& offset, int header_len,
                std::array<TextField, 4>& texts, unsigned char* extra) {
    std::array<unsigned char, 5> header{};
    if (!read_header(stream, offset, header_len, header)) return false;
    if (extra != nullptr) *extra = header[4];
    for (int j = 0; j < 4; ++j) {
        if (!read_text(stream, offset, header[j], texts[j])) return false;
    }
    return true;
}

}  // namespace corvane
