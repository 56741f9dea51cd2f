// The database builder: turns a card file of KRX2 records into a complete
// database directory: krx2.dat, the KRX1 files kelpa.ind, name.lib, di.lib
// and ref.lib, pdsize.txt, the d-spacing bit libraries dall.lib and
// dtop3.lib, the four code tables and a location file, tarnloc.txt, whose
// three lines are the directory's absolute path followed by "/".
//
// The card file is read once, record by record: each record is checked
// (cardfile.h, entry.h) and, as long as no fault has been found, written at
// once to the new database (database.h, bitlib.h), so memory holds one record
// and the bit libraries, never the database. Every fault is reported and the
// whole file is checked; a build with any fault, or any failed file call,
// leaves the target directory as it was (dbdir.h).
#pragma once

#include <corvane/builder/database.h>
#include <corvane/setup/library.h>

#include <array>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

namespace corvane::builder {

// The files of a database composed in memory.
struct KrxDatabase {
    std::string krx2, kelpa, namelib, dilib, reflib;  // krx2.dat ... ref.lib
    std::string dall, dtop3;                          // the bit libraries
    std::array<std::int32_t, 5> sizes{};              // the numbers of pdsize.txt
};

// How large a database may grow: at most max_entries records (the capacity of
// a hit table) and files of at most max_file_size bytes (the largest offset
// kelpa.ind can hold). Smaller limits serve tests.
struct BuildLimits {
    std::int32_t max_entries = kMaxEntries;
    std::int64_t max_file_size = DatabaseWriter::kMaxFileSize;
};

// Checks the card file text (named fname in messages) and composes its
// database in memory. Returns the number of faults, each a message line on
// err when it is given; db is complete only when that is 0.
int compose_database(std::string_view text, std::string_view fname, KrxDatabase& db,
                     std::ostream* err, const BuildLimits& limits = {});

// The whole builder: reads the card file and the code tables of tabledir (the
// card file's own directory when empty) and puts the database in place of
// outdir, which is created when missing. Returns 0, or 1 after its messages
// with outdir as it was.
int krxbuild(const std::string& cardfile, const std::string& outdir, const std::string& tabledir,
             std::ostream& err);

}  // namespace corvane::builder
