// Conversions between d-spacings, diffraction angles, the packed angle codes
// of the KRX1 line data and the coarse d-spacing buckets.
//
// An angle code c stands for the Bragg angle theta = (c / 10000 + pi) / 4 at
// the fixed wavelength 1.540598, so d = 0.770299 / sin(theta): code 0 is
// two-theta 90 degrees, 31416 is theta = pi / 2 (d = 0.770299) and the largest
// d-spacings have codes near -31416. Bucket k holds the codes 100k - 31500 to
// 100k - 31401.
//
// Everything is computed in single precision, with pi the single-precision
// value; sine and arc sine are taken in double precision on the single-precision
// argument and rounded back. Each routine returns 1 for success and 0 for
// failure and leaves its output unchanged on failure unless noted.
#pragma once

#include <cstdint>

namespace corvane {

// The database's d-spacing buckets: dtoind's maxind. Bucket 629 holds the top
// codes 31400 to 31416.
inline constexpr std::int32_t kDBuckets = 629;

// two-theta (degrees) of d-spacing d at wavelength lambda.
int dtott(const float& d, float& tt, const float& lambda);

// d-spacing of two-theta tt (degrees, 0 < tt <= 180) at wavelength lambda.
int tttod(float& d, const float& tt, const float& lambda);

// d-spacing of angle code c; 0 for codes -31416 and below.
int krxtod(const std::int32_t& c, float& d);

// Angle code of d-spacing d; 0 for d below 0.770299.
int dtokrx(std::int32_t& c, const float& d);

// Bucket of d-spacing d, clamped to 1 .. maxind; 1 only when the bucket itself
// lies in 1 .. maxind (ind is set even when the result is 0).
int dtoind(const float& d, std::int32_t& ind, const std::int32_t& maxind);

// The d-spacings at the outer edges of buckets i1 .. i2 (either order): dlow
// from the lower code edge (the larger d-spacing), dhigh from the upper one.
// Indices outside 1 .. maxind are clamped and give 0; the edges are set anyway.
int indtod(const std::int32_t& i1, const std::int32_t& i2, float& dlow, float& dhigh,
           const std::int32_t& maxind);

}  // namespace corvane
