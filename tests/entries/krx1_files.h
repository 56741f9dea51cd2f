// Test helpers: the bytes of small KRX1 records, big-endian as the database
// stores them, and a small KRX1 database for the tools.
#pragma once

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "tool/testdb.h"

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

// kelpa.ind record: identifier and the four offsets.
inline std::string index_record(std::int32_t entid, std::int32_t namoff, std::int32_t dioff,
                                std::int32_t refoff, std::int32_t recoff) {
    return be32(entid) + be32(namoff) + be32(dioff) + be32(refoff) + be32(recoff);
}

// A length byte for each text, then the year code if not negative, then the texts.
inline std::string texts_record(std::vector<std::string> texts, int year_code = -1) {
    std::string r;
    for (const auto& t : texts) r += static_cast<char>(static_cast<unsigned char>(t.size()));
    if (year_code >= 0) r += static_cast<char>(static_cast<unsigned char>(year_code));
    for (const auto& t : texts) r += t;
    return r;
}

inline std::string name_record(const std::string& t1, const std::string& t2, const std::string& t3,
                               const std::string& t4) {
    return texts_record({t1, t2, t3, t4});
}

inline std::string ref_record(int year_code, const std::string& journal, const std::string& volume,
                              const std::string& page, const std::string& authors) {
    return texts_record({journal, volume, page, authors}, year_code);
}

// di.lib record from (code, intensity) pairs.
inline std::string di_record(const std::vector<std::pair<std::int32_t, int>>& lines) {
    std::string r = bytes({static_cast<int>(lines.size())});
    for (const auto& [code, intensity] : lines) r += bytes({(code >> 8) & 0xFF, code & 0xFF});
    for (const auto& [code, intensity] : lines) r += bytes({intensity});
    return r;
}

// Writes content to path and opens it for reading into a Library handle (closed
// by the Library), closing what the handle held before.
inline void put_file(std::FILE*& handle, const std::string& path, const std::string& content) {
    if (handle != nullptr) std::fclose(handle);
    write_file(path, content);
    handle = std::fopen(path.c_str(), "rb");
}

// One entry of a hand-made KRX1 database.
struct KrxEntry {
    std::int32_t entid;
    std::string names[4];  // name texts 1 to 4
    int year_code;
    std::string ref[4];                               // journal code, volume, page, authors
    std::vector<std::pair<std::int32_t, int>> lines;  // angle code, intensity
};

// Writes kelpa.ind, name.lib, di.lib and ref.lib for the entries, in order, into
// the line-1 directory of db, and an empty krx2.dat so start-up stays quiet.
inline void put_entries(TestDb& db, const std::vector<KrxEntry>& entries) {
    std::string index, names, di, refs;
    for (const auto& e : entries) {
        index += index_record(e.entid, static_cast<std::int32_t>(names.size()),
                              static_cast<std::int32_t>(di.size()),
                              static_cast<std::int32_t>(refs.size()), 0);
        names += name_record(e.names[0], e.names[1], e.names[2], e.names[3]);
        di += di_record(e.lines);
        refs += ref_record(e.year_code, e.ref[0], e.ref[1], e.ref[2], e.ref[3]);
    }
    db.put("kelpa.ind", index);
    db.put("name.lib", names);
    db.put("di.lib", di);
    db.put("ref.lib", refs);
    db.put_krx2("");
}

// Five entries for the search and listing tools. Their lines use angle codes
// whose d-spacings are known: -10000 is 1.5098468, 0 is 1.0893674, 10000 is
// 0.8956282, 31416 is 0.770299, -31415 is 33222.297, and -31416 has none.
inline std::vector<KrxEntry> five_entries() {
    // clang-format off
    return {
        {9101, {"Silicon Oxide", "Quartz, syn", "SiO2", "Silica"}, 76,
         {"ACBCAR", "B32", "2456", "Le Page, Y., Donnay, G."},
         {{-10000, 100}, {0, 50}, {10000, 50}, {-31415, 10}}},
        {9102, {"Calcium Carbonate", "Calcite, syn", "CaCO3", "Calcspar"}, 53,
         {"NBSCAQ", "2", "51", "Swanson, H.E., Fuyat, R.K."}, {{0, 7}}},
        {9103, {"Silicon", "", "Si", ""}, 75, {"JACGAR", "8", "457", "Hom, T., Post, B."}, {}},
        {9104, {"Titanium Oxide", "Rutile, syn", "TiO2", "Titania"}, 71,
         {"ACBCAR", "B27", "2133", "Baur, W.H., Khan, A.A."}, {{-31416, 100}, {10000, 20}}},
        {9105, {"Silicon Oxide", "Cristobalite", "SiO2", ""}, 127,
         {"AMMIAZ", "", "", "Swanson, H.E., Peiser, H.S."}, {{31416, 255}, {-31415, 1}}},
    };
    // clang-format on
}

}  // namespace cvtest
