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
#include <span>
#include <string>
#include <string_view>

namespace cv {

// Capacity of a hit table: 7813 words of 32 bits, 250,016 entries.
inline constexpr int kTableWords = 7813;
inline constexpr int kMaxEntries = kTableWords * 32;
// The search history holds at most this many records of kHistLen characters.
inline constexpr int kMaxHistory = 100;
inline constexpr int kHistLen = 100;

// An entry has at most this many diffraction lines (a one-byte count).
inline constexpr int kMaxLines = 255;
template <typename T>
using LineValues = std::array<T, kMaxLines>;

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
    // The KRX1 readers (entries/krx1.cpp). Every one positions its stream
    // absolutely; -1 when the stream is empty or cannot be positioned, or when
    // the record is cut off by the end of its file (offsets then grow only by
    // the bytes that arrived, and no output is changed).
    int cv_readindex(std::int32_t entry, std::int32_t& entid, std::int32_t& namoff,
                     std::int32_t& dioff, std::int32_t& refoff, std::int32_t& recoff);
    // The four name texts, whole (0 to 255 characters each).
    int cv_readnamlib(std::int32_t& offset, std::string& text1, std::string& text2,
                      std::string& text3, std::string& text4);
    // Year 1900 + Y, or 0 when Y is 127; journal code, volume, page, authors.
    int cv_readreflib(std::int32_t& offset, std::int32_t& year, std::string& text1,
                      std::string& text2, std::string& text3, std::string& text4);
    // The line count and the big-endian code bytes and intensity bytes as
    // stored; count is 0 unless the whole record arrived.
    int cv_readdilib(std::int32_t& offset, std::array<unsigned char, kMaxLines * 2>& codes,
                     std::array<unsigned char, kMaxLines>& intensities, std::int32_t& count);
    // Record k of the bit library: (nbits + 31) / 32 words as stored; -1 when
    // words holds fewer.
    int cv_readbitlib(std::int32_t k, std::span<std::uint32_t> words, std::int32_t nbits);
    // One KRX2 record from fcdrom[volume] (entries/krx2.cpp): 0 through its "K"
    // card, -1 unpositioned or a card cut off, -2 maxlen (or the buffer's own
    // size) reached first.
    int cv_readkrx2(std::int32_t& offset, std::int32_t& nread, std::int32_t maxlen,
                    std::span<char> buffer, std::int32_t volume);

    // Entry summaries (entries/reports.cpp): 0, or -1 index, -2 names, -3 lines,
    // -4 reference, after a "cvl_RepKRX1" / "cvRepDI" error line. The name texts
    // stand in reverse order; every text output holds its whole stored text.
    int cvl_repkrx1(std::int32_t entry, std::int32_t& entid, std::int32_t& nd,
                    LineValues<std::int32_t>& intensities, LineValues<float>& dspacings,
                    std::string& name4, std::string& name3, std::string& name2,
                    std::string& name1, std::int32_t& year, std::string& journal,
                    std::string& volume, std::string& page, std::string& authors);
    int cvrepdi(std::int32_t entry, std::int32_t& nd, LineValues<std::int32_t>& intensities,
                LineValues<std::int32_t>& codes);

    // Text search of one entry (entries/search.cpp): 1 match, 0 none, -1 when a
    // library cannot be positioned or the record is cut off. count >= 0: any of
    // count strings; count < 0: all of -count strings (never more than
    // strings.size()). flags: name 4, name 1, name 3, name 2, authors, journal.
    int cv_srchlibs(std::int32_t& namoff, std::int32_t& refoff,
                    std::span<const std::string> strings, std::int32_t count,
                    const std::array<std::int32_t, 6>& flags);

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
