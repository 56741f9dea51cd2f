#include "entries/hitlist.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <numeric>

#include "setup/library.h"

namespace cv {
namespace {

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

int run_hitlist(std::span<const std::string> args) {
    if (args.size() != 1) {
        std::fputs("\nusage:\n", stderr);
        std::fputs("\thitlist <subfile>\n", stderr);
        return 1;
    }
    auto lib = std::make_unique<Library>();
    if (lib->cvl_init() != 0) {
        std::fputs("error initializing the TARN database\n", stderr);
        return 1;
    }
    if (lib->cvl_readbitmap(args[0] + '\0', 4) != 0) {
        std::fprintf(stderr, "error reading subfile %s\n", args[0].c_str());
        return 1;
    }

    std::array<char, 101> record{};
    for (int i = 1; lib->cvl_rephistory(i, record) == 1; ++i) {
        std::printf("history %d: %s\n", i, record.data());
    }
    std::printf("hits: %d\n", lib->cvl_rephits(0));

    int cur = 0;
    int rank = 0;
    for (int k = lib->cvl_nexthit(cur, rank, 0); k > 0; k = lib->cvl_nexthit(cur, rank, 0)) {
        cur = k;
        std::int32_t entid = 0, nd = 0, year = 0;
        LineValues<std::int32_t> intensities{};
        LineValues<float> dspacings{};
        std::string name1, name2, name3, name4, journal, volume, page, authors;
        if (lib->cvl_repkrx1(k, entid, nd, intensities, dspacings, name4, name3, name2, name1, year,
                             journal, volume, page, authors) != 0) {
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

}  // namespace cv
