// Test support shared by every test folder: scratch directories and files,
// subfiles, KRX1 records and cards written by hand, a small database in a
// scratch directory, environment variables and the working directory for one
// test, and a runner that starts a built tool and captures what it does.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cvtest {

namespace fs = std::filesystem;

// ---- files and directories ---------------------------------------------------

inline void write_file(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

inline std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline mode_t mode_of(const fs::path& path) {  // the permission bits
    struct stat st {};
    stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

std::vector<std::string> names_in(const fs::path& dir);   // sorted
std::vector<std::string> lines(const std::string& text);  // without line ends

// A fresh directory under $TMPDIR (or /tmp), removed with everything in it.
class TempDir {
  public:
    TempDir();
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const fs::path& path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    std::string slash() const { return path_.string() + "/"; }  // as a directory line
    std::string bare() const { return path_.string(); }
    void write(const std::string& name, std::string_view content) const {
        write_file(path_ / name, std::string(content));
    }

  private:
    fs::path path_;
};

// Sets (a value) or unsets (nullopt) an environment variable for the life of
// the object.
class ScopedEnv {
  public:
    ScopedEnv(std::string name, const std::optional<std::string>& value) : name_(std::move(name)) {
        if (const char* old = std::getenv(name_.c_str())) old_ = old;
        set(value);
    }
    ~ScopedEnv() { set(old_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    void set(const std::optional<std::string>& v) const {
        v ? setenv(name_.c_str(), v->c_str(), 1) : unsetenv(name_.c_str());
    }
    std::string name_;
    std::optional<std::string> old_;
};

// Changes the working directory for the life of the object.
class ScopedCwd {
  public:
    explicit ScopedCwd(const fs::path& dir) : old_(fs::current_path()) { fs::current_path(dir); }
    ~ScopedCwd() { fs::current_path(old_); }
    ScopedCwd(const ScopedCwd&) = delete;
    ScopedCwd& operator=(const ScopedCwd&) = delete;

  private:
    fs::path old_;
};

// ---- subfiles (host byte order) ----------------------------------------------

// A 100-character history record: the text cut or padded with blanks.
inline std::string record(const std::string& text) {
    std::string r = text.substr(0, 100);
    r.resize(100, ' ');
    return r;
}

// n, the words given (not necessarily (n+31)/32 of them, so damaged files can
// be made too), the record count and the records.
inline std::string subfile_bytes(std::int32_t n, const std::vector<std::uint32_t>& words,
                                 const std::vector<std::string>& records) {
    std::string out(reinterpret_cast<const char*>(&n), 4);
    for (std::uint32_t w : words) out.append(reinterpret_cast<const char*>(&w), 4);
    const auto k = static_cast<std::int32_t>(records.size());
    out.append(reinterpret_cast<const char*>(&k), 4);
    for (const auto& r : records) out += record(r);
    return out;
}

// ---- KRX1 records (big-endian) -------------------------------------------------

inline std::string bytes(std::initializer_list<int> values) {  // bytes({0x00, 0x2A})
    std::string out;
    for (int v : values) out += static_cast<char>(static_cast<unsigned char>(v));
    return out;
}

inline std::string be32(std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    return bytes({int(u >> 24), int((u >> 16) & 0xFF), int((u >> 8) & 0xFF), int(u & 0xFF)});
}

// kelpa.ind: identifier, then the offsets in name.lib, di.lib, ref.lib, krx2.dat.
inline std::string index_record(std::int32_t entid, std::int32_t namoff, std::int32_t dioff,
                                std::int32_t refoff, std::int32_t recoff) {
    return be32(entid) + be32(namoff) + be32(dioff) + be32(refoff) + be32(recoff);
}

// A length byte per text, the year code when not negative, then the texts.
inline std::string texts_record(const std::vector<std::string>& texts, int year_code = -1) {
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

// From (angle code, intensity) pairs.
inline std::string di_record(const std::vector<std::pair<std::int32_t, int>>& lines) {
    std::string r = bytes({static_cast<int>(lines.size())});
    for (const auto& line : lines) r += bytes({(line.first >> 8) & 0xFF, line.first & 0xFF});
    for (const auto& line : lines) r += bytes({line.second});
    return r;
}

// Writes content to path and opens it for reading into a Library handle,
// closing what the handle held before.
inline void put_file(std::FILE*& handle, const std::string& path, const std::string& content) {
    if (handle != nullptr) std::fclose(handle);
    write_file(path, content);
    handle = std::fopen(path.c_str(), "rb");
}

// ---- cards ----------------------------------------------------------------------

// An 80-column card: body from column 1, type code in column 80.
inline std::string card(std::string_view body, char type) {
    std::string c(body.substr(0, 79));
    c.resize(79, ' ');
    return c + type;
}

// Cards in short notation: the first character is the type code, the rest the
// body ("9Xa, A." is a type-9 card holding "Xa, A.").
inline std::string cards(const std::vector<std::string>& short_cards) {
    std::string r;
    for (const auto& c : short_cards) r += card(std::string_view(c).substr(1), c[0]);
    return r;
}

// Puts text at 1-based column first.
inline std::string& at(std::string& crd, int first, std::string_view text) {
    return crd.replace(static_cast<std::size_t>(first - 1), text.size(), text);
}

// 80 characters and a line end: one record of a direct-access code table.
inline std::string rec81(std::string_view text) {
    std::string r(text);
    r.resize(80, ' ');
    return r + "\n";
}

// ---- running a built tool ---------------------------------------------------------

struct RunOptions {
    std::map<std::string, std::optional<std::string>> env;  // set, or remove with nullopt
    std::string cwd;                                        // empty: the parent's
    long long file_size_limit = -1;  // bytes, when not negative: writes past it fail
};

struct RunResult {
    std::string out, err;
    int status = -1;  // exit status, -1 when the child did not exit normally
    int signal = 0;
};

inline std::string tool_path(const std::string& name) {
    return std::string(CORVANE_BIN_DIR) + "/" + name;
}

// Standard input from /dev/null; standard output and error captured whole.
RunResult run_program(const std::string& program, const std::vector<std::string>& args,
                      const RunOptions& options = {});

// ---- a database ---------------------------------------------------------------------

// line1/ holds pdsize.txt ("<entries> 0 0 0 0") and the four KRX1 files (empty
// unless put()), line2/ and line3/ are empty, tarn.loc names the three;
// scratch files go in work/.
class TestDb {
  public:
    explicit TestDb(std::int32_t entries);

    fs::path root() const { return tmp_.path(); }
    fs::path line1() const { return root() / "line1"; }
    fs::path line2() const { return root() / "line2"; }
    fs::path line3() const { return root() / "line3"; }
    fs::path work() const { return root() / "work"; }
    fs::path location() const { return root() / "tarn.loc"; }
    std::string file(const std::string& name) const { return (work() / name).string(); }

    void write_location(const std::string& l1, const std::string& l2, const std::string& l3) {
        write_file(location(), l1 + "\n" + l2 + "\n" + l3 + "\n");
    }
    void put(const std::string& name, const std::string& bytes, int line = 1) {
        write_file((line == 2 ? line2() : line1()) / name, bytes);
    }
    void remove(const std::string& name, int line = 1) {
        fs::remove((line == 2 ? line2() : line1()) / name);
    }
    void put_krx2(const std::string& bytes) { put("krx2.dat", bytes); }

    // A built tool with LOGIC_LOC naming this database (unless the options set
    // it), run in work/.
    RunResult run(const std::string& tool, const std::vector<std::string>& args,
                  RunOptions options = {}) const {
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

// One entry of a hand-made KRX1 database.
struct KrxEntry {
    std::int32_t entid;
    std::string names[4];  // name texts 1 to 4
    int year_code;
    std::string ref[4];                               // journal code, volume, page, authors
    std::vector<std::pair<std::int32_t, int>> lines;  // angle code, intensity
};

// Writes kelpa.ind, name.lib, di.lib, ref.lib and an empty krx2.dat for the
// entries into db's line-1 directory.
void put_entries(TestDb& db, const std::vector<KrxEntry>& entries);

// Five entries for the search and listing tools. Their angle codes have known
// d-spacings: -10000 is 1.5098468, 0 is 1.0893674, 10000 is 0.8956282, 31416
// is 0.770299, -31415 is 33222.297, and -31416 has none.
std::vector<KrxEntry> five_entries();

}  // namespace cvtest
