// The library's process-wide state and its services.
//
// A tool creates one Library and calls cvl_init on it before anything else.
// The records keep the names they have throughout the suite; their members are
// plain data so a test can build a fresh Library and look inside.
//
// The services are implemented beside the subsystem they belong to: start-up
// and the file handles in setup/ and hits/startup.cpp, tables, subfiles and
// history in hits/, entry readers and searches in entries/.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace cv {

// Capacity of a hit table: 7813 words of 32 bits, 250,016 entries.
inline constexpr int kTableWords = 7813;
inline constexpr int kMaxEntries = kTableWords * 32;
// The search history holds at most this many records of kHistLen characters.
inline constexpr int kMaxHistory = 100;
inline constexpr int kHistLen = 100;

// The three database directories from the location file. dbpath[1] (line 1)
// is searched first, dbpath[0] (line 2) second; dbpath[2] (line 3) is only
// stored. Paths are kept whole, without a terminator.
struct CvPath {
    std::array<std::string, 3> dbpath;
};

// The five numbers of pdsize.txt; dbsize[0] is the number of entries.
struct CvSizes {
    std::array<std::int32_t, 5> dbsize{};
};

// The current and work hit tables. Entry k is bit (k-1) mod 32, counted from
// the least significant bit, of word (k-1)/32.
struct CvTables {
    std::int32_t nhits = 0;
    std::array<std::uint32_t, kTableWords> curtbl{};
    std::array<std::uint32_t, kTableWords> wrktbl{};
};

// The search history: nhist records in use, each kHistLen characters,
// blank-padded, not terminated.
struct CvHistory {
    std::int32_t nhist = 0;
    std::array<std::string, kMaxHistory> histtx;
    CvHistory() { histtx.fill(std::string(kHistLen, ' ')); }
};

class Library {
public:
    Library() = default;
    ~Library();
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    // ---- start-up and database files --------------------------------------
    // 0 when the database is ready, 1 otherwise (after its messages).
    int cvl_init();

    // Open routines: 0, or -1 when no candidate opens (a candidate that is not
    // a regular file counts as one that does not open).
    int cv_openkrx2(std::string_view name, std::string_view dir_a, std::string_view dir_b,
                    int slot);
    int cv_openindex(std::string_view dir_a, std::string_view dir_b);
    int cv_opennamlib(std::string_view dir_a, std::string_view dir_b);
    int cv_opendilib(std::string_view dir_a, std::string_view dir_b);
    int cv_openreflib(std::string_view dir_a, std::string_view dir_b);
    int cv_openbitlib(std::string_view name, std::string_view dir_a, std::string_view dir_b);
    void cv_closekrx2(int slot);
    void cv_closeindex();
    void cv_closenamlib();
    void cv_closedilib();
    void cv_closereflib();
    void cv_closebitlib();

    // ---- hit tables, subfiles, history (hits/) -----------------------------
    // Merges wrktbl into curtbl by op 0..3, appends a history record made of
    // the step's prefix and text, recounts nhits and returns it.
    int tbllogic(int op, std::string_view text);
    // 0, or -1 after the warning and code lines.
    int cvl_savebitmap(std::string_view name);
    // 0; -1 when the file cannot be read; -2 when its table has another size.
    // op 0..3 merges with tbllogic, 4 (or more) loads.
    int cvl_readbitmap(std::string_view name, int op);
    int cvl_rephits(int which);
    int cvl_nexthit(int& cur, int& rank, int direction);
    // 1 and the record as a terminated text in a field of 101 characters, or 0.
    int cvl_rephistory(int i, std::array<char, 101>& text);

    // ---- entries (entries/) -------------------------------------------------

    // ---- state --------------------------------------------------------------
    CvPath cv_path;
    CvSizes cv_sizes;
    CvTables cv_tables;
    CvHistory cv_history;

    // Database stream handles: empty (nullptr) or open for reading.
    std::array<std::FILE*, 4> fcdrom{};
    std::FILE* findex = nullptr;
    std::FILE* fnamlib = nullptr;
    std::FILE* fdilib = nullptr;
    std::FILE* freflib = nullptr;
    std::FILE* fbitmap = nullptr;
};

}  // namespace cv
