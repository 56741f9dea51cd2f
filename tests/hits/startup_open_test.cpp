// Start-up that keeps only some database files open: the others are looked
// for all the same, so a missing one is reported as a full start-up reports it.
#include <corvane/corvane.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "tool/testdb.h"

namespace fs = std::filesystem;
using cvtest::ScopedEnv;

namespace {

struct Started {
    std::unique_ptr<corvane::Library> lib = std::make_unique<corvane::Library>();
    int status = -99;
    std::string err;
};

Started start(const cvtest::TestDb& db, unsigned open) {
    ScopedEnv loc("LOGIC_LOC", db.location().string());
    ScopedEnv home("HOME", db.work().string());
    Started s;
    testing::internal::CaptureStderr();
    s.status = cvl_init(*s.lib, open);
    s.err = testing::internal::GetCapturedStderr();
    return s;
}

}  // namespace

TEST(InitOpening, OnlyTheNamedFilesStayOpenAndMissingOnesAreReportedAlike) {
    cvtest::TestDb db(10);
    db.put_krx2("");
    auto s = start(db, corvane::kDbIndex | corvane::kDbLines);
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_NE(s.lib->findex, nullptr);
    EXPECT_NE(s.lib->fdilib, nullptr);
    EXPECT_EQ(s.lib->fnamlib, nullptr);
    EXPECT_EQ(s.lib->freflib, nullptr);
    EXPECT_EQ(s.lib->fcdrom[0], nullptr);
    EXPECT_EQ(s.lib->cv_tables.nhits, 10);

    // Whatever is kept open, a missing file gives the same lines and status;
    // a directory in its place counts as missing, as it does for the open.
    db.remove("krx2.dat");
    db.remove("name.lib");
    fs::create_directory(db.line2() / "name.lib");
    const auto full = start(db, corvane::kDbAll);
    EXPECT_EQ(full.status, 1);
    EXPECT_NE(full.err.find(" WARNING: "), std::string::npos);
    EXPECT_NE(full.err.find("(name.lib)"), std::string::npos);
    for (const unsigned open : {unsigned{corvane::kDbNone}, unsigned{corvane::kDbIndex}}) {
        const auto some = start(db, open);
        EXPECT_EQ(some.status, full.status) << open;
        EXPECT_EQ(some.err, full.err) << open;
    }
}
