#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "setup/library.h"

namespace {

// Ten entries with hits at 5 and 9.
std::unique_ptr<cv::Library> five_and_nine() {
    auto lib = std::make_unique<cv::Library>();
    lib->cv_sizes.dbsize[0] = 10;
    lib->cv_tables.curtbl[0] = (1u << 4) | (1u << 8);
    return lib;
}

}  // namespace

TEST(RepHits, CountsTheCurrentTableOrGivesTheDatabaseSize) {
    auto lib = five_and_nine();
    lib->cv_tables.nhits = 77;
    EXPECT_EQ(lib->cvl_rephits(0), 2);
    EXPECT_EQ(lib->cvl_rephits(1), 10);
    EXPECT_EQ(lib->cvl_rephits(-3), 10);
    EXPECT_EQ(lib->cv_tables.nhits, 77);  // counting does not store
}

TEST(NextHit, WalksForwardsWithRisingRanks) {
    auto lib = five_and_nine();
    int cur = 0;
    int rank = 42;
    EXPECT_EQ(lib->cvl_nexthit(cur, rank, 0), 5);
    EXPECT_EQ(rank, 1);
    cur = 5;
    EXPECT_EQ(lib->cvl_nexthit(cur, rank, 0), 9);
    EXPECT_EQ(rank, 2);
    cur = 9;
    EXPECT_EQ(lib->cvl_nexthit(cur, rank, 0), -1);
    EXPECT_EQ(rank, 2);
    EXPECT_EQ(cur, 9);
}

TEST(NextHit, WalksBackwardsFromTheEnd) {
    auto lib = five_and_nine();
    int cur = 0;
    int rank = 0;
    EXPECT_EQ(lib->cvl_nexthit(cur, rank, 1), 9);
    EXPECT_EQ(rank, 2);
    cur = 9;
    EXPECT_EQ(lib->cvl_nexthit(cur, rank, -1), 5);
    EXPECT_EQ(rank, 1);
    cur = 5;
    EXPECT_EQ(lib->cvl_nexthit(cur, rank, 1), -1);
    EXPECT_EQ(rank, 1);
    cur = 1;
    EXPECT_EQ(lib->cvl_nexthit(cur, rank, 1), -1);
}

TEST(NextHit, JumpsByRankOrFallsBackToAnEnd) {
    auto lib = five_and_nine();
    int cur = -1;
    int rank = 2;
    EXPECT_EQ(lib->cvl_nexthit(cur, rank, 0), 9);
    EXPECT_EQ(rank, 2);
    EXPECT_EQ(cur, -1);  // a found jump leaves cur alone

    cur = -1;
    rank = 3;
    EXPECT_EQ(lib->cvl_nexthit(cur, rank, 0), 5);
    EXPECT_EQ(rank, 1);
    EXPECT_EQ(cur, 0);

    cur = -7;
    rank = 0;
    EXPECT_EQ(lib->cvl_nexthit(cur, rank, 1), 9);
    EXPECT_EQ(rank, 2);
    EXPECT_EQ(cur, 0);
}

TEST(NextHit, EmptyTableHasNoHitAnywhere) {
    auto lib = std::make_unique<cv::Library>();
    lib->cv_sizes.dbsize[0] = 10;
    int cur = 0;
    int rank = 0;
    EXPECT_EQ(lib->cvl_nexthit(cur, rank, 0), -1);
    EXPECT_EQ(lib->cvl_nexthit(cur, rank, 1), -1);
    cur = -1;
    rank = 1;
    EXPECT_EQ(lib->cvl_nexthit(cur, rank, 0), -1);
}

TEST(NextHit, SpareBitsAreNoEntries) {
    auto lib = std::make_unique<cv::Library>();
    lib->cv_sizes.dbsize[0] = 3;
    lib->cv_tables.curtbl[0] = 0xFFFFFFF9u;  // entry 1 and spare bits 3..31
    int cur = 0;
    int rank = 0;
    EXPECT_EQ(lib->cvl_nexthit(cur, rank, 0), 1);
    cur = 1;
    EXPECT_EQ(lib->cvl_nexthit(cur, rank, 0), -1);
    // Positions past the end: nothing forwards, backwards steps into the entries.
    cur = std::numeric_limits<int>::max();
    EXPECT_EQ(lib->cvl_nexthit(cur, rank, 0), -1);
    cur = 50;
    rank = 5;
    EXPECT_EQ(lib->cvl_nexthit(cur, rank, 1), 1);
    EXPECT_EQ(rank, 4);
}

TEST(RepHistory, DeliversRecordsAsTerminatedTexts) {
    cv::Library lib;
    lib.cv_history.nhist = 2;
    lib.cv_history.histtx[0] = "Starting from full database" + std::string(73, ' ');
    lib.cv_history.histtx[1] = std::string(100, 'h');

    std::array<char, 101> text;
    text.fill('#');
    EXPECT_EQ(lib.cvl_rephistory(0, text), 0);
    EXPECT_EQ(lib.cvl_rephistory(3, text), 0);
    EXPECT_EQ(text[0], '#');  // unchanged

    EXPECT_EQ(lib.cvl_rephistory(1, text), 1);
    EXPECT_STREQ(text.data(), "Starting from full database");

    EXPECT_EQ(lib.cvl_rephistory(2, text), 1);
    EXPECT_EQ(std::strlen(text.data()), 100u);
    EXPECT_EQ(text[100], '\0');
}
