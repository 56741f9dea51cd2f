// Expected values are the single-precision results of the coding rules.
#include "support/support.h"

namespace {

constexpr float kCu = 1.540598f;

// {argument, result}; 0: a refusal, which leaves the output.
template <typename Out, typename Call>
void check(const std::vector<std::pair<double, double>>& examples, Call call) {
    for (const auto& [arg, result] : examples) {
        Out out = Out(-7);
        EXPECT_EQ(call(arg, out), result != 0 ? 1 : 0) << arg;
        EXPECT_EQ(out, result != 0 ? static_cast<Out>(result) : Out(-7)) << arg;
    }
}

float f(double v) {
    return static_cast<float>(v);
}

TEST(Codings, AngleCodesAndDSpacings) {
    check<float>({{0, 1.0893674}, {31416, 0.770299}, {-31415, 33222.297}, {-31416, 0}},
                 [](double c, float& d) { return corvane::krxtod(std::int32_t(c), d); });
    // Half away from zero; -31416 is a code dtokrx makes but krxtod refuses.
    check<std::int32_t>({{0.770299, 31416},
                         {2.0, -15601},
                         {30000.0, -31415},
                         {100000.0, -31416},
                         {0.77, 0},
                         {0.0, 0}},
                        [](double d, std::int32_t& c) { return corvane::dtokrx(c, f(d)); });
}

TEST(Codings, TwoThetaAtAWavelength) {
    // Below half the wavelength a d-spacing reflects at no angle.
    check<float>({{2.0, 45.306046}, {0.7, 0}, {0.0, 0}},
                 [](double d, float& tt) { return corvane::dtott(f(d), tt, kCu); });
    check<float>({{90.0, 1.0893674}, {180.0, 0.770299}, {180.5, 0}, {0.0, 0}},
                 [](double tt, float& d) { return corvane::tttod(d, f(tt), kCu); });
    // No wavelength: no angle, no d-spacing.
    check<float>({{0.0, 0}}, [](double w, float& tt) { return corvane::dtott(2.0f, tt, f(w)); });
    check<float>({{0.0, 0}}, [](double w, float& d) { return corvane::tttod(d, 90.0f, f(w)); });
}

TEST(Codings, Buckets) {
    const struct {
        float d;
        std::int32_t max, ind, ok;
    } to_bucket[] = {{0.770299f, 629, 629, 1}, {1.0f, 629, 352, 1},  {2.0f, 629, 158, 1},
                     {1000.0f, 629, 1, 1},     {0.77f, 629, 629, 0}, {0.0f, 629, 629, 0},
                     {1.0f, 300, 300, 0},      // bucket 352 above a maximum of 300
                     {100000.0f, 629, 1, 0}};  // (-314.16 + 315) truncates to 0
    for (const auto& c : to_bucket) {
        std::int32_t ind = 0;
        EXPECT_EQ(corvane::dtoind(c.d, ind, c.max), c.ok) << c.d;
        EXPECT_EQ(ind, c.ind) << c.d;
    }
    // Edges quoted to seven significant digits: equal within half a unit of the last.
    const struct {
        std::int32_t i, j, ok;
        double lo, lo_unit, hi, hi_unit;
    } edges[] = {{629, 1, 1, 1997.137, 1e-3, 0.7703007, 1e-7},
                 {315, 315, 1, 1.089381, 1e-6, 1.0866677, 1e-7},
                 {0, 700, 0, 1997.137, 1e-3, 0.7703007, 1e-7}};
    for (const auto& c : edges) {
        float lo = 0.0f, hi = 0.0f;
        EXPECT_EQ(corvane::indtod(c.i, c.j, lo, hi, 629), c.ok) << c.i;
        EXPECT_NEAR(lo, c.lo, c.lo_unit / 2) << c.i;
        EXPECT_NEAR(hi, c.hi, c.hi_unit / 2) << c.i;
    }
}

}  // namespace
