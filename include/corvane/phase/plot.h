// Stick patterns as an SVG figure: one strip per pattern, stacked over one
// shared axis, each pattern in a colour of its own with a legend, the
// measured peaks (when given) in a strip of their own at the top and as pale
// sticks behind every entry's.
//
// The geometry, in SVG user units (pixels):
//   width 900; the axis runs from x = 70 to x = 870 (800 units)
//   a legend line of 18 units per pattern from y = 20, then the strips: each
//   80 units high with 14 between them; a stick of relative intensity I
//   (strongest 100) rises I x 0.8 units from the strip's base
//   two-theta axis: x = 70 + 800 (t - low) / (high - low), growing rightwards
//   d axis: x = 70 + 800 (high - d) / (high - low), the largest d on the left,
//           as the pattern runs in two-theta
// Every stick is a <line> of class "stick" with data-pattern (0 for the
// measured peaks, else the pattern's number from 1), data-d (its d-spacing)
// and data-x (its place on the axis: d or two-theta); sticks outside the axis
// range are left out. The file needs nothing else: no stylesheet, no script,
// no font beyond the reader's sans-serif, a white background.
#pragma once

#include <corvane/phase/entry.h>
#include <corvane/phase/peaks.h>

#include <string>
#include <vector>

namespace corvane::phase {

struct PlotPattern {
    std::string label;        // the legend's text
    std::vector<Line> lines;  // d-spacings and intensities (any scale)
};

struct PlotOptions {
    bool two_theta = false;        // the axis in degrees two-theta ...
    double wavelength = 1.540598;  // ... at this wavelength
    // The axis range in its own units when low < high; else the patterns' range
    // with a margin of 5% either side.
    double low = 0.0;
    double high = 0.0;
};

// The figure. False with `error` when no stick of any pattern can be drawn
// (none within the range, or none with a two-theta at the wavelength).
bool plot_svg(const std::vector<PlotPattern>& patterns, const std::vector<Peak>* measured,
              const PlotOptions& options, std::string& svg, std::string& error);

// Writes text to path whole or not at all (a temporary file beside it,
// flushed and renamed over it). False with `error` ("cannot write PATH: ...").
bool write_whole_file(const std::string& path, std::string_view text, std::string& error);

}  // namespace corvane::phase
