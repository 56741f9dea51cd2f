// hitcard end to end: the sample database's entries printed as cards, their
// raw cards, and every way a run can fail.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "entries/krx1_files.h"
#include "tool/testdb.h"

namespace {

const std::string kUsage =
    "\nusage:\n"
    "\thitcard <entry> [<code> [<outfile>]]\n"
    "\t\t(code: CU (the default), CR, FE, CO, MO or AG for 2-theta with that\n"
    "\t\t radiation, a wavelength in Angstrom, D for d-spacings, Q, or S for\n"
    "\t\t sin2 theta; outfile: - (the default) for standard output)\n"
    "\thitcard -raw <entry>\n";

// The sample database, built once for all tests.
class Hitcard : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir = std::make_unique<cvtest::TempDir>();
        const std::string cards = std::string(CORVANE_SOURCE_DIR) + "/sample/phases.crd";
        const auto built = cvtest::run_program(cvtest::tool_path("krxbuild"), {cards, *dir / "db"});
        ASSERT_EQ(built.status, 0) << built.err;
    }
    static void TearDownTestSuite() { dir.reset(); }

    static cvtest::RunResult hitcard(const std::vector<std::string>& args) {
        cvtest::RunOptions options;
        options.env["LOGIC_LOC"] = *dir / "db/tarnloc.txt";
        options.cwd = dir->path().string();
        return cvtest::run_program(cvtest::tool_path("hitcard"), args, options);
    }
    static std::unique_ptr<cvtest::TempDir> dir;
};
std::unique_ptr<cvtest::TempDir> Hitcard::dir;

}  // namespace

TEST_F(Hitcard, PrintsAnEntryAsACard) {
    auto r = hitcard({"1"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    auto lines = cvtest::lines(r.out);
    ASSERT_GT(lines.size(), 6u);
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1],
              "4- 829     (c) TARN Powder Data ed. 2000    Radiation:  1.54056  Quality: i     "
              "       ");
    EXPECT_EQ(lines[2], std::string(127, '-'));
    EXPECT_EQ(lines[3].substr(88), "| 2-theta | Int.|         h k l        |");
    EXPECT_EQ(lines[7].substr(0, 17), "| Magnesium Oxide");

    // Mode "D" into a file: nothing on standard output.
    r = hitcard({"9", "D", "quartz.card"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    lines = cvtest::lines(cvtest::read_file(*dir / "quartz.card"));
    ASSERT_GT(lines.size(), 3u);
    EXPECT_EQ(lines[0].substr(0, 7), "46-1045");
    EXPECT_EQ(lines[2].substr(88), "|   d A   | Int.|         h k l        |");
}

TEST_F(Hitcard, RawCardsAsStored) {
    const auto r = hitcard({"-raw", "1"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    // The first record of the card file: its lines through the first K card.
    const auto sample =
        cvtest::lines(cvtest::read_file(std::string(CORVANE_SOURCE_DIR) + "/sample/phases.crd"));
    std::string want;
    for (const auto& line : sample) {
        want += line.substr(0, 80) + "\n";
        if (line[79] == 'K') break;
    }
    EXPECT_EQ(r.out, want);
}

TEST_F(Hitcard, UsageHelpAndVersion) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {}, {"-raw"}, {"-raw", "1", "CU"}, {"1", "CU", "out", "more"}}) {
        const auto r = hitcard(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, kUsage) << args.size();
    }
    auto r = hitcard({"x1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "invalid entry number: x1\n" + kUsage);
    r = hitcard({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "hitcard: print an entry's full record as a card\n" + kUsage);
    r = hitcard({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("hitcard (corvane) ", 0), 0u) << r.out;
}

// Each failure: status 1; the formatter's reasons (their texts are the
// driver's tests') on standard output, the library's and the tool's on
// standard error.
TEST_F(Hitcard, FailuresAreReported) {
    auto r = hitcard({"99"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "cvl_RepKRX2 ERROR: readindex for entry  99\nerror reading entry 99\n");
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"1", "c"}, {"1", "CU", *dir / "missing/card.txt"}}) {
        r = hitcard(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.out, "");
        EXPECT_EQ(r.err, "");
    }
    r = hitcard({"1", "CU", "/dev/full"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "error writing the card of entry 1 to /dev/full\n");

    cvtest::RunOptions nowhere;
    nowhere.env["LOGIC_LOC"] = *dir / "missing.loc";
    nowhere.env["HOME"] = dir->path().string();
    r = cvtest::run_program(cvtest::tool_path("hitcard"), {"1"}, nowhere);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.ends_with("error initializing the TARN database\n")) << r.err;
}

// A record the parser rejects (no K card before the end of the file) and a
// record of no cards (an offset beyond the file).
TEST(HitcardOnHandMadeDatabase, RejectedAndEmptyRecords) {
    cvtest::TestDb db(2);
    db.put("kelpa.ind",
           cvtest::index_record(1, 0, 0, 0, 0) + cvtest::index_record(2, 0, 0, 0, 800));
    const std::string only = std::string(79, ' ') + "1";
    db.put_krx2(only);
    auto r = db.run("hitcard", {"1", "D"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.ends_with(" Error in READBF\n")) << r.out;
    EXPECT_EQ(db.run("hitcard", {"-raw", "1"}).out, only + "\n");
    for (const auto& args : std::vector<std::vector<std::string>>{{"2"}, {"-raw", "2"}}) {
        r = db.run("hitcard", args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "entry 2 has no cards in krx2.dat\n");
    }
}

// Every sample entry in every mode: a card with the mode's heading, no
// message, no line beyond column 128.
TEST_F(Hitcard, EverySampleEntryInEveryMode) {
    const std::vector<std::pair<std::string, std::string>> modes = {
        {"CU", " 2-theta "}, {"CR", " 2-theta "}, {"FE", " 2-theta "},     {"CO", " 2-theta "},
        {"MO", " 2-theta "}, {"AG", " 2-theta "}, {"1.5406", " 2-theta "}, {"D", "   d A   "},
        {"Q", "   Q A   "},  {"S", " sin2 th "}};
    for (int entry = 1; entry <= 9; ++entry) {
        for (const auto& [code, heading] : modes) {
            const auto r = hitcard({std::to_string(entry), code});
            SCOPED_TRACE(std::to_string(entry) + " " + code);
            EXPECT_EQ(r.status, 0);
            EXPECT_EQ(r.err, "");
            const auto lines = cvtest::lines(r.out);
            const bool empty_first = code != "D" && code != "Q";
            ASSERT_GT(lines.size(), 4u);
            EXPECT_EQ(lines[0].empty(), empty_first);
            EXPECT_EQ(lines[empty_first ? 3 : 2].substr(88, 11), "|" + heading + "|");
            for (const auto& line : lines) EXPECT_LE(line.size(), 128u) << line;
        }
    }
}
