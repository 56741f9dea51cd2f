// hitfind end to end: a five-entry database written by hand, the tool run as a
// user runs it, its output, status and the subfile it writes.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/entries/krx1_files.h"
#include "tests/tool/testdb.h"

namespace {

const std::string kStart = "Starting from full database";

class Hitfind : public ::testing::Test {
  protected:
    void SetUp() override { cvtest::put_entries(db, cvtest::five_entries()); }

    cvtest::RunResult find(const std::vector<std::string>& args) { return db.run("hitfind", args); }

    // The subfile a successful search writes: five entries, one table word.
    static std::string subfile(std::uint32_t word, const std::vector<std::string>& records) {
        return cvtest::subfile_bytes(5, {word}, records);
    }

    cvtest::TestDb db{5};
};

// ---- searching ------------------------------------------------------------------

TEST_F(Hitfind, NamesAreSearchedByDefaultWithoutRegardToCase) {
    auto r = find({"q.sub", "QUARTZ"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "1\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(cvtest::read_file(db.file("q.sub")),
              subfile(0x01, {kStart, "Match by any of names: QUARTZ"}));

    // "silicon" is in name text 1 of entries 1, 3 and 5.
    r = find({"si.sub", "silicon"});
    EXPECT_EQ(r.out, "3\n");
    EXPECT_EQ(cvtest::read_file(db.file("si.sub")),
              subfile(0x15, {kStart, "Match by any of names: silicon"}));
}

TEST_F(Hitfind, AnyStringIsEnoughUnlessAllAreAsked) {
    auto r = find({"any.sub", "silicon", "titan"});
    EXPECT_EQ(r.out, "4\n");
    EXPECT_EQ(cvtest::read_file(db.file("any.sub")),
              subfile(0x1D, {kStart, "Match by any of names: silicon, titan"}));

    // Entry 3 is "Silicon" without "oxide".
    r = find({"-all", "all.sub", "silicon", "oxide"});
    EXPECT_EQ(r.out, "2\n");
    EXPECT_EQ(cvtest::read_file(db.file("all.sub")),
              subfile(0x11, {kStart, "Match by all of names: silicon, oxide"}));

    // Every string may be satisfied by another field.
    r = find({"-all", "-fields", "names,authors", "mix.sub", "quartz", "donnay"});
    EXPECT_EQ(r.out, "1\n");
}

TEST_F(Hitfind, FieldListChoosesTheTextsSearched) {
    struct Case {
        std::vector<std::string> args;
        std::string count;
        std::uint32_t word;
        std::string record;
    };
    const std::vector<Case> cases = {
        {{"-fields", "authors", "swanson"}, "2\n", 0x12, "any of authors: swanson"},
        {{"-fields", "journal", "acbcar"}, "2\n", 0x09, "any of journal: acbcar"},
        {{"-fields", "name1", "syn"}, "0\n", 0x00, "any of name1: syn"},
        {{"-fields", "name2", "syn"}, "3\n", 0x0B, "any of name2: syn"},
        {{"-fields", "name3", "sio2"}, "2\n", 0x11, "any of name3: sio2"},
        {{"-fields", "name4", "titania"}, "1\n", 0x08, "any of name4: titania"},
        // Fields are named in one order, and all four names as "names".
        {{"-fields", "authors,name1", "hom"}, "1\n", 0x04, "any of name1,authors: hom"},
        {{"-fields", "name4,name3,name2,name1,journal", "cristo"},
         "1\n",
         0x10,
         "any of names,journal: cristo"},
        // The volume and page are never searched.
        {{"-fields", "names,authors,journal", "B32"},
         "0\n",
         0x00,
         "any of names,authors,journal: B32"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.end() - 1, "out.sub");
        const auto r = find(args);
        EXPECT_EQ(r.status, 0) << c.record << r.err;
        EXPECT_EQ(r.out, c.count) << c.record;
        EXPECT_EQ(cvtest::read_file(db.file("out.sub")),
                  subfile(c.word, {kStart, "Match by " + c.record}));
    }
}

TEST_F(Hitfind, SearchWithinASubfileContinuesItsHistory) {
    ASSERT_EQ(find({"si.sub", "silicon"}).status, 0);
    const std::string before = cvtest::read_file(db.file("si.sub"));
    // Of entries 1, 3 and 5, only entry 5 has Swanson among its authors
    // (entry 2 has too, but is not searched).
    const auto r = find({"-in", "si.sub", "-fields", "authors", "sw.sub", "swanson"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "1\n");
    EXPECT_EQ(cvtest::read_file(db.file("sw.sub")),
              subfile(0x10, {kStart, "Match by any of names: silicon",
                             "Match by any of authors: swanson"}));
    EXPECT_EQ(cvtest::read_file(db.file("si.sub")), before);
}

TEST_F(Hitfind, StringsMayBeginWithADashAfterTheOutputFile) {
    const auto r = find({"--", "-x.sub", "-syn"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "0\n");
    EXPECT_EQ(cvtest::read_file(db.file("-x.sub")),
              subfile(0x00, {kStart, "Match by any of names: -syn"}));
}

// ---- failures ------------------------------------------------------------------

const std::string kUsage =
    "\nusage:\n"
    "\thitfind [-all] [-fields LIST] [-in SUBFILE] <outfile> <string>...\n"
    "\t\tLIST: name1,name2,name3,name4,names,authors,journal (default names)\n";

TEST_F(Hitfind, UsageErrorsNameTheFaultThenShowTheUsage) {
    struct Case {
        std::vector<std::string> args;
        std::string first;
    };
    const std::vector<Case> cases = {
        {{}, "outfile and at least one search string required\n"},
        {{"out.sub"}, "outfile and at least one search string required\n"},
        {{"-all", "out.sub"}, "outfile and at least one search string required\n"},
        {{"-x", "out.sub", "q"}, "unknown option: -x\n"},
        {{"-fields", "names,formula", "out.sub", "q"}, "unknown field: formula\n"},
        {{"-fields", "", "out.sub", "q"}, "unknown field: \n"},
        {{"-fields"},
         "missing value for option -fields\n"
         "outfile and at least one search string required\n"},
    };
    for (const auto& c : cases) {
        // The usage is checked before start-up: no database is needed.
        cvtest::RunOptions no_db;
        no_db.env["LOGIC_LOC"] = db.file("missing.loc");
        const auto r = db.run("hitfind", c.args, no_db);
        EXPECT_EQ(r.status, 1) << c.first;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, c.first + kUsage);
    }
    EXPECT_FALSE(std::filesystem::exists(db.file("out.sub")));
}

TEST_F(Hitfind, StartUpFailureStopsTheRun) {
    cvtest::RunOptions options;
    options.env["LOGIC_LOC"] = db.file("missing.loc");
    options.env["HOME"] = db.work().string();
    const auto r = db.run("hitfind", {"out.sub", "quartz"}, options);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "cvl_init ERROR: Unable to determine the locations of TARN database\n"
              "error initializing the TARN database\n");
    EXPECT_FALSE(std::filesystem::exists(db.file("out.sub")));
}

TEST_F(Hitfind, UnreadableEntryIsNamedAndTheOutputKept) {
    cvtest::write_file(db.file("out.sub"), "earlier result");
    // The index holds four records for a database of five entries.
    const std::string index = cvtest::read_file(db.line1() / "kelpa.ind");
    db.put("kelpa.ind", index.substr(0, 80));
    auto r = find({"out.sub", "quartz"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "error reading entry 5\n");
    EXPECT_EQ(cvtest::read_file(db.file("out.sub")), "earlier result");

    // Entry 5's name record cut off by the end of name.lib.
    db.put("kelpa.ind", index);
    const std::string names = cvtest::read_file(db.line1() / "name.lib");
    db.put("name.lib", names.substr(0, names.size() - 3));
    r = find({"out.sub", "quartz"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "error reading entry 5\n");
    EXPECT_EQ(cvtest::read_file(db.file("out.sub")), "earlier result");
}

TEST_F(Hitfind, UnreadableInputSubfileStopsTheRun) {
    cvtest::write_file(db.file("out.sub"), "earlier result");
    const auto r = find({"-in", "none.sub", "out.sub", "quartz"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              " readbitmap WARNING: unable to open/read file none.sub\n"
              "readbitmap ERROR code:    -1\n"
              "error reading subfile none.sub\n");
    EXPECT_EQ(cvtest::read_file(db.file("out.sub")), "earlier result");
}

TEST_F(Hitfind, FailedSaveIsAFailure) {
    const auto r = find({"nodir/out.sub", "quartz"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    const auto lines = cvtest::lines(r.err);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().rfind(" savebitmap WARNING: unable to open/write file", 0), 0u);
    EXPECT_EQ(lines.back(), "error writing subfile nodir/out.sub");
}

}  // namespace
