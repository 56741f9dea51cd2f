// The one table routine that works on the library's own tables and history.
#include <corvane/hits/tables.h>
#include <corvane/setup/text.h>

#include <string>

namespace corvane {

// When the history already holds 100 records the step's record is dropped (the
// first 100 records are kept); the tables are merged all the same.
int tbllogic(Library& lib, int op, std::string_view text) {
    const std::int32_t n = lib.cv_sizes.dbsize(1);
    auto& cur = lib.cv_tables.curtbl;
    auto& wrk = lib.cv_tables.wrktbl;
    std::string_view prefix;
    switch (op) {
        case 0:
            tbland(wrk, cur, cur, n);
            prefix = "Match by ";
            break;
        case 1:
            tblor(wrk, cur, cur, n);
            prefix = "Combine using ";
            break;
        case 2:
            // curtbl AND NOT wrktbl; the work table is left complemented.
            tblnot(wrk, wrk, n);
            tbland(wrk, cur, cur, n);
            prefix = "Remove matching ";
            break;
        case 3:
            // wrktbl AND NOT curtbl, complementing the current table in place.
            tblnot(cur, cur, n);
            tbland(wrk, cur, cur, n);
            prefix = "Remove entries in table from ";
            break;
        default:
            break;
    }
    auto& history = lib.cv_history;
    if (!prefix.empty() && history.nhist >= 0 && history.nhist < kMaxHistory) {
        ++history.nhist;
        history.histtx(history.nhist) = padded(std::string(prefix) + std::string(text), kHistLen);
    }
    lib.cv_tables.nhits = tblcount(cur, n);
    return lib.cv_tables.nhits;
}

}  // namespace corvane
