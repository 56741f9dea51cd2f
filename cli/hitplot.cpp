// hitplot [-2theta] [-wavelength W] [-peaks PEAKS] [-range LO:HI] -o FILE.svg
// ENTRY...: draws the stick patterns of the entries (numbers as hitmake takes
// them, "9" or "3-5"), one strip and one colour each with a legend, over a
// d-spacing axis or, with -2theta, a two-theta axis at the wavelength (Cu Ka1
// by default). -peaks adds a measured peak list (read as hitmatch reads it) in
// a strip of its own and behind every entry; -range fixes the axis. The figure
// is written to FILE.svg whole, and only when every entry could be read.
#include <corvane/hits/startup.h>
#include <corvane/phase/entry.h>
#include <corvane/phase/history.h>
#include <corvane/phase/peaks.h>
#include <corvane/phase/plot.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/common.h"
#include "cli/tools.h"

namespace corvane::cli {
namespace {

constexpr Tool kHitplot = {
    "hitplot", "draw the stick patterns of entries as an SVG figure",
    "\thitplot [-2theta] [-wavelength W] [-peaks PEAKS] [-range LO:HI] -o <file.svg> "
    "<entry>...\n"
    "\t\t(entry numbers, or ranges such as 3-7; at most 20 entries)\n"
    "\t\tW: angstrom or CuKa1 (the default), CuKa, CoKa1, MoKa1, CrKa1, FeKa1, AgKa1\n"
    "\t\tLO:HI: the axis range, in angstrom or with -2theta in degrees\n"};

constexpr long long kMaxEntries = 20;

struct Request {
    phase::PeakOptions peak_options;
    std::optional<std::string> peaks;
    phase::PlotOptions plot;
    std::string output;
    std::vector<long long> entries;
};

bool positive(std::string_view text, double& v) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    return !text.empty() && ec == std::errc() && end == text.data() + text.size() &&
           std::isfinite(v) && v > 0.0;
}

std::optional<long long> number(std::string_view digits) {
    long long v = 0;
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v);
    if (ec != std::errc()) return std::nullopt;
    return v;
}

// "9" or "3-5", added to the list; false when it is neither or holds too many.
bool add_entries(std::string_view arg, std::vector<long long>& out) {
    const auto dash = arg.find('-');
    const auto first = number(arg.substr(0, dash));
    const auto last = dash == std::string_view::npos ? first : number(arg.substr(dash + 1));
    if (!first || !last || *first > *last ||
        *last - *first >= kMaxEntries - static_cast<long long>(out.size())) {
        return false;
    }
    for (long long e = *first; e <= *last; ++e) out.push_back(e);
    return true;
}

std::optional<Request> parse(const std::vector<std::string>& args) {
    Request req;
    bool ok = true;
    std::string range;
    bool has_output = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-2theta") {
            req.peak_options.two_theta = req.plot.two_theta = true;
            continue;
        }
        if (arg == "-wavelength" || arg == "-peaks" || arg == "-range" || arg == "-o") {
            const std::string* given = option_value(args, i);
            if (given == nullptr) {
                ok = false;
                continue;
            }
            const std::string& value = *given;
            if (arg == "-wavelength") {
                if (!phase::parse_wavelength(value, req.peak_options.wavelength)) {
                    std::fprintf(stderr, "invalid wavelength: %s\n", value.c_str());
                    ok = false;
                }
                req.plot.wavelength = req.peak_options.wavelength;
            } else if (arg == "-peaks") {
                req.peaks = value;
            } else if (arg == "-range") {
                range = value;
            } else {
                req.output = value;
                has_output = true;
            }
            continue;
        }
        if (!arg.empty() && arg[0] == '-') {
            std::fprintf(stderr, "unknown option: %s\n", arg.c_str());
            ok = false;
            continue;
        }
        if (!add_entries(arg, req.entries)) {
            std::fprintf(stderr, "invalid entry: %s\n", arg.c_str());
            ok = false;
        }
    }
    if (!range.empty()) {
        const auto colon = range.find(':');
        const std::string_view r(range);
        double lo = 0.0, hi = 0.0;
        if (colon == std::string::npos || !positive(r.substr(0, colon), lo) ||
            !positive(r.substr(colon + 1), hi) || !(lo < hi)) {
            std::fprintf(stderr, "invalid range: %s\n", range.c_str());
            ok = false;
        } else {
            req.plot.low = lo;
            req.plot.high = hi;
        }
    }
    if (!has_output || req.output.empty()) {
        std::fputs("an output file (-o FILE.svg) required\n", stderr);
        ok = false;
    }
    if (req.entries.empty()) {
        std::fputs("at least one entry required\n", stderr);
        ok = false;
    }
    if (!ok) {
        usage_error(kHitplot);
        return std::nullopt;
    }
    return req;
}

// "entry 9, 461045: Silicon Oxide (Quartz, syn), SiO2", cut to what the
// figure's width holds.
std::string label(const phase::EntryInfo& e) {
    constexpr std::size_t kRoom = 120;
    std::string s = "entry ";
    s.append(std::to_string(e.entry)).append(", ").append(std::to_string(e.entid));
    s.append(": ").append(e.name);
    if (!e.mineral.empty()) s.append(" (").append(e.mineral).append(")");
    if (!e.formula.empty()) s.append(", ").append(e.formula);
    if (s.size() > kRoom) s = phase::cut_utf8(s, kRoom - 3).append("...");
    return s;
}

}  // namespace

int hitplot(int argc, char** argv) {
    const auto args = arguments(argc, argv);
    if (const auto status = help_or_version(kHitplot, args)) return *status;
    const auto req = parse(args);
    if (!req) return 1;
    std::vector<phase::Peak> peaks;
    if (req->peaks && !phase::read_peaks(*req->peaks, req->peak_options, peaks, std::cerr)) {
        return 1;
    }

    auto lib = std::make_unique<Library>();
    if (!start_database(*lib, kDbIndex | kDbNames | kDbLines)) return 1;
    const std::int32_t n = lib->cv_sizes.dbsize(1);
    bool outside = false;
    for (long long e : req->entries) {
        if (e < 1 || e > n) {
            std::fprintf(stderr, "entry out of range: %lld (the database has %d entries)\n", e, n);
            outside = true;
        }
    }
    if (outside) return 1;

    std::vector<phase::PlotPattern> patterns;
    Krx1Reader reader(*lib);
    for (long long e : req->entries) {
        phase::EntryInfo info;
        phase::PlotPattern p;
        if (phase::read_entry_lines(reader, static_cast<std::int32_t>(e), info, p.lines) != 0) {
            std::fprintf(stderr, "error reading entry %lld\n", e);
            return 1;
        }
        p.label = label(info);
        patterns.push_back(std::move(p));
    }
    std::string svg, error;
    if (!phase::plot_svg(patterns, req->peaks ? &peaks : nullptr, req->plot, svg, error) ||
        !phase::write_whole_file(req->output, svg, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return 0;
}

}  // namespace corvane::cli
