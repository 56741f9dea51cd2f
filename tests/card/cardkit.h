// Test helpers for the card formatter: cards built column by column, and
// scratch directories for code tables.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cardkit {

// An 80-column card: body from column 1, type code in column 80.
inline std::string card(std::string_view body, char type) {
    std::string c(body.substr(0, std::min<std::size_t>(body.size(), 79)));
    c.resize(79, ' ');
    c.push_back(type);
    return c;
}

// Puts text at 1-based column first of a card (test-side, independent of the
// library's column helper).
inline std::string& at(std::string& crd, int first, std::string_view text) {
    crd.replace(static_cast<std::size_t>(first - 1), text.size(), text);
    return crd;
}

inline std::string join(const std::vector<std::string>& cards) {
    std::string r;
    for (const auto& c : cards) r += c;
    return r;
}

// A fresh directory under the system's temporary directory, removed again.
class ScratchDir {
  public:
    ScratchDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "cvcardXXXXXX").string();
        if (mkdtemp(tmpl.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
        path_ = tmpl;
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    // The directory, with or without a trailing "/".
    std::string slash() const { return path_.string() + "/"; }
    std::string bare() const { return path_.string(); }

    void write(const std::string& name, std::string_view content) const {
        std::ofstream(path_ / name, std::ios::binary) << content;
    }
    std::filesystem::path file(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

}  // namespace cardkit
