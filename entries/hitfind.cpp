#include "entries/hitfind.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "hits/subfile.h"
#include "hits/tables.h"
#include "setup/library.h"

namespace cv {
namespace {

// Selector flag elements of cv_srchlibs.
enum Flag { kName4 = 0, kName1 = 1, kName3 = 2, kName2 = 3, kAuthors = 4, kJournal = 5 };
using Flags = std::array<std::int32_t, 6>;

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
            flags[kName1] = 1;
        } else if (field == "name2") {
            flags[kName2] = 1;
        } else if (field == "name3") {
            flags[kName3] = 1;
        } else if (field == "name4") {
            flags[kName4] = 1;
        } else if (field == "names") {
            flags[kName1] = flags[kName2] = flags[kName3] = flags[kName4] = 1;
        } else if (field == "authors") {
            flags[kAuthors] = 1;
        } else if (field == "journal") {
            flags[kJournal] = 1;
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
std::optional<Request> parse(std::span<const std::string> args) {
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
        std::fputs("\nusage:\n", stderr);
        std::fputs("\thitfind [-all] [-fields LIST] [-in SUBFILE] <outfile> <string>...\n", stderr);
        std::fputs("\t\tLIST: name1,name2,name3,name4,names,authors,journal (default names)\n",
                   stderr);
        return std::nullopt;
    }
    return req;
}

// "any of names: quartz, silicon", "all of name1,authors: quartz, smith".
std::string describe(const Request& req) {
    const Flags& f = req.flags;
    std::vector<std::string_view> fields;
    if (f[kName1] && f[kName2] && f[kName3] && f[kName4]) {
        fields.push_back("names");
    } else {
        if (f[kName1]) fields.push_back("name1");
        if (f[kName2]) fields.push_back("name2");
        if (f[kName3]) fields.push_back("name3");
        if (f[kName4]) fields.push_back("name4");
    }
    if (f[kAuthors]) fields.push_back("authors");
    if (f[kJournal]) fields.push_back("journal");

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

int run_hitfind(std::span<const std::string> args) {
    const auto req = parse(args);
    if (!req) return 1;

    auto lib = std::make_unique<Library>();
    if (lib->cvl_init() != 0) {
        std::fputs("error initializing the TARN database\n", stderr);
        return 1;
    }
    if (req->in && lib->cvl_readbitmap(terminated(*req->in), 4) != 0) {
        std::fprintf(stderr, "error reading subfile %s\n", req->in->c_str());
        return 1;
    }

    const std::int32_t n = lib->cv_sizes.dbsize[0];
    const auto count = static_cast<std::int32_t>(req->strings.size());
    auto& tables = lib->cv_tables;
    tblclr(tables.wrktbl, n);
    for (std::int32_t k = 1; k <= n; ++k) {
        if (tblbittest(tables.curtbl, k, n) != 1) continue;
        std::int32_t entid = 0, namoff = 0, dioff = 0, refoff = 0, recoff = 0;
        int found = -1;
        if (lib->cv_readindex(k, entid, namoff, dioff, refoff, recoff) == 0) {
            found = lib->cv_srchlibs(namoff, refoff, req->strings, req->all ? -count : count,
                                     req->flags);
        }
        if (found < 0) {
            std::fprintf(stderr, "error reading entry %d\n", k);
            return 1;
        }
        if (found == 1) tblbitset(tables.wrktbl, k, n, 1);
    }
    lib->tbllogic(0, describe(*req));

    return save_and_print_count(*lib, req->outfile);
}

}  // namespace cv
