// Hit count, walks through the hits and the history as the tools see them.
#include <corvane/hits/report.h>
#include <corvane/hits/tables.h>
#include <corvane/setup/text.h>

#include <algorithm>

namespace corvane {

int cvl_rephits(Library& lib, int which) {
    const std::int32_t n = lib.cv_sizes.dbsize(1);
    if (which != 0) return n;
    return tblcount(lib.cv_tables.curtbl, n);
}

int cvl_nexthit(Library& lib, int& cur, int& rank, int direction) {
    const std::int32_t n = lib.cv_sizes.dbsize(1);
    const auto& table = lib.cv_tables.curtbl;
    auto is_hit = [&](int k) { return tblbittest(table, k, n) == 1; };

    if (cur < 0) {
        // Jump by rank; a rank that does not exist falls back to a walk from
        // the end the direction starts at.
        int seen = 0;
        for (int k = 1; k <= n; ++k) {
            if (is_hit(k) && ++seen == rank) return k;
        }
        cur = 0;
    }
    if (direction == 0) {
        if (cur == 0) rank = 0;
        if (cur >= n) return -1;  // nothing after the last entry (and no overflow)
        for (int k = cur + 1; k <= n; ++k) {
            if (is_hit(k)) {
                ++rank;
                return k;
            }
        }
        return -1;
    }
    int start = 0;
    if (cur == 0) {
        rank = tblcount(table, n) + 1;
        start = n;
    } else {
        start = std::min(cur - 1, n);
    }
    for (int k = start; k >= 1; --k) {
        if (is_hit(k)) {
            --rank;
            return k;
        }
    }
    return -1;
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
