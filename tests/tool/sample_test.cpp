// hitmatch and hitplot end to end on the sample database.
#include "support/support.h"

namespace {

using namespace cvtest;
using Attributes = std::map<std::string, std::string>;
using Sticks = std::map<int, std::map<std::string, Attributes>>;  // pattern -> data-d -> line

// The sticks of a figure. The test fails when the tags do not nest, an
// attribute is not quoted, or anything but one svg element stands at the top.
Sticks sticks(const std::string& s) {
    Sticks out;
    std::vector<std::string> open;
    int roots = 0;
    for (std::size_t i = s.find('<'), end; i != std::string::npos; i = s.find('<', end)) {
        end = s.find('>', i);
        if (end == std::string::npos) return ADD_FAILURE() << "an unclosed tag", Sticks{};
        std::string tag = s.substr(i + 1, end - i - 1);
        if (tag.front() == '?') continue;  // the declaration
        if (tag.front() == '/') {
            EXPECT_TRUE(!open.empty() && open.back() == tag.substr(1)) << tag;
            if (!open.empty()) open.pop_back();
            continue;
        }
        const bool empty = tag.back() == '/';
        if (empty) tag.pop_back();
        const std::string name = tag.substr(0, tag.find(' '));
        Attributes a;  // each ' name="value"'
        for (std::size_t p = name.size(), eq, close; p < tag.size(); p = close + 1) {
            while (p < tag.size() && tag[p] == ' ') ++p;
            if (p == tag.size()) break;
            eq = tag.find("=\"", p), close = tag.find('"', eq + 2);
            if (eq == std::string::npos || close == std::string::npos)
                return ADD_FAILURE() << "unquoted: " << tag, Sticks{};
            a[tag.substr(p, eq - p)] = tag.substr(eq + 2, close - eq - 2);
        }
        if (open.empty()) {
            EXPECT_TRUE(++roots == 1 && name == "svg") << name;
        }
        if (!empty) open.push_back(name);
        if (name == "line" && a["class"] == "stick")
            out[std::stoi(a.at("data-pattern"))][a.at("data-d")] = a;
    }
    EXPECT_TRUE(open.empty() && roots == 1);
    return out;
}

class OnTheSample : public ::testing::Test {
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
        tmp.write("peaks.txt", "3.3480 100\n2.0860 50\n0.5 10\n");
    }
    RunResult hitmatch(const Strings& args) const {
        return run_program(tool_path("hitmatch"), args, options);
    }
    RunResult hitplot(const Strings& args) const {
        return run_program(tool_path("hitplot"), args, options);
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
using Hitmatch = OnTheSample;
using Hitplot = OnTheSample;

}  // namespace

TEST_F(Hitmatch, RanksTheTruePhasesFirstAndSavesTheRanking) {
    auto r = hitmatch({"-n", "4", "quartz.txt", "out.sub"});
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
    r = hitmatch({"-2theta", "-wavelength", "CuKa1", "quartz2t.txt"});
    EXPECT_EQ(ranked(r.out).at(0).at(0), 9) << r.out;

    // The mixture: both in the top three.
    r = hitmatch({"-n", "3", "mix.txt"});
    auto top = ranked(r.out).at(0);
    std::sort(top.begin(), top.end());
    EXPECT_TRUE(top.size() == 3 && std::ranges::includes(top, std::vector{5, 9})) << r.out;
    r = hitmatch({"-phases", "2", "-n", "1", "mix.txt"});
    const auto phases = ranked(r.out);
    ASSERT_EQ(phases.size(), 2u) << r.out;
    EXPECT_EQ(phases[0].size() + phases[1].size(), 2u) << r.out;
    EXPECT_EQ(phases[0][0] + phases[1][0], 9 + 5) << r.out;  // one phase after the other
    EXPECT_NE(lines(r.out).at(2).find(" left by entry "), std::string::npos) << r.out;

    // Records of named fields, one per entry and phase; only corundum holds Al.
    r = hitmatch({"-format", "tsv", "-n", "2", "-phases", "2", "mix.txt"});
    const auto records = lines(r.out);
    ASSERT_EQ(records.size(), 5u) << r.out;
    EXPECT_EQ(records[0],
              "phase\trank\tentry\tidentifier\tname\tmineral\tformula\tscore\tmatched\tlines\t"
              "explained\talignment\tintensity\tmeasured");
    for (const auto& row : records) EXPECT_EQ(std::count(row.begin(), row.end(), '\t'), 13);
    EXPECT_TRUE(records[3].starts_with("2\t1\t")) << r.out;
    r = hitmatch({"-elements", "Al", "mix.txt"});
    EXPECT_EQ(ranked(r.out), (std::vector<std::vector<int>>{{5}}));

    // Within a subfile's hits (here without quartz), continuing its history.
    write_file(tmp / "in.sub", subfile_bytes(9, {0xFF}, {"Starting from full database"}));
    r = hitmatch(
        {"-in", "in.sub", "-tol", "0.01", "-format", "json", "-n", "1", "quartz.txt", "o2"});
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
        const auto r = hitmatch(args);
        EXPECT_EQ(r.status, 1) << err;
        EXPECT_EQ(r.out, "") << err;
        EXPECT_TRUE(r.err.starts_with(err)) << r.err;
        EXPECT_EQ(read_file(tmp / "out.sub"), "earlier result") << err;
    }
}

TEST_F(Hitplot, SticksWhereTheAxisPutsThem) {
    auto r = hitplot({"9", "5", "-peaks", "peaks.txt", "-range", "1:5", "-o", "fig.svg"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out + r.err, "");
    auto s = sticks(read_file(tmp / "fig.svg"));
    // d axis from 5 (x = 70) to 1 (x = 870): x = 70 + 200 (5 - d). A stick of
    // relative intensity I rises 0.8 I.
    const struct {
        int pattern;
        const char* d;
        double x, height;
    } want[] = {
        {0, "3.3480", 400.40, 80.0},  // measured, 100
        {0, "2.0860", 652.80, 40.0},  // measured, 50
        {1, "3.3435", 401.30, 80.0},  // quartz's strongest
        {2, "2.0851", 652.98, 80.0},  // corundum's strongest
        {2, "2.5508", 559.84, 72.0},  // corundum, 90
    };
    for (const auto& w : want) {
        ASSERT_TRUE(s[w.pattern].count(w.d)) << w.d;
        Attributes& a = s[w.pattern][w.d];
        EXPECT_NEAR(std::stod(a["x1"]), w.x, 0.02) << w.d;
        EXPECT_EQ(a["x1"], a["x2"]) << w.d;
        EXPECT_NEAR(std::stod(a["y1"]) - std::stod(a["y2"]), w.height, 0.02) << w.d;
    }
    // Quartz has 34 lines from 1 to 5 A on its cards; the peak at 0.5 A is out of range.
    EXPECT_EQ(std::pair(s[1].size(), s[0].size()), std::pair(34ul, 2ul));

    // A two-theta axis: quartz's 3.3435 at 2 asin(1.540598 / 6.687) = 26.6397
    // degrees lies at x = 70 + 80 (26.6397 - 20).
    r = hitplot({"-2theta", "-range", "20:30", "-o", "fig2.svg", "9"});
    ASSERT_EQ(r.status, 0) << r.err;
    s = sticks(read_file(tmp / "fig2.svg"));
    ASSERT_TRUE(s[1].count("3.3435"));
    EXPECT_NEAR(std::stod(s[1]["3.3435"]["x1"]), 601.18, 0.02);
}

TEST_F(Hitplot, RefusalsWriteNothing) {
    const std::pair<Strings, std::string> cases[] = {
        {{"9"}, "an output file (-o FILE.svg) required\n"},
        {{"x9", "-o", "f.svg"}, "invalid entry: x9\n"},
        {{"10", "-o", "f.svg"}, "entry out of range: 10 (the database has 9 entries)\n"},
        {{"9", "-range", "0.1:0.2", "-o", "f.svg"}, "no line within the plotted range\n"},
        {{"9", "-peaks", "none.txt", "-o", "f.svg"},
         "none.txt: cannot read: No such file or directory\n"},
    };
    for (const auto& [args, err] : cases) {
        const auto r = hitplot(args);
        EXPECT_EQ(r.status, 1) << err;
        EXPECT_TRUE(r.err.starts_with(err)) << r.err;
        EXPECT_FALSE(fs::exists(tmp / "f.svg")) << err;
    }
}
