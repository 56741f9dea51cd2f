// The numbers below are the single-precision results of the coding rules, as
// the codings' own worked examples give them.
#include "entries/angles.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

float d_of(std::int32_t code) {
    float d = -1.0f;
    EXPECT_EQ(cv::krxtod(code, d), 1) << code;
    return d;
}

std::int32_t code_of(float d) {
    std::int32_t c = 0;
    EXPECT_EQ(cv::dtokrx(c, d), 1) << d;
    return c;
}

TEST(AngleCode, CodeToDSpacing) {
    EXPECT_EQ(d_of(0), 1.0893674f);
    EXPECT_EQ(d_of(31416), 0.770299f);
    EXPECT_EQ(d_of(10000), 0.8956282f);
    EXPECT_EQ(d_of(-10000), 1.5098468f);
    EXPECT_EQ(d_of(-31415), 33222.297f);
}

TEST(AngleCode, CodesAtTheLowEndAreRefusedAndLeaveTheOutput) {
    float d = 42.0f;
    EXPECT_EQ(cv::krxtod(-31416, d), 0);
    EXPECT_EQ(cv::krxtod(-40000, d), 0);
    EXPECT_EQ(d, 42.0f);
}

TEST(AngleCode, DSpacingToCodeRoundsHalfAwayFromZero) {
    EXPECT_EQ(code_of(0.770299f), 31416);
    EXPECT_EQ(code_of(1.0f), 3756);
    EXPECT_EQ(code_of(2.0f), -15601);
    EXPECT_EQ(code_of(10.0f), -28332);
    EXPECT_EQ(code_of(30000.0f), -31415);
    EXPECT_EQ(code_of(100000.0f), -31416);
    EXPECT_EQ(code_of(1.0e7f), -31416);
}

TEST(AngleCode, DSpacingsWithoutCodeAreRefused) {
    std::int32_t c = 99;
    EXPECT_EQ(cv::dtokrx(c, 0.77f), 0);
    EXPECT_EQ(cv::dtokrx(c, 0.0f), 0);
    EXPECT_EQ(cv::dtokrx(c, -1.0f), 0);
    EXPECT_EQ(c, 99);
    // -31416 is a code dtokrx makes but krxtod refuses.
    float d = 5.0f;
    EXPECT_EQ(cv::krxtod(code_of(100000.0f), d), 0);
}

TEST(Bucket, DSpacingToBucket) {
    std::int32_t ind = 0;
    EXPECT_EQ(cv::dtoind(0.770299f, ind, 629), 1);
    EXPECT_EQ(ind, 629);
    EXPECT_EQ(cv::dtoind(1.0f, ind, 629), 1);
    EXPECT_EQ(ind, 352);
    EXPECT_EQ(cv::dtoind(2.0f, ind, 629), 1);
    EXPECT_EQ(ind, 158);
    EXPECT_EQ(cv::dtoind(1000.0f, ind, 629), 1);
    EXPECT_EQ(ind, 1);
}

TEST(Bucket, OutOfRangeDSpacingsAreClampedAndFail) {
    std::int32_t ind = 0;
    EXPECT_EQ(cv::dtoind(0.77f, ind, 629), 0);
    EXPECT_EQ(ind, 629);
    ind = 0;
    EXPECT_EQ(cv::dtoind(0.0f, ind, 629), 0);
    EXPECT_EQ(ind, 629);
    // d = 1.0 lies in bucket 352, above a maximum of 300: clamped to 300.
    EXPECT_EQ(cv::dtoind(1.0f, ind, 300), 0);
    EXPECT_EQ(ind, 300);
    // Code -31416 (d of 100000) falls below bucket 1: (-314.16 + 315) truncates to 0.
    EXPECT_EQ(cv::dtoind(100000.0f, ind, 629), 0);
    EXPECT_EQ(ind, 1);
}

// The bucket edges are quoted to seven significant digits: equal within half a
// unit of the seventh digit.
void expect_seven_digits(float actual, double quoted, double unit) {
    EXPECT_NEAR(actual, quoted, unit / 2) << quoted;
}

TEST(Bucket, BucketEdges) {
    float lo = 0.0f, hi = 0.0f;
    EXPECT_EQ(cv::indtod(1, 629, lo, hi, 629), 1);
    expect_seven_digits(lo, 1997.137, 1e-3);
    expect_seven_digits(hi, 0.7703007, 1e-7);

    // The indices may come in either order.
    float lo2 = 0.0f, hi2 = 0.0f;
    EXPECT_EQ(cv::indtod(629, 1, lo2, hi2, 629), 1);
    EXPECT_EQ(lo2, lo);
    EXPECT_EQ(hi2, hi);

    EXPECT_EQ(cv::indtod(315, 315, lo, hi, 629), 1);
    expect_seven_digits(lo, 1.089381, 1e-6);
    EXPECT_EQ(hi, 1.0866677f);
}

TEST(Bucket, IndicesOutsideTheRangeAreClampedAndFail) {
    float lo = 0.0f, hi = 0.0f;
    EXPECT_EQ(cv::indtod(0, 700, lo, hi, 629), 0);
    expect_seven_digits(lo, 1997.137, 1e-3);
    expect_seven_digits(hi, 0.7703007, 1e-7);
}

TEST(TwoTheta, DSpacingAndAngleAtAWavelength) {
    const float cu = 1.540598f;
    float tt = 0.0f;
    EXPECT_EQ(cv::dtott(2.0f, tt, cu), 1);
    EXPECT_EQ(tt, 45.306046f);

    float d = 0.0f;
    EXPECT_EQ(cv::tttod(d, 90.0f, cu), 1);
    EXPECT_EQ(d, 1.0893674f);
    EXPECT_EQ(cv::tttod(d, 180.0f, cu), 1);
    EXPECT_EQ(d, 0.770299f);
}

TEST(TwoTheta, ImpossibleArgumentsAreRefused) {
    const float cu = 1.540598f;
    float d = 3.0f, tt = 3.0f;
    EXPECT_EQ(cv::tttod(d, 180.5f, cu), 0);
    EXPECT_EQ(cv::tttod(d, 0.0f, cu), 0);
    EXPECT_EQ(cv::tttod(d, 90.0f, 0.0f), 0);
    EXPECT_EQ(d, 3.0f);
    // Half the wavelength above d: no angle reflects it.
    EXPECT_EQ(cv::dtott(0.7f, tt, cu), 0);
    EXPECT_EQ(cv::dtott(0.0f, tt, cu), 0);
    EXPECT_EQ(cv::dtott(2.0f, tt, -1.0f), 0);
    EXPECT_EQ(tt, 3.0f);
}

}  // namespace
