// cvl_init on small databases. The start-up failure that finds no location
// file, and how a tool reports a failed start-up, are checked end to end
// (tests/tool/hitjoin_test.cpp).
#include <corvane/corvane.h>
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "support/support.h"

namespace fs = std::filesystem;
using cvtest::TestDb;
using cvtest::write_file;

namespace {

struct Started {
    std::unique_ptr<corvane::Library> lib = std::make_unique<corvane::Library>();
    int status = -99;
    std::string out, err;
};

// cvl_init on a fresh library with LOGIC_LOC naming the database's location
// file and HOME an empty directory, capturing both output streams.
Started start(const TestDb& db) {
    cvtest::ScopedEnv loc("LOGIC_LOC", db.location().string());
    cvtest::ScopedEnv home("HOME", db.work().string());
    Started s;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    s.status = cvl_init(*s.lib);
    s.err = testing::internal::GetCapturedStderr();
    s.out = testing::internal::GetCapturedStdout();
    return s;
}

}  // namespace

TEST(Init, StartsFromTheFullDatabase) {
    TestDb db(70);
    db.put_krx2("");
    db.remove("kelpa.ind");  // a file only in the second directory is found there
    db.put("kelpa.ind", "index", 2);
    auto s = start(db);
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(s.out + s.err, "");
    EXPECT_EQ(s.lib->cv_tables.nhits, 70);
    const auto& t = s.lib->cv_tables.curtbl;
    EXPECT_EQ((std::array<std::uint32_t, 4>{t[0], t[1], t[2], t[3]}),
              (std::array<std::uint32_t, 4>{~0u, ~0u, 0x3Fu, 0u}));  // entries 65..70 in word 2
    std::array<char, 101> text{};
    EXPECT_EQ(cvl_rephistory(*s.lib, 1, text), 1);
    EXPECT_STREQ(text.data(), "Starting from full database");
    EXPECT_EQ(cvl_rephistory(*s.lib, 2, text), 0);
    for (std::FILE* f :
         {s.lib->fcdrom[0], s.lib->findex, s.lib->fnamlib, s.lib->fdilib, s.lib->freflib}) {
        EXPECT_NE(f, nullptr);
    }
    TestDb full(250016);  // the capacity of a hit table
    full.put_krx2("");
    s = start(full);
    EXPECT_EQ(s.status, 0);
    EXPECT_EQ(s.lib->cv_tables.curtbl[7812], ~0u);
}

TEST(Init, FailuresAndWarnings) {
    // "@1" and "@2" stand for the two database directories.
    const std::string check =
        "cvl_init ERROR: Check paths in /usr/local/corvane.txtor ~/.corvane\n"
        "cvl_init ERROR: for correct database location\n";
    const struct {
        std::function<void(TestDb&)> setup;
        int status;
        std::string out, err;
    } cases[] = {
        {[](TestDb& db) { write_file(db.location(), db.line1().string() + "\n"); }, 1, "\n",
         "cvl_init ERROR: Error reading the locations of TARN database\n"},
        {[](TestDb& db) { db.remove("pdsize.txt"); }, 1, "",
         "cvl_init ERROR: Unable to open file pdsize.txt on @1 or @2\n"},
        {[](TestDb& db) { db.put("pdsize.txt", "10 20 30 forty\n"); }, 1, "",
         "cvl_init ERROR: Error reading file pdsize.txt on @1 or @2\n"},
        // An entry count the tables cannot hold is refused before any file is opened.
        {[](TestDb& db) { db.put("pdsize.txt", "250017 0 0 0 0"); }, 1, "",
         "cvl_init ERROR: Entry count 250017 in pdsize.txt is not between 0 and 250016\n"},
        {[](TestDb& db) { db.put("pdsize.txt", "-1 0 0 0 0"); }, 1, "",
         "cvl_init ERROR: Entry count -1 in pdsize.txt is not between 0 and 250016\n"},
        // No record file, nor a directory of its name: a warning only.
        {[](TestDb& db) { fs::create_directory(db.line2() / "krx2.dat"); }, 0, "",
         " cvl_init WARNING: Unable to open file krx2.dat on @1 or @2\n"},
        // The second location line may name the record file itself.
        {[](TestDb& db) {
             write_file(db.file("records.dat"), "K");
             db.write_location(db.line1().string(), db.file("records.dat"), "x");
         },
         0, "", ""},
        // The first KRX1 file missing stops start-up; a directory does not count.
        {[](TestDb& db) {
             db.put_krx2("");
             db.remove("ref.lib");
             fs::create_directory(db.line2() / "ref.lib");
         },
         1, "",
         "cvl_init ERROR: Unable to open file KRX1 reference file (ref.lib) on @1 or @2\n" + check},
        {[](TestDb& db) {
             db.put_krx2("");
             db.remove("di.lib");
             db.remove("name.lib");
         },
         1, "",
         "cvl_init ERROR: Unable to open file KRX1 name file (name.lib) on @1 or @2\n" + check},
    };
    for (const auto& c : cases) {
        // Short relative directories keep the warning on one line.
        TestDb db(10);
        cvtest::ScopedCwd cwd(db.root());
        db.write_location("line1", "line2", "line3");
        c.setup(db);
        const auto s = start(db);
        std::string err = c.err;
        for (std::size_t at; (at = err.find('@')) != std::string::npos;) {
            err.replace(at, 2, err[at + 1] == '1' ? "line1" : "line2");
        }
        EXPECT_EQ(s.status, c.status) << c.err;
        EXPECT_EQ(s.out, c.out) << c.err;
        EXPECT_EQ(s.err, err);
        EXPECT_EQ(s.lib->findex != nullptr,
                  c.status == 0 || c.err.find("KRX1") != std::string::npos);
        EXPECT_EQ(s.lib->freflib != nullptr, c.status == 0) << c.err;
        EXPECT_EQ(s.lib->cv_history.nhist, c.status == 0 ? 1 : 0) << c.err;
    }
}
