// hitmake OUTFILE ENTRY...: a subfile of the listed entries. Each entry
// argument is an entry number ("7") or an inclusive range ("3-7") of decimal
// digits. The selected entries become the current table by a "-and" step on
// the full database, so the subfile holds the hits and the history "Starting
// from full database" followed by "Match by entries " and the selection as
// sorted, merged runs ("Match by entries 1-4,7"). OUTFILE is written only by a
// successful run (and then replaced whole).
#include <corvane/hits/startup.h>
#include <corvane/hits/subfile.h>
#include <corvane/hits/tables.h>
#include <corvane/setup/text.h>

#include <charconv>
#include <cstdio>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

#include "cli/common.h"
#include "cli/tools.h"

namespace corvane::cli {
namespace {

constexpr Tool kHitmake = {"hitmake", "make a subfile of the entries given by number",
                           "\thitmake <outfile> <entry>...\n"
                           "\t\t(entry numbers, or ranges such as 3-7)\n"};

struct Range {
    long long first = 0;
    long long last = 0;
};

// A non-empty run of decimal digits; values too large for 64 bits are kept
// as the largest value, which is out of range for any database.
std::optional<long long> number(std::string_view digits) {
    if (digits.empty()) return std::nullopt;
    for (char c : digits) {
        if (!is_digit(c)) return std::nullopt;
    }
    long long value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec == std::errc::result_out_of_range) return std::numeric_limits<long long>::max();
    if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return value;
}

// "7" or "3-7" (first not above last).
std::optional<Range> parse_entry(std::string_view arg) {
    const auto dash = arg.find('-');
    if (dash == std::string_view::npos) {
        const auto k = number(arg);
        if (!k) return std::nullopt;
        return Range{*k, *k};
    }
    const auto first = number(arg.substr(0, dash));
    const auto last = number(arg.substr(dash + 1));
    if (!first || !last || *first > *last) return std::nullopt;
    return Range{*first, *last};
}

// The set entries of a table as sorted runs: "1-4,7", found a word at a time.
std::string runs_of(ConstWords table, int n) {
    std::string out;
    for (int first = tblnextbit(table, 1, n, 1); first > 0;) {
        const int after = first < n ? tblnextbit(table, first + 1, n, 0) : -1;
        const int last = after > 0 ? after - 1 : n;
        if (!out.empty()) out += ',';
        out += std::to_string(first);
        if (last > first) {
            out += '-';
            out += std::to_string(last);
        }
        first = last < n ? tblnextbit(table, last + 1, n, 1) : -1;
    }
    return out;
}

}  // namespace

int hitmake(int argc, char** argv) {
    const auto args = arguments(argc, argv);
    if (const auto status = help_or_version(kHitmake, args)) return *status;
    if (args.size() < 2) {
        std::fputs("outfile and at least one entry required\n", stderr);
        usage_error(kHitmake);
        return 1;
    }
    // The entries are read before the database is started, so that a usage
    // error is told as such wherever the database is.
    std::vector<Range> ranges;
    bool invalid = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const auto range = parse_entry(args[i]);
        if (!range) {
            std::fprintf(stderr, "invalid entry: %s\n", args[i].c_str());
            invalid = true;
            continue;
        }
        ranges.push_back(*range);
    }
    if (invalid) {
        usage_error(kHitmake);
        return 1;
    }

    auto lib = std::make_unique<Library>();
    if (!start_database(*lib, kDbNone)) return 1;  // no database file is read

    const int n = lib->cv_sizes.dbsize(1);
    auto& wrk = lib->cv_tables.wrktbl;
    tblclr(wrk, n);
    bool outside = false;
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        const Range& range = ranges[i];
        if (range.first < 1 || range.last > n) {
            std::fprintf(stderr, "entry out of range: %s (the database has %d entries)\n",
                         args[i + 1].c_str(), n);
            outside = true;
            continue;
        }
        tblsetrun(wrk, static_cast<int>(range.first), static_cast<int>(range.last), n);
    }
    if (outside) return 1;

    std::string text = "entries ";
    text += runs_of(wrk, n);
    tbllogic(*lib, 0, text);
    return save_and_print_count(*lib, args[0]);
}

}  // namespace corvane::cli
