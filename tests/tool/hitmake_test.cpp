// hitmake run as a program on databases written into temporary directories.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tool/testdb.h"

namespace fs = std::filesystem;
using cvtest::read_file;
using cvtest::RunOptions;
using cvtest::subfile_bytes;
using cvtest::write_file;

namespace {

const std::string kUsage =
    "\nusage:\n"
    "\thitmake <outfile> <entry>...\n"
    "\t\t(entry numbers, or ranges such as 3-7)\n";

const std::string kStart = "Starting from full database";

// A database of n entries with a record file, so start-up is silent.
struct Db : cvtest::TestDb {
    explicit Db(int n) : TestDb(n) { put_krx2(""); }
    cvtest::RunResult make(const std::vector<std::string>& args, RunOptions options = {}) const {
        return run("hitmake", args, options);
    }
};

}  // namespace

TEST(Make, WritesTheListedEntriesWithTheirHistory) {
    Db d(40);
    const auto r = d.make({"out.sub", "3", "1-2", "7", "40"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "5\n");
    // Entries 1, 2, 3, 7 in word 0; entry 40 is bit 7 of word 1.
    EXPECT_EQ(read_file(d.file("out.sub")),
              subfile_bytes(40, {0x47u, 0x80u}, {kStart, "Match by entries 1-3,7,40"}));
}

TEST(Make, SelectionIsNamedBySortedMergedRuns) {
    Db d(64);
    const auto r = d.make({"o", "33", "7-12", "5-9", "1", "64"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "11\n");
    EXPECT_EQ(read_file(d.file("o")), subfile_bytes(64, {0x00000FF1u, 0x80000001u},
                                                    {kStart, "Match by entries 1,5-12,33,64"}));
}

TEST(Make, LongSelectionTextIsCutAtOneHundred) {
    Db d(60);
    std::vector<std::string> args = {"o"};
    for (int k = 1; k <= 59; k += 2) args.push_back(std::to_string(k));
    const auto r = d.make(args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "30\n");
    const std::string text =
        "Match by entries 1,3,5,7,9,11,13,15,17,19,21,23,25,27,29,31,33,35,37,39,41,43,45,47,"
        "49,51,53,55,57,5";
    ASSERT_EQ(text.size(), 100u);
    EXPECT_EQ(read_file(d.file("o")).substr(8 + 8 + 100, 100), text);
}

TEST(Make, UsageErrorsLeaveTheFileAsItWas) {
    Db d(40);
    write_file(d.file("keep"), "existing contents");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, std::vector<std::string>{"keep"}}) {
        const auto r = d.make(args, d.unlocated());  // start-up is not run
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "outfile and at least one entry required\n" + kUsage);
    }

    const auto r = d.make({"keep", "x", "3-1", "-3", "1-", "+4", "2", "", "4-5-6"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "invalid entry: x\n"
              "invalid entry: 3-1\n"
              "invalid entry: -3\n"
              "invalid entry: 1-\n"
              "invalid entry: +4\n"
              "invalid entry: \n"
              "invalid entry: 4-5-6\n" +
                  kUsage);
    EXPECT_EQ(read_file(d.file("keep")), "existing contents");
}

TEST(Make, EntriesOutsideTheDatabase) {
    Db d(40);
    const auto r = d.make({"new", "0", "41", "39-41", "1", "99999999999999999999999"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "entry out of range: 0 (the database has 40 entries)\n"
              "entry out of range: 41 (the database has 40 entries)\n"
              "entry out of range: 39-41 (the database has 40 entries)\n"
              "entry out of range: 99999999999999999999999 (the database has 40 entries)\n");
    EXPECT_FALSE(fs::exists(d.file("new")));
}

TEST(Make, StartUpFailure) {
    Db d(40);
    d.remove("di.lib");
    const auto r = d.make({"new", "1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "cvl_init ERROR: Unable to open file KRX1 DI file (di.lib) on " +
                         d.line1().string() + " or " + d.line2().string() +
                         "\n"
                         "cvl_init ERROR: Check paths in /usr/local/corvane.txtor ~/.corvane\n"
                         "cvl_init ERROR: for correct database location\n"
                         "error initializing the TARN database\n");
    EXPECT_FALSE(fs::exists(d.file("new")));
}

TEST(Make, FailedSaveKeepsTheFile) {
    Db d(40);
    write_file(d.file("keep"), "existing contents");
    RunOptions limited;
    limited.file_size_limit = 100;  // the new file needs 8 + 8 + 200 bytes
    const auto r = d.make({"keep", "1-3"}, limited);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              " savebitmap WARNING: unable to open/write file keep\n"
              "savebitmap ERROR code:    -5\n"
              "error writing subfile keep\n");
    EXPECT_EQ(read_file(d.file("keep")), "existing contents");
}
