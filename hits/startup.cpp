// Start-up: database location and sizes, the database files, the full
// database as the current table and the first history record.
#include <cstdio>
#include <string>

#include "hits/tables.h"
#include "setup/dbloc.h"
#include "setup/library.h"
#include "setup/messages.h"
#include "setup/text.h"

namespace cv {

int Library::cvl_init() {
    auto& dbpath = cv_path.dbpath;
    auto& dbsize = cv_sizes.dbsize;
    // dbpath[1] holds line 1 of the location file, dbpath[0] line 2.
    const int status = cv_readdbloc(dbpath[1], dbpath[0], dbpath[2], dbsize[0], dbsize[1],
                                    dbsize[2], dbsize[3], dbsize[4]);
    const std::string d1(trimmed(dbpath[1]));
    const std::string d2(trimmed(dbpath[0]));
    const std::string places = " on " + d1 + " or " + d2;
    switch (status) {
        case 0:
            break;
        case -1:
            errmsg("cvl_init", "Unable to determine the locations of TARN database");
            return 1;
        case -2:
            std::fputs("\n", stdout);
            std::fflush(stdout);
            errmsg("cvl_init", "Error reading the locations of TARN database");
            return 1;
        case -3:
            errmsg("cvl_init", "Unable to open file pdsize.txt" + places);
            return 1;
        default:
            errmsg("cvl_init", "Error reading file pdsize.txt" + places);
            return 1;
    }

    // Every hit table is sized by the entry count; one the tables cannot hold
    // (or a negative one) is refused before anything is opened.
    if (dbsize[0] < 0 || dbsize[0] > kMaxEntries) {
        errmsg("cvl_init", "Entry count " + std::to_string(dbsize[0]) +
                               " in pdsize.txt is not between 0 and " +
                               std::to_string(kMaxEntries));
        return 1;
    }

    if (cv_openkrx2("krx2.dat", dbpath[1], dbpath[0], 0) == -1) {
        warnmsg("cvl_init", "Unable to open file krx2.dat" + places);
    }

    struct Krx1File {
        int (Library::*open)(std::string_view, std::string_view);
        const char* description;
    };
    static constexpr Krx1File kFiles[] = {
        {&Library::cv_openindex, "KRX1 database index (kelpa.ind)"},
        {&Library::cv_opennamlib, "KRX1 name file (name.lib)"},
        {&Library::cv_opendilib, "KRX1 DI file (di.lib)"},
        {&Library::cv_openreflib, "KRX1 reference file (ref.lib)"},
    };
    for (const auto& file : kFiles) {
        if ((this->*file.open)(dbpath[1], dbpath[0]) != 0) {
            errmsg("cvl_init", std::string("Unable to open file ") + file.description + places);
            errmsg("cvl_init", "Check paths in /usr/local/corvane.txtor ~/.corvane");
            errmsg("cvl_init", "for correct database location");
            return 1;
        }
    }

    cv_tables.nhits = tblset(cv_tables.curtbl, dbsize[0]);
    cv_history.nhist = 1;
    cv_history.histtx[0] = padded("Starting from full database", kHistLen);
    return 0;
}

}  // namespace cv
