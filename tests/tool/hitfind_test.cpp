// hitfind end to end on the five entries of the test support: the command
// line and the history records it makes (matching itself is the library's).
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

class Hitfind : public ::testing::Test {
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
    TestDb db{5};
};

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

TEST_F(Hitfind, RefusalsKeepTheOutputFile) {
    const std::string usage = usage_of("hitfind");
    const std::string missing = "outfile and at least one search string required\n";
    // The index holds four records for a database of five entries.
    db.put("kelpa.ind", read_file(db.line1() / "kelpa.ind").substr(0, 80));
    const std::pair<Strings, std::string> cases[] = {
        // Usage errors need no database.
        {{"-x", "out.sub", "q"}, "unknown option: -x\n" + usage},
        {{"-fields", "names,formula", "out.sub", "q"}, "unknown field: formula\n" + usage},
        {{"-fields"}, "missing value for option -fields\n" + missing + usage},
        {{"-d", "x", "out.sub"}, "invalid d-spacing: x\n" + usage},
        {{"-d", "2.0"}, "outfile required\n" + usage},
        {{"-strong", "out.sub", "q"}, "-strong needs -d\n" + usage},
        {{"-only", "out.sub"}, "-only needs -elements or -anyof\n" + usage},
        {{"-elements", "Si,Qq", "out.sub"}, "-elements: 'Qq' is not an element\n" + usage},
        {{"-in", "none.sub", "out.sub", "quartz"},
         " readbitmap WARNING: unable to open/read file none.sub\n"
         "readbitmap ERROR code:    -1\nerror reading subfile none.sub\n"},
        {{"out.sub", "quartz"}, "error reading entry 5\n"},
    };
    write_file(db.file("out.sub"), "earlier result");
    for (const auto& [args, err] : cases) {
        const bool usage_error = err.ends_with(usage);
        const auto r = db.run("hitfind", args, usage_error ? db.unlocated() : RunOptions{});
        EXPECT_EQ(r.status, 1) << err;
        EXPECT_EQ(r.out + r.err, err);
        EXPECT_EQ(read_file(db.file("out.sub")), "earlier result");
    }
}
