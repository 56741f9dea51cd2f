// The database builder: turns a card file of KRX2 records into a complete
// database directory (krx2.dat, the KRX1 files kelpa.ind, name.lib, di.lib and
// ref.lib, pdsize.txt, the four code tables and a location file).
//
// A card file is a text file with one card a line. Every line must hold
// exactly 80 characters (a carriage return before the line end is dropped, so
// files written with CR LF line ends read the same); column 80 holds the card
// type. A record starts with a type-1 card and ends with its K card. Any fault
// is reported as "FILE:LINE: record R, card C (type T): what is wrong" on the
// error stream, and nothing at all is written when there is one.
//
// What the KRX1 files hold, per entry:
//   entid       the entry number of the first type-1 card, columns 73-78,
//               read as one integer (set 5, sequence 628 -> 50628)
//   name text 1 the chemical name: the first name card (type 6) with role "P"
//               in column 69, columns 1-67, joined with the next name card
//               when column 70 holds "C" (one blank between, none after "-")
//   name text 2 the mineral name: the first name card with role "M"
//   name text 3 the chemical formula: the first formula card (type 7),
//               columns 1-67, with its continuation card, all blanks removed
//               ("Ca C O3" -> "CaCO3")
//   name text 4 the other names: every name card with role "C", each joined
//               with its continuation cards, the names separated by "; "
//   reference   the pattern's reference card (type 9): the first whose source
//               code (columns 68-69) is blank, else the first with "KW", else
//               the first reference card. Journal code columns 1-6, volume
//               7-10, page 11-15 (each without its blanks at either end), the
//               author list columns 22-67 with up to two continuation cards
//               (column 70 "C") joined by one blank, the year columns 17-20
//               (blank: no year)
//   lines       the d-spacing lines of the I cards, three groups of 23
//               columns a card, in card order; a group whose d-spacing is 0
//               is no line; each d-spacing is stored as its angle code
//               (dtokrx), so it must be at least 0.770299
// Texts keep their markup ("$" codes and the like); the blanks around them
// are dropped.
//
// pdsize.txt holds five integers: the entry count, the number of cards in
// krx2.dat, and the sizes in bytes of name.lib, di.lib and ref.lib.
#pragma once

#include <array>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// The files of a database, composed in memory before anything is written.
struct KrxDatabase {
    std::int32_t entries = 0;
    std::string krx2;                     // krx2.dat: the cards back to back, no line ends
    std::string kelpa;                    // kelpa.ind: 20 bytes an entry
    std::string namelib;                  // name.lib
    std::string dilib;                    // di.lib
    std::string reflib;                   // ref.lib
    std::array<std::int32_t, 5> sizes{};  // the five numbers of pdsize.txt
};

// The names of the four code tables, copied from the table directory.
inline constexpr std::array<std::string_view, 4> kCodeTables = {"stdcodes.tbl", "mineral.tbl",
                                                                "picodes.tbl", "codens.tbl"};

// Checks the card file text (named fname in messages) and composes the
// database. Each fault writes one message line to err. Returns the number of
// faults found; db is complete only when that is 0.
int compose_database(std::string_view text, std::string_view fname, KrxDatabase& db,
                     std::ostream& err);

// Checks the four code tables of directory dir; their contents go to tables in
// the order of kCodeTables. Returns the number of faults (each reported to err).
int read_code_tables(const std::string& dir, std::array<std::string, 4>& tables, std::ostream& err);

// The whole builder: reads the card file, the code tables from tabledir (the
// card file's own directory when empty), and writes the database into outdir,
// which is created when missing. Returns 0, or 1 after its messages; on 1
// nothing has been created or changed.
int krxbuild(const std::string& cardfile, const std::string& outdir, const std::string& tabledir,
             std::ostream& err);

}  // namespace corvane
