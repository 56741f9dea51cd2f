// The one table routine that works on the library's own tables and history.
#include <string>

#include "hits/tables.h"
#include "setup/library.h"
#include "setup/text.h"

namespace cv {

// When the history already holds 100 records the step's record is dropped (the
// first 100 records are kept); the tables are merged all the same.
int Library::tbllogic(int op, std::string_view text) {
    const std::int32_t n = cv_sizes.dbsize[0];
    auto& cur = cv_tables.curtbl;
    auto& wrk = cv_tables.wrktbl;
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
    auto& history = cv_history;
    if (!prefix.empty() && history.nhist >= 0 && history.nhist < kMaxHistory) {
        history.histtx[static_cast<std::size_t>(history.nhist)] =
            padded(std::string(prefix) + std::string(text), kHistLen);
        ++history.nhist;
    }
    cv_tables.nhits = tblcount(cur, n);
    return cv_tables.nhits;
}

}  // namespace cv
