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
        "\t\tLIST: name1,name2,name3,name4,names,authors,journal (default names)\n";
    const std::string missing = "outfile and at least one search string required\n";
    const std::pair<Strings, std::string> cases[] = {
        {{"-all", "out.sub"}, missing},
        {{"-x", "out.sub", "q"}, "unknown option: -x\n"},
        {{"-fields", "names,formula", "out.sub", "q"}, "unknown field: formula\n"},
        {{"-fields"}, "missing value for option -fields\n" + missing},
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
