// hitmatch [options] PEAKS [OUTFILE]: ranks the entries of the database (or
// of a subfile's hits, -in) against a measured peak list and prints the best
// (-n, default 20) as rank, entry number, identifier, chemical name, mineral
// name, formula, score and the entry's lines in the measured range that the
// peaks explain ("9/11"). The figure of merit is phase::Scorer's (0 to 100).
// With -phases 2 (up to 5) a second list follows, ranked against the peaks
// the first phase's best entry leaves unexplained, and so on.
//
// PEAKS holds one peak a line, d-spacing and relative intensity (-2theta:
// two-theta in degrees at -wavelength W, by default Cu Ka1). -tol sets the
// tolerance (Å, or a percentage of d); -range LO:HI the measured range (in d,
// or in two-theta with -2theta), else the peaks' own. The element filters are
// hitfind's. -format tsv, csv or json prints records of named fields instead
// of the text listing: phase, rank, entry, identifier, name, mineral, formula,
// score, matched, lines (the entry's lines in range) and the factors of the
// score, explained, alignment, intensity and measured.
//
// With OUTFILE the ranked entries are saved as a subfile: the element filter
// and the ranking are "-and" steps ("Match by elements all of Si,O", "Match by
// pattern of 25 peaks, best 20: quartz.txt"), and records "Ranked phase 1:
// 9,5,7" after them keep the rank order the set itself cannot. OUTFILE is
// written last, and only when everything before succeeded.
#include <corvane/entries/reports.h>
#include <corvane/hits/startup.h>
#include <corvane/hits/subfile.h>
#include <corvane/hits/tables.h>
#include <corvane/phase/entry.h>
#include <corvane/phase/filter.h>
#include <corvane/phase/history.h>
#include <corvane/phase/match.h>
#include <corvane/phase/peaks.h>
#include <corvane/phase/records.h>
#include <corvane/phase/window.h>

#include <array>
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

constexpr Tool kHitmatch = {
    "hitmatch", "rank the database's entries against a measured peak list",
    "\thitmatch [-2theta] [-wavelength W] [-tol TOL] [-range LO:HI] [-n N] [-phases P]\n"
    "\t\t[-in SUBFILE] [-elements ELEMENTS] [-only] [-without ELEMENTS] [-anyof ELEMENTS]\n"
    "\t\t[-format text|tsv|csv|json] <peaks> [<outfile>]\n"
    "\t\tpeaks: one peak a line, d-spacing (two-theta with -2theta) and intensity\n"
    "\t\tW: angstrom or CuKa1 (the default), CuKa, CoKa1, MoKa1, CrKa1, FeKa1, AgKa1\n"
    "\t\tTOL: angstrom or a percentage of d (default 0.4% of d, at least the width\n"
    "\t\t\tof 0.05 degrees two-theta); N: 1 to 1000 (default 20); P: 1 to 5\n"};

constexpr long kMaxBest = 1000;
constexpr long kMaxPhases = 5;

struct Request {
    phase::PeakOptions peak_options;
    phase::Tolerance tol{phase::Tolerance::kMatch, 0.0};
    std::string tol_text;  // as given, for the history
    double low = 0.0, high = 0.0;
    long best = 20;
    long phases = 1;
    std::optional<std::string> in;
    phase::ElementFilter elements;
    phase::Format format = phase::Format::kText;
    std::string peaks;
    std::optional<std::string> outfile;
};

std::optional<long> whole_number(const std::string& text, long max) {
    long v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || v < 1 || v > max) {
        return std::nullopt;
    }
    return v;
}

bool positive(std::string_view text, double& v) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    return !text.empty() && ec == std::errc() && end == text.data() + text.size() &&
           std::isfinite(v) && v > 0.0;
}

std::optional<Request> parse(const std::vector<std::string>& args) {
    Request req;
    bool ok = true;
    std::string range;
    std::vector<std::string> files;  // the peak file and the output file
    bool options = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (options && arg == "--") {
            options = false;
            continue;
        }
        if (!options || arg.empty() || arg[0] != '-') {
            files.push_back(arg);
            continue;
        }
        if (arg == "-2theta") {
            req.peak_options.two_theta = true;
            continue;
        }
        if (arg == "-only") {
            req.elements.only = true;
            continue;
        }
        static constexpr std::array<std::string_view, 10> kValued = {
            "-wavelength", "-tol",      "-range",   "-n",     "-phases",
            "-in",         "-elements", "-without", "-anyof", "-format"};
        bool valued = false;
        for (std::string_view v : kValued) valued = valued || arg == v;
        if (!valued) {
            std::fprintf(stderr, "unknown option: %s\n", arg.c_str());
            ok = false;
            continue;
        }
        const std::string* given = option_value(args, i);
        if (given == nullptr) {
            ok = false;
            continue;
        }
        const std::string& value = *given;
        std::string error;
        if (arg == "-wavelength") {
            if (!phase::parse_wavelength(value, req.peak_options.wavelength)) {
                std::fprintf(stderr, "invalid wavelength: %s\n", value.c_str());
                ok = false;
            }
        } else if (arg == "-tol") {
            if (phase::parse_tolerance(value, req.tol, error)) {
                req.tol_text = value;
            } else {
                std::fprintf(stderr, "%s\n", error.c_str());
                ok = false;
            }
        } else if (arg == "-range") {
            range = value;
        } else if (arg == "-n" || arg == "-phases") {
            const auto v = whole_number(value, arg == "-n" ? kMaxBest : kMaxPhases);
            if (!v) {
                std::fprintf(stderr, "invalid value for option %s: %s\n", arg.c_str(),
                             value.c_str());
                ok = false;
            } else {
                (arg == "-n" ? req.best : req.phases) = *v;
            }
        } else if (arg == "-in") {
            req.in = value;
        } else if (arg == "-format") {
            if (!phase::parse_format(value, req.format)) {
                std::fprintf(stderr, "unknown format: %s\n", value.c_str());
                ok = false;
            }
        } else {
            auto& f = req.elements;
            auto& list = arg == "-elements" ? f.all : arg == "-without" ? f.none : f.any;
            if (!phase::parse_element_list(value, list, error)) {
                std::fprintf(stderr, "%s: %s\n", arg.c_str(), error.c_str());
                ok = false;
            }
        }
    }
    if (!range.empty()) {
        // LO:HI in the positions' unit; kept as d-spacings.
        const auto colon = range.find(':');
        double lo = 0.0, hi = 0.0;
        const std::string_view r(range);
        bool good = colon != std::string::npos && positive(r.substr(0, colon), lo) &&
                    positive(r.substr(colon + 1), hi) && lo < hi;
        if (good && req.peak_options.two_theta) {
            const double w = req.peak_options.wavelength;
            constexpr double kPi = 3.14159265358979323846;
            good = hi < 180.0;
            const double dlo = w / (2.0 * std::sin(hi * kPi / 360.0));
            const double dhi = w / (2.0 * std::sin(lo * kPi / 360.0));
            lo = dlo;
            hi = dhi;
        }
        if (!good) {
            std::fprintf(stderr, "invalid range: %s\n", range.c_str());
            ok = false;
        } else {
            req.low = lo;
            req.high = hi;
        }
    }
    if (req.elements.only && req.elements.all.empty() && req.elements.any.empty()) {
        std::fputs("-only needs -elements or -anyof\n", stderr);
        ok = false;
    }
    if (files.empty() || files.size() > 2) {
        std::fputs("a peak file and at most one output file required\n", stderr);
        ok = false;
    } else {
        req.peaks = files[0];
        if (files.size() == 2) req.outfile = files[1];
    }
    if (!ok) {
        usage_error(kHitmatch);
        return std::nullopt;
    }
    return req;
}

// One phase's ranking and the peaks it was ranked against.
struct PhaseResult {
    std::size_t peaks = 0;
    std::int32_t after = 0;  // the entry whose peaks were taken away (phase 2 on)
    std::vector<phase::Candidate> ranked;
    std::vector<phase::EntryInfo> info;
};

std::string one_decimal(double v) {
    std::array<char, 32> buf{};
    const auto r =
        std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::fixed, 1);
    return std::string(buf.data(), r.ptr);
}

std::string three_decimals(double v) {
    std::array<char, 32> buf{};
    const auto r =
        std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::fixed, 3);
    return std::string(buf.data(), r.ptr);
}

std::string printable(std::string s) {
    for (char& c : s) {
        if (static_cast<unsigned char>(c) < 32 || c == 127) c = ' ';
    }
    return s;
}

std::string listing(const Request& req, const std::vector<PhaseResult>& phases) {
    std::string out;
    if (req.format == phase::Format::kText) {
        for (std::size_t p = 0; p < phases.size(); ++p) {
            const PhaseResult& r = phases[p];
            out += "phase " + std::to_string(p + 1) + ": " + std::to_string(r.peaks) + " peaks";
            if (p > 0) out += " left by entry " + std::to_string(r.after);
            out += '\n';
            for (std::size_t i = 0; i < r.ranked.size(); ++i) {
                const auto& c = r.ranked[i];
                const auto& e = r.info[i];
                out += std::to_string(i + 1) + '\t' + std::to_string(c.entry) + '\t' +
                       std::to_string(e.entid) + '\t' + printable(e.name) + '\t' +
                       printable(e.mineral) + '\t' + printable(e.formula) + '\t' +
                       one_decimal(c.score.score) + '\t' + std::to_string(c.score.matched) + '/' +
                       std::to_string(c.score.lines) + '\n';
            }
        }
        return out;
    }
    phase::RecordWriter w(
        req.format,
        {"phase", "rank", "entry", "identifier", "name", "mineral", "formula", "score", "matched",
         "lines", "explained", "alignment", "intensity", "measured"},
        out);
    using phase::Value;
    for (std::size_t p = 0; p < phases.size(); ++p) {
        const PhaseResult& r = phases[p];
        for (std::size_t i = 0; i < r.ranked.size(); ++i) {
            const auto& s = r.ranked[i].score;
            const auto& e = r.info[i];
            w.record(
                {Value::number(std::to_string(p + 1)), Value::number(std::to_string(i + 1)),
                 Value::number(std::to_string(e.entry)), Value::number(std::to_string(e.entid)),
                 Value::string(e.name), Value::string(e.mineral), Value::string(e.formula),
                 Value::number(one_decimal(s.score)), Value::number(std::to_string(s.matched)),
                 Value::number(std::to_string(s.lines)), Value::number(three_decimals(s.explained)),
                 Value::number(three_decimals(s.alignment)),
                 Value::number(three_decimals(s.intensity)),
                 Value::number(three_decimals(s.measured))});
        }
    }
    w.finish();
    return out;
}

// "pattern of 25 peaks, best 20, 2 phases, tolerance ±0.010: quartz.txt"
std::string describe(const Request& req, std::size_t peaks) {
    std::string s =
        "pattern of " + std::to_string(peaks) + " peaks, best " + std::to_string(req.best);
    if (req.phases > 1) s += ", " + std::to_string(req.phases) + " phases";
    if (!req.tol_text.empty()) {
        s += ", tolerance \u00B1";
        s += req.tol.kind == phase::Tolerance::kRelative ? req.tol_text
                                                         : phase::decimal_text(req.tol.value);
    }
    s += ": " + req.peaks;
    return s;
}

bool write_out(const std::string& text) {
    if (!text.empty() && std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) {
        return false;
    }
    return std::fflush(stdout) == 0;
}

}  // namespace

int hitmatch(int argc, char** argv) {
    const auto args = arguments(argc, argv);
    if (const auto status = help_or_version(kHitmatch, args)) return *status;
    const auto req = parse(args);
    if (!req) return 1;
    std::vector<phase::Peak> peaks;
    if (!phase::read_peaks(req->peaks, req->peak_options, peaks, std::cerr)) return 1;

    auto lib = std::make_unique<Library>();
    if (!start_database(*lib, kDbIndex | kDbNames | kDbLines)) return 1;
    if (req->in && cvl_readbitmap(*lib, terminated(*req->in), 4) != 0) {
        std::fprintf(stderr, "error reading subfile %s\n", req->in->c_str());
        return 1;
    }
    const std::int32_t n = lib->cv_sizes.dbsize(1);
    auto& tables = lib->cv_tables;
    constexpr std::size_t kRoom = kHistLen - 9;  // after "Match by "
    std::int32_t failed = 0;
    const auto read_error = [&](std::int32_t entry) {
        std::fprintf(stderr, "error reading entry %d\n", entry);
        return 1;
    };
    if (req->elements.active()) {
        if (phase::element_search(*lib, req->elements, tables.wrktbl, failed) != 0) {
            return read_error(failed);
        }
        tbllogic(*lib, 0, phase::cut_utf8("elements " + req->elements.describe(), kRoom));
    }

    // Phase after phase, each against the peaks the best entry of the one
    // before leaves unexplained.
    std::vector<PhaseResult> phases;
    std::vector<std::int32_t> chosen;
    auto m = std::make_unique<phase::Measurement>(peaks, req->tol, req->low, req->high);
    const double low = m->low(), high = m->high();
    Krx1Reader reader(*lib);
    for (long p = 1; p <= req->phases; ++p) {
        PhaseResult r;
        r.peaks = m->peaks().size();
        r.after = chosen.empty() ? 0 : chosen.back();
        if (phase::rank_entries(*lib, *m, tables.curtbl, static_cast<std::size_t>(req->best),
                                chosen, r.ranked, failed) != 0) {
            return read_error(failed);
        }
        for (const auto& c : r.ranked) {
            phase::EntryInfo info;
            if (phase::read_entry_info(reader, c.entry, info) != 0) return read_error(c.entry);
            r.info.push_back(std::move(info));
        }
        const bool last = p == req->phases || r.ranked.empty();
        if (!last) {
            const std::int32_t winner = r.ranked.front().entry;
            std::int32_t nd = 0;
            LineValues<std::int32_t> intensities{}, codes{};
            if (cvrepdi(*lib, winner, nd, intensities, codes) != 0) return read_error(winner);
            chosen.push_back(winner);
            auto left = phase::residual_peaks(*m, nd, intensities, codes);
            m = std::make_unique<phase::Measurement>(std::move(left), req->tol, low, high);
        }
        phases.push_back(std::move(r));
        if (last) break;
    }

    if (!write_out(listing(*req, phases))) return 1;
    if (!req->outfile) return 0;

    tblclr(tables.wrktbl, n);
    for (const auto& r : phases) {
        for (const auto& c : r.ranked) tblbitset(tables.wrktbl, c.entry, n, 1);
    }
    tbllogic(*lib, 0, phase::cut_utf8(describe(*req, peaks.size()), kRoom));
    for (std::size_t p = 0; p < phases.size(); ++p) {
        std::vector<std::int32_t> entries;
        for (const auto& c : phases[p].ranked) entries.push_back(c.entry);
        phase::append_ranking(*lib, static_cast<int>(p + 1), entries);
    }
    if (cvl_savebitmap(*lib, terminated(*req->outfile)) != 0) {
        std::fprintf(stderr, "error writing subfile %s\n", req->outfile->c_str());
        return 1;
    }
    return 0;
}

}  // namespace corvane::cli
