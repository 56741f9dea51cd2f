// Test kit of the card formatter's tests: cards built column by column, and
// scratch directories for code tables.
#pragma once

#include <corvane/corvane.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

namespace cardkit {

using corvane::card::CardFormatter;

// An 80-column card: body from column 1, type code in column 80.
inline std::string card(std::string_view body, char type) {
    std::string c(body.substr(0, 79));
    c.resize(79, ' ');
    return c + type;
}

// A record from short notations: the first character is the type code, the
// rest the card's body ("9Xa, A." is a type-9 card holding "Xa, A.").
inline std::string record(const std::vector<std::string>& cards) {
    std::string r;
    for (const auto& c : cards) r += card(std::string_view(c).substr(1), c[0]);
    return r;
}

// Puts text at 1-based column first of a card.
inline std::string& at(std::string& crd, int first, std::string_view text) {
    return crd.replace(static_cast<std::size_t>(first - 1), text.size(), text);
}

// 80 characters and a line end: one record of the journal table.
inline std::string rec81(std::string_view text) {
    std::string r(text);
    r.resize(80, ' ');
    return r + "\n";
}

// A fresh directory under the system's temporary directory, removed again.
class ScratchDir {
  public:
    ScratchDir() {
        std::string t = (std::filesystem::temp_directory_path() / "cvcardXXXXXX").string();
        if (mkdtemp(t.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
        path_ = t;
    }
    ~ScratchDir() { std::filesystem::remove_all(path_, ec_); }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::string slash() const { return path_.string() + "/"; }
    std::string bare() const { return path_.string(); }
    void write(const std::string& name, std::string_view content) const {
        std::ofstream(path_ / name, std::ios::binary) << content;
    }

  private:
    std::filesystem::path path_;
    std::error_code ec_;
};

}  // namespace cardkit
