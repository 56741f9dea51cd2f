// hitmatch end to end on the sample database: a perturbed quartz pattern, a
// quartz and corundum mixture, the subfile it saves, and its refusals.
#include <corvane/builder/build.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "support/support.h"

namespace {

using Strings = std::vector<std::string>;

bool starts(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

// Quartz (entry 9): its lines shifted by 0.05% to 0.15%, intensities off by
// up to a fifth, 1.3749 and 2.2365 dropped, a spurious peak at 2.9.
const char* const kQuartz =
    "# quartz, perturbed\n"
    "4.2610 19\n3.3480 100\n2.4540 11\n2.2840 7\n2.1300 5\n1.9810 5\n1.8200 15\n"
    "1.6700 3\n1.5430 8\n1.3735 9\n1.3830 6\n1.2010 4\n2.9000 5  # not quartz\n";

// Quartz with corundum (entry 5), half and half; 1.3740 is a line of both.
const char* const kMixture =
    "3.4810 38\n3.3460 52\n4.2580 8\n2.5520 44\n2.4580 5\n2.3800 21\n2.2830 4\n2.1290 3\n"
    "2.0860 50\n1.8190 7\n1.7400 23\n1.6020 41\n1.5420 5\n1.5110 4\n1.4050 15\n1.3740 29\n"
    "1.2395 8\n";

// The same quartz peaks as two-theta at Cu Ka1: 2 asin(1.540598 / 2d).
const char* const kQuartz2Theta =
    "20.858 16\n26.640 100\n36.547 9\n39.468 8\n50.141 13\n59.961 9\n68.317 8\n";

class Hitmatch : public ::testing::Test {
  protected:
    void SetUp() override {
        std::ostringstream err;
        ASSERT_EQ(corvane::builder::krxbuild(std::string(CORVANE_SOURCE_DIR) + "/sample/phases.crd",
                                             tmp / "db", "", err),
                  0)
            << err.str();
        tmp.write("quartz.txt", kQuartz);
        tmp.write("mix.txt", kMixture);
        tmp.write("quartz2t.txt", kQuartz2Theta);
    }
    cvtest::RunResult run(const Strings& args) const {
        cvtest::RunOptions o;
        o.env["LOGIC_LOC"] = tmp / "db/tarnloc.txt";
        o.cwd = tmp.bare();
        return cvtest::run_program(cvtest::tool_path("hitmatch"), args, o);
    }
    // The entries of a text listing's rows, phase by phase.
    static std::vector<std::vector<int>> ranked(const std::string& out) {
        std::vector<std::vector<int>> phases;
        for (const auto& line : cvtest::lines(out)) {
            if (line.rfind("phase ", 0) == 0) {
                phases.emplace_back();
            } else if (!phases.empty()) {
                const auto tab = line.find('\t');
                phases.back().push_back(std::stoi(line.substr(tab + 1)));
            }
        }
        return phases;
    }
    cvtest::TempDir tmp;
};

TEST_F(Hitmatch, RanksTheTruePhasesFirst) {
    auto r = run({"quartz.txt"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const auto lines = cvtest::lines(r.out);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "phase 1: 13 peaks");
    EXPECT_TRUE(starts(lines[1], "1\t9\t461045\tSilicon Oxide\tQuartz, syn\tSiO2\t")) << r.out;

    r = run({"-2theta", "-wavelength", "CuKa1", "quartz2t.txt"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ranked(r.out).at(0).at(0), 9);

    // The mixture: both in the top three; then, one phase after the other.
    r = run({"-n", "3", "mix.txt"});
    ASSERT_EQ(r.status, 0) << r.err;
    auto top = ranked(r.out).at(0);
    ASSERT_EQ(top.size(), 3u);
    EXPECT_NE(std::find(top.begin(), top.end(), 9), top.end()) << r.out;
    EXPECT_NE(std::find(top.begin(), top.end(), 5), top.end()) << r.out;
    r = run({"-phases", "2", "-n", "1", "mix.txt"});
    const auto phases = ranked(r.out);
    ASSERT_EQ(phases.size(), 2u) << r.out;
    EXPECT_EQ(phases[0].size() + phases[1].size(), 2u) << r.out;
    EXPECT_EQ(phases[0][0] + phases[1][0], 9 + 5) << r.out;
    EXPECT_NE(cvtest::lines(r.out).at(2).find(" left by entry "), std::string::npos) << r.out;

    // Records of named fields, one per entry and phase.
    r = run({"-format", "tsv", "-n", "2", "-phases", "2", "mix.txt"});
    const auto rows = cvtest::lines(r.out);
    ASSERT_EQ(rows.size(), 5u) << r.out;
    EXPECT_EQ(rows[0],
              "phase\trank\tentry\tidentifier\tname\tmineral\tformula\tscore\tmatched\tlines\t"
              "explained\talignment\tintensity\tmeasured");
    for (const auto& row : rows) EXPECT_EQ(std::count(row.begin(), row.end(), '\t'), 13) << row;
    EXPECT_TRUE(starts(rows[1], "1\t1\t")) << r.out;
    EXPECT_TRUE(starts(rows[3], "2\t1\t")) << r.out;

    // Only corundum holds aluminium.
    r = run({"-elements", "Al", "mix.txt"});
    EXPECT_EQ(ranked(r.out), (std::vector<std::vector<int>>{{5}}));
}

TEST_F(Hitmatch, SavesTheRankedSetWithItsOrder) {
    auto r = run({"-n", "4", "quartz.txt", "out.sub"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto order = ranked(r.out).at(0);
    ASSERT_EQ(order.size(), 4u);
    std::uint32_t word = 0;
    std::string list;
    for (int e : order) {
        word |= 1u << (e - 1);
        list += (list.empty() ? "" : ",") + std::to_string(e);
    }
    EXPECT_EQ(cvtest::read_file(tmp / "out.sub"),
              cvtest::subfile_bytes(
                  9, {word},
                  {"Starting from full database",
                   "Match by pattern of 13 peaks, best 4: quartz.txt", "Ranked phase 1: " + list}));

    // Within a subfile's hits (here without quartz), continuing its history.
    cvtest::write_file(tmp / "in.sub",
                       cvtest::subfile_bytes(9, {0xFF}, {"Starting from full database"}));
    r = run(
        {"-in", "in.sub", "-tol", "0.01", "-format", "json", "-n", "1", "quartz.txt", "out.sub"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(starts(r.out, "[\n{\"phase\":1,\"rank\":1,\"entry\":")) << r.out;
    EXPECT_EQ(r.out.find("\"entry\":9,"), std::string::npos) << r.out;
    const std::string saved = cvtest::read_file(tmp / "out.sub");
    EXPECT_NE(saved.find(cvtest::record(
                  "Match by pattern of 13 peaks, best 1, tolerance \u00B10.010: quartz.txt")),
              std::string::npos);
}

TEST_F(Hitmatch, RefusalsWriteNothing) {
    const auto help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(starts(help.out,
                       "hitmatch: rank the database's entries against a measured peak "
                       "list\n\nusage:\n\thitmatch [-2theta]"))
        << help.out;

    tmp.write("bad.txt", "3.34 100\n3.1 x\n");
    tmp.write("out.sub", "earlier result");
    const std::string usage_head = "\nusage:\n\thitmatch [-2theta]";
    const struct {
        Strings args;
        std::string err;  // the first lines of standard error
    } cases[] = {
        {{"bad.txt", "out.sub"}, "bad.txt:2: intensity 'x' is not a positive number\n"},
        {{"none.txt", "out.sub"}, "none.txt: cannot read: No such file or directory\n"},
        {{"-n", "0", "quartz.txt", "out.sub"}, "invalid value for option -n: 0\n" + usage_head},
        {{"-phases", "6", "quartz.txt"}, "invalid value for option -phases: 6\n" + usage_head},
        {{"-format", "xml", "quartz.txt"}, "unknown format: xml\n" + usage_head},
        {{"-wavelength", "Zz", "quartz.txt"}, "invalid wavelength: Zz\n" + usage_head},
        {{"-range", "5:1", "quartz.txt"}, "invalid range: 5:1\n" + usage_head},
        {{"a", "b", "c"}, "a peak file and at most one output file required\n" + usage_head},
        {{"-in", "none.sub", "quartz.txt", "out.sub"},
         " readbitmap WARNING: unable to open/read file none.sub\n"},
    };
    for (const auto& c : cases) {
        const auto r = run(c.args);
        EXPECT_EQ(r.status, 1) << c.err;
        EXPECT_EQ(r.out, "") << c.err;
        EXPECT_TRUE(starts(r.err, c.err)) << r.err;
        EXPECT_EQ(cvtest::read_file(tmp / "out.sub"), "earlier result") << c.err;
    }
}

}  // namespace
