#include <corvane/entries/angles.h>

#include <cmath>

namespace corvane {
namespace {

constexpr float kPi = 3.14159265358979f;  // the single-precision value, 0x40490FDB
constexpr float kHalfLambda = 0.770299f;  // half of the codes' wavelength 1.540598

// Sine and arc sine in double precision on a single-precision argument,
// rounded back to single precision.
float sin1(float x) {
    return static_cast<float>(std::sin(static_cast<double>(x)));
}
float asin1(float x) {
    return static_cast<float>(std::asin(static_cast<double>(x)));
}

// The code of a d-spacing whose ratio x = 0.770299 / d is at most 1:
// (asin(x) * 4 - pi) * 10000, rounded half away from zero.
std::int32_t code_of_ratio(float x) {
    float v = asin1(x) * 4.0f;
    v = v - kPi;
    v = v * 10000.0f;
    if (v < 0.0f) return static_cast<std::int32_t>(v - 0.5f);
    return static_cast<std::int32_t>(v + 0.5f);
}

// The d-spacing at a (fractional) code, with the divisions of the bucket edges.
float d_of_edge(float code) {
    float theta = code / 10000.0f;
    theta = theta + kPi;
    theta = theta / 4.0f;
    return kHalfLambda / sin1(theta);
}

}  // namespace

int dtott(const float& d, float& tt, const float& lambda) {
    if (d <= 0.0f || lambda <= 0.0f) return 0;
    const float x = (lambda * 0.5f) / d;
    if (!(x <= 1.0f)) return 0;  // also refuses a ratio that is not a number
    tt = (asin1(x) * 360.0f) / kPi;
    return 1;
}

int tttod(float& d, const float& tt, const float& lambda) {
    if (lambda <= 0.0f || tt <= 0.0f || tt > 180.0f) return 0;
    const float s = sin1((tt * kPi) / 360.0f);
    if (s <= 0.0f) return 0;
    d = (lambda * 0.5f) / s;
    return 1;
}

int krxtod(const std::int32_t& c, float& d) {
    float x = static_cast<float>(c) * 0.0001f;
    x = x + kPi;
    x = x * 0.25f;
    if (x <= 0.0f) return 0;
    d = kHalfLambda / sin1(x);
    return 1;
}

int dtokrx(std::int32_t& c, const float& d) {
    if (d <= 0.0f) return 0;
    const float x = kHalfLambda / d;
    if (!(x <= 1.0f)) return 0;
    c = code_of_ratio(x);
    return 1;
}

int dtoind(const float& d, std::int32_t& ind, const std::int32_t& maxind) {
    ind = maxind;
    int result = 0;
    if (d <= 0.0f) return 0;
    const float x = kHalfLambda / d;
    if (x > 1.0f) {
        ind = maxind;
    } else {
        const std::int32_t c = code_of_ratio(x);
        float bucket = static_cast<float>(c) / 100.0f;
        bucket = bucket + 314.0f;
        bucket = bucket + 1.0f;
        ind = static_cast<std::int32_t>(bucket);
        if (ind >= 1 && ind <= maxind) result = 1;
    }
    if (ind < 1) ind = 1;
    if (ind > maxind) ind = maxind;
    return result;
}

int indtod(const std::int32_t& i1, const std::int32_t& i2, float& dlow, float& dhigh,
           const std::int32_t& maxind) {
    std::int32_t lo = i1 < i2 ? i1 : i2;
    std::int32_t hi = i1 < i2 ? i2 : i1;
    int result = 1;
    if (lo < 1) {
        lo = 1;
        result = 0;
    }
    if (hi > maxind) {
        hi = maxind;
        result = 0;
    }
    // Half a code below the first code of bucket lo, half a code above the
    // last code of bucket hi.
    float low_edge = static_cast<float>(lo) - 1.005f;
    low_edge = low_edge * 100.0f;
    low_edge = low_edge - 31400.0f;
    float high_edge = static_cast<float>(hi) - 0.005f;
    high_edge = high_edge * 100.0f;
    high_edge = high_edge - 31400.0f;
    dlow = d_of_edge(low_edge);
    dhigh = d_of_edge(high_edge);
    return result;
}

}  // namespace corvane
