// Test helpers: the bytes of small KRX1 records, big-endian as the database
// stores them, for files written into a cvtest::TempDir (tests/tool/testdb.h).
#pragma once

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <utility>

#include "setup/library.h"
#include "tests/tool/testdb.h"

namespace cvtest {

// Bytes given as numbers, e.g. bytes({0x00, 0x2A}).
inline std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out += static_cast<char>(static_cast<unsigned char>(v));
    return out;
}

// A signed 32-bit word, most significant byte first.
inline std::string be32(std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    return bytes({static_cast<int>(u >> 24), static_cast<int>((u >> 16) & 0xFF),
                  static_cast<int>((u >> 8) & 0xFF), static_cast<int>(u & 0xFF)});
}

// A signed 16-bit code, most significant byte first.
inline std::string be16(std::int32_t v) {
    const auto u = static_cast<std::uint16_t>(v);
    return bytes({u >> 8, u & 0xFF});
}

// kelpa.ind record: identifier and the four offsets.
inline std::string index_record(std::int32_t entid, std::int32_t namoff, std::int32_t dioff,
                                std::int32_t refoff, std::int32_t recoff) {
    return be32(entid) + be32(namoff) + be32(dioff) + be32(refoff) + be32(recoff);
}

inline char length_byte(const std::string& text) {
    return static_cast<char>(static_cast<unsigned char>(text.size()));
}

inline std::string name_record(const std::string& t1, const std::string& t2, const std::string& t3,
                               const std::string& t4) {
    std::string r;
    for (const auto* t : {&t1, &t2, &t3, &t4}) r += length_byte(*t);
    return r + t1 + t2 + t3 + t4;
}

inline std::string ref_record(int year_code, const std::string& journal, const std::string& volume,
                              const std::string& page, const std::string& authors) {
    std::string r;
    for (const auto* t : {&journal, &volume, &page, &authors}) r += length_byte(*t);
    r += static_cast<char>(static_cast<unsigned char>(year_code));
    return r + journal + volume + page + authors;
}

// di.lib record from (code, intensity) pairs.
inline std::string di_record(std::initializer_list<std::pair<std::int32_t, int>> lines) {
    std::string r = bytes({static_cast<int>(lines.size())});
    for (const auto& [code, intensity] : lines) r += be16(code);
    for (const auto& [code, intensity] : lines) r += bytes({intensity});
    return r;
}

// Opens path for reading into a Library handle (closed by the Library).
inline void attach(std::FILE*& handle, const std::string& path) {
    handle = std::fopen(path.c_str(), "rb");
}

}  // namespace cvtest
