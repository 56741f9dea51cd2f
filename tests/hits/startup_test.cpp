// cvl_init on small databases. A missing location file, and how the tools
// report a failed start-up, are checked end to end (tests/tool).
#include <corvane/corvane.h>
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "tool/testdb.h"

namespace fs = std::filesystem;
using cvtest::ScopedEnv;
using cvtest::write_file;

namespace {

struct Started {
    std::unique_ptr<corvane::Library> lib = std::make_unique<corvane::Library>();
    int status = -99;
    std::string out;
    std::string err;
};

// Runs cvl_init on a fresh library with LOGIC_LOC naming the database's
// location file and HOME an empty directory, capturing both output streams.
Started start(const cvtest::TestDb& db) {
    ScopedEnv loc("LOGIC_LOC", db.location().string());
    ScopedEnv home("HOME", db.work().string());
    Started s;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    s.status = cvl_init(*s.lib);
    s.err = testing::internal::GetCapturedStderr();
    s.out = testing::internal::GetCapturedStdout();
    return s;
}

// Changes the working directory for one test.
class ScopedCwd {
  public:
    explicit ScopedCwd(const fs::path& dir) : old_(fs::current_path()) { fs::current_path(dir); }
    ~ScopedCwd() { fs::current_path(old_); }

  private:
    fs::path old_;
};

const std::string kCheckPaths =
    "cvl_init ERROR: Check paths in /usr/local/corvane.txtor ~/.corvane\n"
    "cvl_init ERROR: for correct database location\n";

}  // namespace

TEST(Init, FullDatabaseAndFirstHistoryRecord) {
    cvtest::TestDb db(70);
    db.put_krx2("");
    db.remove("kelpa.ind");  // a file only in the second directory is found there
    db.put("kelpa.ind", "index", 2);
    auto s = start(db);
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(s.err, "");
    EXPECT_EQ(s.out, "");
    EXPECT_EQ(s.lib->cv_sizes.dbsize(1), 70);
    EXPECT_EQ(s.lib->cv_tables.nhits, 70);
    EXPECT_EQ(s.lib->cv_tables.curtbl[0], 0xFFFFFFFFu);
    EXPECT_EQ(s.lib->cv_tables.curtbl[1], 0xFFFFFFFFu);
    EXPECT_EQ(s.lib->cv_tables.curtbl[2], 0x3Fu);  // entries 65..70
    std::array<char, 101> text{};
    EXPECT_EQ(cvl_rephistory(*s.lib, 1, text), 1);
    EXPECT_STREQ(text.data(), "Starting from full database");
    EXPECT_EQ(cvl_rephistory(*s.lib, 2, text), 0);
    for (std::FILE* f :
         {s.lib->fcdrom[0], s.lib->findex, s.lib->fnamlib, s.lib->fdilib, s.lib->freflib}) {
        EXPECT_NE(f, nullptr);
    }
}

TEST(Init, LocationAndSizesFilesThatCannotBeUsed) {
    cvtest::TestDb db(10);
    const std::string places = db.line1().string() + " or " + db.line2().string();
    // A location file of two lines also writes an empty line.
    write_file(db.location(), db.line1().string() + "\n" + db.line2().string() + "\n");
    auto s = start(db);
    EXPECT_EQ(s.status, 1);
    EXPECT_EQ(s.out, "\n");
    EXPECT_EQ(s.err, "cvl_init ERROR: Error reading the locations of TARN database\n");

    db.write_location(db.line1().string(), db.line2().string(), db.line3().string());
    fs::remove(db.line1() / "pdsize.txt");
    s = start(db);
    EXPECT_EQ(s.status, 1);
    EXPECT_EQ(s.err, "cvl_init ERROR: Unable to open file pdsize.txt on " + places + "\n");

    write_file(db.line2() / "pdsize.txt", "10 20 30 forty\n");
    s = start(db);
    EXPECT_EQ(s.status, 1);
    EXPECT_EQ(s.err, "cvl_init ERROR: Error reading file pdsize.txt on " + places + "\n");
}

TEST(Init, EntryCountOutsideTheTablesIsRefused) {
    for (const char* count : {"250017", "-1"}) {
        cvtest::TestDb db(10);
        write_file(db.line1() / "pdsize.txt", std::string(count) + " 0 0 0 0\n");
        auto s = start(db);
        EXPECT_EQ(s.status, 1);
        EXPECT_EQ(s.err, "cvl_init ERROR: Entry count " + std::string(count) +
                             " in pdsize.txt is not between 0 and 250016\n");
        EXPECT_EQ(s.lib->findex, nullptr);  // refused before any file is opened
    }
    cvtest::TestDb full(250016);
    full.put_krx2("");
    auto s = start(full);
    EXPECT_EQ(s.status, 0);
    EXPECT_EQ(cvl_rephits(*s.lib, 0), 250016);
    EXPECT_EQ(s.lib->cv_tables.curtbl[7812], 0xFFFFFFFFu);
}

TEST(Init, MissingRecordFileOnlyWarns) {
    // Short relative paths: the warning fits on one line. Directories called
    // krx2.dat are no record file either.
    cvtest::TestDb db(10);
    db.write_location("line1", "line2", "line3");
    ScopedCwd cwd(db.root());
    for (bool directories : {false, true}) {
        if (directories) {
            fs::create_directory(db.line1() / "krx2.dat");
            fs::create_directory(db.line2() / "krx2.dat");
        }
        auto s = start(db);
        EXPECT_EQ(s.status, 0);
        EXPECT_EQ(s.err, " cvl_init WARNING: Unable to open file krx2.dat on line1 or line2\n");
        EXPECT_EQ(s.lib->fcdrom[0], nullptr);
        EXPECT_EQ(cvl_rephits(*s.lib, 0), 10);
    }
}

TEST(Init, LongPathsMoveTheWarningToASecondLine) {
    cvtest::TestDb db(10);
    const std::string d1 = (db.root() / ("line1" + std::string(40, '1'))).string();
    fs::rename(db.line1(), d1);
    db.write_location(d1, db.line2().string(), "x");
    auto s = start(db);
    EXPECT_EQ(s.status, 0);
    EXPECT_EQ(s.err, " cvl_init WARNING: \n Unable to open file krx2.dat on " + d1 + " or " +
                         db.line2().string() + "\n");
}

TEST(Init, SecondLineMayNameTheRecordFile) {
    cvtest::TestDb db(10);
    const std::string records = db.file("records.dat");
    write_file(records, "record file");
    db.write_location(db.line1().string(), records, "x");
    auto s = start(db);
    EXPECT_EQ(s.status, 0);
    EXPECT_EQ(s.err, "");
    ASSERT_NE(s.lib->fcdrom[0], nullptr);
    char buf[12] = {};
    EXPECT_EQ(std::fread(buf, 1, 11, s.lib->fcdrom[0]), 11u);
    EXPECT_STREQ(buf, "record file");
}

TEST(Init, FirstMissingDatabaseFileStopsStartUp) {
    cvtest::TestDb db(10);
    db.put_krx2("");
    db.remove("ref.lib");
    fs::create_directory(db.line2() / "ref.lib");  // a directory does not count
    auto s = start(db);
    EXPECT_EQ(s.status, 1);
    EXPECT_EQ(s.err, "cvl_init ERROR: Unable to open file KRX1 reference file (ref.lib) on " +
                         db.line1().string() + " or " + db.line2().string() + "\n" + kCheckPaths);
    EXPECT_NE(s.lib->fdilib, nullptr);
    EXPECT_EQ(s.lib->freflib, nullptr);
    EXPECT_EQ(s.lib->cv_history.nhist, 0);

    // Of two missing files, the first is named.
    db.remove("name.lib");
    db.remove("di.lib");
    s = start(db);
    EXPECT_EQ(s.status, 1);
    EXPECT_EQ(s.err, "cvl_init ERROR: Unable to open file KRX1 name file (name.lib) on " +
                         db.line1().string() + " or " + db.line2().string() + "\n" + kCheckPaths);
    EXPECT_EQ(s.lib->fdilib, nullptr);
}
