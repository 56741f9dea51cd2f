#include <sys/syscall.h>
#include <unistd.h>

#include "support/support.h"

using namespace cvtest;

namespace {

// A library over n entries and a history of the records given.
std::unique_ptr<corvane::Library> library(int n, const Strings& history = {}) {
    auto lib = std::make_unique<corvane::Library>();
    lib->cv_sizes.dbsize(1) = n;
    lib->cv_history.nhist = static_cast<int>(history.size());
    for (std::size_t i = 0; i < history.size(); ++i)
        lib->cv_history.histtx(static_cast<int>(i) + 1) = record(history[i]);
    return lib;
}

struct Subfile : testing::Test {
    TempDir dir;
    const std::array<std::uint32_t, 1> table = {3u};
};

// What each fsync of this process saw while `watched` names a file: the size
// of the file synced and the watched file's contents at that moment.
std::string watched;
Strings synced;

}  // namespace

extern "C" int fsync(int fd) {
    struct stat st {};
    fstat(fd, &st);
    if (!watched.empty()) synced.push_back(std::to_string(st.st_size) + " " + read_file(watched));
    return static_cast<int>(syscall(SYS_fsync, fd));
}

// The status names the field the file ends in or whose count is out of range;
// n and k are stored as soon as read. A FIFO with no writer is refused at once.
TEST_F(Subfile, ReadMapStatuses) {
    // 40 entries: n at 0..3, two words at 4..11, k at 12..15, records 16..215.
    const std::string whole = subfile_bytes(40, {0x0000F00Fu, 0xFF000081u}, {"one", "two"});
    const struct {
        std::string bytes;
        int status, n, k;
    } cases[] = {
        {whole.substr(0, 3), -2, -99, -99},
        {whole.substr(0, 11), -3, 40, -99},
        {whole.substr(0, 12), -4, 40, -99},
        {whole.substr(0, 215), -5, 40, 2},
        {whole + "trailing bytes are ignored", 0, 40, 2},
        // The tables hold 250016 entries, the history 100 records.
        {subfile_bytes(-1, {}, {}), -2, -1, -99},
        {subfile_bytes(250017, std::vector<std::uint32_t>(7814, 1u), {}), -2, 250017, -99},
        {subfile_bytes(1, {1u}, {}).substr(0, 8) + "\xff\xff\xff\xff", -4, 1, -1},
        {subfile_bytes(1, {1u}, Strings(101, "r")), -4, 1, 101},
        {subfile_bytes(1, {1u}, Strings(100, "r")), 0, 1, 100},
        {subfile_bytes(250016, std::vector<std::uint32_t>(7813, 1u), {}), 0, 250016, 0},
    };
    std::vector<std::uint32_t> words(corvane::kTableWords);
    std::array<std::string, 100> records;
    for (const auto& c : cases) {
        write_file(dir / "a", c.bytes);
        std::int32_t n = -99, k = -99;
        EXPECT_EQ(corvane::cv_readmap(dir / "a", n, words, k, records, 100), c.status)
            << c.bytes.size();
        EXPECT_EQ(std::pair(n, k), std::pair(c.n, c.k)) << c.bytes.size();
    }
    EXPECT_EQ(words[7812], 1u);  // the full table, read to its last word
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    for (const std::string& path : {dir / "missing", dir.bare(), dir / "fifo", std::string()}) {
        std::int32_t n = 0, k = 0;
        EXPECT_EQ(corvane::cv_readmap(path, n, words, k, records, 100), -1) << path;
    }
}

// Bad counts are refused before anything is made, targets that are no regular
// file left alone; a new file is renamed over the target once it is on disk.
TEST_F(Subfile, WriteMapReplacesTheTargetWholeOrNothing) {
    const std::array<std::uint32_t, 2> two{};
    const std::array<std::string, 1> records = {"r"};
    fs::create_directory(dir / "d");
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    for (const auto& [n, k, status] :
         {std::array{65, 0, -2}, {-1, 0, -2}, {64, 2, -4}, {64, -1, -4}}) {
        EXPECT_EQ(corvane::cv_writemap(dir / "a", n, two, k, records, 100), status)
            << n << " " << k;
    }
    for (const std::string& path : {dir / "nodir/a", dir / "d", dir / "fifo", std::string()}) {
        EXPECT_EQ(corvane::cv_writemap(path, 2, table, 0, {}, 100), -1) << path;
    }
    EXPECT_EQ(names_in(dir.path()), (Strings{"d", "fifo"}));
    EXPECT_TRUE(fs::is_empty(dir / "d"));

    write_file(dir / "a", std::string(5000, 'o'));  // longer than the new contents
    chmod((dir / "a").c_str(), 0604);
    write_file(dir / "real", "old");
    fs::create_symlink(dir / "real", dir / "link");
    const mode_t old = umask(027);
    watched = dir / "a";
    for (const char* name : {"a", "new", "link"}) {
        EXPECT_EQ(corvane::cv_writemap(dir / name, 2, table, 1, records, 100), 0) << name;
    }
    watched.clear();
    umask(old);
    ASSERT_FALSE(synced.empty());
    // All 112 bytes on disk, the target not yet replaced.
    EXPECT_EQ(synced.front(), "112 " + std::string(5000, 'o'));
    const std::string written = subfile_bytes(2, {3u}, {"r"});
    EXPECT_EQ(read_file(dir / "a") + read_file(dir / "new") + read_file(dir / "real"),
              written + written + written);
    EXPECT_EQ(mode_of(dir / "a"), 0604u);
    EXPECT_EQ(mode_of(dir / "new"), 0640u);  // 0666 less the umask 027
    EXPECT_TRUE(fs::is_symlink(dir / "link"));
    EXPECT_EQ(names_in(dir.path()), (Strings{"a", "d", "fifo", "link", "new", "real"}));
}

TEST_F(Subfile, LoadReplacesTableAndHistoryCombineAppendsToThem) {
    write_file(dir / "f", subfile_bytes(40, {0xF0u, 0x80000001u}, {"F1", std::string(100, 'f')}));
    write_file(dir / "b", subfile_bytes(40, {0x30u, 0x0u}, {}));
    write_file(dir / "other", subfile_bytes(41, {0xFFu, 0x1u}, {"O1"}));
    write_file(dir / "short", subfile_bytes(40, {1u, 1u}, {}).substr(0, 10));
    auto lib = library(40, {"Starting from full database"});
    lib->cv_tables.nhits = 40;
    ASSERT_EQ(cvl_readbitmap(*lib, dir / "f", 4), 0);
    EXPECT_EQ(lib->cv_tables.curtbl[1], 0x80000001u);  // spare bits as the file holds them
    EXPECT_EQ(lib->cv_history.nhist, 2);
    EXPECT_EQ(lib->cv_history.histtx(1), record("F1"));
    EXPECT_EQ(lib->cv_tables.nhits, 40);  // a load does not recount
    // Combining: the step's record, then the file's after "... ", cut to 100.
    ASSERT_EQ(cvl_readbitmap(*lib, dir / "f", 1), 0);
    EXPECT_EQ(lib->cv_history.histtx(3), record("Combine using File contents (" + dir / "f)"));
    EXPECT_EQ(lib->cv_history.histtx(4), record("... F1"));
    EXPECT_EQ(lib->cv_history.histtx(5), "... " + std::string(96, 'f'));
    ASSERT_EQ(cvl_readbitmap(*lib, dir / "b", 0), 0);
    EXPECT_EQ(lib->cv_history.nhist, 6);
    EXPECT_EQ(lib->cv_tables.curtbl[0], 0x30u);
    EXPECT_EQ(lib->cv_tables.nhits, 2);
    // A file of another size, or one that cannot be read, changes nothing.
    testing::internal::CaptureStderr();
    EXPECT_EQ(cvl_readbitmap(*lib, dir / "other", 1), -2);
    EXPECT_EQ(cvl_readbitmap(*lib, dir / "short", 4), -1);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(lib->cv_tables.curtbl[0], 0x30u);
    EXPECT_EQ(lib->cv_history.nhist, 6);

    // At 100 records the step's record is dropped first, then the file's.
    write_file(dir / "b", subfile_bytes(8, {0x2u}, {"B1", "B2", "B3"}));
    const std::pair<int, std::string> full[] = {
        {98, "... B1"}, {99, "Combine using File contents (" + dir / "b)"}, {100, "last"}};
    for (const auto& [nhist, last] : full) {
        lib = library(8, Strings(static_cast<std::size_t>(nhist), "last"));
        lib->cv_tables.curtbl[0] = 0x1u;
        ASSERT_EQ(cvl_readbitmap(*lib, dir / "b", 1), 0);
        EXPECT_EQ(lib->cv_history.nhist, 100) << nhist;
        EXPECT_EQ(lib->cv_history.histtx(100), record(last)) << nhist;
        EXPECT_EQ(lib->cv_tables.curtbl[0], 0x3u);
    }
}

// A name ends at its last significant character or its first NUL, however
// long it is; a loaded file is saved byte for byte.
TEST_F(Subfile, NamesAreUsedWholeAndALoadedFileIsSavedByteForByte) {
    const std::string original =
        subfile_bytes(37, {0xDEADBEEFu, 0xFFFFFFE0u}, {std::string(100, '~'), "  lead", ""});
    const std::string longname = (dir / std::string(80, 'n')) + "-tail";
    write_file(longname, original + "trailing bytes are not kept");
    auto lib = library(37);
    ASSERT_EQ(cvl_readbitmap(*lib, longname + "    ", 4), 0);
    ASSERT_EQ(cvl_savebitmap(*lib, longname + "    "), 0);
    ASSERT_EQ(cvl_savebitmap(*lib, std::string(dir / "t") + '\0' + "garbage"), 0);
    EXPECT_EQ(read_file(longname), original);
    EXPECT_EQ(read_file(dir / "t"), original);
}
