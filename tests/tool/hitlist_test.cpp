// hitlist end to end on the five entries of the test support.
#include "support/support.h"

namespace {

using namespace cvtest;
const std::string kStart = "Starting from full database";

class Hitlist : public ::testing::Test {
  protected:
    void SetUp() override { put_entries(db, five_entries()); }
    RunResult list(std::int32_t n, std::uint32_t word, const Strings& history,
                   const Strings& options = {}) {
        write_file(db.file("in.sub"), subfile_bytes(n, {word}, history));
        Strings args = options;
        args.push_back("in.sub");
        return db.run("hitlist", args);
    }
    TestDb db{5};
};

// The strongest lines first, equal intensities in line order; d-spacings of
// the angle codes with four decimals (1.5098468, 1.0893674, 0.8956282,
// 0.770299, 33222.297 = 33222.296875); code -31416 has none.
TEST_F(Hitlist, ListsHistoryCountAndEveryHitWithItsStrongestLines) {
    auto r = list(5, 0x1D, {kStart, "Match by something"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "history 1: " + kStart +
                         "\nhistory 2: Match by something\nhits: 4\n"
                         "1\t1\t9101\tSilicon Oxide\t1.5098\t100\t1.0894\t50\t0.8956\t50\n"
                         "2\t3\t9103\tSilicon\n"
                         "3\t4\t9104\tTitanium Oxide\t0.8956\t20\n"
                         "4\t5\t9105\tSilicon Oxide\t0.7703\t255\t33222.2969\t1\n");

    // Lines without a d-spacing among the strongest; ties to the earlier
    // line; the last of 255 lines the strongest. Control characters in a
    // name are shown as blanks.
    std::vector<std::pair<std::int32_t, int>> many(255, {31416, 7});
    many[0] = {0, 7};
    many[1] = {10000, 7};
    many[254] = {-10000, 8};
    auto entries = five_entries();
    entries[0].names[0] = std::string("Si\tO\0x", 6);
    entries[0].lines = {{-31416, 100}, {0, 50},      {-31416, 90},
                        {10000, 50},   {-10000, 40}, {31416, 40}};
    entries[1].lines = many;
    put_entries(db, entries);
    EXPECT_EQ(list(5, 0x03, {}).out,
              "hits: 2\n1\t1\t9101\tSi O x\t1.0894\t50\t0.8956\t50\t1.5098\t40\n"
              "2\t2\t9102\tCalcium Carbonate\t1.5098\t8\t1.0894\t7\t0.8956\t7\n");
}

TEST_F(Hitlist, MachineReadableFormatsHoldTheHitsAlone) {
    const std::pair<const char*, std::string> cases[] = {
        {"tsv",
         "rank\tentry\tidentifier\tname\td1\ti1\td2\ti2\td3\ti3\n"
         "1\t1\t9101\tSilicon Oxide\t1.5098\t100\t1.0894\t50\t0.8956\t50\n"
         "2\t4\t9104\tTitanium Oxide\t0.8956\t20\t\t\t\t\n"},
        {"csv",
         "rank,entry,identifier,name,d1,i1,d2,i2,d3,i3\r\n1,1,9101,Silicon Oxide,1.5098,"
         "100,1.0894,50,0.8956,50\r\n2,4,9104,Titanium Oxide,0.8956,20,,,,\r\n"},
        {"json",
         "[\n{\"rank\":1,\"entry\":1,\"identifier\":9101,\"name\":\"Silicon Oxide\",\"lines\":["
         "{\"d\":1.5098,\"intensity\":100},{\"d\":1.0894,\"intensity\":50},"
         "{\"d\":0.8956,\"intensity\":50}]},\n"
         "{\"rank\":2,\"entry\":4,\"identifier\":9104,\"name\":\"Titanium Oxide\",\"lines\":["
         "{\"d\":0.8956,\"intensity\":20}]}\n]\n"},
        {"text", "history 1: " + kStart +
                     "\nhits: 2\n1\t1\t9101\tSilicon Oxide\t1.5098\t100\t"
                     "1.0894\t50\t0.8956\t50\n2\t4\t9104\tTitanium Oxide\t0.8956\t20\n"},
    };
    for (const auto& [format, out] : cases) {
        const auto r = list(5, 0x09, {kStart}, {"-format", format});
        EXPECT_EQ(r.status, 0) << format;
        EXPECT_EQ(r.out + r.err, out) << format;
    }
}

TEST_F(Hitlist, UsageAndUnreadableSubfilesOrEntries) {
    const std::string usage = usage_of("hitlist");
    const std::pair<Strings, std::string> cases[] = {
        {{"a.sub", "b.sub"}, usage},
        {{"-format", "xml", "a.sub"}, "unknown format: xml\n" + usage},
        {{"missing.sub"},
         " readbitmap WARNING: unable to open/read file missing.sub\n"
         "readbitmap ERROR code:    -1\nerror reading subfile missing.sub\n"},
    };
    for (const auto& [args, err] : cases) {
        const auto r = db.run("hitlist", args);
        EXPECT_EQ(r.status, 1) << err;
        EXPECT_EQ(r.out + r.err, err);
    }
    // An entry the index lacks stops the listing there.
    db.put("kelpa.ind", read_file(db.line1() / "kelpa.ind").substr(0, 80));
    const auto r = list(5, 0x11, {});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "hits: 2\n1\t1\t9101\tSilicon Oxide\t1.5098\t100\t1.0894\t50\t0.8956\t50\n");
    EXPECT_EQ(r.err, "cvl_RepKRX1 ERROR: readindex for entry  5\nerror reading entry 5\n");
}

}  // namespace
