// Windows of d-spacings and the search by them: the entries with a line
// within every window, found through the d-spacing bit libraries and decided
// by the lines' stored d-spacings.
//
// A window is d ± tol, both ends included; a line lies in it when the
// d-spacing of its stored angle code (krxtod) does. The bit libraries
// (dall.lib: every line; dtop3.lib: each entry's three strongest lines) give
// for each d-spacing bucket the entries with a line there, so the buckets a
// window touches narrow the candidates before any line is read.
#pragma once

#include <corvane/hits/tables.h>
#include <corvane/setup/library.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace corvane::phase {

// How far a line may lie from a d-spacing.
struct Tolerance {
    enum Kind {
        kSearch,    // hitfind's default: ±0.020 Å, and from about 4.3 Å on the
                    // d-width of ±0.1° two-theta at Cu Kα1 (1.540598 Å), rounded
                    // to 0.001 Å: ±0.028 at 5 Å, ±0.114 at 10 Å
        kMatch,     // hitmatch's default: the larger of 0.4% of d and the
                    // d-width of ±0.05° two-theta at Cu Kα1
        kAbsolute,  // value Å
        kRelative,  // value × d (value is a fraction: "0.3%" gives 0.003)
    };
    Kind kind = kSearch;
    double value = 0.0;

    // The half-width of the window around d, in Å.
    double at(double d) const;
};

// "0.02" (Å) or "0.3%" (of the d-spacing): a positive, finite number. False
// with `error` otherwise.
bool parse_tolerance(std::string_view text, Tolerance& out, std::string& error);

// The d-width of ±half_2theta degrees two-theta at d for the wavelength: how
// far d moves when two-theta moves that much toward the smaller angle (the
// larger d). 0 when d reflects at no angle.
double two_theta_width(double d, double half_2theta, double wavelength);

// A number with at least three decimals and as many more as it needs: 3.343
// gives "3.343", 0.02 "0.020", 3.3435 "3.3435".
std::string decimal_text(double value);

struct DWindow {
    double d = 0.0;
    Tolerance tol;

    double low() const { return d - tol.at(d); }
    double high() const { return d + tol.at(d); }
    // Whether the d-spacing of angle code `code` lies in the window.
    bool holds_code(std::int32_t code) const;
    // "3.343±0.020", or "3.343±0.3%" for a relative tolerance.
    std::string text() const;
};

// The angle codes whose d-spacings may lie in the window, first <= last, with
// one code to spare at each end; false when no code can (a window wholly
// below 0.770299).
bool window_codes(const DWindow& w, std::int32_t& first, std::int32_t& last);

// The d-spacing bucket (1 to kDBuckets) of an angle code, as the bit libraries
// file it: bucket k holds codes 100k - 31500 to 100k - 31401, codes below
// bucket 1 count in bucket 1.
std::int32_t code_bucket(std::int32_t code);

// The history text of a search by d-spacings: "d-spacings 3.343±0.020,
// 4.257±0.020", with " (strong lines)" when only the three strongest count.
std::string describe_windows(std::span<const DWindow> windows, bool strong);

// The entries of the current table with a line in every window (with strong,
// one of their three strongest: highest intensity, equal ones in line order)
// go into `hits`, a table over dbsize(1) entries; the others are cleared. The
// bit library (dtop3.lib with strong, else dall.lib) is opened, used and
// closed here; when it is missing or not of the database's size the lines of
// every entry are read instead, which gives the same result. The library's
// stream for di.lib must be open. 0, or -1 when an entry's lines could not be
// read: `failed` is then that entry (after the reader's message line).
int dsearch(Library& lib, std::span<const DWindow> windows, bool strong, Words hits,
            std::int32_t& failed);

}  // namespace corvane::phase
