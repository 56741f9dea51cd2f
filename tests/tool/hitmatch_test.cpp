// hitmatch end to end on the sample database.
#include "support/support.h"

namespace {

using namespace cvtest;

class Hitmatch : public ::testing::Test {
  protected:
    void SetUp() override {
        options = sample_database(tmp);
        // Quartz (entry 9): its lines shifted by 0.05% to 0.15%, intensities
        // off by up to a fifth, 1.3749 and 2.2365 dropped, a spurious peak.
        tmp.write("quartz.txt",
                  "# quartz, perturbed\n4.2610 19\n3.3480 100\n2.4540 11\n2.2840 7\n2.1300 5\n"
                  "1.9810 5\n1.8200 15\n1.6700 3\n1.5430 8\n1.3735 9\n1.3830 6\n1.2010 4\n"
                  "2.9000 5  # not quartz\n");
        // Quartz with corundum (entry 5), half and half; 1.3740 is a line of both.
        tmp.write("mix.txt",
                  "3.4810 38\n3.3460 52\n4.2580 8\n2.5520 44\n2.4580 5\n2.3800 21\n2.2830 4\n"
                  "2.1290 3\n2.0860 50\n1.8190 7\n1.7400 23\n1.6020 41\n1.5420 5\n1.5110 4\n"
                  "1.4050 15\n1.3740 29\n1.2395 8\n");
    }
    RunResult run(const Strings& args) const {
        return run_program(tool_path("hitmatch"), args, options);
    }
    // The entries of a text listing's rows, phase by phase.
    static std::vector<std::vector<int>> ranked(const std::string& out) {
        std::vector<std::vector<int>> phases;
        for (const auto& line : lines(out)) {
            if (line.starts_with("phase "))
                phases.emplace_back();
            else if (!phases.empty())
                phases.back().push_back(std::stoi(line.substr(line.find('\t') + 1)));
        }
        return phases;
    }
    TempDir tmp;
    RunOptions options;
};

}  // namespace

TEST_F(Hitmatch, RanksTheTruePhasesFirstAndSavesTheRanking) {
    auto r = run({"-n", "4", "quartz.txt", "out.sub"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const auto rows = lines(r.out);
    ASSERT_EQ(rows.size(), 5u) << r.out;
    EXPECT_EQ(rows[0], "phase 1: 13 peaks");
    EXPECT_TRUE(rows[1].starts_with("1\t9\t461045\tSilicon Oxide\tQuartz, syn\tSiO2\t")) << r.out;
    std::uint32_t word = 0;
    std::string list;
    const auto order = ranked(r.out).at(0);
    for (int e : order) {
        word |= 1u << (e - 1);
        if (!list.empty()) list += ',';
        list += std::to_string(e);
    }
    EXPECT_EQ(read_file(tmp / "out.sub"),
              subfile_bytes(
                  9, {word},
                  {"Starting from full database",
                   "Match by pattern of 13 peaks, best 4: quartz.txt", "Ranked phase 1: " + list}));

    // The same peaks as two-theta at Cu Ka1: 2 asin(1.540598 / 2d).
    tmp.write("quartz2t.txt",
              "20.858 16\n26.640 100\n36.547 9\n39.468 8\n50.141 13\n59.961 9\n68.317 8\n");
    r = run({"-2theta", "-wavelength", "CuKa1", "quartz2t.txt"});
    EXPECT_EQ(ranked(r.out).at(0).at(0), 9) << r.out;

    // The mixture: both in the top three.
    r = run({"-n", "3", "mix.txt"});
    auto top = ranked(r.out).at(0);
    std::sort(top.begin(), top.end());
    EXPECT_TRUE(top.size() == 3 && std::ranges::includes(top, std::vector{5, 9})) << r.out;
    r = run({"-phases", "2", "-n", "1", "mix.txt"});
    const auto phases = ranked(r.out);
    ASSERT_EQ(phases.size(), 2u) << r.out;
    EXPECT_EQ(phases[0].size() + phases[1].size(), 2u) << r.out;
    EXPECT_EQ(phases[0][0] + phases[1][0], 9 + 5) << r.out;  // one phase after the other
    EXPECT_NE(lines(r.out).at(2).find(" left by entry "), std::string::npos) << r.out;

    // Records of named fields, one per entry and phase; only corundum holds Al.
    r = run({"-format", "tsv", "-n", "2", "-phases", "2", "mix.txt"});
    const auto records = lines(r.out);
    ASSERT_EQ(records.size(), 5u) << r.out;
    EXPECT_EQ(records[0],
              "phase\trank\tentry\tidentifier\tname\tmineral\tformula\tscore\tmatched\tlines\t"
              "explained\talignment\tintensity\tmeasured");
    for (const auto& row : records) EXPECT_EQ(std::count(row.begin(), row.end(), '\t'), 13);
    EXPECT_TRUE(records[3].starts_with("2\t1\t")) << r.out;
    r = run({"-elements", "Al", "mix.txt"});
    EXPECT_EQ(ranked(r.out), (std::vector<std::vector<int>>{{5}}));

    // Within a subfile's hits (here without quartz), continuing its history.
    write_file(tmp / "in.sub", subfile_bytes(9, {0xFF}, {"Starting from full database"}));
    r = run({"-in", "in.sub", "-tol", "0.01", "-format", "json", "-n", "1", "quartz.txt", "o2"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.starts_with("[\n{\"phase\":1,\"rank\":1,\"entry\":")) << r.out;
    EXPECT_EQ(r.out.find("\"entry\":9,"), std::string::npos) << r.out;
    EXPECT_NE(read_file(tmp / "o2")
                  .find(record(
                      "Match by pattern of 13 peaks, best 1, tolerance \u00B10.010: quartz.txt")),
              std::string::npos);
}

TEST_F(Hitmatch, RefusalsWriteNothing) {
    tmp.write("bad.txt", "3.34 100\n3.1 x\n");
    tmp.write("out.sub", "earlier result");
    const std::string usage = "\nusage:\n\thitmatch [-2theta]";
    const std::pair<Strings, std::string> cases[] = {
        {{"bad.txt", "out.sub"}, "bad.txt:2: intensity 'x' is not a positive number\n"},
        {{"-n", "0", "quartz.txt", "out.sub"}, "invalid value for option -n: 0\n" + usage},
        {{"-phases", "6", "quartz.txt"}, "invalid value for option -phases: 6\n" + usage},
        {{"-wavelength", "Zz", "quartz.txt"}, "invalid wavelength: Zz\n" + usage},
        {{"-range", "5:1", "quartz.txt"}, "invalid range: 5:1\n" + usage},
        {{"a", "b", "c"}, "a peak file and at most one output file required\n" + usage},
        {{"-in", "none.sub", "quartz.txt", "out.sub"},
         " readbitmap WARNING: unable to open/read file none.sub\n"},
    };
    for (const auto& [args, err] : cases) {
        const auto r = run(args);
        EXPECT_EQ(r.status, 1) << err;
        EXPECT_EQ(r.out, "") << err;
        EXPECT_TRUE(r.err.starts_with(err)) << r.err;
        EXPECT_EQ(read_file(tmp / "out.sub"), "earlier result") << err;
    }
}
