// hitfind end to end on the five entries of the test support: the command
// line, the history record it makes, and its failures. What each field holds
// and how strings match are the search routine's own tests.
#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "support/support.h"

namespace {

using Strings = std::vector<std::string>;
const std::string kStart = "Starting from full database";

class Hitfind : public ::testing::Test {
  protected:
    void SetUp() override { cvtest::put_entries(db, cvtest::five_entries()); }
    // Runs hitfind, which must succeed, and checks the count it prints and
    // the subfile it writes: five entries, one table word, the history given.
    void expect_found(const Strings& args, const std::string& out, int count, std::uint32_t word,
                      const Strings& history) {
        const auto r = db.run("hitfind", args);
        EXPECT_EQ(r.status, 0) << history.back();
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.out, std::to_string(count) + "\n") << history.back();
        EXPECT_EQ(cvtest::read_file(db.file(out)), cvtest::subfile_bytes(5, {word}, history))
            << history.back();
    }
    cvtest::TestDb db{5};
};

}  // namespace

TEST_F(Hitfind, SearchesTheFieldsAskedFor) {
    const struct {
        const char* args;
        int count;
        std::uint32_t word;
        const char* history;
    } cases[] = {
        // Names by default, any string enough, without regard to case.
        {"out.sub QUARTZ", 1, 0x01, "any of names: QUARTZ"},
        {"out.sub silicon titan", 4, 0x1D, "any of names: silicon, titan"},
        // Entry 3 is "Silicon" without "oxide"; a string may be met in any field.
        {"-all out.sub silicon oxide", 2, 0x11, "all of names: silicon, oxide"},
        {"-all -fields names,authors out.sub quartz donnay", 1, 0x01,
         "all of names,authors: quartz, donnay"},
        // Each field by its name; named in one order, all four names as "names".
        {"-fields name1 out.sub syn", 0, 0x00, "any of name1: syn"},
        {"-fields name2 out.sub syn", 3, 0x0B, "any of name2: syn"},
        {"-fields name3 out.sub sio2", 2, 0x11, "any of name3: sio2"},
        {"-fields name4 out.sub titania", 1, 0x08, "any of name4: titania"},
        {"-fields journal,authors out.sub swanson acbcar", 4, 0x1B,
         "any of authors,journal: swanson, acbcar"},
        {"-fields name4,name3,name2,name1 out.sub cristo", 1, 0x10, "any of names: cristo"},
    };
    for (const auto& c : cases) {
        std::istringstream in(c.args);
        Strings args;
        for (std::string w; in >> w;) args.push_back(w);
        expect_found(args, "out.sub", c.count, c.word,
                     {kStart, std::string("Match by ") + c.history});
    }
    // Strings may begin with a dash after "--".
    expect_found({"--", "-x.sub", "-syn"}, "-x.sub", 0, 0x00,
                 {kStart, "Match by any of names: -syn"});
}

TEST_F(Hitfind, FindsByDSpacingsAndElements) {
    // The five entries' lines: 1 at 1.5098 (100), 1.0894 (50), 0.8956 (50),
    // 33222.297 (10); 2 at 1.0894; 3 none; 4 at 0.8956 (and a code with no
    // d-spacing); 5 at 0.7703 (255) and 33222.297 (1). No bit libraries: every
    // entry's lines are read.
    const struct {
        const char* args;
        int count;
        std::uint32_t word;
        Strings history;
    } cases[] = {
        {"-d 1.09 out.sub", 2, 0x03, {"d-spacings 1.090\u00B10.020"}},
        {"-d 1.51 -d 0.9 out.sub", 1, 0x01, {"d-spacings 1.510\u00B10.020, 0.900\u00B10.020"}},
        {"-d 0.896:0.5% out.sub", 2, 0x09, {"d-spacings 0.896\u00B10.5%"}},
        {"-d 33222.3:1 out.sub", 2, 0x11, {"d-spacings 33222.300\u00B11.000"}},
        // Entry 1's fourth line is not among its three strongest.
        {"-d 33222.3:1 -strong out.sub",
         1,
         0x10,
         {"d-spacings 33222.300\u00B11.000 (strong lines)"}},
        {"-elements si,O -only out.sub", 2, 0x11, {"elements all of Si,O; no others"}},
        {"-anyof Ca,Ti out.sub", 2, 0x0A, {"elements any of Ca,Ti"}},
        {"-without O out.sub", 1, 0x04, {"elements none of O"}},
        // Every criterion an "-and" step: d-spacings, elements, strings.
        {"-elements O -without Ti out.sub silicon",
         2,
         0x11,
         {"elements all of O; none of Ti", "any of names: silicon"}},
        {"-fields name1 -d 1.09 -elements Ca out.sub carbonate",
         1,
         0x02,
         {"d-spacings 1.090\u00B10.020", "elements all of Ca", "any of name1: carbonate"}},
    };
    for (const auto& c : cases) {
        std::istringstream in(c.args);
        Strings args;
        for (std::string w; in >> w;) args.push_back(w);
        Strings history = {kStart};
        for (const auto& h : c.history) history.push_back("Match by " + h);
        expect_found(args, "out.sub", c.count, c.word, history);
    }
}

TEST_F(Hitfind, SearchWithinASubfileContinuesItsHistory) {
    ASSERT_EQ(db.run("hitfind", {"si.sub", "silicon"}).status, 0);
    const std::string before = cvtest::read_file(db.file("si.sub"));
    // Of entries 1, 3 and 5, only entry 5 has Swanson among its authors
    // (entry 2 has too, but is not searched).
    expect_found({"-in", "si.sub", "-fields", "authors", "sw.sub", "swanson"}, "sw.sub", 1, 0x10,
                 {kStart, "Match by any of names: silicon", "Match by any of authors: swanson"});
    EXPECT_EQ(cvtest::read_file(db.file("si.sub")), before);
}

TEST_F(Hitfind, UsageErrorsNameTheFaultThenShowTheUsage) {
    const std::string usage =
        "\nusage:\n"
        "\thitfind [-all] [-fields LIST] [-in SUBFILE] <outfile> <string>...\n"
        "\t\tLIST: name1,name2,name3,name4,names,authors,journal (default names)\n"
        "\thitfind [-d D[:TOL]]... [-strong] [-elements ELEMENTS] [-only] [-without ELEMENTS]\n"
        "\t\t[-anyof ELEMENTS] [the options above] <outfile> [<string>...]\n"
        "\t\tD: a d-spacing in angstrom; TOL: angstrom (default 0.02, wider above 4.3)\n"
        "\t\t\tor a percentage of D such as 0.3%\n"
        "\t\tELEMENTS: element symbols separated by commas, such as Si,O\n";
    const std::string missing = "outfile and at least one search string required\n";
    const std::pair<Strings, std::string> cases[] = {
        {{"-all", "out.sub"}, missing},
        {{"-x", "out.sub", "q"}, "unknown option: -x\n"},
        {{"-fields", "names,formula", "out.sub", "q"}, "unknown field: formula\n"},
        {{"-fields"}, "missing value for option -fields\n" + missing},
        {{"-d", "x", "out.sub"}, "invalid d-spacing: x\n"},
        {{"-d", "2.0:0", "out.sub"},
         "invalid tolerance '0': a positive number of angstrom, or a percentage such as 0.3%\n"},
        {{"-d", "2.0"}, "outfile required\n"},
        {{"-strong", "out.sub", "q"}, "-strong needs -d\n"},
        {{"-only", "out.sub"}, "-only needs -elements or -anyof\n"},
        {{"-elements", "Si,Qq", "out.sub"}, "-elements: 'Qq' is not an element\n"},
    };
    for (const auto& [args, first] : cases) {
        const auto r = db.run("hitfind", args, db.unlocated());  // no database needed
        EXPECT_EQ(r.status, 1) << first;
        EXPECT_EQ(r.out + r.err, first + usage);
    }
    EXPECT_FALSE(std::filesystem::exists(db.file("out.sub")));
}

TEST_F(Hitfind, UnreadableSubfileOrEntryKeepsTheOutputFile) {
    // The index holds four records for a database of five entries.
    db.put("kelpa.ind", cvtest::read_file(db.line1() / "kelpa.ind").substr(0, 80));
    const std::pair<Strings, std::string> cases[] = {
        {{"-in", "none.sub", "out.sub", "quartz"},
         " readbitmap WARNING: unable to open/read file none.sub\n"
         "readbitmap ERROR code:    -1\nerror reading subfile none.sub\n"},
        {{"out.sub", "quartz"}, "error reading entry 5\n"},
    };
    for (const auto& [args, err] : cases) {
        cvtest::write_file(db.file("out.sub"), "earlier result");
        const auto r = db.run("hitfind", args);
        EXPECT_EQ(r.status, 1) << err;
        EXPECT_EQ(r.out + r.err, err);
        EXPECT_EQ(cvtest::read_file(db.file("out.sub")), "earlier result");
    }
}
