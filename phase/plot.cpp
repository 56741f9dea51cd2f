#include <corvane/phase/plot.h>
#include <corvane/setup/fileio.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

namespace corvane::phase {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kWidth = 900.0;
constexpr double kLeft = 70.0;   // where the axis starts
constexpr double kAxis = 800.0;  // its length
constexpr double kTop = 20.0;
constexpr double kLegendRow = 18.0;
constexpr double kStrip = 80.0;  // a strip's height: intensity 100
constexpr double kGap = 14.0;

// Colours a reader with a colour-vision deficiency can tell apart, and that
// print; the measured peaks are black, their pale copies grey.
constexpr std::array<std::string_view, 7> kColours = {"#0072B2", "#D55E00", "#009E73", "#CC79A7",
                                                      "#E69F00", "#56B4E9", "#882255"};
constexpr std::string_view kMeasured = "#000000";
constexpr std::string_view kPale = "#C8C8C8";

std::string num(double v, int decimals = 2) {
    std::array<char, 64> buf{};
    if (std::fabs(v) < 0.5 * std::pow(10.0, -decimals)) v = 0.0;  // no "-0.00"
    const auto r =
        std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::fixed, decimals);
    return std::string(buf.data(), r.ptr);
}

// Shortest text of a tick value: 2.5, 10, 0.25.
std::string tick_text(double v) {
    std::array<char, 64> buf{};
    if (std::fabs(v) < 1e-12) v = 0.0;
    const auto r =
        std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::general, 6);
    return std::string(buf.data(), r.ptr);
}

// Text for XML: markup characters escaped, control characters dropped, bytes
// outside UTF-8 taken as Latin-1.
std::string xml_text(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        switch (c) {
            case '&':
                out += "&amp;";
                continue;
            case '<':
                out += "&lt;";
                continue;
            case '>':
                out += "&gt;";
                continue;
            case '"':
                out += "&quot;";
                continue;
            case '\'':
                out += "&apos;";
                continue;
            default:
                break;
        }
        if (c < 32 || c == 127) continue;
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        // A whole UTF-8 sequence passes; any other byte is Latin-1.
        std::size_t n = c >= 0xC2 && c <= 0xDF   ? 2
                        : c >= 0xE0 && c <= 0xEF ? 3
                        : c >= 0xF0 && c <= 0xF4 ? 4
                                                 : 0;
        bool ok = n > 0 && i + n <= s.size();
        for (std::size_t k = 1; ok && k < n; ++k) {
            ok = (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80;
        }
        if (ok) {
            out.append(s.substr(i, n));
            i += n - 1;
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

struct Stick {
    double d, at, intensity;  // d-spacing, axis position, relative intensity (0-100)
};

// A pattern's sticks on the axis, from (d-spacing, intensity) pairs, the
// intensities scaled to a strongest of 100; lines with no place on the axis
// are left out.
std::vector<Stick> sticks_of(const std::vector<std::pair<double, double>>& lines,
                             const PlotOptions& o) {
    double strongest = 0.0;
    for (const auto& l : lines) strongest = std::max(strongest, l.second);
    std::vector<Stick> out;
    for (const auto& [d, intensity] : lines) {
        double at = d;
        if (o.two_theta) {
            const double s = o.wavelength / (2.0 * d);
            if (!(d > 0.0) || !(s <= 1.0)) continue;
            at = std::asin(s) * 360.0 / kPi;
        }
        out.push_back({d, at, strongest > 0.0 ? intensity * 100.0 / strongest : 0.0});
    }
    return out;
}

// A tick step of 1, 2 or 5 times a power of ten, about eight to the axis.
double tick_step(double span) {
    const double raw = span / 8.0;
    const double p = std::pow(10.0, std::floor(std::log10(raw)));
    const double m = raw / p;
    return (m < 1.5 ? 1.0 : m < 3.5 ? 2.0 : m < 7.5 ? 5.0 : 10.0) * p;
}

}  // namespace

bool plot_svg(const std::vector<PlotPattern>& patterns, const std::vector<Peak>* measured,
              const PlotOptions& options, std::string& svg, std::string& error) {
    std::vector<std::vector<Stick>> sets;  // the measured peaks first, when given
    std::vector<std::string> labels;
    if (measured != nullptr) {
        std::vector<std::pair<double, double>> lines;
        for (const Peak& p : *measured) lines.emplace_back(p.d, p.intensity);
        sets.push_back(sticks_of(lines, options));
        labels.push_back("measured peaks");
    }
    for (const PlotPattern& p : patterns) {
        std::vector<std::pair<double, double>> lines;
        for (const Line& l : p.lines) lines.emplace_back(l.d, l.intensity);
        sets.push_back(sticks_of(lines, options));
        labels.push_back(p.label);
    }

    double low = options.low, high = options.high;
    if (!(low < high)) {
        low = std::numeric_limits<double>::infinity();
        high = -low;
        for (const auto& set : sets) {
            for (const Stick& s : set) {
                low = std::min(low, s.at);
                high = std::max(high, s.at);
            }
        }
        if (!(low <= high)) {
            error = "no line to plot";
            return false;
        }
        const double margin = high > low ? 0.05 * (high - low) : std::max(1.0, 0.05 * high);
        low = std::max(0.0, low - margin);
        high += margin;
    }
    const auto x_of = [&](double at) {
        return options.two_theta ? kLeft + kAxis * (at - low) / (high - low)
                                 : kLeft + kAxis * (high - at) / (high - low);
    };
    bool any = false;
    for (const auto& set : sets) {
        for (const Stick& s : set) any = any || (s.at >= low && s.at <= high);
    }
    if (!any) {
        error = "no line within the plotted range";
        return false;
    }

    const double rows = static_cast<double>(sets.size());
    const double strips_top = kTop + rows * kLegendRow + 10.0;
    const double axis_y = strips_top + rows * (kStrip + kGap) - kGap + 8.0;
    const double height = axis_y + 50.0;
    const bool has_measured = measured != nullptr;
    const auto colour = [&](std::size_t set) {
        return has_measured && set == 0
                   ? kMeasured
                   : kColours[(set - (has_measured ? 1 : 0)) % kColours.size()];
    };

    std::string o;
    o += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n";
    o += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" + num(kWidth, 0) +
         "\" height=\"" + num(height, 0) + "\" viewBox=\"0 0 " + num(kWidth, 0) + " " +
         num(height, 0) + "\" font-family=\"sans-serif\" font-size=\"12\">\n";
    o += "<title>Stick patterns</title>\n";
    o += "<rect x=\"0\" y=\"0\" width=\"" + num(kWidth, 0) + "\" height=\"" + num(height, 0) +
         "\" fill=\"#ffffff\"/>\n";

    // The legend.
    o += "<g class=\"legend\">\n";
    for (std::size_t i = 0; i < sets.size(); ++i) {
        const double y = kTop + static_cast<double>(i) * kLegendRow;
        o += "<rect x=\"" + num(kLeft) + "\" y=\"" + num(y + 2.0) +
             "\" width=\"14\" height=\"10\" fill=\"" + std::string(colour(i)) + "\"/>";
        o += "<text x=\"" + num(kLeft + 20.0) + "\" y=\"" + num(y + 11.0) + "\">" +
             xml_text(labels[i]) + "</text>\n";
    }
    o += "</g>\n";

    // The strips.
    const auto stick_line = [&](const Stick& s, double base, std::size_t pattern,
                                std::string_view cls) {
        const double x = x_of(s.at);
        return "<line class=\"" + std::string(cls) + "\" data-pattern=\"" +
               std::to_string(pattern) + "\" data-d=\"" + num(s.d, 4) + "\" data-x=\"" +
               num(s.at, 4) + "\" x1=\"" + num(x) + "\" y1=\"" + num(base) + "\" x2=\"" + num(x) +
               "\" y2=\"" + num(base - s.intensity * kStrip / 100.0) + "\"/>\n";
    };
    for (std::size_t i = 0; i < sets.size(); ++i) {
        const double base = strips_top + static_cast<double>(i) * (kStrip + kGap) + kStrip;
        const std::size_t pattern = has_measured ? i : i + 1;
        o += "<g class=\"strip\">\n";
        o += "<text x=\"" + num(kLeft - 8.0) + "\" y=\"" + num(base - kStrip / 2.0 + 4.0) +
             "\" text-anchor=\"end\" fill=\"" + std::string(colour(i)) + "\">" +
             (pattern == 0 ? std::string("meas.") : std::to_string(pattern)) + "</text>\n";
        o += "<line x1=\"" + num(kLeft) + "\" y1=\"" + num(base) + "\" x2=\"" + num(kLeft + kAxis) +
             "\" y2=\"" + num(base) + "\" stroke=\"#999999\" " + "stroke-width=\"0.5\"/>\n";
        if (has_measured && i > 0) {
            o += "<g stroke=\"" + std::string(kPale) + "\" stroke-width=\"1\">\n";
            for (const Stick& s : sets[0]) {
                if (s.at >= low && s.at <= high) o += stick_line(s, base, 0, "overlay");
            }
            o += "</g>\n";
        }
        o += "<g stroke=\"" + std::string(colour(i)) + "\" stroke-width=\"1.5\">\n";
        for (const Stick& s : sets[i]) {
            if (s.at >= low && s.at <= high) o += stick_line(s, base, pattern, "stick");
        }
        o += "</g>\n</g>\n";
    }

    // The axis.
    o += "<g class=\"axis\" stroke=\"#000000\">\n";
    o += "<line x1=\"" + num(kLeft) + "\" y1=\"" + num(axis_y) + "\" x2=\"" + num(kLeft + kAxis) +
         "\" y2=\"" + num(axis_y) + "\"/>\n";
    const double step = tick_step(high - low);
    for (double t = std::ceil(low / step - 1e-9) * step; t <= high + 1e-9 * step; t += step) {
        const double x = x_of(t);
        o += "<line x1=\"" + num(x) + "\" y1=\"" + num(axis_y) + "\" x2=\"" + num(x) + "\" y2=\"" +
             num(axis_y + 5.0) + "\"/>";
        o += "<text x=\"" + num(x) + "\" y=\"" + num(axis_y + 18.0) +
             "\" text-anchor=\"middle\" stroke=\"none\">" + tick_text(t) + "</text>\n";
    }
    const std::string title =
        options.two_theta
            ? "2\u03B8 (degrees), \u03BB = " + tick_text(options.wavelength) + " \u00C5"
            : std::string("d-spacing (\u00C5)");
    o += "<text x=\"" + num(kLeft + kAxis / 2.0) + "\" y=\"" + num(axis_y + 38.0) +
         "\" text-anchor=\"middle\" stroke=\"none\">" + title + "</text>\n";
    o += "</g>\n</svg>\n";
    svg = std::move(o);
    return true;
}

bool write_whole_file(const std::string& path, std::string_view text, std::string& error) {
    const auto fail = [&](const char* what) {
        const int e = errno;
        error = "cannot write " + path + ": " + what;
        if (e != 0) {
            error += ": ";
            error += std::strerror(e);
        }
        return false;
    };
    errno = 0;
    const std::string target = replacement_target(path);
    const auto mode = replacement_mode(target);
    if (path.empty() || !mode) return fail("not a regular file that can be replaced");
    TempFile temp(directory_of(target), "cvplot", *mode);
    if (!temp.is_open()) return fail("cannot create a file beside it");
    if (!temp.write(text.data(), text.size()) || !temp.sync_and_close()) return fail("write");
    if (!temp.rename_to(target)) return fail("rename");
    sync_directory(directory_of(target));
    return true;
}

}  // namespace corvane::phase
