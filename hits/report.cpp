// Hit count, walks through the hits and the history as the tools see them.
#include <corvane/hits/report.h>
#include <corvane/hits/tables.h>
#include <corvane/setup/text.h>

#include <algorithm>
#include <bit>
#include <cstdint>

namespace corvane {

int cvl_rephits(Library& lib, int which) {
    const std::int32_t n = lib.cv_sizes.dbsize(1);
    if (which != 0) return n;
    return tblcount(lib.cv_tables.curtbl, n);
}

// Every scan works a word at a time: a popcount per word for the jump by rank,
// the first or last set bit of a word for the steps.
int cvl_nexthit(Library& lib, int& cur, int& rank, int direction) {
    const std::int32_t n = lib.cv_sizes.dbsize(1);
    const auto& table = lib.cv_tables.curtbl;

    if (cur < 0) {
        // Jump by rank: the rank-th hit among entries 1..n (never a spare bit,
        // nor a bit past the table); a rank that does not exist falls back to
        // a walk from the end the direction starts at.
        const long long capacity = static_cast<long long>(table.size()) * 32;
        const auto m = static_cast<int>(std::clamp<long long>(n, 0, capacity));
        const auto words = static_cast<std::size_t>(m + 31) / 32;
        int seen = 0;
        for (std::size_t w = 0; rank >= 1 && w < words; ++w) {
            std::uint32_t bits = table[w];
            if (w + 1 == words && m % 32 != 0) bits &= (std::uint32_t{1} << (m % 32)) - 1u;
            const int here = std::popcount(bits);
            if (rank - seen <= here) {
                // Drop the hits before the wanted one, then take the lowest.
                for (int skip = rank - seen - 1; skip > 0; --skip) bits &= bits - 1u;
                return static_cast<int>(w * 32) + std::countr_zero(bits) + 1;
            }
            seen += here;
        }
        cur = 0;
    }
    if (direction == 0) {
        if (cur == 0) rank = 0;
        if (cur >= n) return -1;  // nothing after the last entry (and no overflow)
        const int k = tblnextbit(table, cur + 1, n, 1);
        if (k < 0) return -1;
        ++rank;
        return k;
    }
    int start = 0;
    if (cur == 0) {
        rank = tblcount(table, n) + 1;
        start = n;
    } else {
        start = std::min(cur - 1, n);
    }
    const int k = tblprevbit(table, start, n);
    if (k < 0) return -1;
    --rank;
    return k;
}

int cvl_rephistory(Library& lib, int i, std::array<char, 101>& text) {
    if (i < 1 || i > lib.cv_history.nhist || i > kMaxHistory) return 0;
    const std::string& record = lib.cv_history.histtx(i);
    const std::string field = padded(record, kHistLen) + ' ';
    std::copy(field.begin(), field.end(), text.begin());
    // The record as a terminated text: a NUL right after its significant part.
    const int length = lench(std::string_view(text.data(), text.size()));
    text[static_cast<std::size_t>(length)] = '\0';
    return 1;
}

}  // namespace corvane
