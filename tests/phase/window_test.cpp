// d-spacing windows: tolerances, the codes and buckets a window touches, and
// the search over a small database with and without its bit libraries.
#include <corvane/entries/angles.h>
#include <corvane/hits/startup.h>
#include <corvane/hits/tables.h>
#include <corvane/phase/window.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/support.h"

namespace {

using corvane::phase::DWindow;
using corvane::phase::Tolerance;

// d-spacings of some angle codes (the angle coding's single-precision results).
constexpr double kD99 = 1.0866810083389282;   // the last code of bucket 315
constexpr double kD100 = 1.0866540670394897;  // the first of bucket 316
constexpr double kDm1 = 1.0893945693969727;   // code -1, bucket 314
constexpr double kD0 = 1.089367389678955;     // code 0, bucket 315

DWindow window(double d, double tol) {
    return {d, {Tolerance::kAbsolute, tol}};
}

TEST(Window, DefaultTolerances) {
    // hitfind: 0.020 Å, or the d-width of 0.1 degrees two-theta at Cu Ka1,
    // d / (2 sin(theta - 0.05 deg)) with sin(theta) = 0.770299 / d, to 0.001 Å.
    const std::pair<double, double> search[] = {
        {1.0, 0.020}, {3.343, 0.020}, {4.257, 0.020}, {5.0, 0.028}, {10.0, 0.114}};
    const Tolerance search_default{Tolerance::kSearch, 0};
    const Tolerance match_default{Tolerance::kMatch, 0};
    for (const auto& [d, tol] : search) EXPECT_DOUBLE_EQ(search_default.at(d), tol) << d;
    // hitmatch: 0.4% of d, or the d-width of 0.05 degrees, the larger.
    const std::pair<double, double> match[] = {{1.0, 0.004}, {3.343, 0.013372}, {10.0, 0.05680}};
    for (const auto& [d, tol] : match) EXPECT_NEAR(match_default.at(d), tol, 5e-6) << d;
    EXPECT_DOUBLE_EQ((Tolerance{Tolerance::kRelative, 0.003}.at(2.0)), 0.006);
    EXPECT_DOUBLE_EQ((Tolerance{Tolerance::kAbsolute, 0.05}.at(2.0)), 0.05);
}

TEST(Window, ToleranceAndWindowTexts) {
    const struct {
        const char* text;
        bool ok;
        Tolerance::Kind kind;
        double value;
    } cases[] = {{"0.02", true, Tolerance::kAbsolute, 0.02},
                 {"0.3%", true, Tolerance::kRelative, 0.003},
                 {"1e-2", true, Tolerance::kAbsolute, 0.01},
                 {"0", false, {}, 0},
                 {"-0.1", false, {}, 0},
                 {"x", false, {}, 0},
                 {"%", false, {}, 0},
                 {"0.02A", false, {}, 0},
                 {"", false, {}, 0},
                 {"1e999", false, {}, 0}};
    for (const auto& c : cases) {
        Tolerance t{Tolerance::kSearch, 0};
        std::string error;
        EXPECT_EQ(corvane::phase::parse_tolerance(c.text, t, error), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(t.kind, c.kind) << c.text;
            EXPECT_DOUBLE_EQ(t.value, c.value) << c.text;
        }
    }
    std::string error;
    Tolerance t;
    corvane::phase::parse_tolerance("abc", t, error);
    EXPECT_EQ(error,
              "invalid tolerance 'abc': a positive number of angstrom, or a percentage "
              "such as 0.3%");

    EXPECT_EQ(corvane::phase::decimal_text(3.343), "3.343");
    EXPECT_EQ(corvane::phase::decimal_text(0.02), "0.020");
    EXPECT_EQ(corvane::phase::decimal_text(3.3435), "3.3435");
    EXPECT_EQ(corvane::phase::decimal_text(10), "10.000");
    const std::vector<DWindow> ws = {{3.343, {}}, {4.257, {}}};
    EXPECT_EQ(corvane::phase::describe_windows(ws, true),
              "d-spacings 3.343\u00B10.020, 4.257\u00B10.020 (strong lines)");
    const std::vector<DWindow> rel = {{2.1, {Tolerance::kRelative, 0.01}}, window(1.5, 0.015)};
    EXPECT_EQ(corvane::phase::describe_windows(rel, false),
              "d-spacings 2.100\u00B11%, 1.500\u00B10.015");
}

TEST(Window, CodesAndBucketsAtTheirEdges) {
    // Bucket k holds codes 100k - 31500 .. 100k - 31401; below bucket 1 is 1.
    const std::pair<std::int32_t, std::int32_t> buckets[] = {
        {-31416, 1}, {-31401, 1},  {-31400, 1},  {-31301, 1}, {-31300, 2},
        {-101, 313}, {-100, 314},  {-1, 314},    {0, 315},    {99, 315},
        {100, 316},  {31399, 628}, {31400, 629}, {31416, 629}};
    for (const auto& [code, k] : buckets) EXPECT_EQ(corvane::phase::code_bucket(code), k) << code;

    // A window on one code's d-spacing reaches one code further either way,
    // so it touches the neighbouring bucket at a bucket's edge.
    const struct {
        DWindow w;
        std::int32_t first, last;
    } windows[] = {
        {window(kD99, 1e-9), 98, 100},
        {window(kD100, 1e-9), 99, 101},
        {window(kD0, 1e-9), -1, 1},
        {window((kD99 + kD100) / 2, (kD99 - kD100) / 2 + 1e-9), 98, 101},
        {window(0.7, 0.070299), 31415, 31416},  // reaching the smallest d-spacing
        {window(0.5, 0.01), 0, 0},              // below every code: none
    };
    for (const auto& c : windows) {
        std::int32_t first = 7, last = 7;
        const bool some = c.first <= c.last && !(c.first == 0 && c.last == 0);
        EXPECT_EQ(corvane::phase::window_codes(c.w, first, last), some) << c.w.d;
        if (some) {
            EXPECT_EQ(first, c.first) << c.w.d;
            EXPECT_EQ(last, c.last) << c.w.d;
        }
    }
    // The stored d-spacing decides, both ends included.
    EXPECT_TRUE(window(kD99, 1e-9).holds_code(99));
    EXPECT_FALSE(window(kD99, 1e-9).holds_code(100));
    EXPECT_FALSE(window(kD99, 1e-9).holds_code(98));
    EXPECT_TRUE(window(kD99 + 0.001, 0.001).holds_code(99));
    EXPECT_FALSE(window(kD99, 1.0).holds_code(-31416));  // a code with no d-spacing
}

// Four entries whose lines sit at bucket edges; their bit libraries as the
// builder writes them, one big-endian word per bucket.
class DSearch : public ::testing::Test {
  protected:
    void SetUp() override {
        cvtest::put_entries(
            db, {
                    {1, {"a", "", "", ""}, 127, {}, {{99, 100}, {-10000, 50}}},
                    {2, {"b", "", "", ""}, 127, {}, {{100, 100}}},
                    {3, {"c", "", "", ""}, 127, {}, {{-1, 10}, {0, 20}, {10000, 30}, {31416, 40}}},
                    {4, {"d", "", "", ""}, 127, {}, {}},
                });
        // Entry n is bit n - 1; codes -10000, 10000 and 31416 are in buckets
        // 215, 415 and 629.
        db.put("dall.lib", bitlib({{215, 1}, {314, 4}, {315, 5}, {316, 2}, {415, 4}, {629, 4}}));
        // Entry 3's strongest three are 31416, 10000 and 0: not its code -1.
        db.put("dtop3.lib", bitlib({{215, 1}, {315, 5}, {316, 2}, {415, 4}, {629, 4}}));
    }
    static std::string bitlib(const std::vector<std::pair<int, int>>& words) {
        std::string out;
        for (int k = 1; k <= corvane::kDBuckets; ++k) {
            std::int32_t word = 0;
            for (const auto& [bucket, w] : words) {
                if (bucket == k) word = w;
            }
            const auto u = static_cast<std::uint32_t>(word);
            for (int shift = 24; shift >= 0; shift -= 8) out += char((u >> shift) & 0xFF);
        }
        return out;
    }
    // The entries found (as table bits) by a search.
    std::uint32_t found(const std::vector<DWindow>& windows, bool strong,
                        std::uint32_t among = 0xF) {
        cvtest::ScopedEnv loc("LOGIC_LOC", db.location().string());
        corvane::Library lib;
        EXPECT_EQ(corvane::cvl_init(lib), 0);
        lib.cv_tables.curtbl[0] = among;
        std::int32_t failed = 0;
        EXPECT_EQ(corvane::phase::dsearch(lib, windows, strong, lib.cv_tables.wrktbl, failed), 0);
        return lib.cv_tables.wrktbl[0];
    }
    cvtest::TestDb db{4};
};

TEST_F(DSearch, EveryWindowMustHoldALineWhateverTheBitLibraries) {
    const struct {
        std::vector<DWindow> windows;
        bool strong;
        std::uint32_t among, hits;
    } cases[] = {
        {{window(kD99, 1e-6)}, false, 0xF, 0x1},
        {{window((kD99 + kD100) / 2, (kD99 - kD100) / 2 + 1e-6)}, false, 0xF, 0x3},
        {{window(kD99, 1e-6), window(1.5098468, 1e-6)}, false, 0xF, 0x1},
        {{window(kD99, 1e-6), window(kD100, 1e-6)}, false, 0xF, 0x0},
        {{window(kDm1, 1e-6)}, false, 0xF, 0x4},
        {{window(kDm1, 1e-6)}, true, 0xF, 0x0},  // the 4th strongest line
        {{window(kD0, 1e-6)}, true, 0xF, 0x4},
        {{window(0.770299, 1e-6)}, true, 0xF, 0x4},
        {{window(kD99, 0.01)}, false, 0xE, 0x6},  // within the current table only
    };
    // With sound bit libraries, without them, and with ones of another size
    // (which are passed over): the same entries.
    for (int variant = 0; variant < 3; ++variant) {
        if (variant == 1) {
            db.remove("dall.lib");
            db.remove("dtop3.lib");
        } else if (variant == 2) {
            db.put("dall.lib", std::string(629 * 8, '\0'));
            db.put("dtop3.lib", std::string(628 * 4, '\0'));
        }
        for (const auto& c : cases) {
            EXPECT_EQ(found(c.windows, c.strong, c.among), c.hits)
                << "variant " << variant << ", first window " << c.windows[0].d;
        }
    }
}

TEST_F(DSearch, AnUnreadableEntryIsNamed) {
    db.put("kelpa.ind", cvtest::read_file(db.line1() / "kelpa.ind").substr(0, 40));
    cvtest::ScopedEnv loc("LOGIC_LOC", db.location().string());
    corvane::Library lib;
    std::ostringstream messages;
    lib.set_messages(messages);
    ASSERT_EQ(corvane::cvl_init(lib), 0);
    std::int32_t failed = 0;
    const std::vector<DWindow> ws = {window(kD0, 0.01)};
    EXPECT_EQ(corvane::phase::dsearch(lib, ws, false, lib.cv_tables.wrktbl, failed), -1);
    EXPECT_EQ(failed, 3);
}

}  // namespace
