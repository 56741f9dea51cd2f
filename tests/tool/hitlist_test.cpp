// hitlist end to end, and the round trip a user drives on the sample database:
// build, search, combine, list.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "entries/krx1_files.h"
#include "tool/testdb.h"

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
    cvtest::RunResult list(std::int32_t n, std::uint32_t word,
                           const std::vector<std::string>& history) {
        cvtest::write_file(db.file("in.sub"), cvtest::subfile_bytes(n, {word}, history));
        return db.run("hitlist", {"in.sub"});
    }
    cvtest::TestDb db{5};
};

TEST_F(Hitlist, ListsHistoryCountAndEveryHitInEntryOrderRankedAmongTheHits) {
    auto r = list(5, 0x1F, {kStart, "Match by something"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "history 1: " + kStart + "\nhistory 2: Match by something\nhits: 5\n1\t1\t" +
                         kLines[0] + "\n2\t2\t" + kLines[1] + "\n3\t3\t" + kLines[2] + "\n4\t4\t" +
                         kLines[3] + "\n5\t5\t" + kLines[4] + "\n");
    r = list(5, 0x14, {kStart});
    EXPECT_EQ(r.out, "history 1: " + kStart + "\nhits: 2\n1\t3\t" + kLines[2] + "\n2\t5\t" +
                         kLines[4] + "\n");
    r = list(5, 0x00, {});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "hits: 0\n");
}

TEST_F(Hitlist, ControlCharactersInANameDoNotBreakTheColumns) {
    auto entries = cvtest::five_entries();
    entries[0].names[0] = std::string("Si\tO\0x", 6);
    entries[0].lines.clear();
    cvtest::put_entries(db, entries);
    EXPECT_EQ(list(5, 0x01, {}).out, "hits: 1\n1\t1\t9101\tSi O x\n");
}

TEST_F(Hitlist, UsageAndUnreadableSubfilesOrEntries) {
    for (const auto& args : {std::vector<std::string>{}, {"a.sub", "b.sub"}}) {
        const auto r = db.run("hitlist", args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "\nusage:\n\thitlist <subfile>\n");
    }
    auto r = db.run("hitlist", {"missing.sub"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              " readbitmap WARNING: unable to open/read file missing.sub\n"
              "readbitmap ERROR code:    -1\n"
              "error reading subfile missing.sub\n");
    // A table over six entries does not fit a database of five; the warning
    // wraps, as its message would reach column 80.
    r = list(6, 0x3F, {kStart});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              " readbitmap WARNING: \n"
              " bitmap on file in.sub has a different size than current database\n"
              "error reading subfile in.sub\n");
    // An entry the index lacks stops the listing there.
    db.put("kelpa.ind", cvtest::read_file(db.line1() / "kelpa.ind").substr(0, 80));
    r = list(5, 0x11, {});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "hits: 2\n1\t1\t" + kLines[0] + "\n");
    EXPECT_EQ(r.err, "cvl_RepKRX1 ERROR: readindex for entry  5\nerror reading entry 5\n");
}

TEST(SampleRoundTrip, BuildSearchCombineList) {
    cvtest::TempDir dir;
    const std::string cards = std::string(CORVANE_SOURCE_DIR) + "/sample/phases.crd";
    const auto built = cvtest::run_program(cvtest::tool_path("krxbuild"), {cards, dir / "db"});
    ASSERT_EQ(built.status, 0) << built.err;

    // The other tools find the new database through its location file.
    cvtest::RunOptions options;
    options.env["LOGIC_LOC"] = dir / "db/tarnloc.txt";
    options.cwd = dir.path().string();
    const auto run = [&](const std::string& tool, const std::vector<std::string>& args,
                         const std::string& out) {
        const auto r = cvtest::run_program(cvtest::tool_path(tool), args, options);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, out) << tool;
        return r.out;
    };
    // "oxide": Magnesium, Aluminum, Titanium (twice) and Silicon Oxide; "titan":
    // anatase and rutile.
    run("hitfind", {"oxides.sub", "oxide"}, "5\n");
    run("hitfind", {"-fields", "names", "titania.sub", "titan"}, "2\n");
    run("hitjoin", {"oxides.sub", "titania.sub", "-remove"}, "3\n");
    const auto lines = cvtest::lines(
        cvtest::run_program(cvtest::tool_path("hitlist"), {"oxides.sub"}, options).out);
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(
        std::vector<std::string>(lines.begin(), lines.begin() + 6),
        (std::vector<std::string>{"history 1: " + kStart, "history 2: Match by any of names: oxide",
                                  "history 3: Remove matching File contents (titania.sub)",
                                  "history 4: ... " + kStart,
                                  "history 5: ... Match by any of names: titan", "hits: 3"}));
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
