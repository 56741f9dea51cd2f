#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "setup/library.h"
#include "tool/testdb.h"

namespace fs = std::filesystem;
using cvtest::ScopedEnv;
using cvtest::TestDb;
using cvtest::write_file;

namespace {

// Runs cvl_init on a fresh library with LOGIC_LOC naming the database's
// location file and HOME pointing at an empty directory, capturing both
// output streams.
struct Started {
    std::unique_ptr<cv::Library> lib = std::make_unique<cv::Library>();
    int status = -99;
    std::string out;
    std::string err;
};

Started start(const std::string& location, const std::string& home) {
    ScopedEnv loc("LOGIC_LOC", location);
    ScopedEnv h("HOME", home);
    Started s;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    s.status = s.lib->cvl_init();
    s.err = testing::internal::GetCapturedStderr();
    s.out = testing::internal::GetCapturedStdout();
    return s;
}

Started start(const TestDb& db) {
    return start(db.location().string(), db.work().string());
}

// Changes the working directory for one test.
class ScopedCwd {
  public:
    explicit ScopedCwd(const fs::path& dir) : old_(fs::current_path()) { fs::current_path(dir); }
    ~ScopedCwd() { fs::current_path(old_); }

  private:
    fs::path old_;
};

}  // namespace

TEST(Init, FullDatabaseAndFirstHistoryRecord) {
    TestDb db(70);
    db.put_krx2("");
    auto s = start(db);
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(s.err, "");
    EXPECT_EQ(s.out, "");
    EXPECT_EQ(s.lib->cv_sizes.dbsize[0], 70);
    EXPECT_EQ(s.lib->cv_tables.nhits, 70);
    EXPECT_EQ(s.lib->cv_tables.curtbl[0], 0xFFFFFFFFu);
    EXPECT_EQ(s.lib->cv_tables.curtbl[1], 0xFFFFFFFFu);
    EXPECT_EQ(s.lib->cv_tables.curtbl[2], 0x3Fu);  // entries 65..70
    EXPECT_EQ(s.lib->cvl_rephits(0), 70);
    std::array<char, 101> text{};
    EXPECT_EQ(s.lib->cvl_rephistory(1, text), 1);
    EXPECT_STREQ(text.data(), "Starting from full database");
    EXPECT_EQ(s.lib->cvl_rephistory(2, text), 0);
    EXPECT_NE(s.lib->fcdrom[0], nullptr);
    EXPECT_NE(s.lib->findex, nullptr);
    EXPECT_NE(s.lib->fnamlib, nullptr);
    EXPECT_NE(s.lib->fdilib, nullptr);
    EXPECT_NE(s.lib->freflib, nullptr);
}

TEST(Init, NoLocationFile) {
    TestDb db(10);
    auto s = start(db.file("missing.loc"), db.work().string());
    EXPECT_EQ(s.status, 1);
    EXPECT_EQ(s.err, "cvl_init ERROR: Unable to determine the locations of TARN database\n");
}

TEST(Init, ShortLocationFileAlsoWritesAnEmptyLine) {
    TestDb db(10);
    write_file(db.location(), db.line1().string() + "\n" + db.line2().string() + "\n");
    auto s = start(db);
    EXPECT_EQ(s.status, 1);
    EXPECT_EQ(s.out, "\n");
    EXPECT_EQ(s.err, "cvl_init ERROR: Error reading the locations of TARN database\n");
}

TEST(Init, SizesFileMissingOrUnreadable) {
    TestDb db(10);
    const std::string places = db.line1().string() + " or " + db.line2().string();
    fs::remove(db.line1() / "pdsize.txt");
    auto s = start(db);
    EXPECT_EQ(s.status, 1);
    EXPECT_EQ(s.err, "cvl_init ERROR: Unable to open file pdsize.txt on " + places + "\n");

    write_file(db.line2() / "pdsize.txt", "10 20 30 forty\n");
    s = start(db);
    EXPECT_EQ(s.status, 1);
    EXPECT_EQ(s.err, "cvl_init ERROR: Error reading file pdsize.txt on " + places + "\n");
}

TEST(Init, EntryCountOutsideTheTablesIsRefused) {
    for (const char* count : {"250017", "-1"}) {
        TestDb db(10);
        write_file(db.line1() / "pdsize.txt", std::string(count) + " 0 0 0 0\n");
        auto s = start(db);
        EXPECT_EQ(s.status, 1);
        EXPECT_EQ(s.err, "cvl_init ERROR: Entry count " + std::string(count) +
                             " in pdsize.txt is not between 0 and 250016\n");
        EXPECT_EQ(s.lib->findex, nullptr);  // refused before any file is opened
    }
    TestDb full(250016);
    full.put_krx2("");
    auto s = start(full);
    EXPECT_EQ(s.status, 0);
    EXPECT_EQ(s.lib->cvl_rephits(0), 250016);
    EXPECT_EQ(s.lib->cv_tables.curtbl[7812], 0xFFFFFFFFu);
}

TEST(Init, MissingRecordFileOnlyWarns) {
    // Short relative paths: the warning fits on one line.
    TestDb db(10);
    db.write_location("line1", "line2", "line3");
    ScopedCwd cwd(db.root());
    auto s = start(db);
    EXPECT_EQ(s.status, 0);
    EXPECT_EQ(s.err, " cvl_init WARNING: Unable to open file krx2.dat on line1 or line2\n");
    EXPECT_EQ(s.lib->fcdrom[0], nullptr);
    EXPECT_EQ(s.lib->cvl_rephits(0), 10);
}

TEST(Init, LongPathsMoveTheWarningToASecondLine) {
    TestDb db(10);
    const std::string d1 = (db.root() / ("line1" + std::string(40, '1'))).string();
    const std::string d2 = (db.root() / "line2").string();
    fs::rename(db.line1(), d1);
    db.write_location(d1, d2, "x");
    auto s = start(db);
    EXPECT_EQ(s.status, 0);
    EXPECT_EQ(s.err,
              " cvl_init WARNING: \n Unable to open file krx2.dat on " + d1 + " or " + d2 + "\n");
}

TEST(Init, ADirectoryIsNotTheRecordFile) {
    // The usual second line names a directory; neither it nor a directory
    // called krx2.dat is taken for the record file.
    TestDb db(10);
    fs::create_directory(db.line1() / "krx2.dat");
    fs::create_directory(db.line2() / "krx2.dat");
    db.write_location("line1", "line2", "line3");
    ScopedCwd cwd(db.root());
    auto s = start(db);
    EXPECT_EQ(s.status, 0);
    EXPECT_EQ(s.err, " cvl_init WARNING: Unable to open file krx2.dat on line1 or line2\n");
    EXPECT_EQ(s.lib->fcdrom[0], nullptr);
}

TEST(Init, SecondLineMayNameTheRecordFile) {
    TestDb db(10);
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

TEST(Init, IndexOnlyInTheSecondDirectory) {
    TestDb db(10);
    db.put_krx2("");
    db.remove("kelpa.ind");
    db.put("kelpa.ind", "index", 2);
    auto s = start(db);
    EXPECT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(s.err, "");
    EXPECT_NE(s.lib->findex, nullptr);
}

TEST(Init, MissingReferenceFileStopsStartUp) {
    TestDb db(10);
    db.put_krx2("");
    db.remove("ref.lib");
    fs::create_directory(db.line2() / "ref.lib");  // a directory does not count
    auto s = start(db);
    EXPECT_EQ(s.status, 1);
    EXPECT_EQ(s.err, "cvl_init ERROR: Unable to open file KRX1 reference file (ref.lib) on " +
                         db.line1().string() + " or " + db.line2().string() +
                         "\n"
                         "cvl_init ERROR: Check paths in /usr/local/corvane.txtor ~/.corvane\n"
                         "cvl_init ERROR: for correct database location\n");
    EXPECT_NE(s.lib->findex, nullptr);
    EXPECT_NE(s.lib->fnamlib, nullptr);
    EXPECT_NE(s.lib->fdilib, nullptr);
    EXPECT_EQ(s.lib->freflib, nullptr);
    EXPECT_EQ(s.lib->cv_history.nhist, 0);
}

TEST(Init, FirstMissingFileIsTheOneNamed) {
    TestDb db(10);
    db.put_krx2("");
    db.remove("name.lib");
    db.remove("di.lib");
    auto s = start(db);
    EXPECT_EQ(s.status, 1);
    EXPECT_NE(s.err.find("Unable to open file KRX1 name file (name.lib) on "), std::string::npos);
    EXPECT_EQ(s.err.find("di.lib"), std::string::npos);
    EXPECT_EQ(s.lib->fdilib, nullptr);
}
