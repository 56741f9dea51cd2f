// hitplot end to end on the sample database: the figure is well-formed SVG
// and its sticks stand where the documented geometry puts them.
#include <corvane/builder/build.h>
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/support.h"

namespace {

using Strings = std::vector<std::string>;
using Attributes = std::map<std::string, std::string>;

// A small XML reader: every element's name and attributes in document order;
// false when the tags do not nest, an attribute is not quoted, or something
// other than one root element stands at the top.
bool read_xml(const std::string& s, std::vector<std::pair<std::string, Attributes>>& out) {
    std::vector<std::string> open;
    int roots = 0;
    for (std::size_t i = s.find('<'); i != std::string::npos; i = s.find('<', i)) {
        const std::size_t end = s.find('>', i);
        if (end == std::string::npos) return false;
        std::string tag = s.substr(i + 1, end - i - 1);
        i = end + 1;
        if (tag.front() == '?') continue;  // the declaration
        if (tag.front() == '/') {
            if (open.empty() || open.back() != tag.substr(1)) return false;
            open.pop_back();
            continue;
        }
        const bool empty = tag.back() == '/';
        if (empty) tag.pop_back();
        std::istringstream in(tag);
        std::string name;
        in >> name;
        Attributes attrs;
        for (std::size_t p = name.size(); p < tag.size();) {
            while (p < tag.size() && tag[p] == ' ') ++p;
            if (p >= tag.size()) break;
            const std::size_t eq = tag.find("=\"", p);
            if (eq == std::string::npos) return false;
            const std::size_t close = tag.find('"', eq + 2);
            if (close == std::string::npos) return false;
            attrs[tag.substr(p, eq - p)] = tag.substr(eq + 2, close - eq - 2);
            p = close + 1;
        }
        if (open.empty()) ++roots;
        out.emplace_back(name, attrs);
        if (!empty) open.push_back(name);
    }
    return open.empty() && roots == 1 && !out.empty() && out.front().first == "svg";
}

class Hitplot : public ::testing::Test {
  protected:
    void SetUp() override {
        std::ostringstream err;
        ASSERT_EQ(corvane::builder::krxbuild(std::string(CORVANE_SOURCE_DIR) + "/sample/phases.crd",
                                             tmp / "db", "", err),
                  0)
            << err.str();
        tmp.write("peaks.txt", "3.3480 100\n2.0860 50\n0.5 10\n");
    }
    cvtest::RunResult run(const Strings& args) const {
        cvtest::RunOptions o;
        o.env["LOGIC_LOC"] = tmp / "db/tarnloc.txt";
        o.cwd = tmp.bare();
        return cvtest::run_program(cvtest::tool_path("hitplot"), args, o);
    }
    // The sticks of a figure: pattern -> (data-d -> line attributes).
    std::map<int, std::map<std::string, Attributes>> sticks(const std::string& file) {
        std::vector<std::pair<std::string, Attributes>> elements;
        EXPECT_TRUE(read_xml(cvtest::read_file(tmp / file), elements));
        std::map<int, std::map<std::string, Attributes>> out;
        for (const auto& [name, a] : elements) {
            if (name == "line" && a.count("class") && a.at("class") == "stick") {
                out[std::stoi(a.at("data-pattern"))][a.at("data-d")] = a;
            }
        }
        return out;
    }
    cvtest::TempDir tmp;
};

TEST_F(Hitplot, SticksWhereTheAxisPutsThem) {
    auto r = run({"9", "5", "-peaks", "peaks.txt", "-range", "1:5", "-o", "fig.svg"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out + r.err, "");
    auto s = sticks("fig.svg");
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
        const Attributes& a = s[w.pattern][w.d];
        EXPECT_NEAR(std::stod(a.at("x1")), w.x, 0.02) << w.d;
        EXPECT_EQ(a.at("x1"), a.at("x2")) << w.d;
        EXPECT_NEAR(std::stod(a.at("y1")) - std::stod(a.at("y2")), w.height, 0.02) << w.d;
    }
    // Quartz has 34 lines from 1 to 5 Å on its cards; the peak at 0.5 Å is
    // out of the range.
    EXPECT_EQ(s[1].size(), 34u);
    EXPECT_EQ(s[0].size(), 2u);

    // A two-theta axis: quartz's 3.3435 at 2 asin(1.540598 / 6.687) = 26.6397
    // degrees lies at x = 70 + 80 (26.6397 - 20).
    r = run({"-2theta", "-range", "20:30", "-o", "fig2.svg", "9"});
    ASSERT_EQ(r.status, 0) << r.err;
    s = sticks("fig2.svg");
    ASSERT_TRUE(s[1].count("3.3435"));
    EXPECT_NEAR(std::stod(s[1]["3.3435"].at("x1")), 601.18, 0.02);
}

TEST_F(Hitplot, RefusalsWriteNothing) {
    const struct {
        Strings args;
        std::string err;
    } cases[] = {
        {{"9"}, "an output file (-o FILE.svg) required\n"},
        {{"-o", "f.svg"}, "at least one entry required\n"},
        {{"x9", "-o", "f.svg"}, "invalid entry: x9\n"},
        {{"10", "-o", "f.svg"}, "entry out of range: 10 (the database has 9 entries)\n"},
        {{"9", "-range", "0.1:0.2", "-o", "f.svg"}, "no line within the plotted range\n"},
        {{"9", "-peaks", "none.txt", "-o", "f.svg"},
         "none.txt: cannot read: No such file or directory\n"},
    };
    for (const auto& c : cases) {
        const auto r = run(c.args);
        EXPECT_EQ(r.status, 1) << c.err;
        EXPECT_EQ(r.err.substr(0, c.err.size()), c.err);
        EXPECT_FALSE(std::filesystem::exists(tmp / "f.svg")) << c.err;
    }
}

}  // namespace
