// krxbuild end to end: the sample card file becomes a database that the other
// tools open through its location file; faulty input leaves nothing behind.
// The sample's own consistency (journal codes, standards, mineral groups and
// symbol codes that its records and the card formatter use are all in its code
// tables) is checked here too.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "setup/text.h"
#include "tool/testdb.h"

namespace {

namespace fs = std::filesystem;

const fs::path kSample = fs::path(CORVANE_SOURCE_DIR) / "sample";

std::vector<std::string> sample_cards() {
    return cvtest::lines(cvtest::read_file(kSample / "phases.crd"));
}

std::int32_t be32(const std::string& bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
    return static_cast<std::int32_t>(v);
}

cvtest::RunResult krxbuild(const std::vector<std::string>& args) {
    return cvtest::run_program(cvtest::tool_path("krxbuild"), args);
}

TEST(KrxBuildTool, BuildsTheSample) {
    cvtest::TempDir tmp;
    const std::string out = tmp / "tarn";
    const auto r = krxbuild({(kSample / "phases.crd").string(), out});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "krxbuild: database written to " + out + "\n");

    const auto cards = sample_cards();
    int records = 0;
    for (const auto& c : cards) {
        ASSERT_EQ(c.size(), 80u);
        if (c[79] == 'K') ++records;
    }
    EXPECT_EQ(records, 9);

    const fs::path db = out;
    const std::string pdsize = cvtest::read_file(db / "pdsize.txt");
    EXPECT_EQ(pdsize.substr(0, pdsize.find(' ')), "9");
    const std::string krx2 = cvtest::read_file(db / "krx2.dat");
    EXPECT_EQ(krx2.size(), cards.size() * 80);
    const std::string kelpa = cvtest::read_file(db / "kelpa.ind");
    ASSERT_EQ(kelpa.size(), 9u * 20u);

    // Every index record points at its record's type-1 card, whose entry
    // number columns give the identifier, and the card before the next
    // record's start is the K card.
    for (std::size_t n = 0; n < 9; ++n) {
        const std::int32_t recoff = be32(kelpa, n * 20 + 16);
        ASSERT_GE(recoff, 0);
        ASSERT_LT(static_cast<std::size_t>(recoff), krx2.size());
        const std::string first = krx2.substr(static_cast<std::size_t>(recoff), 80);
        EXPECT_EQ(first[79], '1');
        EXPECT_EQ(be32(kelpa, n * 20), std::stoi(cv::cols(first, 73, 78)));
        const std::size_t end =
            n + 1 < 9 ? static_cast<std::size_t>(be32(kelpa, n * 20 + 36)) : krx2.size();
        EXPECT_EQ(krx2[end - 1], 'K');
    }

    // The first record is periclase, entry 4-829: its names, its nine lines
    // and its reference (Natl. Bur. Stand. Circ. 539, vol. 1, p. 37, 1953).
    EXPECT_EQ(be32(kelpa, 0), 40829);
    const std::string names = cvtest::read_file(db / "name.lib");
    EXPECT_EQ(names.substr(0, 4 + 15 + 14 + 3 + 8), std::string("\x0F\x0E\x03\x08") +
                                                        "Magnesium Oxide" + "Periclase, syn" +
                                                        "MgO" + "Magnesia");
    const std::string di = cvtest::read_file(db / "di.lib");
    EXPECT_EQ(static_cast<unsigned char>(di[0]), 9);
    const std::string ref = cvtest::read_file(db / "ref.lib");
    EXPECT_EQ(ref.substr(0, 5 + 6 + 1 + 2 + 24), std::string("\x06\x01\x02\x18\x35") + "NBSCAQ" +
                                                     "1" + "37" + "Swanson, H.E., Tatge, E.");

    for (const char* table : {"codens.tbl", "picodes.tbl", "stdcodes.tbl", "mineral.tbl"}) {
        EXPECT_EQ(cvtest::read_file(db / table), cvtest::read_file(kSample / table)) << table;
    }
    const std::string dirline = fs::canonical(db).string() + "/\n";
    EXPECT_EQ(cvtest::read_file(db / "tarnloc.txt"), dirline + dirline + dirline);
}

TEST(KrxBuildTool, LocationFileServesTheOtherTools) {
    cvtest::TempDir tmp;
    const std::string out = tmp / "tarn";
    ASSERT_EQ(krxbuild({(kSample / "phases.crd").string(), out}).status, 0);
    cvtest::RunOptions opt;
    opt.env["LOGIC_LOC"] = out + "/tarnloc.txt";
    opt.cwd = tmp.path().string();
    ASSERT_EQ(
        cvtest::run_program(cvtest::tool_path("hitmake"), {"a.sub", "1", "2", "3"}, opt).status, 0);
    ASSERT_EQ(cvtest::run_program(cvtest::tool_path("hitmake"), {"b.sub", "3", "9"}, opt).status,
              0);
    const auto r =
        cvtest::run_program(cvtest::tool_path("hitjoin"), {"a.sub", "b.sub", "-or"}, opt);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "4\n");
}

TEST(KrxBuildTool, TableDirectoryOption) {
    cvtest::TempDir tmp;
    // A card file away from the code tables finds them through -t.
    cvtest::write_file(tmp.path() / "one.crd", cvtest::read_file(kSample / "phases.crd"));
    const std::string out = tmp / "db";
    const auto r = krxbuild({"-t", kSample.string(), tmp / "one.crd", out});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(cvtest::read_file(fs::path(out) / "codens.tbl"),
              cvtest::read_file(kSample / "codens.tbl"));
}

TEST(KrxBuildTool, FaultyCardFileWritesNothing) {
    cvtest::TempDir tmp;
    auto cards = sample_cards();
    // Card 19 of the first record is its first I card; a d-spacing of 0.5
    // has no angle code.
    ASSERT_EQ(cards[18][79], 'I');
    cards[18].replace(0, 7, " 0.5000");
    std::string text;
    for (const auto& c : cards) text += c + "\n";
    const std::string crd = tmp / "phases.crd";
    cvtest::write_file(crd, text);
    for (const char* t : {"codens.tbl", "picodes.tbl", "stdcodes.tbl", "mineral.tbl"}) {
        fs::copy_file(kSample / t, tmp.path() / t);
    }
    const std::string out = tmp / "db";
    const auto r = krxbuild({crd, out});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              crd + ":19: record 1, card 19 (type I): d-spacing '0.5000' has no angle code\n");
    EXPECT_FALSE(fs::exists(out));
    int entries = 0;
    for (const auto& e : fs::directory_iterator(tmp.path())) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 5);  // the card file and the four tables
}

TEST(KrxBuildTool, Usage) {
    const auto r = krxbuild({"-t", "dir", "a"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "usage: krxbuild [-t TABLEDIR] CARDFILE OUTDIR\n");
}

// ---- the sample's consistency ----------------------------------------------------

std::set<std::string> first_columns(const std::string& text, std::size_t width) {
    std::set<std::string> keys;
    for (const auto& line : cvtest::lines(text))
        keys.insert(cv::cols(line, 1, static_cast<int>(width)));
    return keys;
}

TEST(Sample, JournalCodesAreInTheJournalTable) {
    const std::string codens = cvtest::read_file(kSample / "codens.tbl");
    std::set<std::string> keys;
    for (std::size_t at = 0; at + 81 <= codens.size(); at += 81) keys.insert(codens.substr(at, 6));
    bool continued = false;
    int references = 0;
    for (const auto& c : sample_cards()) {
        if (c[79] != '9') continue;
        if (!continued) {
            ++references;
            EXPECT_EQ(keys.count(cv::cols(c, 1, 6)), 1u) << c;
        }
        continued = cv::col(c, 70) == 'C';
    }
    EXPECT_GE(references, 18);
}

TEST(Sample, StandardsMineralGroupsAndSymbolCodesAreInTheirTables) {
    const auto standards = first_columns(cvtest::read_file(kSample / "stdcodes.tbl"), 6);
    const auto groups = first_columns(cvtest::read_file(kSample / "mineral.tbl"), 3);
    const auto symbols = first_columns(cvtest::read_file(kSample / "picodes.tbl"), 2);
    int nstd = 0;
    int ngroups = 0;
    for (const auto& c : sample_cards()) {
        if (c[79] == 'F') {
            // Columns 50-55 hold the codes separated by blanks.
            std::istringstream codes(cv::cols(c, 50, 55));
            for (std::string code; codes >> code;) {
                ++nstd;
                EXPECT_EQ(standards.count(cv::padded(code, 6)), 1u) << c;
            }
        }
        if (c[79] == '5') {
            for (int item = 0; item < 7; ++item) {
                const std::string it = cv::cols(c, 25 + 4 * item, 28 + 4 * item);
                if (it[0] != 'm') continue;
                ++ngroups;
                EXPECT_EQ(groups.count(it.substr(1)), 1u) << c;
            }
        }
        for (std::size_t p = c.find('$'); p != std::string::npos; p = c.find('$', p + 1)) {
            EXPECT_EQ(symbols.count(c.substr(p + 1, 2)), 1u) << c;
        }
    }
    EXPECT_GE(nstd, 3);
    EXPECT_GE(ngroups, 5);
    // The codes the card formatter writes itself: Greek letters and signs of
    // the comment sentences and the footnote marks.
    for (const char* code : {"GA", "GB", "GG", "GS", "PM", "NO", "DA", "DD", "SE", "PG"}) {
        EXPECT_EQ(symbols.count(code), 1u) << code;
    }
}

}  // namespace
