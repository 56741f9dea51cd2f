#include <corvane/corvane.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

namespace {

// A library of n entries whose current table starts with the word given.
std::unique_ptr<corvane::Library> library(int n, std::uint32_t word) {
    auto lib = std::make_unique<corvane::Library>();
    lib->cv_sizes.dbsize(1) = n;
    lib->cv_tables.curtbl[0] = word;
    return lib;
}

constexpr std::uint32_t kFiveAndNine = (1u << 4) | (1u << 8);

}  // namespace

TEST(RepHits, CountsTheCurrentTableOrGivesTheDatabaseSize) {
    auto lib = library(10, kFiveAndNine);
    lib->cv_tables.nhits = 77;
    EXPECT_EQ(cvl_rephits(*lib, 0), 2);
    EXPECT_EQ(cvl_rephits(*lib, -3), 10);
    EXPECT_EQ(lib->cv_tables.nhits, 77);  // counting does not store
}

TEST(NextHit, WalksAndJumps) {
    constexpr int kMax = std::numeric_limits<int>::max();
    const struct {
        int n;
        std::uint32_t word;
        int cur, rank, direction;
        int hit, rank_after, cur_after;  // cur changes only when a jump finds no such rank
    } cases[] = {
        // hits at 5 and 9 of 10: forwards, backwards, jumps by rank
        {10, kFiveAndNine, 0, 42, 0, 5, 1, 0},
        {10, kFiveAndNine, 5, 1, 0, 9, 2, 5},
        {10, kFiveAndNine, 9, 2, 0, -1, 2, 9},
        {10, kFiveAndNine, 0, 0, 1, 9, 2, 0},
        {10, kFiveAndNine, 9, 2, -1, 5, 1, 9},
        {10, kFiveAndNine, 1, 1, 1, -1, 1, 1},
        {10, kFiveAndNine, -1, 2, 0, 9, 2, -1},
        {10, kFiveAndNine, -1, 3, 0, 5, 1, 0},
        {10, kFiveAndNine, -7, 0, 1, 9, 2, 0},
        {10, 0u, -1, 1, 0, -1, 0, 0},  // an empty table has no hit anywhere
        {10, 0u, 0, 0, 1, -1, 1, 0},
        // 3 entries: entry 1 and spare bits, which are no entries
        {3, 0xFFFFFFF9u, 1, 1, 0, -1, 1, 1},
        {3, 0xFFFFFFF9u, kMax, 1, 0, -1, 1, kMax},
        {3, 0xFFFFFFF9u, 50, 5, 1, 1, 4, 50},
    };
    for (const auto& c : cases) {
        auto lib = library(c.n, c.word);
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
    EXPECT_EQ(text[0], '#');  // unchanged
    EXPECT_EQ(cvl_rephistory(lib, 1, text), 1);
    EXPECT_STREQ(text.data(), "Starting from full database");
    EXPECT_EQ(cvl_rephistory(lib, 2, text), 1);
    EXPECT_EQ(std::strlen(text.data()), 100u);
}
