#include <corvane/phase/window.h>

#include "support/support.h"

namespace {

namespace ph = corvane::phase;
using ph::DWindow;
using ph::Tolerance;

// d-spacings of some angle codes (the angle coding's single-precision results).
constexpr double kD99 = 1.0866810083389282;   // the last code of bucket 315
constexpr double kD100 = 1.0866540670394897;  // the first of bucket 316
constexpr double kDm1 = 1.0893945693969727;   // code -1, bucket 314
constexpr double kD0 = 1.089367389678955;     // code 0, bucket 315

DWindow window(double d, double tol) {
    return {d, {Tolerance::kAbsolute, tol}};
}

TEST(Window, TolerancesAndTheirTexts) {
    // hitfind: 0.020 A, or the d-width of 0.1 degrees two-theta at Cu Ka1,
    // d / (2 sin(theta - 0.05 deg)) with sin(theta) = 0.770299 / d, to 0.001 A;
    // hitmatch: 0.4% of d, or the d-width of 0.05 degrees, the larger.
    const struct {
        Tolerance t;
        double d, tol;
    } tolerances[] = {
        {{Tolerance::kSearch, 0}, 4.257, 0.020},     {{Tolerance::kSearch, 0}, 5.0, 0.028},
        {{Tolerance::kSearch, 0}, 10.0, 0.114},      {{Tolerance::kMatch, 0}, 1.0, 0.004},
        {{Tolerance::kMatch, 0}, 3.343, 0.013372},   {{Tolerance::kMatch, 0}, 10.0, 0.05680},
        {{Tolerance::kRelative, 0.003}, 2.0, 0.006}, {{Tolerance::kAbsolute, 0.05}, 2.0, 0.05},
    };
    for (const auto& c : tolerances) EXPECT_NEAR(c.t.at(c.d), c.tol, 5e-6) << c.d;

    const struct {
        const char* text;
        Tolerance::Kind kind;  // kSearch: refused
        double value;
    } texts[] = {{"0.02", Tolerance::kAbsolute, 0.02}, {"0.3%", Tolerance::kRelative, 0.003},
                 {"1e-2", Tolerance::kAbsolute, 0.01}, {"0", Tolerance::kSearch, 0},
                 {"-0.1", Tolerance::kSearch, 0},      {"%", Tolerance::kSearch, 0},
                 {"0.02A", Tolerance::kSearch, 0},     {"1e999", Tolerance::kSearch, 0}};
    for (const auto& c : texts) {
        Tolerance t{Tolerance::kSearch, 0};
        std::string error;
        EXPECT_EQ(ph::parse_tolerance(c.text, t, error), c.kind != Tolerance::kSearch) << c.text;
        EXPECT_EQ(t.kind, c.kind) << c.text;
        EXPECT_DOUBLE_EQ(t.value, c.value) << c.text;
    }
    std::string error;
    Tolerance t;
    ph::parse_tolerance("abc", t, error);
    EXPECT_EQ(error,
              "invalid tolerance 'abc': a positive number of angstrom, or a percentage "
              "such as 0.3%");
    EXPECT_EQ(ph::decimal_text(0.02) + " " + ph::decimal_text(3.3435), "0.020 3.3435");
    const std::vector<DWindow> ws = {{3.343, {}}, {4.257, {}}};
    EXPECT_EQ(ph::describe_windows(ws, true),
              "d-spacings 3.343\u00B10.020, 4.257\u00B10.020 (strong lines)");
    const std::vector<DWindow> rel = {{2.1, {Tolerance::kRelative, 0.01}}, window(1.5, 0.015)};
    EXPECT_EQ(ph::describe_windows(rel, false), "d-spacings 2.100\u00B11%, 1.500\u00B10.015");
}

TEST(Window, CodesAndBucketsAtTheirEdges) {
    // Bucket k holds codes 100k - 31500 .. 100k - 31401; below bucket 1 is 1.
    const std::pair<std::int32_t, std::int32_t> buckets[] = {
        {-31416, 1}, {-31301, 1}, {-31300, 2},  {-101, 313},  {-100, 314},
        {99, 315},   {100, 316},  {31399, 628}, {31400, 629}, {31416, 629}};
    for (const auto& [code, k] : buckets) EXPECT_EQ(ph::code_bucket(code), k) << code;

    // A window on one code's d-spacing reaches one code further either way,
    // so it touches the neighbouring bucket at a bucket's edge.
    const struct {
        DWindow w;
        std::int32_t first, last;  // 0, 0: none
    } windows[] = {
        {window(kD99, 1e-9), 98, 100},
        {window(kD100, 1e-9), 99, 101},
        {window((kD99 + kD100) / 2, (kD99 - kD100) / 2 + 1e-9), 98, 101},
        {window(0.7, 0.070299), 31415, 31416},  // reaching the smallest d-spacing
        {window(0.5, 0.01), 0, 0},              // below every code
    };
    for (const auto& c : windows) {
        std::int32_t first = 0, last = 0;
        EXPECT_EQ(ph::window_codes(c.w, first, last), c.last != 0) << c.w.d;
        if (c.last != 0) {
            EXPECT_EQ(std::pair(first, last), std::pair(c.first, c.last)) << c.w.d;
        }
    }
    // The stored d-spacing decides, both ends included.
    EXPECT_TRUE(window(kD99, 1e-9).holds_code(99));
    EXPECT_FALSE(window(kD99, 1e-9).holds_code(100) || window(kD99, 1e-9).holds_code(98));
    EXPECT_TRUE(window(kD99 + 0.001, 0.001).holds_code(99));
    EXPECT_FALSE(window(kD99, 1.0).holds_code(-31416));  // a code with no d-spacing
}

// The builder's bit library: one big-endian word per bucket.
std::string bitlib(const std::map<int, std::uint32_t>& words) {
    std::string out;
    for (int k = 1; k <= corvane::kDBuckets; ++k) {
        const std::uint32_t w = words.count(k) ? words.at(k) : 0;
        for (int shift = 24; shift >= 0; shift -= 8) out += char((w >> shift) & 0xFF);
    }
    return out;
}

TEST(DSearch, EveryWindowMustHoldALineWhateverTheBitLibraries) {
    cvtest::TestDb db(4);
    cvtest::put_entries(
        db, {{1, {"a", "", "", ""}, 127, {}, {{99, 100}, {-10000, 50}}},
             {2, {"b", "", "", ""}, 127, {}, {{100, 100}}},
             {3, {"c", "", "", ""}, 127, {}, {{-1, 10}, {0, 20}, {10000, 30}, {31416, 40}}},
             {4, {"d", "", "", ""}, 127, {}, {}}});
    // Entry n is bit n - 1; codes -10000, 10000 and 31416 are in buckets 215,
    // 415 and 629. Entry 3's strongest three are 31416, 10000 and 0, not -1.
    db.put("dall.lib", bitlib({{215, 1}, {314, 4}, {315, 5}, {316, 2}, {415, 4}, {629, 4}}));
    db.put("dtop3.lib", bitlib({{215, 1}, {315, 5}, {316, 2}, {415, 4}, {629, 4}}));
    cvtest::ScopedEnv loc("LOGIC_LOC", db.location().string());
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
        {{window(0.770299, 1e-6)}, true, 0xF, 0x4},
        {{window(kD99, 0.01)}, false, 0xE, 0x6},  // within the current table only
    };
    // Sound bit libraries, none, or of another size (passed over): the same entries.
    for (int variant = 0; variant < 3; ++variant) {
        for (const char* name : {"dall.lib", "dtop3.lib"}) {
            if (variant == 1) std::filesystem::remove(db.line1() / name);
            if (variant == 2) db.put(name, std::string(name[1] == 'a' ? 629 * 8 : 628 * 4, '\0'));
        }
        for (const auto& c : cases) {
            corvane::Library lib;
            ASSERT_EQ(corvane::cvl_init(lib), 0);
            lib.cv_tables.curtbl[0] = c.among;
            std::int32_t failed = 0;
            EXPECT_EQ(ph::dsearch(lib, c.windows, c.strong, lib.cv_tables.wrktbl, failed), 0);
            EXPECT_EQ(lib.cv_tables.wrktbl[0], c.hits)
                << "variant " << variant << ", first window " << c.windows[0].d;
        }
    }
    // An entry that cannot be read is named.
    db.put("kelpa.ind", cvtest::read_file(db.line1() / "kelpa.ind").substr(0, 40));
    corvane::Library lib;
    std::ostringstream messages;
    lib.set_messages(messages);
    ASSERT_EQ(corvane::cvl_init(lib), 0);
    std::int32_t failed = 0;
    const std::vector<DWindow> ws = {window(kD0, 0.01)};
    EXPECT_EQ(ph::dsearch(lib, ws, false, lib.cv_tables.wrktbl, failed), -1);
    EXPECT_EQ(failed, 3);
}

}  // namespace
