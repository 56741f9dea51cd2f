// hitjoin run as a program on databases written into temporary directories.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <optional>
#include <random>
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
    "\thitjoin <file1> <file2>\n"
    "\t\t[ -or | -and | -remove | -not ]\n";

// A database of n entries with a record file, so start-up is silent.
struct Db : cvtest::TestDb {
    explicit Db(int n) : TestDb(n) { put_krx2(""); }
};

std::string read_error(const std::string& name, const std::string& code) {
    return " readbitmap WARNING: unable to open/read file " + name +
           "\nreadbitmap ERROR code:    " + code + "\nerror reading subfile " + name + "\n";
}

}  // namespace

// ---- the four operations ----------------------------------------------------------

TEST(Join, FourOperationsOnPartAndWholeLastWords) {
    // 40 entries: word 1 holds entries 33..40 in its low 8 bits, the rest are
    // spare. a: entries 1-3, 33 and spare bit 8; b: entries 3, 4, 34, 40 and
    // spare bit 31. A complement keeps the spare bits of the table it inverts.
    // 64 entries: both words whole.
    const struct {
        int n;
        const char* option;
        const char* count;
        std::uint32_t w0, w1;
        const char* step;
    } cases[] = {
        {40, "-and", "1\n", 0x4u, 0x0u, "Match by "},
        {40, "-or", "9\n", 0xFu, 0x80000183u, "Combine using "},
        {40, "-remove", "3\n", 0x3u, 0x1u, "Remove matching "},  // b's complement: spare bit 31
        {40, "-not", "3\n", 0x8u, 0x82u, "Remove entries in table from "},  // a's: spare bit 8
        {64, "-and", "16\n", 0xFF000000u, 0x00000F0Fu, "Match by "},
        {64, "-or", "48\n", 0xFFFFFF00u, 0x0F0FFFFFu, "Combine using "},
        {64, "-remove", "16\n", 0x00FF0000u, 0x0000F0F0u, "Remove matching "},
        {64, "-not", "16\n", 0x0000FF00u, 0x0F0F0000u, "Remove entries in table from "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.n) + " " + c.option);
        Db d(c.n);
        const bool part = c.n == 40;
        write_file(
            d.file("a.sub"),
            subfile_bytes(c.n, {part ? 0x7u : 0xFFFF0000u, part ? 0x101u : 0x0000FFFFu}, {"A1"}));
        const std::string b = subfile_bytes(
            c.n, {part ? 0xCu : 0xFF00FF00u, part ? 0x80000082u : 0x0F0F0F0Fu}, {"B1", "B2"});
        write_file(d.file("b.sub"), b);
        const auto r = d.run("hitjoin", {"a.sub", "b.sub", c.option});  // names relative to work/
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.out, c.count);
        EXPECT_EQ(read_file(d.file("a.sub")),
                  subfile_bytes(
                      c.n, {c.w0, c.w1},
                      {"A1", std::string(c.step) + "File contents (b.sub)", "... B1", "... B2"}));
        EXPECT_EQ(read_file(d.file("b.sub")), b);
    }
}

TEST(Join, AFileWithItselfAndRecordsCutAtOneHundred) {
    Db d(40);
    write_file(d.file("a"), subfile_bytes(40, {0x10Fu, 0x0u}, {"A1"}));
    auto r = d.run("hitjoin", {"a", "a", "-and"});
    EXPECT_EQ(r.out, "5\n");
    EXPECT_EQ(read_file(d.file("a")),
              subfile_bytes(40, {0x10Fu, 0x0u}, {"A1", "Match by File contents (a)", "... A1"}));
    EXPECT_EQ(d.run("hitjoin", {"a", "a", "-remove"}).out, "0\n");

    write_file(d.file("a"), subfile_bytes(40, {0x1u, 0x0u}, {std::string(100, 'a')}));
    write_file(d.file("b"), subfile_bytes(40, {0x2u, 0x0u}, {std::string(100, 'b')}));
    r = d.run("hitjoin", {"a", "b", "-or"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(read_file(d.file("a")),
              subfile_bytes(40, {0x3u, 0x0u},
                            {std::string(100, 'a'), "Combine using File contents (b)",
                             "... " + std::string(96, 'b')}));
}

// ---- usage and start-up -------------------------------------------------------------

TEST(Join, UsageErrors) {
    // Only three arguments start the database; with any other count its
    // failure never shows.
    Db d(8);
    const struct {
        std::vector<std::string> args;
        std::string err;
    } cases[] = {
        {{"a", "b", "-xor"}, "unknown option: -xor\nrequired option missing\n" + kUsage},
        {{"a", "b", "-AND"}, "unknown option: -AND\nrequired option missing\n" + kUsage},
        {{"a", "b", ""}, "unknown option: \nrequired option missing\n" + kUsage},
        {{"a", "b"}, "required option missing\n" + kUsage},
        {{}, "required option missing\n" + kUsage},
        {{"a", "b", "-and", "extra"}, kUsage},
        {{"a", "b", "-nand", "extra"}, "unknown option: -nand\nrequired option missing\n" + kUsage},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const auto r = d.run("hitjoin", c.args, c.args.size() == 3 ? RunOptions{} : d.unlocated());
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, c.err);
    }
    EXPECT_TRUE(cvtest::names_in(d.work()).empty());  // nothing read, nothing written
}

TEST(Join, StartUpFailureComesFirst) {
    Db d(8);
    write_file(d.file("a"), subfile_bytes(8, {0x1u}, {}));
    const std::string before = read_file(d.file("a"));
    const auto r = d.run("hitjoin", {"a", "a", "-bogus"}, d.unlocated());  // option not examined
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "cvl_init ERROR: Unable to determine the locations of TARN database\n"
              "error initializing the TARN database\n");
    EXPECT_EQ(read_file(d.file("a")), before);
}

// ---- read failures ---------------------------------------------------------------

TEST(Join, UnreadableSubfilesChangeNothing) {
    Db d(40);
    write_file(d.file("a"), subfile_bytes(40, {0x7u, 0x1u}, {"A1"}));
    const std::string before = read_file(d.file("a"));
    fs::create_directory(d.file("dir"));
    const std::vector<std::uint32_t> two = {1u, 1u};
    const std::string other_size =
        " readbitmap WARNING: \n"
        " bitmap on file bad has a different size than current database\n"
        "error reading subfile bad\n";
    const struct {
        const char* one;
        const char* two;
        std::optional<std::string> bad;  // the contents of "bad", if it exists
        std::string err;
    } cases[] = {
        {"gone", "also-gone", std::nullopt, read_error("gone", "-1")},
        {"a", "gone", std::nullopt, read_error("gone", "-1")},
        {"a", "dir", std::nullopt, read_error("dir", "-1")},
        {"a", "bad", subfile_bytes(40, two, {}).substr(0, 7), read_error("bad", "-3")},
        {"a", "bad", subfile_bytes(40, two, {"x", "y"}).substr(0, 150), read_error("bad", "-5")},
        {"a", "bad", subfile_bytes(-40, two, {}), read_error("bad", "-2")},
        {"a", "bad", subfile_bytes(40, two, {}).substr(0, 12) + "\xfe\xff\xff\xff",
         read_error("bad", "-4")},
        // " readbitmap WARNING: " and the message reach 80: it moves to a line of its own.
        {"a", "bad", subfile_bytes(41, two, {"B1"}), other_size},
        {"bad", "a", subfile_bytes(41, two, {"B1"}), other_size},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.one) + " " + c.two + " " + c.err);
        if (c.bad) write_file(d.file("bad"), *c.bad);
        const auto r = d.run("hitjoin", {c.one, c.two, "-or"});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(read_file(d.file("a")), before);
        if (c.bad) {
            EXPECT_EQ(read_file(d.file("bad")), *c.bad);
        }
    }
    EXPECT_FALSE(fs::exists(d.file("gone")));
}

// ---- saving and names --------------------------------------------------------------

TEST(Join, FailedSaveKeepsTheFileAndFails) {
    // Under a file-size limit of 400 bytes the result (8 + 8 + 600 bytes)
    // cannot be written.
    Db d(40);
    write_file(d.file("a"), subfile_bytes(40, {0x7u, 0x1u}, {"A1", "A2", "A3"}));
    write_file(d.file("b"), subfile_bytes(40, {0x8u, 0x0u}, {"B1", "B2"}));
    chmod(d.file("a").c_str(), 0640);
    const std::string before = read_file(d.file("a"));
    RunOptions limited;
    limited.file_size_limit = 400;
    const auto r = d.run("hitjoin", {"a", "b", "-or"}, limited);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              " savebitmap WARNING: unable to open/write file a\n"
              "savebitmap ERROR code:    -5\n"
              "error writing subfile a\n");
    EXPECT_EQ(read_file(d.file("a")), before);
    EXPECT_EQ(cvtest::mode_of(d.file("a")), 0640u);
    EXPECT_EQ(cvtest::names_in(d.work()), (std::vector<std::string>{"a", "b"}));
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
    const auto r = d.run("hitjoin", {a, b, "-or"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "3\n");
    EXPECT_EQ(read_file(d.file(a)),
              subfile_bytes(8, {0x7u}, {"Combine using File contents (" + b.substr(0, 71)}));
    EXPECT_EQ(read_file(d.file(a.substr(0, 80))), "decoy a");
    EXPECT_EQ(read_file(d.file(b.substr(0, 80))), "decoy b");

    const std::string gone = std::string(90, 'g');
    const auto m = d.run("hitjoin", {gone, b, "-or"});
    EXPECT_EQ(m.status, 1);
    EXPECT_EQ(m.err, " readbitmap WARNING: \n unable to open/read file " + gone +
                         "\nreadbitmap ERROR code:    -1\nerror reading subfile " + gone + "\n");
}

// ---- hostile subfiles ----------------------------------------------------------------

TEST(Join, HostileSubfilesNeverCrashOrDamage) {
    // Random files from a fixed seed: random bytes, or a plausible header with
    // random counts, cut at a random length. hitjoin ends with status 0 or 1,
    // never changes file2, and leaves file1 as it was whenever it fails.
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
        std::string bytes =
            subfile_bytes(n, words, std::vector<std::string>(rng() % 4, std::string(100, 'r')));
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
        SCOPED_TRACE("round " + std::to_string(round));
        const std::string one = round % 3 == 0 ? random_file() : good;
        const std::string two = random_file();
        write_file(d.file("one"), one);
        write_file(d.file("two"), two);
        const auto r = d.run("hitjoin", {"one", "two", ops[round % 4]}, options);
        ASSERT_EQ(r.signal, 0);
        ASSERT_TRUE(r.status == 0 || r.status == 1) << r.err;
        EXPECT_EQ(r.err.find("Sanitizer"), std::string::npos) << r.err;
        EXPECT_EQ(read_file(d.file("two")), two);
        if (r.status == 1) {
            EXPECT_EQ(read_file(d.file("one")), one);
        }
    }
}
