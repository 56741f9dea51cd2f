// The phase-identification parsers and writers on hostile text: formulas, peak
// lists (d-spacings or two-theta at a wavelength the input picks), tolerances,
// the record writers and the SVG figure of the peaks read. The first byte
// chooses the parser; the rest is its text. Besides the sanitizers' checks, a
// JSON string must come out as valid UTF-8 and a refused formula or peak list
// must leave nothing behind.
#include <corvane/phase/formula.h>
#include <corvane/phase/peaks.h>
#include <corvane/phase/plot.h>
#include <corvane/phase/records.h>
#include <corvane/phase/window.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace corvane::phase;

bool valid_utf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t more = c < 0x80         ? 0
                                 : (c >> 5) == 6  ? 1
                                 : (c >> 4) == 14 ? 2
                                 : (c >> 3) == 30 ? 3
                                                  : 4;
        if (more == 4 || s.size() - i <= more) return false;
        for (std::size_t k = 1; k <= more; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2) return false;
        }
        i += more + 1;
    }
    return true;
}

void formula(std::string_view text) {
    Composition c;
    std::string error;
    if (!parse_formula(text, c, error) && !c.elements.none()) __builtin_trap();
}

void peaks(std::string_view text, bool two_theta) {
    PeakOptions options;
    options.two_theta = two_theta;
    if (two_theta && !text.empty()) {
        // The first character picks the wavelength, from an anode to nonsense.
        static const char* const kWavelengths[] = {"CuKa1", "MoKa1", "0.0001", "1e30", "AgKa1"};
        parse_wavelength(kWavelengths[static_cast<unsigned char>(text[0]) % 5], options.wavelength);
        text.remove_prefix(1);
    }
    std::vector<Peak> out;
    std::ostringstream err;
    if (!parse_peaks(text, "fuzz", options, out, err)) {
        if (!out.empty()) __builtin_trap();
        return;
    }
    // Whatever was read can be drawn (or refused) without harm.
    std::vector<PlotPattern> patterns(1);
    patterns[0].label = std::string(text.substr(0, 40));
    for (const Peak& p : out) patterns[0].lines.push_back({p.d, static_cast<int>(p.intensity)});
    std::string svg, error;
    PlotOptions plot;
    plot.two_theta = two_theta;
    plot.wavelength = options.wavelength;
    plot_svg(patterns, &out, plot, svg, error);
}

void records(std::string_view text) {
    if (!valid_utf8(json_string(text))) __builtin_trap();
    for (Format f : {Format::kTsv, Format::kCsv, Format::kJson}) {
        std::string out;
        RecordWriter writer(f, {"a", "b"}, out);
        writer.record({Value::string(text), Value::number("1.5")});
        writer.finish();
    }
    Tolerance tol;
    std::string error;
    if (parse_tolerance(text, tol, error)) tol.at(3.0);
    double w = 0.0;
    parse_wavelength(text, w);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 4) {
        case 0:
            formula(text);
            break;
        case 1:
            peaks(text, false);
            break;
        case 2:
            peaks(text, true);
            break;
        default:
            records(text);
            break;
    }
    return 0;
}
