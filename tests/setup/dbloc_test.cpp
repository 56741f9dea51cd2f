#include <corvane/setup/dbloc.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <filesystem>
#include <string>

#include "tool/testdb.h"

namespace fs = std::filesystem;
using cvtest::ScopedEnv;
using cvtest::TempDir;
using cvtest::write_file;

namespace {

struct Read {
    int status = -99;
    std::string line1 = "unset", line2 = "unset", line3 = "unset";
    std::array<std::int32_t, 5> sizes = {-7, -7, -7, -7, -7};
};

// cv_readdbloc with LOGIC_LOC and HOME as given (nullopt: unset).
Read read_with(const std::optional<std::string>& loc, const std::optional<std::string>& home) {
    ScopedEnv l("LOGIC_LOC", loc);
    ScopedEnv h("HOME", home);
    Read r;
    r.status = corvane::cv_readdbloc(r.line1, r.line2, r.line3, r.sizes[0], r.sizes[1], r.sizes[2],
                                     r.sizes[3], r.sizes[4]);
    return r;
}

// A temporary directory with the subdirectories d1 and d2.
struct Dirs {
    TempDir tmp;
    std::string d1 = tmp / "d1";
    std::string d2 = tmp / "d2";
    std::string empty_home = tmp / "home";
    Dirs() {
        fs::create_directory(d1);
        fs::create_directory(d2);
        fs::create_directory(empty_home);
    }
    std::string loc() const { return tmp / "loc"; }
};

}  // namespace

TEST(ReadDbLoc, ReadsThreeLinesAndFiveSizes) {
    Dirs d;
    const std::string deep = d.tmp / std::string(90, 'p');  // long paths are kept whole
    fs::create_directory(deep);
    const struct {
        std::string loc, sizes_dir, sizes, line1, line3;
        std::array<std::int32_t, 5> numbers;
    } cases[] = {
        {d.d1 + "\n" + d.d2 + "\n/third\nignored fourth line\n",
         d.d1,
         "12 -3 +4 5 6 and anything after\n",
         d.d1,
         "/third",
         {12, -3, 4, 5, 6}},
        // line ends and trailing blanks and control characters are stripped
        {d.d1 + " \t\r\n" + d.d2 + "\r\n/third\r\n",
         d.d1,
         "1\n2\n3\n4\n5\n",
         d.d1,
         "/third",
         {1, 2, 3, 4, 5}},
        {d.d1 + "\n" + d.d2 + "\nlast", d.d1, "1 2 3 4 5", d.d1, "last", {1, 2, 3, 4, 5}},
        {deep + "\n" + d.d2 + "\nx\n", deep, "3 0 0 0 0", deep, "x", {3, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.loc);
        write_file(d.loc(), c.loc);
        write_file(c.sizes_dir + "/pdsize.txt", c.sizes);
        const auto r = read_with(d.loc(), d.empty_home);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.line1, c.line1);
        EXPECT_EQ(r.line2, d.d2);
        EXPECT_EQ(r.line3, c.line3);
        EXPECT_EQ(r.sizes, c.numbers);
    }
}

TEST(ReadDbLoc, LocationFileCandidatesInOrder) {
    Dirs d;
    const std::string home = d.tmp / "h";
    fs::create_directory(home);
    write_file(home + "/.tarn_files_loc", d.d2 + "\n" + d.d1 + "\nfrom home\n");
    write_file(d.d1 + "/pdsize.txt", "9 9 9 9 9");

    // LOGIC_LOC naming a missing file, a directory or a FIFO with no writer
    // (which would block a plain open) is passed over.
    const std::string fifo = d.tmp / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& loc : {d.tmp / "missing", d.d1, fifo}) {
        const auto r = read_with(loc, home);
        EXPECT_EQ(r.status, 0) << loc;
        EXPECT_EQ(r.line3, "from home");
    }
    // LOGIC_LOC unset: HOME's file too.
    EXPECT_EQ(read_with(std::nullopt, home).line3, "from home");

    // A readable LOGIC_LOC file comes first.
    write_file(d.loc(), d.d1 + "\n" + d.d2 + "\nfrom LOGIC_LOC\n");
    EXPECT_EQ(read_with(d.loc(), home).line3, "from LOGIC_LOC");

    // HOME's candidate, when a directory, is passed over as well.
    fs::remove(home + "/.tarn_files_loc");
    fs::create_directory(home + "/.tarn_files_loc");
    if (!fs::exists("/usr/local/tarn_files_loc.txt") && !fs::exists(".\\tarnloc.txt") &&
        !fs::exists("C:\\tarnloc.txt")) {
        EXPECT_EQ(read_with(d.tmp / "missing", home).status, -1);
        // An empty HOME is skipped, and nothing else is found.
        EXPECT_EQ(read_with(d.tmp / "missing", "").status, -1);
        EXPECT_EQ(read_with(std::nullopt, std::nullopt).status, -1);
    }
}

TEST(ReadDbLoc, LocationFileEndingEarly) {
    Dirs d;
    write_file(d.d1 + "/pdsize.txt", "1 2 3 4 5");
    write_file(d.loc(), d.d1 + "\n" + d.d2 + "\n");
    auto r = read_with(d.loc(), d.empty_home);
    EXPECT_EQ(r.status, -2);
    EXPECT_EQ(r.line1, d.d1);  // the lines read keep their text
    EXPECT_EQ(r.line2, d.d2);
    EXPECT_EQ(r.line3, "unset");

    write_file(d.loc(), "");
    EXPECT_EQ(read_with(d.loc(), d.empty_home).status, -2);
}

TEST(ReadDbLoc, SizesFileFromTheFirstDirectoryElseTheSecond) {
    Dirs d;
    write_file(d.loc(), d.d1 + "/\n" + d.d2 + "\nx\n");  // a trailing "/" on line 1
    write_file(d.d2 + "/pdsize.txt", "2 2 2 2 2");
    auto r = read_with(d.loc(), d.empty_home);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.line1, d.d1 + "/");
    EXPECT_EQ(r.sizes[0], 2);

    write_file(d.d1 + "/pdsize.txt", "1 1 1 1 1");
    EXPECT_EQ(read_with(d.loc(), d.empty_home).sizes[0], 1);

    // A directory called pdsize.txt is no sizes file.
    fs::remove(d.d1 + "/pdsize.txt");
    fs::create_directory(d.d1 + "/pdsize.txt");
    EXPECT_EQ(read_with(d.loc(), d.empty_home).sizes[0], 2);

    fs::remove(d.d2 + "/pdsize.txt");
    r = read_with(d.loc(), d.empty_home);
    EXPECT_EQ(r.status, -3);
    EXPECT_EQ(r.line3, "x");  // all three paths set
}

TEST(ReadDbLoc, SizesFileWithFewerThanFiveNumbers) {
    Dirs d;
    write_file(d.loc(), d.d1 + "\n" + d.d2 + "\nx\n");
    write_file(d.d1 + "/pdsize.txt", "10 20 30 40\n");
    auto r = read_with(d.loc(), d.empty_home);
    EXPECT_EQ(r.status, -4);
    // The numbers converted before the failure are stored.
    EXPECT_EQ(r.sizes, (std::array<std::int32_t, 5>{10, 20, 30, 40, -7}));

    write_file(d.d1 + "/pdsize.txt", "10 x 30 40 50\n");
    r = read_with(d.loc(), d.empty_home);
    EXPECT_EQ(r.status, -4);
    EXPECT_EQ(r.sizes[0], 10);
    EXPECT_EQ(r.sizes[1], -7);

    write_file(d.d1 + "/pdsize.txt", "");
    EXPECT_EQ(read_with(d.loc(), d.empty_home).status, -4);
}
