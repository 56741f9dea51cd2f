// hitlist end to end on the five entries of the test support.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/support.h"

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
    auto r = list(5, 0x1D, {kStart, "Match by something"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "history 1: " + kStart + "\nhistory 2: Match by something\nhits: 4\n1\t1\t" +
                         kLines[0] + "\n2\t3\t" + kLines[2] + "\n3\t4\t" + kLines[3] + "\n4\t5\t" +
                         kLines[4] + "\n");
    r = list(5, 0x02, {});
    EXPECT_EQ(r.out, "hits: 1\n1\t2\t" + kLines[1] + "\n");
}

TEST_F(Hitlist, MachineReadableFormatsHoldTheHitsAlone) {
    cvtest::write_file(db.file("in.sub"), cvtest::subfile_bytes(5, {0x09}, {kStart}));
    const std::pair<const char*, std::string> cases[] = {
        {"tsv",
         "rank\tentry\tidentifier\tname\td1\ti1\td2\ti2\td3\ti3\n"
         "1\t1\t9101\tSilicon Oxide\t1.5098\t100\t1.0894\t50\t0.8956\t50\n"
         "2\t4\t9104\tTitanium Oxide\t0.8956\t20\t\t\t\t\n"},
        {"csv",
         "rank,entry,identifier,name,d1,i1,d2,i2,d3,i3\r\n"
         "1,1,9101,Silicon Oxide,1.5098,100,1.0894,50,0.8956,50\r\n"
         "2,4,9104,Titanium Oxide,0.8956,20,,,,\r\n"},
        {"json",
         "[\n{\"rank\":1,\"entry\":1,\"identifier\":9101,\"name\":\"Silicon Oxide\",\"lines\":["
         "{\"d\":1.5098,\"intensity\":100},{\"d\":1.0894,\"intensity\":50},"
         "{\"d\":0.8956,\"intensity\":50}]},\n"
         "{\"rank\":2,\"entry\":4,\"identifier\":9104,\"name\":\"Titanium Oxide\",\"lines\":["
         "{\"d\":0.8956,\"intensity\":20}]}\n]\n"},
    };
    for (const auto& [format, out] : cases) {
        const auto r = db.run("hitlist", {"-format", format, "in.sub"});
        EXPECT_EQ(r.status, 0) << format;
        EXPECT_EQ(r.err, "") << format;
        EXPECT_EQ(r.out, out) << format;
    }
    // text is the listing itself.
    EXPECT_EQ(db.run("hitlist", {"-format", "text", "in.sub"}).out,
              db.run("hitlist", {"in.sub"}).out);
}

TEST_F(Hitlist, ControlCharactersInANameDoNotBreakTheColumns) {
    auto entries = cvtest::five_entries();
    entries[0].names[0] = std::string("Si\tO\0x", 6);
    entries[0].lines.clear();
    cvtest::put_entries(db, entries);
    EXPECT_EQ(list(5, 0x01, {}).out, "hits: 1\n1\t1\t9101\tSi O x\n");
}

TEST_F(Hitlist, UsageAndUnreadableSubfilesOrEntries) {
    const std::string usage = "\nusage:\n\thitlist [-format text|tsv|csv|json] <subfile>\n";
    EXPECT_EQ(db.run("hitlist", {}).err, usage);
    auto r = db.run("hitlist", {"a.sub", "b.sub"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out + r.err, usage);
    r = db.run("hitlist", {"-format", "xml", "a.sub"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out + r.err, "unknown format: xml\n" + usage);
    r = db.run("hitlist", {"missing.sub"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out + r.err,
              " readbitmap WARNING: unable to open/read file missing.sub\n"
              "readbitmap ERROR code:    -1\nerror reading subfile missing.sub\n");
    // An entry the index lacks stops the listing there.
    db.put("kelpa.ind", cvtest::read_file(db.line1() / "kelpa.ind").substr(0, 80));
    r = list(5, 0x11, {});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "hits: 2\n1\t1\t" + kLines[0] + "\n");
    EXPECT_EQ(r.err, "cvl_RepKRX1 ERROR: readindex for entry  5\nerror reading entry 5\n");
}

}  // namespace
