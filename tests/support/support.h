// Test support: files, subfiles, KRX1 records and cards by hand, databases, a tool runner.
#pragma once

#include <corvane/corvane.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <span>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace cvtest {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

inline void write_file(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out.write(bytes.data(), std::streamsize(bytes.size()))) throw std::runtime_error(path);
}

inline std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline mode_t mode_of(const fs::path& path) {  // the permission bits
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

inline Strings names_in(const fs::path& dir) {  // sorted
    Strings out;
    for (const auto& e : fs::directory_iterator(dir)) out.push_back(e.path().filename());
    std::sort(out.begin(), out.end());
    return out;
}

inline Strings lines(const std::string& text) {  // without line ends
    Strings out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

inline std::string trimmed(std::string_view s) {
    return std::string(s.substr(0, s.find_last_not_of(' ') + 1));
}

// A fresh directory under $TMPDIR (or /tmp), removed with everything in it.
class TempDir {
  public:
    TempDir() {
        const char* base = std::getenv("TMPDIR");
        std::string templ = std::string(base && *base ? base : "/tmp") + "/corvane-test-XXXXXX";
        if (mkdtemp(templ.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = templ;
    }
    ~TempDir() { fs::remove_all(path_, ec_); }
    TempDir(const TempDir&) = delete;

    const fs::path& path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    std::string slash() const { return path_.string() + "/"; }  // as a directory line
    std::string bare() const { return path_.string(); }
    void write(const std::string& name, const std::string& content) const {
        write_file(path_ / name, content);
    }

  private:
    fs::path path_;
    std::error_code ec_;
};

// Sets (a value) or unsets (nullopt) an environment variable for its lifetime.
class ScopedEnv {
  public:
    ScopedEnv(std::string name, const std::optional<std::string>& value) : name_(std::move(name)) {
        if (const char* old = std::getenv(name_.c_str())) old_ = old;
        set(value);
    }
    ~ScopedEnv() { set(old_); }
    ScopedEnv(const ScopedEnv&) = delete;

  private:
    void set(const std::optional<std::string>& v) const {
        v ? setenv(name_.c_str(), v->c_str(), 1) : unsetenv(name_.c_str());
    }
    std::string name_;
    std::optional<std::string> old_;
};

class ScopedCwd {
  public:
    explicit ScopedCwd(const fs::path& dir) : old_(fs::current_path()) { fs::current_path(dir); }
    ~ScopedCwd() { fs::current_path(old_); }
    ScopedCwd(const ScopedCwd&) = delete;

  private:
    fs::path old_;
};

// A 100-character history record: the text cut or padded with blanks.
inline std::string record(const std::string& text) {
    return (text.substr(0, 100) + std::string(100, ' ')).substr(0, 100);
}

// n, the words given (any number, for damaged files), the record count, records.
inline std::string subfile_bytes(std::int32_t n, const std::vector<std::uint32_t>& words,
                                 const Strings& records) {
    std::string out(reinterpret_cast<const char*>(&n), 4);
    for (std::uint32_t w : words) out.append(reinterpret_cast<const char*>(&w), 4);
    const auto k = static_cast<std::int32_t>(records.size());
    out.append(reinterpret_cast<const char*>(&k), 4);
    for (const auto& r : records) out += record(r);
    return out;
}

inline std::string bytes(std::initializer_list<int> values) {  // bytes({0x00, 0x2A})
    std::string out;
    for (int v : values) out += static_cast<char>(static_cast<unsigned char>(v));
    return out;
}

// kelpa.ind: identifier, then the offsets in name.lib, di.lib, ref.lib, krx2.dat.
inline std::string index_record(std::int32_t entid, std::int32_t namoff, std::int32_t dioff,
                                std::int32_t refoff, std::int32_t recoff) {
    std::string r;
    for (const auto v : {entid, namoff, dioff, refoff, recoff}) {
        for (int shift = 24; shift >= 0; shift -= 8) r += char(std::uint32_t(v) >> shift & 0xFF);
    }
    return r;
}

// Text lengths, the year code (a ref.lib record) unless negative, the texts.
inline std::string texts_record(const Strings& texts, int year_code = -1) {
    std::string r;
    for (const auto& t : texts) r += static_cast<char>(static_cast<unsigned char>(t.size()));
    if (year_code >= 0) r += static_cast<char>(static_cast<unsigned char>(year_code));
    for (const auto& t : texts) r += t;
    return r;
}

inline std::string di_record(
    const std::vector<std::pair<std::int32_t, int>>& lines) {  // code, intensity
    std::string r = bytes({static_cast<int>(lines.size())});
    for (const auto& line : lines) r += bytes({(line.first >> 8) & 0xFF, line.first & 0xFF});
    for (const auto& line : lines) r += bytes({line.second});
    return r;
}

// Writes content to path and opens it for reading into a Library handle.
inline void put_file(std::FILE*& handle, const std::string& path, const std::string& content) {
    if (handle != nullptr) std::fclose(handle);
    write_file(path, content);
    handle = std::fopen(path.c_str(), "rb");
}

using Cards = std::vector<std::string>;

inline std::string& at(std::string& crd, int first, std::string_view text) {
    return crd.replace(static_cast<std::size_t>(first - 1), text.size(), text);
}

// An 80-column card: body from column 1, type code in column 80.
inline std::string card(std::string_view body, char type) {
    return (std::string(body.substr(0, 79)) + std::string(79, ' ')).substr(0, 79) + type;
}

// A card of type t: blanks and the texts at their 1-based columns.
inline std::string card(char type,
                        std::initializer_list<std::pair<int, std::string_view>> fields = {}) {
    std::string c = card("", type);
    for (const auto& [column, text] : fields) at(c, column, text);
    return c;
}

// For the card formatter: a type-1 card unless the cards begin with one, a K card.
inline std::string record_of(const Cards& cards) {
    std::string r = cards.empty() || cards[0][79] != '1' ? card('1') : "";
    for (const auto& c : cards) r += c;
    return r + card('K');
}

inline Cards operator+(Cards a, const Cards& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// For the builder: the type-1 card with the entry number in 73-78, the K card.
inline Cards rec(const std::string& entry, const Cards& cards = {}) {
    return Cards{card('1', {{73, entry}})} + cards + Cards{card('K')};
}

inline std::string file_of(const Cards& cards, const char* eol = "\n") {
    std::string out;
    for (const auto& c : cards) out += c + eol;
    return out;
}

// A 23-column I-card line: d, intensity and code, h k l and code, the d code.
inline std::string dline(const char* d, int i, char ic = ' ', int h = 1, int k = 1, int l = 1,
                         char hc = ' ', char dc = ' ') {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%7s%3d%c%3d%3d%3d%c %c", d, i, ic, h, k, l, hc, dc);
    return buf;
}

// The I cards holding the lines, three to a card.
inline std::string icards(const Strings& lines) {
    std::string out;
    for (std::size_t k = 0; k < lines.size(); k += 3) {
        std::string body;
        for (std::size_t j = k; j < k + 3 && j < lines.size(); ++j) body += lines[j];
        out += card(body, 'I');
    }
    return out;
}

// 80 characters and a line end: one record of a direct-access code table.
inline std::string rec81(std::string_view text) {
    return (std::string(text) + std::string(80, ' ')).substr(0, 80) + "\n";
}

// "$" codes ("GA5alpha": code, length digit, text) into a formatter's table.
inline void picodes(corvane::card::CardFormatter& f,
                    std::initializer_list<std::string_view> codes) {
    for (const auto c : codes) {
        const int i = ++f.picds.npicd;
        f.picds.picode(i) = std::string(c.substr(0, 2));
        f.picds.pilen(i) = c[2] - '0';
        f.picds.pitext(i) = std::string(c.substr(3)).append(13 - c.size(), ' ');
    }
}

// A record formatted by a fresh formatter whose code tables are in tables.
struct Formatted {
    int status = -1;
    Strings page;  // the page's lines
    std::string messages;
};
inline Formatted format_card(const std::string& tables, const std::string& record, std::string code,
                             const std::string& outfil = "-") {
    std::ostringstream msg, page;
    corvane::card::CardFormatter f(tables, "", msg);
    f.set_page(page);
    return {krx2fmt(f, record, static_cast<int>(record.size() / 80), outfil, code),
            lines(page.str()), msg.str()};
}

struct RunOptions {
    std::map<std::string, std::optional<std::string>> env;  // set, or remove with nullopt
    std::string cwd;                                        // empty: the parent's
    long long file_size_limit = -1;                         // when not negative
};

struct RunResult {
    std::string out, err;
    int status = -1;  // exit status, -1 when the child did not exit normally
};

inline std::string tool_path(const std::string& name) {
    return std::string(CORVANE_BIN_DIR) + "/" + name;
}

// Standard input from /dev/null; standard output and error captured whole.
RunResult run_program(const std::string& program, const Strings& args,
                      const RunOptions& options = {});

// A tool's usage, from "\nusage:", as it answers --help.
inline std::string usage_of(const std::string& tool) {
    const auto r = run_program(tool_path(tool), {"--help"});
    const std::string all = r.out + r.err;
    return all.substr(std::min(all.find("\nusage:"), all.size()));
}

// tarn.loc names line1/ (pdsize.txt, empty KRX1 files), line2/, line3/; work/.
class TestDb {
  public:
    explicit TestDb(std::int32_t entries);

    fs::path root() const { return tmp_.path(); }
    fs::path line1() const { return root() / "line1"; }
    fs::path line2() const { return root() / "line2"; }
    fs::path work() const { return root() / "work"; }
    fs::path location() const { return root() / "tarn.loc"; }
    std::string file(const std::string& name) const { return (work() / name).string(); }

    void put(const std::string& name, const std::string& bytes, int line = 1) {
        write_file((line == 2 ? line2() : line1()) / name, bytes);
    }

    // A built tool run in work/ with LOGIC_LOC naming this database.
    RunResult run(const std::string& tool, const Strings& args, RunOptions options = {}) const {
        options.env.try_emplace("LOGIC_LOC", location().string());
        if (options.cwd.empty()) options.cwd = work().string();
        return run_program(tool_path(tool), args, options);
    }
    // Options under which no location file is found, so start-up fails.
    RunOptions unlocated() const {
        return {{{"LOGIC_LOC", file("missing.loc")}, {"HOME", work().string()}}, "", -1};
    }

  private:
    TempDir tmp_;
};

struct KrxEntry {  // of a hand-made KRX1 database
    std::int32_t entid;
    std::string names[4];  // name texts 1 to 4
    int year_code;
    std::string ref[4];                               // journal code, volume, page, authors
    std::vector<std::pair<std::int32_t, int>> lines;  // angle code, intensity
};

// Writes the four KRX1 files and an empty krx2.dat into db's line1/.
void put_entries(TestDb& db, const std::vector<KrxEntry>& entries);

// Codes -10000: d = 1.5098468, 0: 1.0893674, 10000: 0.8956282, 31416: 0.770299,
// -31415: 33222.297; -31416 has none.
std::vector<KrxEntry> five_entries();

// The sample card file built into dir/db; options that run a tool on it in dir.
RunOptions sample_database(const TempDir& dir);

}  // namespace cvtest
