// Start-up: database location and sizes, the database files, the full
// database as the current table and the first history record.
#include <corvane/hits/startup.h>
#include <corvane/hits/tables.h>
#include <corvane/setup/dbloc.h>
#include <corvane/setup/files.h>
#include <corvane/setup/messages.h>
#include <corvane/setup/text.h>

#include <cstdio>
#include <string>

namespace corvane {

int cvl_init(Library& lib, unsigned open) {
    auto& dbpath = lib.cv_path.dbpath;
    auto& dbsize = lib.cv_sizes.dbsize;
    std::ostream& out = lib.messages();
    const int status = cv_readdbloc(dbpath(2), dbpath(1), dbpath(3), dbsize(1), dbsize(2),
                                    dbsize(3), dbsize(4), dbsize(5));
    const std::string d1(trimmed(dbpath(2)));
    const std::string d2(trimmed(dbpath(1)));
    const std::string places = " on " + d1 + " or " + d2;
    switch (status) {
        case 0:
            break;
        case -1:
            errmsg(out, "cvl_init", "Unable to determine the locations of TARN database");
            return 1;
        case -2:
            std::fputs("\n", stdout);
            std::fflush(stdout);
            errmsg(out, "cvl_init", "Error reading the locations of TARN database");
            return 1;
        case -3:
            errmsg(out, "cvl_init", "Unable to open file pdsize.txt" + places);
            return 1;
        default:
            errmsg(out, "cvl_init", "Error reading file pdsize.txt" + places);
            return 1;
    }

    // Every hit table is sized by the entry count; one the tables cannot hold
    // (or a negative one) is refused before anything is opened.
    if (dbsize(1) < 0 || dbsize(1) > kMaxEntries) {
        errmsg(out, "cvl_init",
               "Entry count " + std::to_string(dbsize(1)) + " in pdsize.txt is not between 0 and " +
                   std::to_string(kMaxEntries));
        return 1;
    }

    const int krx2 = (open & kDbKrx2) != 0 ? cv_openkrx2(lib, "krx2.dat", dbpath(2), dbpath(1), 0)
                                           : cv_findkrx2("krx2.dat", dbpath(2), dbpath(1));
    if (krx2 == -1) {
        warnmsg(out, "cvl_init", "Unable to open file krx2.dat" + places);
    }

    struct Krx1File {
        unsigned bit;
        int (*open)(Library&, std::string_view, std::string_view);
        const char* name;
        const char* description;
    };
    static constexpr Krx1File kFiles[] = {
        {kDbIndex, &cv_openindex, "kelpa.ind", "KRX1 database index (kelpa.ind)"},
        {kDbNames, &cv_opennamlib, "name.lib", "KRX1 name file (name.lib)"},
        {kDbLines, &cv_opendilib, "di.lib", "KRX1 DI file (di.lib)"},
        {kDbRefs, &cv_openreflib, "ref.lib", "KRX1 reference file (ref.lib)"},
    };
    for (const auto& file : kFiles) {
        const int found = (open & file.bit) != 0 ? file.open(lib, dbpath(2), dbpath(1))
                                                 : cv_findfile(file.name, dbpath(2), dbpath(1));
        if (found != 0) {
            errmsg(out, "cvl_init",
                   std::string("Unable to open file ") + file.description + places);
            errmsg(out, "cvl_init", "Check paths in /usr/local/corvane.txtor ~/.corvane");
            errmsg(out, "cvl_init", "for correct database location");
            return 1;
        }
    }

    lib.cv_tables.nhits = tblset(lib.cv_tables.curtbl, dbsize(1));
    lib.cv_history.nhist = 1;
    lib.cv_history.histtx(1) = padded("Starting from full database", kHistLen);
    return 0;
}

}  // namespace corvane
