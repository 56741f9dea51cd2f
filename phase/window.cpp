#include <corvane/entries/angles.h>
#include <corvane/entries/krx1.h>
#include <corvane/entries/reports.h>
#include <corvane/phase/window.h>
#include <corvane/setup/files.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <vector>

namespace corvane::phase {
namespace {

constexpr double kCuKa1 = 1.540598;  // the wavelength of the angle codes
constexpr double kPi = 3.14159265358979323846;
constexpr std::int32_t kFirstCode = -31415;  // the largest d-spacing krxtod decodes
constexpr std::int32_t kLastCode = 31416;

// hitfind's default window: at least this many Å, else this many degrees
// two-theta either side.
constexpr double kSearchMin = 0.020;
constexpr double kSearch2Theta = 0.1;
// hitmatch's default: at least this fraction of d, else this many degrees.
constexpr double kMatchRelative = 0.004;
constexpr double kMatch2Theta = 0.05;

double round3(double v) {
    return std::round(v * 1000.0) / 1000.0;
}

std::uint32_t host_word(std::uint32_t stored) {
    if constexpr (std::endian::native == std::endian::little) {
        return ((stored & 0xFFu) << 24) | ((stored & 0xFF00u) << 8) | ((stored >> 8) & 0xFF00u) |
               (stored >> 24);
    }
    return stored;
}

// Whether the bit library open in lib.fbitmap holds kDBuckets records over n
// entries, no more and no less.
bool bitlib_fits(const Library& lib, std::int32_t n) {
    if (lib.fbitmap == nullptr) return false;
    struct stat st {};
    if (fstat(fileno(lib.fbitmap), &st) != 0) return false;
    const std::int64_t words = (static_cast<std::int64_t>(n) + 31) / 32;
    return st.st_size == static_cast<std::int64_t>(kDBuckets) * words * 4;
}

// The candidates: table &= (OR of the bit library's records of each
// window's buckets), window by window. False when the library cannot be used
// (the table is then as it was).
bool narrow(Library& lib, std::span<const DWindow> windows, bool strong, Words table) {
    const std::int32_t n = lib.cv_sizes.dbsize(1);
    const std::string name = strong ? "dtop3.lib" : "dall.lib";
    if (cv_openbitlib(lib, name, lib.cv_path.dbpath(2), lib.cv_path.dbpath(1)) != 0) return false;
    bool ok = bitlib_fits(lib, n);
    const auto words = static_cast<std::size_t>((n + 31) / 32);
    std::vector<std::uint32_t> record(words), any(words);
    std::vector<std::uint32_t> result(table.begin(), table.begin() + static_cast<long>(words));
    for (const DWindow& w : windows) {
        if (!ok) break;
        std::fill(any.begin(), any.end(), 0u);
        std::int32_t first = 0, last = 0;
        if (window_codes(w, first, last)) {
            for (std::int32_t k = code_bucket(first); k <= code_bucket(last) && ok; ++k) {
                ok = cv_readbitlib(lib, k, record, n) == 0;
                for (std::size_t i = 0; i < words; ++i) any[i] |= host_word(record[i]);
            }
        }
        for (std::size_t i = 0; i < words; ++i) result[i] &= any[i];
    }
    cv_closebitlib(lib);
    if (!ok) return false;
    std::copy(result.begin(), result.end(), table.begin());
    return true;
}

// The positions (0-based) of an entry's three strongest lines: highest
// intensity first, equal intensities in line order.
int strongest3(std::int32_t nd, const LineValues<std::int32_t>& intensities,
               std::array<int, 3>& top) {
    int have = 0;
    for (int i = 0; i < nd; ++i) {
        const auto v = intensities[static_cast<std::size_t>(i)];
        int at = have;
        while (at > 0 &&
               intensities[static_cast<std::size_t>(top[static_cast<std::size_t>(at - 1)])] < v) {
            --at;
        }
        if (at >= 3) continue;
        for (int j = std::min(have, 2); j > at; --j) {
            top[static_cast<std::size_t>(j)] = top[static_cast<std::size_t>(j - 1)];
        }
        top[static_cast<std::size_t>(at)] = i;
        have = std::min(have + 1, 3);
    }
    return have;
}

}  // namespace

double two_theta_width(double d, double half_2theta, double wavelength) {
    const double s = wavelength / (2.0 * d);
    if (!(d > 0.0) || !(s < 1.0)) return 0.0;
    const double theta = std::asin(s);
    const double smaller = theta - half_2theta * kPi / 360.0;
    if (smaller <= 0.0) return 0.0;  // no finite d that far down
    return wavelength / (2.0 * std::sin(smaller)) - d;
}

double Tolerance::at(double d) const {
    switch (kind) {
        case kSearch:
            return round3(std::max(kSearchMin, two_theta_width(d, kSearch2Theta, kCuKa1)));
        case kMatch:
            return std::max(kMatchRelative * d, two_theta_width(d, kMatch2Theta, kCuKa1));
        case kAbsolute:
            return value;
        case kRelative:
            return value * d;
    }
    return value;
}

bool parse_tolerance(std::string_view text, Tolerance& out, std::string& error) {
    const bool percent = !text.empty() && text.back() == '%';
    const std::string_view digits = percent ? text.substr(0, text.size() - 1) : text;
    double v = 0.0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v);
    if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size() ||
        !std::isfinite(v) || !(v > 0.0)) {
        error = "invalid tolerance '";
        error += text;
        error += "': a positive number of angstrom, or a percentage such as 0.3%";
        return false;
    }
    out.kind = percent ? Tolerance::kRelative : Tolerance::kAbsolute;
    out.value = percent ? v / 100.0 : v;
    return true;
}

std::string decimal_text(double value) {
    std::array<char, 64> buf{};
    auto res = std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::fixed);
    std::string s(buf.data(), res.ptr);
    const auto dot = s.find('.');
    if (dot == std::string::npos) s += '.';
    const std::size_t decimals = s.size() - s.find('.') - 1;
    if (decimals < 3) s.append(3 - decimals, '0');
    return s;
}

bool DWindow::holds_code(std::int32_t code) const {
    float x = 0.0f;
    if (krxtod(code, x) != 1) return false;
    const double dx = static_cast<double>(x);
    return dx >= low() && dx <= high();
}

std::string DWindow::text() const {
    std::string s = decimal_text(d);
    s += "\u00B1";
    if (tol.kind == Tolerance::kRelative) {
        std::array<char, 64> buf{};
        const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), tol.value * 100.0,
                                       std::chars_format::general, 6);
        s.append(buf.data(), res.ptr);
        s += '%';
    } else {
        s += decimal_text(tol.at(d));
    }
    return s;
}

bool window_codes(const DWindow& w, std::int32_t& first, std::int32_t& last) {
    const double lo = w.low();
    const double hi = w.high();
    // Codes fall as d-spacings grow: the window's top gives the first code.
    std::int32_t c = 0;
    if (!(hi > 0.0) || dtokrx(c, static_cast<float>(std::min(hi, 1.0e6))) != 1) return false;
    first = std::max(kFirstCode, c - 1);
    last = kLastCode;
    if (lo > 0.0 && dtokrx(c, static_cast<float>(lo)) == 1) last = std::min(kLastCode, c + 1);
    return first <= last;
}

std::int32_t code_bucket(std::int32_t code) {
    const std::int32_t k = code < -31500 ? 0 : (code + 31500) / 100;
    return std::clamp(k, 1, kDBuckets);
}

std::string describe_windows(std::span<const DWindow> windows, bool strong) {
    std::string s = "d-spacings ";
    for (std::size_t i = 0; i < windows.size(); ++i) {
        if (i > 0) s += ", ";
        s += windows[i].text();
    }
    if (strong) s += " (strong lines)";
    return s;
}

int dsearch(Library& lib, std::span<const DWindow> windows, bool strong, Words hits,
            std::int32_t& failed) {
    const std::int32_t n = lib.cv_sizes.dbsize(1);
    tblcopy(lib.cv_tables.curtbl, hits, n);
    narrow(lib, windows, strong, hits);

    // Each window as the codes whose d-spacings lie in it: d falls as the
    // code grows, so they are one run of codes, found once; a line then needs
    // only a comparison of its code.
    std::vector<std::pair<std::int32_t, std::int32_t>> runs;
    for (const DWindow& w : windows) {
        std::int32_t first = 0, last = 0, lo = 1, hi = 0;
        if (window_codes(w, first, last)) {
            for (std::int32_t c = first; c <= last; ++c) {
                if (!w.holds_code(c)) continue;
                if (lo > hi) lo = c;
                hi = c;
            }
        }
        runs.emplace_back(lo, hi);
    }

    Krx1Reader reader(lib);
    std::int32_t nd = 0;
    LineValues<std::int32_t> intensities{};
    LineValues<std::int32_t> codes{};
    for (std::int32_t k = tblnextbit(hits, 1, n, 1); k > 0;
         k = k < n ? tblnextbit(hits, k + 1, n, 1) : -1) {
        if (cvrepdi(reader, k, nd, intensities, codes) != 0) {
            failed = k;
            return -1;
        }
        std::array<int, 3> top{};
        const int lines = std::clamp(nd, 0, kMaxLines);
        const int count = strong ? strongest3(lines, intensities, top) : lines;
        bool all = true;
        for (const auto& [lo, hi] : runs) {
            bool found = false;
            for (int i = 0; i < count && !found; ++i) {
                const auto c =
                    codes[static_cast<std::size_t>(strong ? top[static_cast<std::size_t>(i)] : i)];
                found = c >= lo && c <= hi;
            }
            if (!found) {
                all = false;
                break;
            }
        }
        if (!all) tblbitset(hits, k, n, 0);
    }
    return 0;
}

}  // namespace corvane::phase
