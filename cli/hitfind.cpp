// hitfind [-all] [-fields LIST] [-in SUBFILE] OUTFILE STRING...: searches the
// name and reference texts of every entry of the current table (the whole
// database, or SUBFILE's hits with -in) for the strings, without regard to
// case. Any one string is enough; with -all every string must occur (each in
// some selected field). The result is merged into the current table as a
// "-and" step whose history record reads "Match by " and, for example, "any of
// names: quartz, silicon" or "all of name1,authors: quartz, smith" (the mode,
// the fields in a fixed order with "names" for all four, and the strings),
// saved to OUTFILE, and the hit count printed. OUTFILE is written only by a
// successful run.
//
// The entries can also be chosen by their lines and their elements:
// -d D[:TOL] (repeatable) keeps the entries with a line within every window
// D ± TOL (with -strong, one of their three strongest lines); -elements,
// -only, -without and -anyof keep them by the elements of their formulas.
// Every criterion given must hold; each is one "-and" step of its own, in the
// order d-spacings, elements, strings, so the history tells what was asked
// ("Match by d-spacings 3.343±0.020, 4.257±0.020 (strong lines)", "Match by
// elements all of Si,O; no others"). With a d-spacing or an element criterion
// the search strings may be left out.
#include <corvane/entries/krx1.h>
#include <corvane/entries/search.h>
#include <corvane/hits/startup.h>
#include <corvane/hits/subfile.h>
#include <corvane/hits/tables.h>
#include <corvane/phase/filter.h>
#include <corvane/phase/history.h>
#include <corvane/phase/window.h>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "cli/common.h"
#include "cli/tools.h"

namespace corvane::cli {
namespace {

constexpr Tool kHitfind = {
    "hitfind", "search the entries' names and references for strings",
    "\thitfind [-all] [-fields LIST] [-in SUBFILE] <outfile> <string>...\n"
    "\t\tLIST: name1,name2,name3,name4,names,authors,journal (default names)\n"
    "\thitfind [-d D[:TOL]]... [-strong] [-elements ELEMENTS] [-only] [-without ELEMENTS]\n"
    "\t\t[-anyof ELEMENTS] [the options above] <outfile> [<string>...]\n"
    "\t\tD: a d-spacing in angstrom; TOL: angstrom (default 0.02, wider above 4.3)\n"
    "\t\t\tor a percentage of D such as 0.3%\n"
    "\t\tELEMENTS: element symbols separated by commas, such as Si,O\n"};

using Flags = SearchFlags;

struct Request {
    bool all = false;
    Flags flags{};
    std::optional<std::string> in;
    std::string outfile;
    std::vector<std::string> strings;
    std::vector<phase::DWindow> windows;
    bool strong = false;
    phase::ElementFilter elements;
};

// "3.343" or "3.343:0.015" (or "3.343:0.5%"); false after a message.
bool parse_window(const std::string& arg, std::vector<phase::DWindow>& windows) {
    const auto colon = arg.find(':');
    const std::string_view d(arg.data(), colon == std::string::npos ? arg.size() : colon);
    phase::DWindow w;
    const auto [end, ec] = std::from_chars(d.data(), d.data() + d.size(), w.d);
    if (d.empty() || ec != std::errc() || end != d.data() + d.size() || !std::isfinite(w.d) ||
        !(w.d > 0.0)) {
        std::fprintf(stderr, "invalid d-spacing: %s\n", arg.c_str());
        return false;
    }
    if (colon != std::string::npos) {
        std::string error;
        if (!phase::parse_tolerance(std::string_view(arg).substr(colon + 1), w.tol, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return false;
        }
    }
    windows.push_back(w);
    return true;
}

// An element list of -elements, -without or -anyof; false after a message.
bool parse_elements(const std::string& option, const std::string& list, std::vector<int>& out) {
    std::string error;
    if (phase::parse_element_list(list, out, error)) return true;
    std::fprintf(stderr, "%s: %s\n", option.c_str(), error.c_str());
    return false;
}

// Sets the flags a LIST names; false (after a message) for an unknown field.
bool parse_fields(std::string_view list, Flags& flags) {
    flags.fill(0);
    bool ok = true;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = list.find(',', start);
        const std::string_view field = list.substr(
            start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
        if (field == "name1") {
            flags[kSearchName1] = 1;
        } else if (field == "name2") {
            flags[kSearchName2] = 1;
        } else if (field == "name3") {
            flags[kSearchName3] = 1;
        } else if (field == "name4") {
            flags[kSearchName4] = 1;
        } else if (field == "names") {
            flags[kSearchName1] = flags[kSearchName2] = flags[kSearchName3] = flags[kSearchName4] =
                1;
        } else if (field == "authors") {
            flags[kSearchAuthors] = 1;
        } else if (field == "journal") {
            flags[kSearchJournal] = 1;
        } else {
            std::fprintf(stderr, "unknown field: %.*s\n", static_cast<int>(field.size()),
                         field.data());
            ok = false;
        }
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return ok;
}

// Options come first; the first other argument (or the one after "--") is the
// output file, and everything after it a search string, dashes and all.
std::optional<Request> parse(const std::vector<std::string>& args) {
    Request req;
    req.flags = {1, 1, 1, 1, 0, 0};  // names
    bool ok = true;
    bool criteria = false;  // a d-spacing or element option was given
    bool d_given = false;
    std::size_t i = 0;
    for (; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") {
            ++i;
            break;
        }
        if (arg.empty() || arg[0] != '-') break;
        if (arg == "-all") {
            req.all = true;
        } else if (arg == "-strong") {
            req.strong = true;
        } else if (arg == "-only") {
            req.elements.only = true;
            criteria = true;
        } else if (arg == "-d" || arg == "-elements" || arg == "-without" || arg == "-anyof") {
            criteria = true;
            const std::string* given = option_value(args, i);
            if (given == nullptr) {
                ok = false;
                continue;
            }
            const std::string& value = *given;
            auto& f = req.elements;
            if (arg == "-d") {
                d_given = true;
                ok = parse_window(value, req.windows) && ok;
            } else {
                ok = parse_elements(arg, value,
                                    arg == "-elements"  ? f.all
                                    : arg == "-without" ? f.none
                                                        : f.any) &&
                     ok;
            }
        } else if (arg == "-fields" || arg == "-in") {
            const std::string* given = option_value(args, i);
            if (given == nullptr) {
                ok = false;
                continue;
            }
            const std::string& value = *given;
            if (arg == "-in") {
                req.in = value;
            } else if (!parse_fields(value, req.flags)) {
                ok = false;
            }
        } else {
            std::fprintf(stderr, "unknown option: %s\n", arg.c_str());
            ok = false;
        }
    }
    if (req.elements.only && req.elements.all.empty() && req.elements.any.empty()) {
        std::fputs("-only needs -elements or -anyof\n", stderr);
        ok = false;
    }
    if (req.strong && !d_given) {
        std::fputs("-strong needs -d\n", stderr);
        ok = false;
    }
    // With a d-spacing or an element criterion the strings may be left out.
    if (criteria && args.size() < i + 1) {
        std::fputs("outfile required\n", stderr);
        ok = false;
    } else if (!criteria && args.size() < i + 2) {
        std::fputs("outfile and at least one search string required\n", stderr);
        ok = false;
    } else {
        req.outfile = args[i];
        req.strings.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
    }
    if (!ok) {
        usage_error(kHitfind);
        return std::nullopt;
    }
    return req;
}

// "any of names: quartz, silicon", "all of name1,authors: quartz, smith".
std::string describe(const Request& req) {
    const Flags& f = req.flags;
    std::vector<std::string_view> fields;
    if (f[kSearchName1] && f[kSearchName2] && f[kSearchName3] && f[kSearchName4]) {
        fields.push_back("names");
    } else {
        if (f[kSearchName1]) fields.push_back("name1");
        if (f[kSearchName2]) fields.push_back("name2");
        if (f[kSearchName3]) fields.push_back("name3");
        if (f[kSearchName4]) fields.push_back("name4");
    }
    if (f[kSearchAuthors]) fields.push_back("authors");
    if (f[kSearchJournal]) fields.push_back("journal");

    std::string text = req.all ? "all of " : "any of ";
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) text += ',';
        text += fields[i];
    }
    text += ": ";
    for (std::size_t i = 0; i < req.strings.size(); ++i) {
        if (i > 0) text += ", ";
        text += req.strings[i];
    }
    return text;
}

// The text search over the hits of the current table, merged as a "-and"
// step. 0, or 1 after "error reading entry N".
int search_strings(Library& lib, const Request& req) {
    const std::int32_t n = lib.cv_sizes.dbsize(1);
    const auto count = static_cast<std::int32_t>(req.strings.size());
    auto& tables = lib.cv_tables;
    tblclr(tables.wrktbl, n);
    // The hits in entry order, read through one reader's buffers: each file is
    // read once, in order, whatever the number of entries.
    Krx1Reader reader(lib);
    for (std::int32_t k = tblnextbit(tables.curtbl, 1, n, 1); k > 0;
         k = k < n ? tblnextbit(tables.curtbl, k + 1, n, 1) : -1) {
        std::int32_t entid = 0, namoff = 0, dioff = 0, refoff = 0, recoff = 0;
        int found = -1;
        if (cv_readindex(reader, k, entid, namoff, dioff, refoff, recoff) == 0) {
            found = cv_srchlibs(reader, namoff, refoff, req.strings, req.all ? -count : count,
                                req.flags);
        }
        if (found < 0) {
            std::fprintf(stderr, "error reading entry %d\n", k);
            return 1;
        }
        if (found == 1) tblbitset(tables.wrktbl, k, n, 1);
    }
    tbllogic(lib, 0, describe(req));
    return 0;
}

}  // namespace

int hitfind(int argc, char** argv) {
    const auto args = arguments(argc, argv);
    if (const auto status = help_or_version(kHitfind, args)) return *status;
    const auto req = parse(args);
    if (!req) return 1;

    // Only the files the search reads are kept open: the index, di.lib for
    // the d-spacings, name.lib for the elements or when a name is searched,
    // ref.lib when the authors or the journal are.
    const Flags& f = req->flags;
    const bool strings = !req->strings.empty();
    const bool names =
        strings && (f[kSearchName1] || f[kSearchName2] || f[kSearchName3] || f[kSearchName4]);
    const bool refs = strings && (f[kSearchAuthors] || f[kSearchJournal]);
    unsigned open = kDbIndex | (names ? kDbNames : 0u) | (refs ? kDbRefs : 0u);
    if (!req->windows.empty()) open |= kDbLines;
    if (req->elements.active()) open |= kDbNames;
    auto lib = std::make_unique<Library>();
    if (!start_database(*lib, open)) return 1;
    if (req->in && cvl_readbitmap(*lib, terminated(*req->in), 4) != 0) {
        std::fprintf(stderr, "error reading subfile %s\n", req->in->c_str());
        return 1;
    }

    auto& tables = lib->cv_tables;
    // Each criterion is an "-and" step over the hits left by the one before.
    constexpr std::size_t kRoom = kHistLen - 9;  // after "Match by "
    std::int32_t failed = 0;
    if (!req->windows.empty()) {
        if (phase::dsearch(*lib, req->windows, req->strong, tables.wrktbl, failed) != 0) {
            std::fprintf(stderr, "error reading entry %d\n", failed);
            return 1;
        }
        tbllogic(*lib, 0,
                 phase::cut_utf8(phase::describe_windows(req->windows, req->strong), kRoom));
    }
    if (req->elements.active()) {
        if (phase::element_search(*lib, req->elements, tables.wrktbl, failed) != 0) {
            std::fprintf(stderr, "error reading entry %d\n", failed);
            return 1;
        }
        tbllogic(*lib, 0, phase::cut_utf8("elements " + req->elements.describe(), kRoom));
    }
    if (strings && search_strings(*lib, *req) != 0) return 1;

    return save_and_print_count(*lib, req->outfile);
}

}  // namespace corvane::cli
