// A measured peak list: one peak a line, its position and its relative
// intensity.
//
//   # quartz, Cu Ka1
//   3.3435  100
//   4.2550  22
//
// A line holds a d-spacing in Å (or, read as two-theta, an angle in degrees)
// and optionally an intensity, separated by blanks, tabs or one comma (so a
// two-column CSV export reads too); a peak without an intensity counts as 100.
// Everything from "#" on is a comment; blank lines are passed over. The
// intensities are scaled so that the strongest is 100.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::phase {

struct Peak {
    double d = 0.0;          // Å
    double intensity = 0.0;  // relative, the strongest 100
};

struct PeakOptions {
    bool two_theta = false;        // positions are two-theta in degrees ...
    double wavelength = 1.540598;  // ... at this wavelength (Å)
};

// The most peaks a list may hold.
inline constexpr std::size_t kMaxPeaks = 10000;

// Reads a peak list from text; `name` is the file's name in the messages.
// Each bad line gets one line on `err`, "NAME:LINE: what is wrong" (a position
// that is no positive number, a two-theta with no d-spacing at the wavelength,
// an intensity that is no positive number, a third field), and the whole list
// is then refused; so is a list without a peak or with more than kMaxPeaks.
// True when `out` holds the list.
bool parse_peaks(std::string_view text, std::string_view name, const PeakOptions& options,
                 std::vector<Peak>& out, std::ostream& err);

// The same from a file; a file that cannot be read is refused with
// "NAME: cannot read: REASON".
bool read_peaks(const std::string& path, const PeakOptions& options, std::vector<Peak>& out,
                std::ostream& err);

// A wavelength in Å, or the name of an anode line: CuKa1 1.540598, CuKa
// 1.541838, CoKa1 1.788965, MoKa1 0.709300, CrKa1 2.289760, FeKa1 1.936042,
// AgKa1 0.559421 (names in any case). False for anything else or a number
// that is not positive.
bool parse_wavelength(std::string_view text, double& out);

}  // namespace corvane::phase
