// hitjoin run as a program on databases written into temporary directories.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "support/support.h"

using cvtest::read_file;
using cvtest::RunOptions;
using cvtest::subfile_bytes;
using cvtest::write_file;
using Strings = std::vector<std::string>;

namespace {

// A database of n entries with a record file, so start-up is silent.
struct Db : cvtest::TestDb {
    explicit Db(int n) : TestDb(n) { put_krx2(""); }
};

}  // namespace

TEST(Join, EachOptionIsItsOperation) {
    // 8 entries: a holds 1-3, b holds 3-7. The first file's name is longer
    // than 80 characters and used whole: the file named by its first 80 is
    // not touched.
    Db d(8);
    const std::string a = std::string(85, 'a') + ".sub";
    write_file(d.file(a.substr(0, 80)), "decoy");
    const std::string b = subfile_bytes(8, {0x7Cu}, {"B1"});
    write_file(d.file("b.sub"), b);
    const struct {
        const char *second, *option, *count;
        std::uint32_t word;
        std::string step;
    } cases[] = {
        {"b.sub", "-and", "1\n", 0x04u, "Match by "},
        {"b.sub", "-or", "7\n", 0x7Fu, "Combine using "},
        {"b.sub", "-remove", "2\n", 0x03u, "Remove matching "},
        {"b.sub", "-not", "4\n", 0x78u, "Remove entries in table from "},
        {"self", "-and", "3\n", 0x07u, "Match by "},
        {"self", "-remove", "0\n", 0x00u, "Remove matching "},
    };
    for (const auto& c : cases) {
        write_file(d.file(a), subfile_bytes(8, {0x07u}, {"A1"}));
        const std::string second = std::string(c.second) == "self" ? a : c.second;
        const auto r = d.run("hitjoin", {a, second, c.option});  // names relative to work/
        EXPECT_EQ(r.status, 0) << c.option;
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.out, c.count) << c.option;
        const std::string last = second == a ? "... A1" : "... B1";
        EXPECT_EQ(
            read_file(d.file(a)),
            subfile_bytes(8, {c.word}, {"A1", c.step + "File contents (" + second + ")", last}))
            << c.option;
    }
    EXPECT_EQ(read_file(d.file("b.sub")), b);
    EXPECT_EQ(read_file(d.file(a.substr(0, 80))), "decoy");
}

TEST(Join, UsageErrors) {
    // Only three arguments start the database; with any other count its
    // failure never shows.
    const std::string usage =
        "\nusage:\n\thitjoin <file1> <file2>\n\t\t[ -or | -and | -remove | -not ]\n";
    const std::string missing = "required option missing\n";
    Db d(8);
    const std::pair<Strings, std::string> cases[] = {
        {{"a", "b", "-AND"}, "unknown option: -AND\n" + missing + usage},
        {{"a", "b", ""}, "unknown option: \n" + missing + usage},
        {{"a", "b"}, missing + usage},
        {{"a", "b", "-and", "extra"}, usage},
        {{"a", "b", "-nand", "extra"}, "unknown option: -nand\n" + missing + usage},
    };
    for (const auto& [args, err] : cases) {
        const auto r = d.run("hitjoin", args, args.size() == 3 ? RunOptions{} : d.unlocated());
        EXPECT_EQ(r.status, 1) << err;
        EXPECT_EQ(r.out + r.err, err);
    }
    EXPECT_TRUE(cvtest::names_in(d.work()).empty());  // nothing read, nothing written
}

// Start-up, either read or the save fails: the library's lines, then the
// tool's own; status 1, no count, and both files as they were.
TEST(Join, FailuresChangeNoFile) {
    Db d(40);
    const std::string a = subfile_bytes(40, {0x7u, 0x1u}, Strings(12, "A"));
    write_file(d.file("a"), a);
    chmod(d.file("a").c_str(), 0640);
    write_file(d.file("short"), subfile_bytes(40, {1u, 1u}, {}).substr(0, 7));
    write_file(d.file("other"), subfile_bytes(41, {1u, 1u}, {"B1"}));
    write_file(d.file("b"), subfile_bytes(40, {0x8u, 0x0u}, {"B1", "B2"}));
    RunOptions limited;  // the result needs 8 + 8 + 1500 bytes
    limited.file_size_limit = 500;
    const struct {
        Strings args;
        RunOptions options;
        std::string err;
    } cases[] = {
        {{"a", "b", "-bogus"},
         d.unlocated(),  // the option is not examined
         "cvl_init ERROR: Unable to determine the locations of TARN database\n"
         "error initializing the TARN database\n"},
        {{"gone", "b", "-or"},
         {},
         " readbitmap WARNING: unable to open/read file gone\n"
         "readbitmap ERROR code:    -1\nerror reading subfile gone\n"},
        {{"a", "short", "-or"},
         {},
         " readbitmap WARNING: unable to open/read file short\n"
         "readbitmap ERROR code:    -3\nerror reading subfile short\n"},
        {{"a", "other", "-or"},
         {},
         " readbitmap WARNING: \n bitmap on file other has a different size than current "
         "database\nerror reading subfile other\n"},
        {{"a", "b", "-or"},
         limited,
         " savebitmap WARNING: unable to open/write file a\n"
         "savebitmap ERROR code:    -5\nerror writing subfile a\n"},
    };
    for (const auto& c : cases) {
        const auto r = d.run("hitjoin", c.args, c.options);
        EXPECT_EQ(r.status, 1) << c.err;
        EXPECT_EQ(r.out + r.err, c.err);
        EXPECT_EQ(read_file(d.file("a")), a) << c.err;
    }
    EXPECT_EQ(read_file(d.file("b")), subfile_bytes(40, {0x8u, 0x0u}, {"B1", "B2"}));
    EXPECT_EQ(cvtest::mode_of(d.file("a")), 0640u);
    EXPECT_EQ(cvtest::names_in(d.work()), (Strings{"a", "b", "other", "short"}));
}
