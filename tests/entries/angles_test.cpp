// The numbers below are the single-precision results of the coding rules, as
// the codings' own worked examples give them.
#include <corvane/entries/angles.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

constexpr float kCu = 1.540598f;

// {argument, result}; a result of 0 stands for a refusal, which leaves the output as it was.
struct Example {
    double arg, result;
};

template <typename Out, typename Call>
void check(const std::vector<Example>& examples, Call call) {
    for (const auto& e : examples) {
        Out out = Out(-7);
        EXPECT_EQ(call(e.arg, out), e.result != 0 ? 1 : 0) << e.arg;
        EXPECT_EQ(out, e.result != 0 ? static_cast<Out>(e.result) : Out(-7)) << e.arg;
    }
}

float f(double v) {
    return static_cast<float>(v);
}

// clang-format off
TEST(AngleCode, CodeToDSpacing) {
    check<float>({{0, 1.0893674}, {31416, 0.770299}, {10000, 0.8956282}, {-10000, 1.5098468},
                  {-31415, 33222.297}, {-31416, 0}, {-40000, 0}},
                 [](double c, float& d) { return corvane::krxtod(static_cast<std::int32_t>(c), d); });
}

TEST(AngleCode, DSpacingToCodeRoundsHalfAwayFromZero) {
    // -31416 is a code dtokrx makes but krxtod refuses.
    check<std::int32_t>({{0.770299, 31416}, {1.0, 3756}, {2.0, -15601}, {10.0, -28332},
                         {30000.0, -31415}, {100000.0, -31416}, {1.0e7, -31416}, {0.77, 0},
                         {0.0, 0}, {-1.0, 0}},
                        [](double d, std::int32_t& c) { return corvane::dtokrx(c, f(d)); });
}
// clang-format on

TEST(TwoTheta, DSpacingAndAngleAtAWavelength) {
    // Below half the wavelength a d-spacing reflects at no angle.
    check<float>({{2.0, 45.306046}, {0.7, 0}, {0.0, 0}},
                 [](double d, float& tt) { return corvane::dtott(f(d), tt, kCu); });
    check<float>({{90.0, 1.0893674}, {180.0, 0.770299}, {180.5, 0}, {0.0, 0}},
                 [](double tt, float& d) { return corvane::tttod(d, f(tt), kCu); });
    check<float>({{0.0, 0}, {-1.0, 0}},
                 [](double w, float& tt) { return corvane::dtott(2.0f, tt, f(w)); });
    check<float>({{0.0, 0}}, [](double w, float& d) { return corvane::tttod(d, 90.0f, f(w)); });
}

TEST(Bucket, DSpacingToBucketClampsWhatIsOutOfRange) {
    struct Case {
        float d;
        std::int32_t max, ind, ok;
    };
    for (const Case& c :
         {Case{0.770299f, 629, 629, 1}, Case{1.0f, 629, 352, 1}, Case{2.0f, 629, 158, 1},
          Case{1000.0f, 629, 1, 1}, Case{0.77f, 629, 629, 0}, Case{0.0f, 629, 629, 0},
          Case{1.0f, 300, 300, 0},        // bucket 352 above a maximum of 300
          Case{100000.0f, 629, 1, 0}}) {  // (-314.16 + 315) truncates to 0
        std::int32_t ind = 0;
        EXPECT_EQ(corvane::dtoind(c.d, ind, c.max), c.ok) << c.d;
        EXPECT_EQ(ind, c.ind) << c.d;
    }
}

TEST(Bucket, BucketEdgesInEitherOrderClampedToTheRange) {
    // Edges quoted to seven significant digits: equal within half a unit of the last.
    struct Case {
        std::int32_t i, j, ok;
        double lo, lo_unit, hi, hi_unit;
    };
    for (const Case& c : {Case{1, 629, 1, 1997.137, 1e-3, 0.7703007, 1e-7},
                          Case{629, 1, 1, 1997.137, 1e-3, 0.7703007, 1e-7},
                          Case{315, 315, 1, 1.089381, 1e-6, 1.0866677, 1e-7},
                          Case{0, 700, 0, 1997.137, 1e-3, 0.7703007, 1e-7}}) {
        float lo = 0.0f, hi = 0.0f;
        EXPECT_EQ(corvane::indtod(c.i, c.j, lo, hi, 629), c.ok) << c.i << " " << c.j;
        EXPECT_NEAR(lo, c.lo, c.lo_unit / 2) << c.i << " " << c.j;
        EXPECT_NEAR(hi, c.hi, c.hi_unit / 2) << c.i << " " << c.j;
    }
}

}  // namespace
