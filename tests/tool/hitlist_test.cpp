// hitlist end to end, and the round trip a user drives on the sample database:
// search, combine, list.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/entries/krx1_files.h"
#include "tests/tool/testdb.h"

namespace {

const std::string kStart = "Starting from full database";

// Entry lines as the five entries give them: the strongest lines first, equal
// intensities in line order; d-spacings of the angle codes with four decimals
// (1.5098468, 1.0893674, 0.8956282, 0.770299, 33222.297 = 33222.296875).
const std::vector<std::string> kLines = {
    "9101\tSilicon Oxide\t1.5098\t100\t1.0894\t50\t0.8956\t50",
    "9102\tCalcium Carbonate\t1.0894\t7",
    "9103\tSilicon",
    "9104\tTitanium Oxide\t0.8956\t20",  // code -31416 has no d-spacing
    "9105\tSilicon Oxide\t0.7703\t255\t33222.2969\t1",
};

class Hitlist : public ::testing::Test {
  protected:
    void SetUp() override { cvtest::put_entries(db, cvtest::five_entries()); }

    void put_subfile(const std::string& name, std::uint32_t word,
                     const std::vector<std::string>& records) {
        cvtest::write_file(db.file(name), cvtest::subfile_bytes(5, {word}, records));
    }

    cvtest::TestDb db{5};
};

TEST_F(Hitlist, ListsHistoryCountAndEveryHitInEntryOrder) {
    put_subfile("all.sub", 0x1F, {kStart, "Match by something"});
    const auto r = db.run("hitlist", {"all.sub"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    std::string expected =
        "history 1: Starting from full database\n"
        "history 2: Match by something\n"
        "hits: 5\n";
    for (int k = 1; k <= 5; ++k) {
        expected += std::to_string(k) + "\t" + std::to_string(k) + "\t" +
                    kLines[static_cast<std::size_t>(k - 1)] + "\n";
    }
    EXPECT_EQ(r.out, expected);
}

TEST_F(Hitlist, RanksCountTheHitsOnly) {
    put_subfile("two.sub", 0x14, {kStart});
    const auto r = db.run("hitlist", {"two.sub"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "history 1: " + kStart + "\nhits: 2\n1\t3\t" + kLines[2] + "\n2\t5\t" +
                         kLines[4] + "\n");
}

TEST_F(Hitlist, EmptyResultAndEmptyHistory) {
    put_subfile("none.sub", 0x00, {});
    const auto r = db.run("hitlist", {"none.sub"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "hits: 0\n");
}

TEST_F(Hitlist, ControlCharactersInANameDoNotBreakTheColumns) {
    auto entries = cvtest::five_entries();
    entries[0].names[0] = std::string("Si\tO\0x", 6);
    entries[0].lines.clear();
    cvtest::put_entries(db, entries);
    put_subfile("one.sub", 0x01, {});
    const auto r = db.run("hitlist", {"one.sub"});
    EXPECT_EQ(r.out, "hits: 1\n1\t1\t9101\tSi O x\n");
}

TEST_F(Hitlist, UsageAndUnreadableSubfiles) {
    auto r = db.run("hitlist", {});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "\nusage:\n\thitlist <subfile>\n");
    r = db.run("hitlist", {"a.sub", "b.sub"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "\nusage:\n\thitlist <subfile>\n");

    r = db.run("hitlist", {"missing.sub"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              " readbitmap WARNING: unable to open/read file missing.sub\n"
              "readbitmap ERROR code:    -1\n"
              "error reading subfile missing.sub\n");

    // A table over six entries does not fit a database of five.
    cvtest::write_file(db.file("six.sub"), cvtest::subfile_bytes(6, {0x3F}, {kStart}));
    r = db.run("hitlist", {"six.sub"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              // The warning wraps: its message would reach column 80.
              " readbitmap WARNING: \n"
              " bitmap on file six.sub has a different size than current database\n"
              "error reading subfile six.sub\n");
}

TEST_F(Hitlist, UnreadableEntryStopsTheListing) {
    const std::string index = cvtest::read_file(db.line1() / "kelpa.ind");
    db.put("kelpa.ind", index.substr(0, 80));
    put_subfile("late.sub", 0x11, {});
    const auto r = db.run("hitlist", {"late.sub"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "hits: 2\n1\t1\t" + kLines[0] + "\n");
    EXPECT_EQ(r.err,
              "cvl_RepKRX1 ERROR: readindex for entry  5\n"
              "error reading entry 5\n");
}

// ---- search, combine, list on the sample database ---------------------------------

TEST(SampleRoundTrip, SearchCombineList) {
    cvtest::TempDir dir;
    const std::string cards = std::string(CORVANE_SOURCE_DIR) + "/sample/phases.crd";
    const auto built = cvtest::run_program(cvtest::tool_path("krxbuild"), {cards, dir / "db"});
    ASSERT_EQ(built.status, 0) << built.err;

    cvtest::RunOptions options;
    options.env["LOGIC_LOC"] = dir / "db/tarnloc.txt";
    options.cwd = dir.path().string();
    auto run = [&](const std::string& tool, const std::vector<std::string>& args) {
        return cvtest::run_program(cvtest::tool_path(tool), args, options);
    };

    // "oxide": Magnesium, Aluminum, Titanium (twice) and Silicon Oxide.
    auto r = run("hitfind", {"oxides.sub", "oxide"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "5\n");
    // "titan": the two titanium oxides, anatase and rutile.
    r = run("hitfind", {"-fields", "names", "titania.sub", "titan"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "2\n");

    r = run("hitjoin", {"oxides.sub", "titania.sub", "-remove"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "3\n");

    r = run("hitlist", {"oxides.sub"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = cvtest::lines(r.out);
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[0], "history 1: " + kStart);
    EXPECT_EQ(lines[1], "history 2: Match by any of names: oxide");
    EXPECT_EQ(lines[2], "history 3: Remove matching File contents (titania.sub)");
    EXPECT_EQ(lines[3], "history 4: ... " + kStart);
    EXPECT_EQ(lines[4], "history 5: ... Match by any of names: titan");
    EXPECT_EQ(lines[5], "hits: 3");
    // Periclase, corundum and quartz with their three strongest lines; the
    // d-spacings come back through the angle codes, close to the cards'.
    EXPECT_TRUE(lines[6].starts_with("1\t1\t40829\tMagnesium Oxide\t2.106")) << lines[6];
    EXPECT_NE(lines[6].find("\t100\t1.489"), std::string::npos) << lines[6];
    EXPECT_NE(lines[6].find("\t52\t1.216"), std::string::npos) << lines[6];
    EXPECT_TRUE(lines[6].ends_with("\t12")) << lines[6];
    EXPECT_TRUE(lines[7].starts_with("2\t5\t100173\tAluminum Oxide\t2.08")) << lines[7];
    EXPECT_TRUE(lines[8].starts_with("3\t9\t461045\tSilicon Oxide\t3.34")) << lines[8];
}

}  // namespace
