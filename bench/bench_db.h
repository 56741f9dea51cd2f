// What the micro-benchmarks share: a synthetic KRX1 database in a scratch
// directory, opened into a Library, and scratch files that go away.
#pragma once

#include <corvane/setup/library.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>

namespace bench {

// A scratch directory under $TMPDIR (or /tmp), removed with its files.
class Scratch {
  public:
    Scratch() {
        const char* base = std::getenv("TMPDIR");
        std::string templ =
            std::string(base != nullptr && *base ? base : "/tmp") + "/corvane-bench-XXXXXX";
        if (mkdtemp(templ.data()) == nullptr) throw std::runtime_error("mkdtemp");
        dir_ = templ;
    }
    ~Scratch() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    std::string path(const std::string& name) const { return dir_ + "/" + name; }

  private:
    std::string dir_;
};

inline void put32(std::string& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}

// n entries: four names of 8 to 40 characters (every 997th holding "Quartz"),
// 20 to 60 lines, a reference. The files are written to the scratch directory
// and opened into lib's handles.
inline void make_database(const Scratch& dir, corvane::Library& lib, int n) {
    std::mt19937 rnd(12345);
    auto word = [&](std::size_t len) {
        std::string w;
        for (std::size_t i = 0; i < len; ++i) w += static_cast<char>('a' + rnd() % 26);
        return w;
    };
    std::string index, names, lines, refs;
    for (int k = 1; k <= n; ++k) {
        put32(index, static_cast<std::uint32_t>(k));
        put32(index, static_cast<std::uint32_t>(names.size()));
        put32(index, static_cast<std::uint32_t>(lines.size()));
        put32(index, static_cast<std::uint32_t>(refs.size()));
        put32(index, 0);
        std::string t[4];
        for (auto& s : t) s = word(8 + rnd() % 33);
        if (k % 997 == 0) t[0] += " Quartz";
        for (const auto& s : t) names += static_cast<char>(s.size());
        for (const auto& s : t) names += s;
        const int nl = 20 + static_cast<int>(rnd() % 41);
        lines += static_cast<char>(nl);
        for (int i = 0; i < nl; ++i) {
            const auto code = static_cast<std::uint16_t>(-20000 + static_cast<int>(rnd() % 40000));
            lines += static_cast<char>(code >> 8);
            lines += static_cast<char>(code & 0xFF);
        }
        for (int i = 0; i < nl; ++i) lines += static_cast<char>(rnd() % 101);
        const std::string r[4] = {"NBSCAQ", "25", "123", word(30)};
        for (const auto& s : r) refs += static_cast<char>(s.size());
        refs += static_cast<char>(80);
        for (const auto& s : r) refs += s;
    }
    auto put = [&](std::FILE*& handle, const std::string& name, const std::string& bytes) {
        std::ofstream(dir.path(name), std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        handle = std::fopen(dir.path(name).c_str(), "rb");
        if (handle == nullptr) throw std::runtime_error("cannot open " + name);
    };
    put(lib.findex, "kelpa.ind", index);
    put(lib.fnamlib, "name.lib", names);
    put(lib.fdilib, "di.lib", lines);
    put(lib.freflib, "ref.lib", refs);
    lib.cv_sizes.dbsize(1) = n;
}

}  // namespace bench
