// hitlist SUBFILE: loads SUBFILE and prints its history, one line per record
// ("history 1: Starting from full database"), the number of hits ("hits: 3"),
// then one tab-separated line per hit in entry order: rank, entry number,
// identifier, name text 1, and the entry's three strongest lines (the highest
// intensities; of equal ones, the first in the entry's line list), each as its
// d-spacing with four decimals and its intensity. An entry with fewer lines
// has fewer fields; a line whose code has no d-spacing is left out. Control
// characters in a name (a tab would break the columns) are shown as blanks.
#include <corvane/entries/reports.h>
#include <corvane/hits/report.h>
#include <corvane/hits/subfile.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <numeric>

#include "cli/common.h"
#include "cli/tools.h"

namespace corvane::cli {
namespace {

constexpr Tool kHitlist = {"hitlist", "list a subfile's history and hits", "\thitlist <subfile>\n"};

// The text with every control character shown as a blank.
std::string printable(std::string text) {
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 32 || c == 127) c = ' ';
    }
    return text;
}

// "\t2.0000\t100" for each of the (up to) three strongest lines.
std::string strongest(std::int32_t nd, const LineValues<std::int32_t>& intensities,
                      const LineValues<float>& dspacings) {
    std::array<int, kMaxLines> order{};
    const auto lines = static_cast<std::size_t>(std::clamp(nd, 0, kMaxLines));
    std::iota(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(lines), 0);
    std::stable_sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(lines),
                     [&](int a, int b) {
                         return intensities[static_cast<std::size_t>(a)] >
                                intensities[static_cast<std::size_t>(b)];
                     });
    std::string out;
    int shown = 0;
    for (std::size_t i = 0; i < lines && shown < 3; ++i) {
        const auto line = static_cast<std::size_t>(order[i]);
        // A code without d-spacing leaves its slot at 0.
        if (!(dspacings[line] > 0.0f)) continue;
        std::array<char, 64> field{};
        std::snprintf(field.data(), field.size(), "\t%.4f\t%d",
                      static_cast<double>(dspacings[line]), intensities[line]);
        out += field.data();
        ++shown;
    }
    return out;
}

}  // namespace

int hitlist(int argc, char** argv) {
    const auto args = arguments(argc, argv);
    if (const auto status = help_or_version(kHitlist, args)) return *status;
    if (args.size() != 1) {
        usage_error(kHitlist);
        return 1;
    }
    auto lib = std::make_unique<Library>();
    if (!start_database(*lib)) return 1;
    if (cvl_readbitmap(*lib, terminated(args[0]), 4) != 0) {
        std::fprintf(stderr, "error reading subfile %s\n", args[0].c_str());
        return 1;
    }

    std::array<char, 101> record{};
    for (int i = 1; cvl_rephistory(*lib, i, record) == 1; ++i) {
        std::printf("history %d: %s\n", i, record.data());
    }
    std::printf("hits: %d\n", cvl_rephits(*lib, 0));

    int cur = 0;
    int rank = 0;
    for (int k = cvl_nexthit(*lib, cur, rank, 0); k > 0; k = cvl_nexthit(*lib, cur, rank, 0)) {
        cur = k;
        std::int32_t entid = 0, nd = 0, year = 0;
        LineValues<std::int32_t> intensities{};
        LineValues<float> dspacings{};
        std::string name1, name2, name3, name4, journal, volume, page, authors;
        if (cvl_repkrx1(*lib, k, entid, nd, intensities, dspacings, name4, name3, name2, name1,
                        year, journal, volume, page, authors) != 0) {
            std::fflush(stdout);
            std::fprintf(stderr, "error reading entry %d\n", k);
            return 1;
        }
        std::printf("%d\t%d\t%d\t%s%s\n", rank, k, entid, printable(name1).c_str(),
                    strongest(nd, intensities, dspacings).c_str());
    }
    if (std::fflush(stdout) != 0) return 1;
    return 0;
}

}  // namespace corvane::cli
