// Hostile location and sizes files: control characters inside a path and
// lines beyond the length bound are refused; nothing is read past the bound.
#include <corvane/setup/dbloc.h>
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>

#include "tool/testdb.h"

namespace fs = std::filesystem;
using cvtest::ScopedEnv;
using cvtest::TempDir;
using cvtest::write_file;
using namespace std::string_literals;

namespace {

struct Result {
    int status = -99;
    std::string line1 = "unset", line2 = "unset", line3 = "unset";
    std::array<std::int32_t, 5> sizes = {-7, -7, -7, -7, -7};
};

Result read_loc(const std::string& loc, const std::string& home) {
    ScopedEnv l("LOGIC_LOC", loc);
    ScopedEnv h("HOME", home);
    Result r;
    r.status = corvane::cv_readdbloc(r.line1, r.line2, r.line3, r.sizes[0], r.sizes[1], r.sizes[2],
                                     r.sizes[3], r.sizes[4]);
    return r;
}

}  // namespace

TEST(ReadDbLocLimits, ControlCharactersAndOverlongLocationLines) {
    TempDir tmp;
    const std::string db = tmp / "db";
    const std::string loc = tmp / "loc";
    fs::create_directory(db);
    write_file(db + "/pdsize.txt", "1 2 3 4 5\n");
    const std::string longest(4096, 'x');  // the bound itself is still a line
    const struct {
        std::string loc;
        int status;
        std::string line1;  // "unset" when the first line was refused
    } cases[] = {
        {db + "\n/b\n/c\n", 0, db},
        {db + "\0\0 \n/b\n/c\n"s, 0, db},  // NULs in the stripped tail are line end
        {db + "\0/evil\n/b\n/c\n"s, -2, "unset"},
        {db + "\n/b\0x\n/c\n"s, -2, db},  // the lines before keep their text
        {db + "\n/b\n/c\x01x\n", -2, db},
        {db + "\x7f/x\n/b\n/c\n", -2, "unset"},
        {db + "\r/x\n/b\n/c\n", -2, "unset"},
        {"/a\tb\n" + db + "\n/c\n", 0, "/a\tb"},  // a tab may be part of a path
        {"/" + longest.substr(1) + "\n" + db + "\n/c\n", 0, "/" + longest.substr(1)},
        {"/" + longest + "\n" + db + "\n/c\n", -2, "unset"},
        {db + "\n" + std::string(1 << 20, ' ') + "\n/c\n", -2, db},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.loc.substr(0, 60));
        write_file(loc, c.loc);
        const Result r = read_loc(loc, tmp / "nohome");
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.line1, c.line1);
    }
}

TEST(ReadDbLocLimits, SizesFileLinesAndSeparators) {
    TempDir tmp;
    const std::string db = tmp / "db";
    fs::create_directory(db);
    write_file(tmp / "loc", db + "\n" + db + "\n/c\n");
    using Sizes = std::array<std::int32_t, 5>;
    const struct {
        std::string sizes;
        int status;
        Sizes numbers;
    } cases[] = {
        {"1\v2\f3\r\n4\t5", 0, {1, 2, 3, 4, 5}},
        {"1 2 3 4 5 " + std::string(100000, 'x'), 0, {1, 2, 3, 4, 5}},  // never read
        {"1 2 3\0 4 5"s, -4, {1, 2, 3, -7, -7}},
        {"1 2 3 4 2147483648", -4, {1, 2, 3, 4, -7}},
        {"-2147483648 0 0 0 00000000000000000000000000000000000001", 0, {INT32_MIN, 0, 0, 0, 1}},
        {std::string(4000, ' ') + "1\n2 3 4 5", 0, {1, 2, 3, 4, 5}},
        {std::string(4096, ' ') + "1\n2 3 4 5", -4, {-7, -7, -7, -7, -7}},
        {"1\n2\n" + std::string(5000, '0') + "3 4 5", -4, {1, 2, -7, -7, -7}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sizes.substr(0, 40));
        write_file(db + "/pdsize.txt", c.sizes);
        const Result r = read_loc(tmp / "loc", tmp / "nohome");
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.sizes, c.numbers);
    }
}
