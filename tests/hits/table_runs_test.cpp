// Runs of entries set a word at a time, and the word-at-a-time scans for the
// next or previous hit that the walks through a table are built on.
#include <corvane/corvane.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace {

using Words3 = std::array<std::uint32_t, 3>;

TEST(TableRuns, SetRunKeepsToTheEntriesAndTheTable) {
    const struct {
        int first, last, n;
        Words3 words;
    } cases[] = {
        {1, 32, 96, {0xFFFFFFFFu, 0, 0}},
        {5, 9, 96, {0x1F0u, 0, 0}},
        {30, 35, 96, {0xE0000000u, 0x7u, 0}},
        {33, 96, 80, {0, 0xFFFFFFFFu, 0xFFFFu}},  // cut at n
        {0, 2, 96, {0x3u, 0, 0}},                 // from entry 1
        {10, 5, 96, {0, 0, 0}},
        {81, 90, 80, {0, 0, 0}},
        {-5, 1000, 1000, {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu}},  // cut at the table
    };
    for (const auto& c : cases) {
        Words3 t{};
        corvane::tblsetrun(t, c.first, c.last, c.n);
        EXPECT_EQ(t, c.words) << c.first << "-" << c.last << " of " << c.n;
    }
    // Bits already set stay set; the run is ORed in.
    Words3 t = {0x80000001u, 0, 0};
    corvane::tblsetrun(t, 3, 4, 96);
    EXPECT_EQ(t, (Words3{0x8000000Du, 0, 0}));
}

TEST(TableRuns, NextAndPreviousEntryByWords) {
    // Entries 5, 65 and 96 set.
    const Words3 t = {0x10u, 0, 0x80000001u};
    const Words3 ones = {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};
    struct Case {
        const Words3& table;
        int from, n, value, next;
    };
    const std::vector<Case> next = {
        {t, 1, 96, 1, 5},     {t, 6, 96, 1, 65},    {t, 66, 96, 1, 96}, {t, 97, 96, 1, -1},
        {t, -3, 96, 1, 5},    {t, 66, 70, 1, -1},  // entry 96 is a spare bit of 70
        {t, 1, 96, 0, 1},     {t, 5, 96, 0, 6},     {t, 66, 70, 0, 66}, {t, 71, 70, 0, -1},
        {ones, 1, 96, 0, -1}, {ones, 1, 70, 0, -1},  // the spare bits are no clear entries
    };
    for (const auto& c : next) {
        EXPECT_EQ(corvane::tblnextbit(c.table, c.from, c.n, c.value), c.next)
            << "from " << c.from << " of " << c.n << " value " << c.value;
    }
    const std::vector<Case> previous = {
        {t, 96, 96, 1, 96},   {t, 95, 96, 1, 65},   {t, 64, 96, 1, 5}, {t, 4, 96, 1, -1},
        {t, 1000, 96, 1, 96}, {t, 1000, 70, 1, 65}, {t, 0, 96, 1, -1},
    };
    for (const auto& c : previous) {
        EXPECT_EQ(corvane::tblprevbit(c.table, c.from, c.n), c.next)
            << "from " << c.from << " of " << c.n;
    }
}

TEST(TableRuns, HitWalkAcrossWords) {
    // Entries 5 and 65 of 70, and entry 96's bit, a spare bit: the walks and
    // the jump by rank see two hits; the backward start counts the spare bit,
    // as tblcount does.
    corvane::Library lib;
    lib.cv_sizes.dbsize(1) = 70;
    lib.cv_tables.curtbl[0] = 0x10u;
    lib.cv_tables.curtbl[2] = 0x80000001u;
    const struct {
        int cur, rank, direction, hit, rank_after;
    } cases[] = {
        {0, 0, 0, 5, 1},  {5, 1, 0, 65, 2}, {65, 2, 0, -1, 2}, {-1, 2, 0, 65, 2},
        {-1, 3, 0, 5, 1}, {0, 0, 1, 65, 3}, {65, 3, 1, 5, 2},
    };
    for (const auto& c : cases) {
        int cur = c.cur;
        int rank = c.rank;
        EXPECT_EQ(cvl_nexthit(lib, cur, rank, c.direction), c.hit) << c.cur << " " << c.rank;
        EXPECT_EQ(rank, c.rank_after) << c.cur << " " << c.rank;
    }
}

}  // namespace
