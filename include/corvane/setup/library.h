// The library's process-wide state: one object that a tool creates once and
// hands to every routine of the library.
//
// The records keep the names they have throughout the suite; their members are
// plain data, so a test can build a fresh Library and look inside. What reads
// and writes them is declared by the subsystem that does it:
//   <corvane/setup/files.h>      the database files' open and close routines
//   <corvane/hits/startup.h>     cvl_init
//   <corvane/hits/tables.h>      the table routines and tbllogic
//   <corvane/hits/subfile.h>     subfiles: cvl_savebitmap, cvl_readbitmap
//   <corvane/hits/report.h>      cvl_rephits, cvl_nexthit, cvl_rephistory
//   <corvane/entries/krx1.h>     the KRX1 readers
//   <corvane/entries/krx2.h>     the KRX2 record reader
//   <corvane/entries/reports.h>  cvl_repkrx1, cvrepdi
//   <corvane/entries/search.h>   cv_srchlibs
//   <corvane/card/repkrx2.h>     cvl_repkrx2, the full-card report
//
// Numbering: every record is numbered from 1, as the routines talk about them
// (Vec1): dbpath(1..3), dbsize(1..5), histtx(1..100). Only the hit tables are
// arrays of words numbered from 0, as their bit layout is.
#pragma once

#include <corvane/setup/vec1.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <string>

namespace corvane {

// Capacity of a hit table: 7813 words of 32 bits, 250,016 entries.
inline constexpr int kTableWords = 7813;
inline constexpr int kMaxEntries = kTableWords * 32;
// The search history holds at most this many records of kHistLen characters.
inline constexpr int kMaxHistory = 100;
inline constexpr int kHistLen = 100;

// The three database directories from the location file:
//   dbpath(2)  location line 1, the first directory searched
//   dbpath(1)  location line 2, the second directory searched (it may also
//              name krx2.dat itself)
//   dbpath(3)  location line 3, stored only
// Paths are kept whole, without a terminator.
struct CvPath {
    Vec1<std::string, 3> dbpath;
};

// The five numbers of pdsize.txt; dbsize(1) is the number of entries.
struct CvSizes {
    Vec1<std::int32_t, 5> dbsize{};
};

// The current and work hit tables. Entry k is bit (k-1) mod 32, counted from
// the least significant bit, of word (k-1)/32 (words numbered from 0).
struct CvTables {
    std::int32_t nhits = 0;
    std::array<std::uint32_t, kTableWords> curtbl{};
    std::array<std::uint32_t, kTableWords> wrktbl{};
};

// The search history: records 1..nhist in use, each kHistLen characters,
// blank-padded, not terminated.
struct CvHistory {
    std::int32_t nhist = 0;
    Vec1<std::string, kMaxHistory> histtx;
    CvHistory() { histtx.fill(std::string(kHistLen, ' ')); }
};

// The full-card report's record: the cards of the record loaded last, back to
// back (card i at characters (i-1) x 80 to i x 80 - 1), and their number.
// Cards beyond nlines are stale.
struct CvKrx2Record {
    static constexpr int kCards = 135;
    static constexpr int kBufLen = kCards * 80;
    std::array<char, kBufLen> buffer{};
    std::int32_t nlines = 0;
};

class Library {
  public:
    Library() = default;
    // Closes every database file still open.
    ~Library();
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    // The stream that receives the library's message lines (errmsg, errcode,
    // warnmsg); standard error unless the caller sets another.
    std::ostream& messages() const { return *messages_; }
    void set_messages(std::ostream& out) { messages_ = &out; }

    CvPath cv_path;
    CvSizes cv_sizes;
    CvTables cv_tables;
    CvHistory cv_history;
    CvKrx2Record cv_krx2rec;

    // Database stream handles: empty (nullptr) or open for reading.
    std::array<std::FILE*, 4> fcdrom{};
    std::FILE* findex = nullptr;
    std::FILE* fnamlib = nullptr;
    std::FILE* fdilib = nullptr;
    std::FILE* freflib = nullptr;
    std::FILE* fbitmap = nullptr;

  private:
    std::ostream* messages_ = &std::cerr;
};

}  // namespace corvane
