// krxbuild end to end: the sample card file becomes a database directory;
// faulty input leaves it as it was. The sample's own consistency (journal
// codes, standards, mineral groups and symbol codes that its records and the
// card formatter use are all in its code tables) is checked here too.
#include <corvane/setup/text.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tool/testdb.h"

namespace {

namespace fs = std::filesystem;

const fs::path kSample = fs::path(CORVANE_SOURCE_DIR) / "sample";
const char* const kTables[] = {"codens.tbl", "picodes.tbl", "stdcodes.tbl", "mineral.tbl"};

std::vector<std::string> sample_cards() {
    return cvtest::lines(cvtest::read_file(kSample / "phases.crd"));
}

cvtest::RunResult krxbuild(const std::vector<std::string>& args) {
    return cvtest::run_program(cvtest::tool_path("krxbuild"), args);
}

TEST(KrxBuildTool, BuildsTheSampleAndRefusesAFaultyFile) {
    cvtest::TempDir tmp;
    // A card file away from the code tables finds them through -t.
    const std::string crd = tmp / "phases.crd";
    cvtest::write_file(crd, cvtest::read_file(kSample / "phases.crd"));
    const fs::path db = tmp.path() / "db";
    const auto r = krxbuild({"-t", kSample.string(), crd, db.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "krxbuild: database written to " + db.string() + "\n");
    EXPECT_EQ(
        cvtest::names_in(db),
        (std::vector<std::string>{"codens.tbl", "dall.lib", "di.lib", "dtop3.lib", "kelpa.ind",
                                  "krx2.dat", "mineral.tbl", "name.lib", "pdsize.txt",
                                  "picodes.tbl", "ref.lib", "stdcodes.tbl", "tarnloc.txt"}));
    EXPECT_EQ(cvtest::read_file(db / "pdsize.txt").substr(0, 2), "9 ");
    const std::string dirline = fs::canonical(db).string() + "/\n";
    EXPECT_EQ(cvtest::read_file(db / "tarnloc.txt"), dirline + dirline + dirline);
    for (const char* table : kTables) {
        EXPECT_EQ(cvtest::read_file(db / table), cvtest::read_file(kSample / table)) << table;
    }

    // Card 19 is the first I card; a d-spacing of 0.5 has no angle code. The
    // database stays as it was.
    auto cards = sample_cards();
    ASSERT_EQ(cards[18][79], 'I');
    cards[18].replace(0, 7, " 0.5000");
    std::string text;
    for (const auto& c : cards) text += c + "\n";
    cvtest::write_file(crd, text);
    const std::string index = cvtest::read_file(db / "kelpa.ind");
    const auto bad = krxbuild({"-t", kSample.string(), crd, db.string()});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.err,
              crd + ":19: record 1, card 19 (type I): d-spacing '0.5000' has no angle code\n");
    EXPECT_EQ(cvtest::read_file(db / "kelpa.ind"), index);
    EXPECT_EQ(cvtest::names_in(tmp.path()), (std::vector<std::string>{"db", "phases.crd"}));

    const auto usage = krxbuild({"-t", "dir", "a"});
    EXPECT_EQ(usage.status, 1);
    EXPECT_EQ(usage.err.rfind("\nusage:\n\tkrxbuild [-t TABLEDIR] <cardfile> <outdir>\n", 0), 0u);
}

// The keys in the first columns of a table's lines.
std::set<std::string> keys(const char* table, int width) {
    std::set<std::string> out;
    for (const auto& line : cvtest::lines(cvtest::read_file(kSample / table))) {
        out.insert(corvane::cols(line, 1, width));
    }
    return out;
}

TEST(Sample, CodesOfTheCardsAreInTheirTables) {
    const std::string codens = cvtest::read_file(kSample / "codens.tbl");
    std::set<std::string> journals;
    for (std::size_t at = 0; at + 81 <= codens.size(); at += 81)
        journals.insert(codens.substr(at, 6));
    const auto standards = keys("stdcodes.tbl", 6), groups = keys("mineral.tbl", 3),
               symbols = keys("picodes.tbl", 2);
    int references = 0, nstd = 0, ngroups = 0;
    bool continued = false;
    for (const auto& c : sample_cards()) {
        if (c[79] == '9' && !continued) {
            ++references;
            EXPECT_EQ(journals.count(corvane::cols(c, 1, 6)), 1u) << c;
        }
        if (c[79] == '9') continued = corvane::col(c, 70) == 'C';
        std::istringstream codes(c[79] == 'F' ? corvane::cols(c, 50, 55) : "");  // blank-separated
        for (std::string code; codes >> code; ++nstd) {
            EXPECT_EQ(standards.count(corvane::padded(code, 6)), 1u) << c;
        }
        for (int item = 0; c[79] == '5' && item < 7; ++item) {
            const std::string it = corvane::cols(c, 25 + 4 * item, 28 + 4 * item);
            if (it[0] != 'm') continue;
            ++ngroups;
            EXPECT_EQ(groups.count(it.substr(1)), 1u) << c;
        }
        for (std::size_t p = c.find('$'); p != std::string::npos; p = c.find('$', p + 1)) {
            EXPECT_EQ(symbols.count(c.substr(p + 1, 2)), 1u) << c;
        }
    }
    EXPECT_GE(references, 18);
    EXPECT_GE(nstd, 3);
    EXPECT_GE(ngroups, 5);
    // The codes the card formatter writes itself: Greek letters and signs of
    // the comment sentences and the footnote marks.
    for (const char* code : {"GA", "GB", "GG", "GS", "PM", "NO", "DA", "DD", "SE", "PG"}) {
        EXPECT_EQ(symbols.count(code), 1u) << code;
    }
}

}  // namespace
