// hitfind end to end: a five-entry database written by hand, the tool run as a
// user runs it, its output, status and the subfile it writes.
#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "entries/krx1_files.h"
#include "tool/testdb.h"

namespace {

using Strings = std::vector<std::string>;
const std::string kStart = "Starting from full database";

class Hitfind : public ::testing::Test {
  protected:
    void SetUp() override { cvtest::put_entries(db, cvtest::five_entries()); }
    cvtest::RunResult find(const Strings& args) { return db.run("hitfind", args); }
    // Runs hitfind, which must succeed, and checks the count it prints and
    // the subfile it writes: five entries, one table word, the history given.
    void expect_found(const Strings& args, const std::string& out, int count, std::uint32_t word,
                      const Strings& history) {
        SCOPED_TRACE(history.back());
        const auto r = find(args);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.out, std::to_string(count) + "\n");
        EXPECT_EQ(cvtest::read_file(db.file(out)), cvtest::subfile_bytes(5, {word}, history));
    }
    // Runs hitfind, which must fail with the message given and keep out.sub.
    void expect_failure(const Strings& args, const std::string& err,
                        const cvtest::RunOptions& options = {}) {
        cvtest::write_file(db.file("out.sub"), "earlier result");
        const auto r = db.run("hitfind", args, options);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, err);
        EXPECT_EQ(cvtest::read_file(db.file("out.sub")), "earlier result");
    }

    cvtest::TestDb db{5};
};

// The words of a command line without quoting.
Strings words(const std::string& line) {
    std::istringstream in(line);
    Strings out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

TEST_F(Hitfind, SearchesTheFieldsAskedForWithoutRegardToCase) {
    const struct {
        const char* args;
        int count;
        std::uint32_t word;
        const char* history;
    } cases[] = {
        // Names by default, any string enough: "silicon" is in entries 1, 3 and 5.
        {"out.sub QUARTZ", 1, 0x01, "any of names: QUARTZ"},
        {"out.sub silicon", 3, 0x15, "any of names: silicon"},
        {"out.sub silicon titan", 4, 0x1D, "any of names: silicon, titan"},
        // Entry 3 is "Silicon" without "oxide"; every string may be met in another field.
        {"-all out.sub silicon oxide", 2, 0x11, "all of names: silicon, oxide"},
        {"-all -fields names,authors out.sub quartz donnay", 1, 0x01,
         "all of names,authors: quartz, donnay"},
        {"-fields authors out.sub swanson", 2, 0x12, "any of authors: swanson"},
        {"-fields journal out.sub acbcar", 2, 0x09, "any of journal: acbcar"},
        {"-fields name1 out.sub syn", 0, 0x00, "any of name1: syn"},
        {"-fields name2 out.sub syn", 3, 0x0B, "any of name2: syn"},
        {"-fields name3 out.sub sio2", 2, 0x11, "any of name3: sio2"},
        {"-fields name4 out.sub titania", 1, 0x08, "any of name4: titania"},
        // Fields are named in one order, and all four names as "names".
        {"-fields authors,name1 out.sub hom", 1, 0x04, "any of name1,authors: hom"},
        {"-fields name4,name3,name2,name1,journal out.sub cristo", 1, 0x10,
         "any of names,journal: cristo"},
        // The volume and page are never searched.
        {"-fields names,authors,journal out.sub B32", 0, 0x00, "any of names,authors,journal: B32"},
    };
    for (const auto& c : cases) {
        expect_found(words(c.args), "out.sub", c.count, c.word,
                     {kStart, std::string("Match by ") + c.history});
    }
    // Strings may begin with a dash after "--".
    expect_found({"--", "-x.sub", "-syn"}, "-x.sub", 0, 0x00,
                 {kStart, "Match by any of names: -syn"});
}

TEST_F(Hitfind, SearchWithinASubfileContinuesItsHistory) {
    ASSERT_EQ(find({"si.sub", "silicon"}).status, 0);
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
        {{}, missing},
        {{"out.sub"}, missing},
        {{"-all", "out.sub"}, missing},
        {{"-x", "out.sub", "q"}, "unknown option: -x\n"},
        {{"-fields", "names,formula", "out.sub", "q"}, "unknown field: formula\n"},
        {{"-fields", "", "out.sub", "q"}, "unknown field: \n"},
        {{"-fields"}, "missing value for option -fields\n" + missing},
    };
    // The usage is checked before start-up: no database is needed.
    cvtest::RunOptions no_db;
    no_db.env["LOGIC_LOC"] = db.file("missing.loc");
    for (const auto& [args, first] : cases) {
        const auto r = db.run("hitfind", args, no_db);
        EXPECT_EQ(r.status, 1) << first;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, first + usage);
    }
    EXPECT_FALSE(std::filesystem::exists(db.file("out.sub")));
}

TEST_F(Hitfind, FailuresToStartReadOrSaveKeepTheOutputFile) {
    cvtest::RunOptions no_db;
    no_db.env["LOGIC_LOC"] = db.file("missing.loc");
    no_db.env["HOME"] = db.work().string();
    expect_failure({"out.sub", "quartz"},
                   "cvl_init ERROR: Unable to determine the locations of TARN database\n"
                   "error initializing the TARN database\n",
                   no_db);
    expect_failure({"-in", "none.sub", "out.sub", "quartz"},
                   " readbitmap WARNING: unable to open/read file none.sub\n"
                   "readbitmap ERROR code:    -1\n"
                   "error reading subfile none.sub\n");
    // The index holds four records for a database of five entries.
    const std::string index = cvtest::read_file(db.line1() / "kelpa.ind");
    db.put("kelpa.ind", index.substr(0, 80));
    expect_failure({"out.sub", "quartz"}, "error reading entry 5\n");
    // Entry 5's name record cut off by the end of name.lib.
    db.put("kelpa.ind", index);
    const std::string names = cvtest::read_file(db.line1() / "name.lib");
    db.put("name.lib", names.substr(0, names.size() - 3));
    expect_failure({"out.sub", "quartz"}, "error reading entry 5\n");
    // A save that fails part way (the subfile needs 4 + 4 + 4 + 200 bytes).
    db.put("name.lib", names);
    cvtest::RunOptions limited;
    limited.file_size_limit = 100;
    expect_failure({"out.sub", "quartz"},
                   " savebitmap WARNING: unable to open/write file out.sub\n"
                   "savebitmap ERROR code:    -5\n"
                   "error writing subfile out.sub\n",
                   limited);
}

}  // namespace
