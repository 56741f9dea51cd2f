// hitjoin run as a program on databases written into temporary directories.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "tool/testdb.h"

namespace fs = std::filesystem;
using cvtest::read_file;
using cvtest::record;
using cvtest::RunOptions;
using cvtest::RunResult;
using cvtest::subfile_bytes;
using cvtest::TestDb;
using cvtest::write_file;

namespace {

const std::string kUsage =
    "\nusage:\n"
    "\thitjoin <file1> <file2>\n"
    "\t\t[ -or | -and | -remove | -not ]\n";

// A database of n entries with a record file, so start-up is silent.
struct Db {
    explicit Db(int n) : db(n) { db.put_krx2(""); }
    RunResult join(const std::vector<std::string>& args, RunOptions options = {}) const {
        return db.run("hitjoin", args, options);
    }
    std::string file(const std::string& name) const { return db.file(name); }
    TestDb db;
};

mode_t mode_of(const std::string& path) {
    struct stat st {};
    stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

std::vector<std::string> names_in(const fs::path& dir) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir)) out.push_back(e.path().filename());
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace

// ---- the four operations ----------------------------------------------------------

TEST(Join, FourOperationsWithSpareBits) {
    // 40 entries: word 1 holds entries 33..40 in its low 8 bits, the rest are
    // spare. a: entries 1-3, 33 and spare bit 8; b: entries 3, 4, 34, 40 and
    // spare bit 31. A complement keeps the spare bits of the table it inverts.
    const struct {
        const char* option;
        const char* count;
        std::uint32_t w0, w1;
        const char* step;
    } cases[] = {
        {"-and", "1\n", 0x4u, 0x0u, "Match by File contents (b.sub)"},
        // entries 1-4, 33, 34, 40 and both spare bits
        {"-or", "9\n", 0xFu, 0x80000183u, "Combine using File contents (b.sub)"},
        // a without b: entries 1, 2, 33; b's complement has spare bit 31 only
        {"-remove", "3\n", 0x3u, 0x1u, "Remove matching File contents (b.sub)"},
        // b without a: entries 4, 34, 40; a's complement has spare bit 8 only
        {"-not", "3\n", 0x8u, 0x82u, "Remove entries in table from File contents (b.sub)"},
    };
    for (const auto& c : cases) {
        Db d(40);
        write_file(d.file("a.sub"), subfile_bytes(40, {0x7u, 0x101u}, {"A1"}));
        const std::string b = subfile_bytes(40, {0xCu, 0x80000082u}, {"B1", "B2"});
        write_file(d.file("b.sub"), b);
        const auto r = d.join({"a.sub", "b.sub", c.option});  // names relative to work/
        EXPECT_EQ(r.status, 0) << c.option;
        EXPECT_EQ(r.err, "") << c.option;
        EXPECT_EQ(r.out, c.count) << c.option;
        EXPECT_EQ(read_file(d.file("a.sub")),
                  subfile_bytes(40, {c.w0, c.w1}, {"A1", c.step, "... B1", "... B2"}))
            << c.option;
        EXPECT_EQ(read_file(d.file("b.sub")), b) << c.option;
    }
}

TEST(Join, WholeWordsWithSixtyFourEntries) {
    const struct {
        const char* option;
        const char* count;
        std::uint32_t w0, w1;
        const char* prefix;
    } cases[] = {
        {"-and", "16\n", 0xFF000000u, 0x00000F0Fu, "Match by "},
        {"-or", "48\n", 0xFFFFFF00u, 0x0F0FFFFFu, "Combine using "},
        {"-remove", "16\n", 0x00FF0000u, 0x0000F0F0u, "Remove matching "},
        {"-not", "16\n", 0x0000FF00u, 0x0F0F0000u, "Remove entries in table from "},
    };
    for (const auto& c : cases) {
        Db d(64);
        write_file(d.file("a"), subfile_bytes(64, {0xFFFF0000u, 0x0000FFFFu}, {}));
        write_file(d.file("b"), subfile_bytes(64, {0xFF00FF00u, 0x0F0F0F0Fu}, {}));
        const auto r = d.join({"a", "b", c.option});
        EXPECT_EQ(r.status, 0) << c.option;
        EXPECT_EQ(r.out, c.count) << c.option;
        EXPECT_EQ(read_file(d.file("a")),
                  subfile_bytes(64, {c.w0, c.w1}, {std::string(c.prefix) + "File contents (b)"}))
            << c.option;
    }
}

TEST(Join, AFileWithItself) {
    Db d(40);
    write_file(d.file("a"), subfile_bytes(40, {0x10Fu, 0x0u}, {"A1"}));
    auto r = d.join({"a", "a", "-and"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "5\n");
    EXPECT_EQ(read_file(d.file("a")),
              subfile_bytes(40, {0x10Fu, 0x0u}, {"A1", "Match by File contents (a)", "... A1"}));
    r = d.join({"a", "a", "-remove"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "0\n");
}

TEST(Join, HistoryRecordsAreCutToOneHundredCharacters) {
    Db d(8);
    write_file(d.file("a"), subfile_bytes(8, {0x1u}, {std::string(100, 'a')}));
    write_file(d.file("b"), subfile_bytes(8, {0x2u}, {std::string(100, 'b')}));
    const auto r = d.join({"a", "b", "-or"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(read_file(d.file("a")),
              subfile_bytes(8, {0x3u},
                            {std::string(100, 'a'), "Combine using File contents (b)",
                             "... " + std::string(96, 'b')}));
}

// ---- usage errors ---------------------------------------------------------------

TEST(Join, UnknownOptionGivesBothLinesAndTheUsage) {
    Db d(8);
    for (const char* option : {"-xor", "-AND", "and", ""}) {
        const auto r = d.join({"a", "b", option});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "unknown option: " + std::string(option) + "\nrequired option missing\n" +
                             kUsage);
    }
    EXPECT_TRUE(names_in(d.db.work()).empty());  // nothing read, nothing written
}

TEST(Join, WrongArgumentCountsSkipStartUp) {
    // A database that would fail to start: its messages never show.
    Db d(8);
    RunOptions broken;
    broken.env["LOGIC_LOC"] = d.file("missing.loc");
    broken.env["HOME"] = d.db.work().string();

    auto r = d.join({"a", "b"}, broken);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "required option missing\n" + kUsage);
    r = d.join({}, broken);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "required option missing\n" + kUsage);
    // A recognised third argument among four: only the usage.
    r = d.join({"a", "b", "-and", "extra"}, broken);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, kUsage);
    r = d.join({"a", "b", "-nand", "extra"}, broken);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "unknown option: -nand\nrequired option missing\n" + kUsage);
    EXPECT_EQ(r.out, "");
}

// ---- start-up --------------------------------------------------------------------

TEST(Join, StartUpFailureComesFirst) {
    Db d(8);
    write_file(d.file("a"), subfile_bytes(8, {0x1u}, {}));
    const std::string before = read_file(d.file("a"));
    RunOptions broken;
    broken.env["LOGIC_LOC"] = d.file("missing.loc");
    broken.env["HOME"] = d.db.work().string();
    const auto r = d.join({"a", "a", "-bogus"}, broken);  // the option is not examined
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "cvl_init ERROR: Unable to determine the locations of TARN database\n"
              "error initializing the TARN database\n");
    EXPECT_EQ(read_file(d.file("a")), before);
}

TEST(Join, DatabaseTooLargeForTheTablesIsRefused) {
    Db d(8);
    write_file(d.db.line1() / "pdsize.txt", "250017 1 1 1 1\n");
    const auto r = d.join({"a", "b", "-or"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "cvl_init ERROR: Entry count 250017 in pdsize.txt is not between 0 and 250016\n"
              "error initializing the TARN database\n");
}

// ---- read failures ---------------------------------------------------------------

TEST(Join, MissingFirstFile) {
    Db d(8);
    const auto r = d.join({"missing.sub", "also-missing.sub", "-and"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              " readbitmap WARNING: unable to open/read file missing.sub\n"
              "readbitmap ERROR code:    -1\n"
              "error reading subfile missing.sub\n");
    EXPECT_TRUE(names_in(d.db.work()).empty());
}

TEST(Join, MissingOrDamagedSecondFileLeavesTheFirst) {
    Db d(40);
    write_file(d.file("a"), subfile_bytes(40, {0x7u, 0x1u}, {"A1"}));
    const std::string before = read_file(d.file("a"));

    auto r = d.join({"a", "gone", "-or"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              " readbitmap WARNING: unable to open/read file gone\n"
              "readbitmap ERROR code:    -1\n"
              "error reading subfile gone\n");

    // Ends inside the table words.
    write_file(d.file("t"), subfile_bytes(40, {0x7u, 0x1u}, {}).substr(0, 7));
    r = d.join({"a", "t", "-or"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              " readbitmap WARNING: unable to open/read file t\n"
              "readbitmap ERROR code:    -3\n"
              "error reading subfile t\n");

    // Ends inside its history records.
    write_file(d.file("h"), subfile_bytes(40, {0x7u, 0x1u}, {"x", "y"}).substr(0, 150));
    r = d.join({"a", "h", "-or"});
    EXPECT_EQ(r.err.substr(r.err.find("readbitmap ERROR")),
              "readbitmap ERROR code:    -5\n"
              "error reading subfile h\n");

    // A directory is no subfile.
    fs::create_directory(d.file("dir"));
    r = d.join({"a", "dir", "-or"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("readbitmap ERROR code:    -1\n"), std::string::npos);

    EXPECT_EQ(r.out, "");
    EXPECT_EQ(read_file(d.file("a")), before);
}

TEST(Join, TableOfAnotherSize) {
    Db d(40);
    write_file(d.file("a.sub"), subfile_bytes(40, {0x7u, 0x1u}, {"A1"}));
    write_file(d.file("b.sub"), subfile_bytes(41, {0x7u, 0x1u}, {"B1"}));
    const std::string before = read_file(d.file("a.sub"));
    // " readbitmap WARNING: " (21) and the 63-character message reach 80: the
    // message moves to a line of its own.
    auto r = d.join({"a.sub", "b.sub", "-and"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              " readbitmap WARNING: \n"
              " bitmap on file b.sub has a different size than current database\n"
              "error reading subfile b.sub\n");
    EXPECT_EQ(read_file(d.file("a.sub")), before);

    r = d.join({"b.sub", "a.sub", "-and"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              " readbitmap WARNING: \n"
              " bitmap on file b.sub has a different size than current database\n"
              "error reading subfile b.sub\n");
}

TEST(Join, CountsBeyondTheTablesAreRefused) {
    Db d(40);
    write_file(d.file("a"), subfile_bytes(40, {0x7u, 0x1u}, {"A1"}));
    const std::string before = read_file(d.file("a"));
    const std::vector<std::uint32_t> two = {1u, 1u};
    const struct {
        std::string bytes;
        const char* code;
    } cases[] = {
        {subfile_bytes(-40, two, {}), "-2"},
        {subfile_bytes(300000, two, {}), "-2"},
        {subfile_bytes(40, two, std::vector<std::string>(101, "r")), "-4"},
        {subfile_bytes(40, two, {}).substr(0, 12) + std::string("\xfe\xff\xff\xff", 4), "-4"},
    };
    for (const auto& c : cases) {
        write_file(d.file("bad"), c.bytes);
        const auto r = d.join({"a", "bad", "-or"});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err,
                  " readbitmap WARNING: unable to open/read file bad\n"
                  "readbitmap ERROR code:    " +
                      std::string(c.code) +
                      "\n"
                      "error reading subfile bad\n");
        EXPECT_EQ(read_file(d.file("a")), before);
    }
}

// ---- saving ------------------------------------------------------------------------

TEST(Join, FailedSaveKeepsTheFileAndFails) {
    // Under a file-size limit of 400 bytes the result (8 + 8 + 600 bytes)
    // cannot be written; the records block is the one that fails.
    Db d(40);
    write_file(d.file("a"), subfile_bytes(40, {0x7u, 0x1u}, {"A1", "A2", "A3"}));
    write_file(d.file("b"), subfile_bytes(40, {0x8u, 0x0u}, {"B1", "B2"}));
    chmod(d.file("a").c_str(), 0640);
    const std::string before = read_file(d.file("a"));
    RunOptions limited;
    limited.file_size_limit = 400;
    const auto r = d.join({"a", "b", "-or"}, limited);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              " savebitmap WARNING: unable to open/write file a\n"
              "savebitmap ERROR code:    -5\n"
              "error writing subfile a\n");
    EXPECT_EQ(read_file(d.file("a")), before);
    EXPECT_EQ(mode_of(d.file("a")), 0640u);
    EXPECT_EQ(names_in(d.db.work()), (std::vector<std::string>{"a", "b"}));

    // The same run without the limit succeeds and keeps the permissions.
    const auto ok = d.join({"a", "b", "-or"});
    EXPECT_EQ(ok.status, 0);
    EXPECT_EQ(ok.out, "5\n");  // entries 1-4 and 33
    EXPECT_EQ(mode_of(d.file("a")), 0640u);
}

TEST(Join, LongNamesAreUsedWhole) {
    Db d(8);
    const std::string a = std::string(85, 'a') + ".sub";
    const std::string b = std::string(120, 'b') + ".sub";
    // Files named by the first 80 characters must not be touched.
    write_file(d.file(a.substr(0, 80)), "decoy a");
    write_file(d.file(b.substr(0, 80)), "decoy b");
    write_file(d.file(a), subfile_bytes(8, {0x1u}, {}));
    write_file(d.file(b), subfile_bytes(8, {0x6u}, {}));
    const auto r = d.join({a, b, "-or"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "3\n");
    // The history record holds the start of the step's text, cut at 100.
    EXPECT_EQ(read_file(d.file(a)),
              subfile_bytes(8, {0x7u}, {"Combine using File contents (" + b.substr(0, 71)}));
    EXPECT_EQ(read_file(d.file(a.substr(0, 80))), "decoy a");
    EXPECT_EQ(read_file(d.file(b.substr(0, 80))), "decoy b");

    // A long name that does not exist is reported whole.
    const std::string gone = std::string(90, 'g');
    const auto m = d.join({gone, b, "-or"});
    EXPECT_EQ(m.status, 1);
    EXPECT_EQ(m.err,
              " readbitmap WARNING: \n"
              " unable to open/read file " +
                  gone +
                  "\n"
                  "readbitmap ERROR code:    -1\n"
                  "error reading subfile " +
                  gone + "\n");
}

// ---- hostile subfiles ----------------------------------------------------------------

TEST(Join, HostileSubfilesNeverCrashOrDamage) {
    // Random files from a fixed seed: random bytes, or a plausible header with
    // random counts, cut at a random length. Whatever they hold, hitjoin ends
    // with status 0 or 1, never changes file2, and leaves file1 as it was
    // whenever it fails.
    Db d(70);
    std::mt19937 rng(77031);
    RunOptions options;
    options.env["ASAN_OPTIONS"] = "exitcode=99";
    options.env["UBSAN_OPTIONS"] = "exitcode=98:print_stacktrace=1";
    const char* ops[] = {"-and", "-or", "-remove", "-not"};
    auto random_file = [&rng]() {
        const std::int32_t counts[] = {70, 70, 70, -1, 0, 69, 71, 250016, 250017, 1 << 30};
        const std::int32_t n = counts[rng() % 10];
        std::vector<std::uint32_t> words(rng() % 5);
        for (auto& w : words) w = static_cast<std::uint32_t>(rng());
        std::vector<std::string> records(rng() % 4, std::string(100, 'r'));
        std::string bytes = subfile_bytes(n, words, records);
        if (rng() % 3 == 0) {
            const std::int32_t k = static_cast<std::int32_t>(rng());
            if (bytes.size() >= 16) std::memcpy(bytes.data() + 12, &k, 4);
        }
        if (rng() % 4 == 0) {
            for (auto& c : bytes) c = static_cast<char>(rng());
        }
        bytes.resize(rng() % (bytes.size() + 8));
        return bytes;
    };
    const std::string good = subfile_bytes(70, {0xF0F0F0F0u, 0x0F0F0F0Fu, 0x3Fu}, {"G"});
    for (int round = 0; round < 48; ++round) {
        const bool first_hostile = round % 3 == 0;
        const std::string one = first_hostile ? random_file() : good;
        const std::string two = random_file();
        write_file(d.file("one"), one);
        write_file(d.file("two"), two);
        const auto r = d.join({"one", "two", ops[round % 4]}, options);
        ASSERT_EQ(r.signal, 0) << "round " << round;
        ASSERT_TRUE(r.status == 0 || r.status == 1) << "round " << round << "\n" << r.err;
        EXPECT_EQ(r.err.find("Sanitizer"), std::string::npos) << r.err;
        EXPECT_EQ(read_file(d.file("two")), two) << "round " << round;
        if (r.status == 1) {
            EXPECT_EQ(read_file(d.file("one")), one) << "round " << round;
        }
    }
}
