// hitplot end to end on the sample database: well-formed SVG, sticks in place.
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

class Hitplot : public ::testing::Test {
  protected:
    void SetUp() override {
        options = sample_database(tmp);
        tmp.write("peaks.txt", "3.3480 100\n2.0860 50\n0.5 10\n");
    }
    RunResult run(const Strings& args) const {
        return run_program(tool_path("hitplot"), args, options);
    }
    TempDir tmp;
    RunOptions options;
};

}  // namespace

TEST_F(Hitplot, SticksWhereTheAxisPutsThem) {
    auto r = run({"9", "5", "-peaks", "peaks.txt", "-range", "1:5", "-o", "fig.svg"});
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
    r = run({"-2theta", "-range", "20:30", "-o", "fig2.svg", "9"});
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
        const auto r = run(args);
        EXPECT_EQ(r.status, 1) << err;
        EXPECT_TRUE(r.err.starts_with(err)) << r.err;
        EXPECT_FALSE(fs::exists(tmp / "f.svg")) << err;
    }
}
