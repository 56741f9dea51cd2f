// hitcard end to end on the sample database.
#include "support/support.h"

namespace {

using namespace cvtest;
const std::string kSample = std::string(CORVANE_SOURCE_DIR) + "/sample/phases.crd";

// The sample database, built once for all tests.
class Hitcard : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir = std::make_unique<TempDir>();
        const auto built = run_program(tool_path("krxbuild"), {kSample, *dir / "db"});
        ASSERT_EQ(built.status, 0) << built.err;
    }
    static void TearDownTestSuite() { dir.reset(); }
    static RunResult hitcard(const Strings& args, const std::string& loc = "db/tarnloc.txt") {
        RunOptions options{{{"LOGIC_LOC", *dir / loc}, {"HOME", dir->bare()}}, dir->bare(), -1};
        return run_program(tool_path("hitcard"), args, options);
    }
    static std::unique_ptr<TempDir> dir;
};
std::unique_ptr<TempDir> Hitcard::dir;

}  // namespace

TEST_F(Hitcard, PrintsAnEntryAsACardOrItsRawCards) {
    auto r = hitcard({"1"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    auto page = lines(r.out);
    ASSERT_GT(page.size(), 6u);
    EXPECT_EQ(page[1],
              "4- 829     (c) TARN Powder Data ed. 2000    Radiation:  1.54056  Quality: i     "
              "       ");
    EXPECT_EQ(page[3].substr(88), "| 2-theta | Int.|         h k l        |");

    // Mode "D" into a file: nothing on standard output.
    r = hitcard({"9", "D", "quartz.card"});
    EXPECT_EQ(r.out + r.err, "");
    EXPECT_EQ(r.status, 0);
    page = lines(read_file(*dir / "quartz.card"));
    ASSERT_GT(page.size(), 3u);
    EXPECT_EQ(page[0].substr(0, 7), "46-1045");
    EXPECT_EQ(page[2].substr(88), "|   d A   | Int.|         h k l        |");

    // The first record of the card file: its lines through the first K card.
    r = hitcard({"-raw", "1"});
    EXPECT_EQ(r.status, 0);
    std::string want;
    for (const auto& line : lines(read_file(kSample))) {
        want += line.substr(0, 80) + "\n";
        if (line[79] == 'K') break;
    }
    EXPECT_EQ(r.out + r.err, want);

    // Every sample entry in every mode: no message, no line beyond column 128.
    for (int entry = 1; entry <= 9; ++entry) {
        for (const char* code : {"CU", "CR", "FE", "CO", "MO", "AG", "1.5406", "D", "Q", "S"}) {
            r = hitcard({std::to_string(entry), code});
            EXPECT_EQ(r.status, 0) << entry << code;
            EXPECT_EQ(r.err, "") << entry << code;
            for (const auto& line : lines(r.out)) EXPECT_LE(line.size(), 128u) << line;
        }
    }
}

// Each failure: status 1; the formatter's reasons on standard output, the
// library's and the tool's on standard error.
TEST_F(Hitcard, FailuresAreReported) {
    const std::string usage = usage_of("hitcard");
    for (const Strings& args : {Strings{}, {"-raw"}, {"-raw", "1", "CU"}, {"1", "CU", "o", "x"}}) {
        const auto r = hitcard(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out + r.err, usage) << args.size();
    }
    auto r = hitcard({"99"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out + r.err,
              "cvl_RepKRX2 ERROR: readindex for entry  99\nerror reading entry 99\n");
    for (const Strings& args : {Strings{"1", "c"}, {"1", "CU", *dir / "missing/card.txt"}}) {
        r = hitcard(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.out, "");
        EXPECT_EQ(r.err, "");
    }
    r = hitcard({"1", "CU", "/dev/full"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "error writing the card of entry 1 to /dev/full\n");
    r = hitcard({"1"}, "missing.loc");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.ends_with("error initializing the TARN database\n")) << r.err;
}

// A record the parser rejects (no K card before the end of the file) and a
// record of no cards (an offset beyond the file).
TEST(HitcardOnHandMadeDatabase, RejectedAndEmptyRecords) {
    TestDb db(2);
    db.put("kelpa.ind", index_record(1, 0, 0, 0, 0) + index_record(2, 0, 0, 0, 800));
    const std::string only = std::string(79, ' ') + "1";
    db.put("krx2.dat", only);
    auto r = db.run("hitcard", {"1", "D"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.ends_with(" Error in READBF\n")) << r.out;
    EXPECT_EQ(db.run("hitcard", {"-raw", "1"}).out, only + "\n");
    for (const Strings& args : {Strings{"2"}, {"-raw", "2"}}) {
        r = db.run("hitcard", args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "entry 2 has no cards in krx2.dat\n");
    }
}
