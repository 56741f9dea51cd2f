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
#include <corvane/entries/krx1.h>
#include <corvane/entries/search.h>
#include <corvane/hits/startup.h>
#include <corvane/hits/subfile.h>
#include <corvane/hits/tables.h>

#include <array>
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
    "\t\tLIST: name1,name2,name3,name4,names,authors,journal (default names)\n"};

using Flags = SearchFlags;

struct Request {
    bool all = false;
    Flags flags{};
    std::optional<std::string> in;
    std::string outfile;
    std::vector<std::string> strings;
};

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
        } else if (arg == "-fields" || arg == "-in") {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "missing value for option %s\n", arg.c_str());
                ok = false;
                continue;
            }
            const std::string& value = args[++i];
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
    if (args.size() < i + 2) {
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

}  // namespace

int hitfind(int argc, char** argv) {
    const auto args = arguments(argc, argv);
    if (const auto status = help_or_version(kHitfind, args)) return *status;
    const auto req = parse(args);
    if (!req) return 1;

    // Only the files the search reads are kept open: the index, name.lib when
    // a name is searched, ref.lib when the authors or the journal are.
    const Flags& f = req->flags;
    const bool names = f[kSearchName1] || f[kSearchName2] || f[kSearchName3] || f[kSearchName4];
    const bool refs = f[kSearchAuthors] || f[kSearchJournal];
    auto lib = std::make_unique<Library>();
    if (!start_database(*lib, kDbIndex | (names ? kDbNames : 0u) | (refs ? kDbRefs : 0u))) {
        return 1;
    }
    if (req->in && cvl_readbitmap(*lib, terminated(*req->in), 4) != 0) {
        std::fprintf(stderr, "error reading subfile %s\n", req->in->c_str());
        return 1;
    }

    const std::int32_t n = lib->cv_sizes.dbsize(1);
    const auto count = static_cast<std::int32_t>(req->strings.size());
    auto& tables = lib->cv_tables;
    tblclr(tables.wrktbl, n);
    // The hits in entry order, read through one reader's buffers: each file is
    // read once, in order, whatever the number of entries.
    Krx1Reader reader(*lib);
    for (std::int32_t k = tblnextbit(tables.curtbl, 1, n, 1); k > 0;
         k = k < n ? tblnextbit(tables.curtbl, k + 1, n, 1) : -1) {
        std::int32_t entid = 0, namoff = 0, dioff = 0, refoff = 0, recoff = 0;
        int found = -1;
        if (cv_readindex(reader, k, entid, namoff, dioff, refoff, recoff) == 0) {
            found = cv_srchlibs(reader, namoff, refoff, req->strings, req->all ? -count : count,
                                req->flags);
        }
        if (found < 0) {
            std::fprintf(stderr, "error reading entry %d\n", k);
            return 1;
        }
        if (found == 1) tblbitset(tables.wrktbl, k, n, 1);
    }
    tbllogic(*lib, 0, describe(*req));

    return save_and_print_count(*lib, req->outfile);
}

}  // namespace corvane::cli
