#include <corvane/phase/peaks.h>
#include <corvane/setup/fileio.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace corvane::phase {
namespace {

constexpr double kPi = 3.14159265358979323846;
// Bad lines reported one by one; beyond this many only their number.
constexpr int kShownFaults = 20;

bool separator(char c) {
    return c == ' ' || c == '\t' || c == ',' || c == '\r' || c == '\v' || c == '\f';
}

// A finite number, the whole field.
bool number(std::string_view field, double& v) {
    if (!field.empty() && field.front() == '+') field.remove_prefix(1);
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), v);
    return !field.empty() && ec == std::errc() && end == field.data() + field.size() &&
           std::isfinite(v);
}

std::string quoted(std::string_view field) {
    std::string s = "'";
    s += field.substr(0, 40);
    if (field.size() > 40) s += "...";
    s += "'";
    return s;
}

}  // namespace

bool parse_peaks(std::string_view text, std::string_view name, const PeakOptions& options,
                 std::vector<Peak>& out, std::ostream& err) {
    out.clear();
    std::vector<Peak> peaks;
    int faults = 0;
    bool too_many = false;
    const auto fault = [&](std::size_t line, const std::string& what) {
        if (++faults <= kShownFaults) err << name << ':' << line << ": " << what << '\n';
    };
    std::size_t lineno = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++lineno;
        if (const auto hash = line.find('#'); hash != std::string_view::npos) {
            line = line.substr(0, hash);
        }
        std::array<std::string_view, 3> fields;
        std::size_t nfields = 0;
        for (std::size_t i = 0; i < line.size();) {
            while (i < line.size() && separator(line[i])) ++i;
            if (i >= line.size()) break;
            const std::size_t from = i;
            while (i < line.size() && !separator(line[i])) ++i;
            if (nfields < fields.size()) fields[nfields] = line.substr(from, i - from);
            ++nfields;
        }
        if (nfields == 0) continue;
        if (nfields > 2) {
            fault(lineno, "more than two fields (position and intensity)");
            continue;
        }
        double pos = 0.0;
        const char* what = options.two_theta ? "two-theta " : "d-spacing ";
        if (!number(fields[0], pos) || !(pos > 0.0)) {
            fault(lineno, what + quoted(fields[0]) + " is not a positive number");
            continue;
        }
        double d = pos;
        if (options.two_theta) {
            const double s = std::sin(pos * kPi / 360.0);
            if (!(pos < 180.0) || !(s > 0.0)) {
                fault(lineno, what + quoted(fields[0]) + " is not an angle below 180 degrees");
                continue;
            }
            d = options.wavelength / (2.0 * s);
        }
        double intensity = 100.0;
        if (nfields == 2 && (!number(fields[1], intensity) || !(intensity > 0.0))) {
            fault(lineno, "intensity " + quoted(fields[1]) + " is not a positive number");
            continue;
        }
        if (peaks.size() >= kMaxPeaks) {
            too_many = true;
            continue;
        }
        peaks.push_back({d, intensity});
    }
    if (faults > kShownFaults) {
        err << name << ": " << faults - kShownFaults << " more bad lines\n";
    }
    if (faults > 0) return false;
    if (too_many) {
        err << name << ": more than " << kMaxPeaks << " peaks\n";
        return false;
    }
    if (peaks.empty()) {
        err << name << ": no peaks\n";
        return false;
    }
    double strongest = 0.0;
    for (const Peak& p : peaks) strongest = std::max(strongest, p.intensity);
    for (Peak& p : peaks) p.intensity = p.intensity * 100.0 / strongest;
    out = std::move(peaks);
    return true;
}

bool read_peaks(const std::string& path, const PeakOptions& options, std::vector<Peak>& out,
                std::ostream& err) {
    out.clear();
    errno = 0;
    std::FILE* f = open_regular(path, "rb");
    if (f == nullptr) {
        const int e = errno;
        err << path << ": cannot read: " << (e != 0 ? std::strerror(e) : "not a regular file")
            << '\n';
        return false;
    }
    std::string text;
    std::array<char, 65536> buf{};
    std::size_t got = 0;
    while ((got = std::fread(buf.data(), 1, buf.size(), f)) > 0) text.append(buf.data(), got);
    const bool failed = std::ferror(f) != 0;
    const int e = errno;
    std::fclose(f);
    if (failed) {
        err << path << ": cannot read: " << std::strerror(e) << '\n';
        return false;
    }
    return parse_peaks(text, path, options, out, err);
}

bool parse_wavelength(std::string_view text, double& out) {
    static constexpr std::array<std::pair<std::string_view, double>, 7> kLines = {{
        {"cuka1", 1.540598},
        {"cuka", 1.541874},
        {"coka1", 1.788965},
        {"moka1", 0.709300},
        {"crka1", 2.289760},
        {"feka1", 1.936042},
        {"agka1", 0.559421},
    }};
    std::string folded(text);
    for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const auto& [line, value] : kLines) {
        if (folded == line) {
            out = value;
            return true;
        }
    }
    double v = 0.0;
    if (number(text, v) && v > 0.0) {
        out = v;
        return true;
    }
    return false;
}

}  // namespace corvane::phase
