// Hit tables, their merges, the hit count, walks and history records.
#include "support/support.h"

namespace {

using Table = std::array<std::uint32_t, 4>;
using Words = std::array<std::uint32_t, 3>;
constexpr std::uint32_t J = 0xA5A5A5A5u;  // junk: a word no routine may touch
constexpr std::uint32_t F = 0xFFFFFFFFu;

// A library over n entries, its current table starting with the words given.
std::unique_ptr<corvane::Library> library(int n, const Words& words) {
    auto lib = std::make_unique<corvane::Library>();
    lib->cv_sizes.dbsize(1) = n;
    for (std::size_t i = 0; i < words.size(); ++i) lib->cv_tables.curtbl[i] = words[i];
    return lib;
}

constexpr Words kFiveAnd65 = {0x10u, 0, 0x80000001u};

}  // namespace

// Words in use and spare bits: 33 entries use two words, bit 0 of word 1 the
// last entry and bits 1-31 spare; 40 entries leave bits 8-31 of word 1 spare.
TEST(Tables, WholeWordsAndSpareBits) {
    const struct {
        char op;  // s tblset, z tblclr, c tblcount, n tblnot, y tblcopy, o tblor, a tbland
        int n;
        Table a, b, want;  // want: a after s and z, else the output table
        int result;        // of s, z and c
    } cases[] = {
        {'s', 0, {J, J, J, J}, {}, {J, J, J, J}, 0},  // no entries: no word touched
        {'n', 0, {0, 0, 0, 0}, {}, {J, J, J, J}, -1},
        {'s', 33, {0, 0x80000000u, J, J}, {}, {F, 0x80000001u, J, J}, 33},  // spare bit kept
        {'z', 40, {J, J, J, J}, {}, {0, 0, J, J}, 0},
        {'c', 65, {F, 0, 0x80000001u, F}, {}, {F, 0, 0x80000001u, F}, 34},  // spare bit counted
        {'n', 40, {0x0000FFFFu, 0xF0000F0Fu, 0, 0}, {}, {0xFFFF0000u, 0xF0000FF0u, J, J}, -1},
        {'y', 40, {1, 0xF0000F0Fu, 2, 3}, {}, {1, 0xF0000F0Fu, J, J}, -1},
        {'o', 40, {0x0000FFFFu, 0xF0000F0Fu}, {1, 0x01000001u}, {0xFFFF, 0xF1000F0Fu, J, J}, -1},
        {'a', 40, {0x0000FFFFu, 0xF0000F0Fu}, {1, 0x01000001u}, {1, 0x00000001u, J, J}, -1},
    };
    for (const auto& c : cases) {
        Table a = c.a, out = {J, J, J, J};
        int result = -1;
        if (c.op == 's') result = corvane::tblset(a, c.n), out = a;
        if (c.op == 'z') result = corvane::tblclr(a, c.n), out = a;
        if (c.op == 'c') result = corvane::tblcount(a, c.n), out = a;
        if (c.op == 'n') corvane::tblnot(a, out, c.n);
        if (c.op == 'y') corvane::tblcopy(a, out, c.n);
        if (c.op == 'o') corvane::tblor(a, c.b, out, c.n);
        if (c.op == 'a') corvane::tbland(a, c.b, out, c.n);
        EXPECT_EQ(out, c.want) << c.op << " " << c.n;
        EXPECT_EQ(result, c.result) << c.op << " " << c.n;
    }
}

TEST(Tables, SingleEntriesUpToNAndNeverPastTheTableGiven) {
    Table t = {0, 0x00000004u, J, J};  // entry 35, a spare bit when n = 34
    for (int k : {1, 32, 34, 35}) corvane::tblbitset(t, k, 34, k == 32 ? 5 : 1);  // 35: beyond n
    EXPECT_EQ(t, (Table{0x80000001u, 0x00000006u, J, J}));
    EXPECT_EQ(corvane::tblbittest(t, 32, 34) * 100 + corvane::tblbittest(t, 31, 34) * 10 +
                  corvane::tblbittest(t, 35, 34),
              99);  // 1, 0, -1
    corvane::tblbitset(t, 32, 34, 0);
    EXPECT_EQ(t[0], 0x00000001u);
    // A count larger than the table is held to the table; a negative count is
    // no entries at all: the guard words around a two-word table stay.
    std::span<std::uint32_t> two(t.data() + 1, 2);
    corvane::tblset(two, 1000);
    corvane::tblnot(two, two, 1000);
    corvane::tblbitset(two, 65, 1000, 1);
    corvane::tblsetrun(two, 1, 1000, 1000);
    corvane::tblclr(two, 1000);
    corvane::tblset(two, -5);
    EXPECT_EQ(t, (Table{1, 0, 0, J}));
    EXPECT_EQ(corvane::tblbittest(two, 65, 1000) + corvane::tblcount(two, 1000), 0);
}

// Runs are cut at n and at the table; a spare bit is no entry, set or clear.
TEST(Tables, RunsAndScansByWords) {
    const struct {
        int first, last, n;
        Words words;
    } runs[] = {
        {5, 9, 96, {0x8000000Du | 0x1F0u, 0, 0}},  // bits 0, 2, 3 and 31 were set
        {30, 35, 96, {0xE000000Du, 0x7u, 0}},
        {33, 96, 80, {0x8000000Du, F, 0xFFFFu}},  // cut at n
        {0, 2, 96, {0x8000000Fu, 0, 0}},          // from entry 1
        {10, 5, 96, {0x8000000Du, 0, 0}},
        {-5, 1000, 1000, {F, F, F}},  // cut at the table
    };
    for (const auto& c : runs) {
        Words t = {0x8000000Du, 0, 0};
        corvane::tblsetrun(t, c.first, c.last, c.n);
        EXPECT_EQ(t, c.words) << c.first << "-" << c.last << " of " << c.n;
    }
    const Words t = {0x10u, 0, 0x80000001u}, ones = {F, F, F};  // entries 5, 65 and 96
    const struct {
        const Words& table;
        int from, n, value, found;  // value -1: tblprevbit
    } scans[] = {
        {t, 6, 96, 1, 65},     {t, 66, 96, 1, 96},  {t, 97, 96, 1, -1}, {t, -3, 96, 1, 5},
        {t, 66, 70, 1, -1},    {t, 5, 96, 0, 6},    {t, 66, 70, 0, 66}, {t, 71, 70, 0, -1},
        {ones, 1, 70, 0, -1},  {t, 95, 96, -1, 65}, {t, 64, 96, -1, 5}, {t, 4, 96, -1, -1},
        {t, 1000, 70, -1, 65}, {t, 0, 96, -1, -1},
    };
    for (const auto& c : scans) {
        EXPECT_EQ(c.value < 0 ? corvane::tblprevbit(c.table, c.from, c.n)
                              : corvane::tblnextbit(c.table, c.from, c.n, c.value),
                  c.found)
            << "from " << c.from << " of " << c.n << " value " << c.value;
    }
}

// 40 entries: current 1-3, 33 and spare bit 8; work 3, 4, 34, 40 and spare
// bit 31. A complement keeps the spare bits of the table it inverts.
TEST(TblLogic, OperationsRecordsAndCount) {
    const std::string q120(120, 'q');
    const struct {
        int op;
        std::string text;
        Table want;  // current and work table
        int count;
        std::string record;  // record 2, or "" for none
    } cases[] = {
        {0, "z", {0x4u, 0x0u, 0xCu, 0x80000082u}, 1, "Match by z"},
        {1, q120, {0xFu, 0x80000183u, 0xCu, 0x80000082u}, 9, "Combine using " + q120},
        {2, "z", {0x3u, 0x1u, 0xFFFFFFF3u, 0x8000007Du}, 3, "Remove matching z"},
        {3, "z  ", {0x8u, 0x82u, 0xCu, 0x80000082u}, 3, "Remove entries in table from z"},
        {5, "z", {0x7u, 0x101u, 0xCu, 0x80000082u}, 5, ""},  // no step: only the count
    };
    for (const auto& c : cases) {
        auto lib = library(40, {0x7u, 0x101u, F});
        lib->cv_history.nhist = 1;
        auto& t = lib->cv_tables;
        t.wrktbl = {0xCu, 0x80000082u};
        EXPECT_EQ(tbllogic(*lib, c.op, c.text), c.count) << c.op;
        EXPECT_EQ(t.nhits, c.count);
        EXPECT_EQ((Table{t.curtbl[0], t.curtbl[1], t.wrktbl[0], t.wrktbl[1]}), c.want) << c.op;
        EXPECT_EQ(t.curtbl[2], F);
        EXPECT_EQ(lib->cv_history.nhist, c.record.empty() ? 1 : 2);
        EXPECT_EQ(lib->cv_history.histtx(2), cvtest::record(c.record));  // blank without a step
    }
}
TEST(RepHits, CountsTheCurrentTableOrGivesTheDatabaseSize) {
    auto lib = library(10, {(1u << 4) | (1u << 8)});
    lib->cv_tables.nhits = 77;
    EXPECT_EQ(cvl_rephits(*lib, 0), 2);
    EXPECT_EQ(cvl_rephits(*lib, -3), 10);
    EXPECT_EQ(lib->cv_tables.nhits, 77);  // counting does not store
}

// Hits at 5 and 65 of 70 (96 a spare bit): the backward start counts the
// spare bit, as tblcount does; no walk returns it.
TEST(NextHit, WalksAndJumps) {
    const struct {
        int n;
        Words words;
        int cur, rank, direction;
        int hit, rank_after, cur_after;  // cur changes only when a jump finds no such rank
    } cases[] = {
        {70, kFiveAnd65, 0, 42, 0, 5, 1, 0},
        {70, kFiveAnd65, 5, 1, 0, 65, 2, 5},
        {70, kFiveAnd65, 65, 2, 0, -1, 2, 65},
        {70, kFiveAnd65, 0, 0, 1, 65, 3, 0},
        {70, kFiveAnd65, 65, 3, -1, 5, 2, 65},
        {70, kFiveAnd65, -1, 2, 0, 65, 2, -1},
        {70, kFiveAnd65, -1, 3, 0, 5, 1, 0},
        {10, {}, -1, 1, 0, -1, 0, 0},  // an empty table has no hit anywhere
        // 3 entries: entry 1 and spare bits, which are no entries
        {3, {0xFFFFFFF9u}, 1, 1, 0, -1, 1, 1},
        {3, {0xFFFFFFF9u}, INT_MAX, 1, 0, -1, 1, INT_MAX},
        {3, {0xFFFFFFF9u}, 50, 5, 1, 1, 4, 50},
    };
    for (const auto& c : cases) {
        auto lib = library(c.n, c.words);
        int cur = c.cur, rank = c.rank;
        EXPECT_EQ(cvl_nexthit(*lib, cur, rank, c.direction), c.hit) << c.cur << " " << c.rank;
        EXPECT_EQ(rank, c.rank_after) << c.cur << " " << c.rank;
        EXPECT_EQ(cur, c.cur_after) << c.cur << " " << c.rank;
    }
}

TEST(RepHistory, DeliversRecordsAsTerminatedTexts) {
    corvane::Library lib;
    lib.cv_history.nhist = 2;
    lib.cv_history.histtx(1) = "Starting from full database" + std::string(73, ' ');
    lib.cv_history.histtx(2) = std::string(100, 'h');
    std::array<char, 101> text;
    text.fill('#');
    EXPECT_EQ(cvl_rephistory(lib, 0, text) + cvl_rephistory(lib, 3, text), 0);
    EXPECT_EQ(text[0], '#');
    EXPECT_EQ(cvl_rephistory(lib, 1, text), 1);
    EXPECT_STREQ(text.data(), "Starting from full database");
    EXPECT_EQ(cvl_rephistory(lib, 2, text), 1);
    EXPECT_EQ(std::strlen(text.data()), 100u);
}
