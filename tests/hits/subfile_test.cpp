#include <corvane/corvane.h>
#include <corvane/hits/subfile.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tool/testdb.h"

namespace fs = std::filesystem;
using cvtest::mode_of;
using cvtest::names_in;
using cvtest::read_file;
using cvtest::record;
using cvtest::subfile_bytes;
using cvtest::write_file;

namespace {

using Words = std::array<std::uint32_t, corvane::kTableWords>;

struct Loaded {
    int status = 0;
    std::int32_t n = -99;
    std::int32_t k = -99;
    std::unique_ptr<Words> table = std::make_unique<Words>();
    std::array<std::string, 100> records;
};

Loaded load(const std::string& path) {
    Loaded l;
    l.status = corvane::cv_readmap(path, l.n, *l.table, l.k, l.records, 100);
    return l;
}

// A library over n entries, without a database behind it.
std::unique_ptr<corvane::Library> library(int n) {
    auto lib = std::make_unique<corvane::Library>();
    lib->cv_sizes.dbsize(1) = n;
    return lib;
}

// Every test gets a fresh scratch directory.
struct ReadMap : testing::Test {
    cvtest::TempDir dir;
};
using WriteMap = ReadMap;
using ReadBitmap = ReadMap;

}  // namespace

// ---- cv_readmap ----------------------------------------------------------------

TEST_F(ReadMap, ReadsEveryField) {
    write_file(dir / "a", subfile_bytes(40, {0x0000F00Fu, 0xFF000081u}, {"one", "two"}) + "junk");
    const auto l = load(dir / "a");
    EXPECT_EQ(l.status, 0);
    EXPECT_EQ(l.n, 40);
    EXPECT_EQ((*l.table)[0], 0x0000F00Fu);
    EXPECT_EQ((*l.table)[1], 0xFF000081u);  // spare bits as the file holds them
    EXPECT_EQ(l.k, 2);
    EXPECT_EQ(l.records[0], record("one"));
    EXPECT_EQ(l.records[1], record("two"));
}

TEST_F(ReadMap, EachShortFileFailsAtTheFieldItEndsIn) {
    // 40 entries: n at 0..3, two words at 4..11, k at 12..15, one record 16..115.
    const std::string whole = subfile_bytes(40, {7u, 1u}, {"r"});
    const struct {
        std::size_t length;
        int status;
    } cases[] = {{0, -2},  {3, -2},  {4, -3},   {11, -3}, {12, -4},
                 {15, -4}, {16, -5}, {115, -5}, {116, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE("length " + std::to_string(c.length));
        write_file(dir / "a", whole.substr(0, c.length));
        const auto l = load(dir / "a");
        EXPECT_EQ(l.status, c.status);
        EXPECT_EQ(l.n, c.length >= 4 ? 40 : -99);  // stored as soon as it is read
        EXPECT_EQ(l.k, c.length >= 16 ? 1 : -99);
    }
}

TEST_F(ReadMap, OnlyRegularFilesAreRead) {
    EXPECT_EQ(load(dir / "missing").status, -1);
    fs::create_directory(dir / "d");
    EXPECT_EQ(load(dir / "d").status, -1);
    // A FIFO with no writer would block a plain open; it is refused at once.
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    EXPECT_EQ(load(dir / "fifo").status, -1);
    EXPECT_EQ(load("").status, -1);
}

TEST_F(ReadMap, CountsOutsideTheTablesAreRefused) {
    // The files are long enough to read whatever they declare; the tables hold
    // 250016 entries and the history 100 records.
    const struct {
        std::string bytes;
        int status;
    } cases[] = {
        {subfile_bytes(-1, {}, {}), -2},
        {subfile_bytes(250017, std::vector<std::uint32_t>(7814, ~0u), {}), -2},
        {subfile_bytes(1, {1u}, {}).substr(0, 8) + "\xff\xff\xff\xff", -4},
        {subfile_bytes(1, {1u}, std::vector<std::string>(101, "r")), -4},
        {subfile_bytes(1, {1u}, std::vector<std::string>(100, "r")), 0},
        {subfile_bytes(250016, std::vector<std::uint32_t>(7813, 1u), {"x"}), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes.substr(0, 4)));
        write_file(dir / "a", c.bytes);
        EXPECT_EQ(load(dir / "a").status, c.status);
    }
    EXPECT_EQ((*load(dir / "a").table)[7812], 1u);  // the full table, read to its last word
}

// ---- cv_writemap ---------------------------------------------------------------

TEST_F(WriteMap, RefusesCountsThatDoNotFitTheDataGiven) {
    const std::array<std::uint32_t, 2> table{};
    const std::array<std::string, 1> records = {"r"};
    EXPECT_EQ(corvane::cv_writemap(dir / "a", 65, table, 0, records, 100), -2);
    EXPECT_EQ(corvane::cv_writemap(dir / "a", -1, table, 0, records, 100), -2);
    EXPECT_EQ(corvane::cv_writemap(dir / "a", 64, table, 2, records, 100), -4);
    EXPECT_EQ(corvane::cv_writemap(dir / "a", 64, table, -1, records, 100), -4);
    EXPECT_TRUE(names_in(dir.path()).empty());
}

TEST_F(WriteMap, ReplacesTheTargetWholeAndKeepsItsPermissions) {
    write_file(dir / "a", std::string(5000, 'o'));  // longer than the new contents
    chmod((dir / "a").c_str(), 0604);
    const std::array<std::uint32_t, 1> table = {3u};
    const mode_t old = umask(027);
    const int replaced = corvane::cv_writemap(dir / "a", 2, table, 0, {}, 100);
    const int created = corvane::cv_writemap(dir / "new", 2, table, 0, {}, 100);
    umask(old);
    ASSERT_EQ(replaced, 0);
    ASSERT_EQ(created, 0);
    EXPECT_EQ(read_file(dir / "a"), subfile_bytes(2, {3u}, {}));
    EXPECT_EQ(mode_of(dir / "a"), 0604u);
    EXPECT_EQ(mode_of(dir / "new"), 0640u);  // 0666 less the umask 027
    EXPECT_EQ(names_in(dir.path()), (std::vector<std::string>{"a", "new"}));  // no temporary left
}

TEST_F(WriteMap, TargetsThatCannotBeCreated) {
    const std::array<std::uint32_t, 1> table = {3u};
    fs::create_directory(dir / "d");
    EXPECT_EQ(corvane::cv_writemap(dir / "d", 2, table, 0, {}, 100), -1);
    EXPECT_TRUE(fs::is_directory(dir / "d"));
    EXPECT_EQ(corvane::cv_writemap(dir / "nodir/a", 2, table, 0, {}, 100), -1);
    EXPECT_EQ(corvane::cv_writemap("", 2, table, 0, {}, 100), -1);
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    EXPECT_EQ(corvane::cv_writemap(dir / "fifo", 2, table, 0, {}, 100), -1);
    EXPECT_EQ(names_in(dir.path()), (std::vector<std::string>{"d", "fifo"}));
}

TEST_F(WriteMap, ASymbolicLinkStaysALink) {
    write_file(dir / "real", "old");
    fs::create_symlink(dir / "real", dir / "link");
    const std::array<std::uint32_t, 1> table = {1u};
    ASSERT_EQ(corvane::cv_writemap(dir / "link", 1, table, 0, {}, 100), 0);
    EXPECT_TRUE(fs::is_symlink(dir / "link"));
    EXPECT_EQ(read_file(dir / "real"), subfile_bytes(1, {1u}, {}));
}

// ---- cvl_savebitmap and cvl_readbitmap ------------------------------------------

TEST_F(ReadBitmap, LoadReplacesTableAndHistoryAStepAddsOneRecord) {
    write_file(dir / "f", subfile_bytes(40, {0xF0u, 0x80000001u}, {"F1", "F2"}));
    auto lib = library(40);
    lib->cv_tables.nhits = 40;
    lib->cv_history.nhist = 1;
    lib->cv_history.histtx(1) = record("Starting from full database");
    ASSERT_EQ(cvl_readbitmap(*lib, dir / "f", 4), 0);
    EXPECT_EQ(lib->cv_tables.curtbl[0], 0xF0u);
    EXPECT_EQ(lib->cv_tables.curtbl[1], 0x80000001u);
    EXPECT_EQ(lib->cv_history.nhist, 2);
    EXPECT_EQ(lib->cv_history.histtx(1), record("F1"));
    EXPECT_EQ(lib->cv_history.histtx(2), record("F2"));
    EXPECT_EQ(lib->cv_tables.nhits, 40);  // a load does not recount
    EXPECT_EQ(cvl_rephits(*lib, 0), 6);   // four entries and two spare bits

    // A file without history adds only the step's own record.
    write_file(dir / "b", subfile_bytes(40, {0x30u, 0x0u}, {}));
    ASSERT_EQ(cvl_readbitmap(*lib, dir / "b", 0), 0);
    EXPECT_EQ(lib->cv_tables.curtbl[0], 0x30u);
    EXPECT_EQ(lib->cv_tables.curtbl[1], 0x0u);
    EXPECT_EQ(lib->cv_history.nhist, 3);
    EXPECT_EQ(lib->cv_history.histtx(3).substr(0, 24), "Match by File contents (");
    ASSERT_EQ(cvl_readbitmap(*lib, dir / "b", 4), 0);  // loading it empties the history
    EXPECT_EQ(lib->cv_history.nhist, 0);
}

TEST_F(ReadBitmap, FailuresChangeNeitherTableNorHistory) {
    // The messages themselves are checked end to end (tests/tool).
    auto lib = library(40);
    lib->cv_tables.curtbl[0] = 0x9u;
    lib->cv_history.nhist = 1;
    lib->cv_history.histtx(1) = record("A1");
    write_file(dir / "o", subfile_bytes(41, {0xFFu, 0x1u}, {"O1"}));
    write_file(dir / "c", subfile_bytes(40, {1u, 1u}, {}).substr(0, 10));
    testing::internal::CaptureStderr();
    EXPECT_EQ(cvl_readbitmap(*lib, dir / "o", 1), -2);
    EXPECT_EQ(cvl_readbitmap(*lib, dir / "c", 4), -1);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(lib->cv_tables.curtbl[0], 0x9u);
    EXPECT_EQ(lib->cv_history.nhist, 1);
    EXPECT_EQ(lib->cv_history.histtx(1), record("A1"));
}

TEST_F(ReadBitmap, HistoryOverflowKeepsTheFirstHundredRecords) {
    auto lib = library(8);
    lib->cv_history.nhist = 98;
    lib->cv_tables.curtbl[0] = 0x1u;
    write_file(dir / "b", subfile_bytes(8, {0x2u}, {"B1", "B2", "B3"}));
    ASSERT_EQ(cvl_readbitmap(*lib, dir / "b", 1), 0);
    EXPECT_EQ(lib->cv_history.nhist, 100);
    EXPECT_EQ(lib->cv_history.histtx(99).substr(0, 14), "Combine using ");
    EXPECT_EQ(lib->cv_history.histtx(100), record("... B1"));
    EXPECT_EQ(lib->cv_tables.curtbl[0], 0x3u);  // the table is right all the same
}

TEST_F(ReadBitmap, NamesEndAtTheirLastSignificantCharacterOrNul) {
    // Long names, used whole, are checked end to end (tests/tool).
    const std::string longname = (dir / std::string(80, 'n')) + "-tail";
    write_file(longname, subfile_bytes(8, {0x5u}, {"right file"}));
    auto lib = library(8);
    ASSERT_EQ(cvl_readbitmap(*lib, longname + "    ", 4), 0);
    EXPECT_EQ(lib->cv_history.histtx(1), record("right file"));
    write_file(longname, "");
    ASSERT_EQ(cvl_savebitmap(*lib, longname + "    "), 0);
    ASSERT_EQ(cvl_savebitmap(*lib, std::string(dir / "t") + '\0' + "garbage"), 0);
    EXPECT_EQ(read_file(longname), subfile_bytes(8, {0x5u}, {"right file"}));
    EXPECT_EQ(read_file(dir / "t"), subfile_bytes(8, {0x5u}, {"right file"}));
}

TEST_F(ReadBitmap, LoadThenSaveReproducesTheFile) {
    const std::string original =
        subfile_bytes(37, {0xDEADBEEFu, 0xFFFFFFE0u}, {std::string(100, '~'), "  lead", ""});
    write_file(dir / "in", original + "trailing bytes are not kept");
    auto lib = library(37);
    ASSERT_EQ(cvl_readbitmap(*lib, dir / "in", 4), 0);
    ASSERT_EQ(cvl_savebitmap(*lib, dir / "out"), 0);
    EXPECT_EQ(read_file(dir / "out"), original);
}
