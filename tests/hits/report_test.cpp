// Hit count, walks through the current table and history records.
#include "support/support.h"

namespace {

using Words = std::array<std::uint32_t, 3>;
constexpr Words kFiveAnd65 = {0x10u, 0, 0x80000001u};  // and entry 96: a spare bit of 70

std::unique_ptr<corvane::Library> library(int n, const Words& words) {
    auto lib = std::make_unique<corvane::Library>();
    lib->cv_sizes.dbsize(1) = n;
    for (std::size_t i = 0; i < words.size(); ++i) lib->cv_tables.curtbl[i] = words[i];
    return lib;
}

}  // namespace

TEST(RepHits, CountsTheCurrentTableOrGivesTheDatabaseSize) {
    auto lib = library(10, {(1u << 4) | (1u << 8)});
    lib->cv_tables.nhits = 77;
    EXPECT_EQ(cvl_rephits(*lib, 0), 2);
    EXPECT_EQ(cvl_rephits(*lib, -3), 10);
    EXPECT_EQ(lib->cv_tables.nhits, 77);  // counting does not store
}

// Hits at 5 and 65 of 70, words apart. The backward start counts the spare
// bit, as tblcount does; no walk returns it.
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
    EXPECT_EQ(text[0], '#');  // unchanged
    EXPECT_EQ(cvl_rephistory(lib, 1, text), 1);
    EXPECT_STREQ(text.data(), "Starting from full database");
    EXPECT_EQ(cvl_rephistory(lib, 2, text), 1);
    EXPECT_EQ(std::strlen(text.data()), 100u);
}
