// hitfind and hitlist end to end on the five entries of the test support:
// command lines and history records (matching itself is the library's).
#include "support/support.h"

namespace {

using namespace cvtest;
const std::string kStart = "Starting from full database";

Strings words(const std::string& text) {
    std::istringstream in(text);
    Strings out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

class FiveEntries : public ::testing::Test {
  protected:
    void SetUp() override { put_entries(db, five_entries()); }
    // hitfind must succeed, print the count and write the subfile: five
    // entries, one table word, the start and a "Match by" record per step.
    void expect_found(const Strings& args, const std::string& out, int count, std::uint32_t word,
                      const Strings& steps) {
        const auto r = db.run("hitfind", args);
        EXPECT_EQ(r.status, 0) << steps.back();
        EXPECT_EQ(r.out + r.err, std::to_string(count) + "\n") << steps.back();
        Strings history = {kStart};
        for (const auto& s : steps) history.push_back("Match by " + s);
        EXPECT_EQ(read_file(db.file(out)), subfile_bytes(5, {word}, history)) << steps.back();
    }
    RunResult list(std::int32_t n, std::uint32_t word, const Strings& history,
                   const Strings& options = {}) {
        write_file(db.file("in.sub"), subfile_bytes(n, {word}, history));
        Strings args = options;
        args.push_back("in.sub");
        return db.run("hitlist", args);
    }
    TestDb db{5};
};
using Hitfind = FiveEntries;
using Hitlist = FiveEntries;

}  // namespace

// The entries' lines: 1 at 1.5098 (100), 1.0894 (50), 0.8956 (50), 33222.297
// (10); 2 at 1.0894; 3 none; 4 at 0.8956; 5 at 0.7703 (255), 33222.297 (1).
TEST_F(Hitfind, EachCriterionIsAnAndStep) {
    const struct {
        const char* args;
        int count;
        std::uint32_t word;
        Strings steps;
    } cases[] = {
        {"out.sub silicon titan", 4, 0x1D, {"any of names: silicon, titan"}},
        {"-all out.sub silicon oxide", 2, 0x11, {"all of names: silicon, oxide"}},
        {"-fields name2 out.sub syn", 3, 0x0B, {"any of name2: syn"}},
        {"-fields journal,authors out.sub swanson acbcar",
         4,
         0x1B,
         {"any of authors,journal: swanson, acbcar"}},
        {"-fields name4,name3,name2,name1 out.sub cristo", 1, 0x10, {"any of names: cristo"}},
        {"-d 1.51 -d 0.9 out.sub", 1, 0x01, {"d-spacings 1.510\u00B10.020, 0.900\u00B10.020"}},
        {"-d 0.896:0.5% out.sub", 2, 0x09, {"d-spacings 0.896\u00B10.5%"}},
        // Entry 1's fourth line is not among its three strongest.
        {"-d 33222.3:1 -strong out.sub",
         1,
         0x10,
         {"d-spacings 33222.300\u00B11.000 (strong lines)"}},
        {"-elements si,O -only out.sub", 2, 0x11, {"elements all of Si,O; no others"}},
        {"-anyof Ca,Ti out.sub", 2, 0x0A, {"elements any of Ca,Ti"}},
        {"-fields name1 -d 1.09 -elements Ca -without Ti out.sub carbonate",
         1,
         0x02,
         {"d-spacings 1.090\u00B10.020", "elements all of Ca; none of Ti",
          "any of name1: carbonate"}},
    };
    for (const auto& c : cases) expect_found(words(c.args), "out.sub", c.count, c.word, c.steps);
    // Strings may begin with a dash after "--".
    expect_found({"--", "-x.sub", "-syn"}, "-x.sub", 0, 0x00, {"any of names: -syn"});
    // Within a subfile: of entries 1, 3 and 5 only entry 5 has Swanson.
    ASSERT_EQ(db.run("hitfind", {"si.sub", "silicon"}).status, 0);
    const std::string before = read_file(db.file("si.sub"));
    expect_found(words("-in si.sub -fields authors sw.sub swanson"), "sw.sub", 1, 0x10,
                 {"any of names: silicon", "any of authors: swanson"});
    EXPECT_EQ(read_file(db.file("si.sub")), before);
}

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

// Refusals leave hitfind's output file. Usage errors need no database; the
// index holds four records for a database of five entries.
TEST_F(FiveEntries, RefusalsAndUnreadableSubfilesOrEntries) {
    const std::string usage = usage_of("hitfind");
    const std::string missing = "outfile and at least one search string required\n";
    const std::string unreadable =
        " readbitmap WARNING: unable to open/read file none.sub\n"
        "readbitmap ERROR code:    -1\nerror reading subfile none.sub\n";
    db.put("kelpa.ind", read_file(db.line1() / "kelpa.ind").substr(0, 80));
    const struct {
        const char* tool;
        Strings args;
        std::string err;
    } cases[] = {
        {"hitfind", {"-x", "out.sub", "q"}, "unknown option: -x\n" + usage},
        {"hitfind",
         {"-fields", "names,formula", "out.sub", "q"},
         "unknown field: formula\n" + usage},
        {"hitfind", {"-fields"}, "missing value for option -fields\n" + missing + usage},
        {"hitfind", {"-d", "x", "out.sub"}, "invalid d-spacing: x\n" + usage},
        {"hitfind", {"-d", "2.0"}, "outfile required\n" + usage},
        {"hitfind", {"-strong", "out.sub", "q"}, "-strong needs -d\n" + usage},
        {"hitfind", {"-only", "out.sub"}, "-only needs -elements or -anyof\n" + usage},
        {"hitfind",
         {"-elements", "Si,Qq", "out.sub"},
         "-elements: 'Qq' is not an element\n" + usage},
        {"hitfind", {"-in", "none.sub", "out.sub", "quartz"}, unreadable},
        {"hitfind", {"out.sub", "quartz"}, "error reading entry 5\n"},
        {"hitlist", {"a.sub", "b.sub"}, usage_of("hitlist")},
        {"hitlist", {"none.sub"}, unreadable},
    };
    write_file(db.file("out.sub"), "earlier result");
    for (const auto& c : cases) {
        const bool usage_error = c.err.find("\nusage:") != std::string::npos;
        const auto r = db.run(c.tool, c.args, usage_error ? db.unlocated() : RunOptions{});
        EXPECT_EQ(r.status, 1) << c.err;
        EXPECT_EQ(r.out + r.err, c.err);
        EXPECT_EQ(read_file(db.file("out.sub")), "earlier result");
    }
    // An entry the index lacks stops the listing there.
    const auto r = list(5, 0x11, {});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "hits: 2\n1\t1\t9101\tSilicon Oxide\t1.5098\t100\t1.0894\t50\t0.8956\t50\n");
    EXPECT_EQ(r.err, "cvl_RepKRX1 ERROR: readindex for entry  5\nerror reading entry 5\n");
}
