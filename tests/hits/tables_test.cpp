#include <corvane/hits/tables.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <span>

namespace {

using Table = std::array<std::uint32_t, 4>;
constexpr std::uint32_t kJunk = 0xA5A5A5A5u;

Table filled(std::uint32_t value) {
    Table t;
    t.fill(value);
    return t;
}

}  // namespace

TEST(Tables, NoEntriesTouchesNoWord) {
    Table t = filled(kJunk);
    Table out = filled(kJunk);
    EXPECT_EQ(corvane::tblclr(t, 0), 0);
    EXPECT_EQ(corvane::tblset(t, 0), 0);
    corvane::tblnot(t, out, 0);
    corvane::tblcopy(filled(0), out, 0);
    corvane::tblor(filled(0), filled(0), out, 0);
    EXPECT_EQ(t, filled(kJunk));
    EXPECT_EQ(out, filled(kJunk));
    EXPECT_EQ(corvane::tblcount(t, 0), 0);
    EXPECT_EQ(corvane::tblbittest(t, 1, 0), -1);
}

TEST(Tables, SetFillsWholeWordsThenTheLowBitsOfTheNext) {
    Table t = {0, 0, kJunk, kJunk};
    EXPECT_EQ(corvane::tblset(t, 33), 33);
    EXPECT_EQ(t, (Table{0xFFFFFFFFu, 0x00000001u, kJunk, kJunk}));  // the third word is not in use
    EXPECT_EQ(corvane::tblcount(t, 33), 33);
    t = filled(kJunk);
    EXPECT_EQ(corvane::tblset(t, 64), 64);
    EXPECT_EQ(t, (Table{0xFFFFFFFFu, 0xFFFFFFFFu, kJunk, kJunk}));
}

TEST(Tables, SpareBitsAreKeptAndCounted) {
    // 33 entries: word 1 holds entry 33 in bit 0, bits 1..31 are spare.
    Table t = {0, 0x80000000u, 0, 0};
    corvane::tblset(t, 33);
    EXPECT_EQ(t[1], 0x80000001u);
    EXPECT_EQ(corvane::tblcount(t, 33), 34);  // the spare bit counts too

    // 40 entries: the low 8 bits of word 1 are entries 33..40.
    const Table a = {0x0000FFFFu, 0xF0000F0Fu, 0, 0};
    Table b = filled(kJunk);
    corvane::tblnot(a, b, 40);
    // 0x0F inverted to 0xF0, the spare bits as they were
    EXPECT_EQ(b, (Table{0xFFFF0000u, 0xF0000FF0u, kJunk, kJunk}));

    // tblcopy, tblor and tbland carry spare bits like any other bit.
    Table c = filled(0);
    corvane::tblcopy(a, c, 40);
    EXPECT_EQ(c[1], 0xF0000F0Fu);
    const Table d = {0, 0x01000001u, 0, 0};
    Table e = filled(kJunk);
    corvane::tblor(a, d, e, 40);
    EXPECT_EQ(e[1], 0xF1000F0Fu);
    corvane::tbland(a, d, e, 40);
    EXPECT_EQ(e[1], 0x00000001u);
    EXPECT_EQ(e[2], kJunk);
}

TEST(Tables, NotOverWholeWordsInvertsExactlyThoseWords) {
    Table a = {0x12345678u, 0u, 0xFFFFFFFFu, 0xFFFFFFFFu};
    Table b = filled(kJunk);
    corvane::tblnot(a, b, 64);
    EXPECT_EQ(b, (Table{0xEDCBA987u, 0xFFFFFFFFu, kJunk, kJunk}));
    corvane::tblnot(a, a, 64);  // in place
    EXPECT_EQ(a, (Table{0xEDCBA987u, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu}));
}

TEST(Tables, EntriesCountFromTheLeastSignificantBit) {
    Table t = filled(0);
    corvane::tblbitset(t, 1, 100, 1);
    corvane::tblbitset(t, 32, 100, 1);
    corvane::tblbitset(t, 33, 100, 5);  // any non-zero value sets
    EXPECT_EQ(t[0], 0x80000001u);
    EXPECT_EQ(t[1], 0x00000001u);
    EXPECT_EQ(corvane::tblbittest(t, 32, 100), 1);
    EXPECT_EQ(corvane::tblbittest(t, 31, 100), 0);
    corvane::tblbitset(t, 32, 100, 0);
    EXPECT_EQ(t[0], 0x00000001u);
}

TEST(Tables, EntriesAboveNAreOutside) {
    Table t = filled(0);
    t[1] = 0x00000004u;  // entry 35, a spare bit when n = 34
    EXPECT_EQ(corvane::tblbittest(t, 34, 34), 0);
    EXPECT_EQ(corvane::tblbittest(t, 35, 34), -1);
    corvane::tblbitset(t, 34, 34, 1);
    EXPECT_EQ(t[1], 0x00000006u);
    corvane::tblbitset(t, 35, 34, 0);  // k = n + 1: nothing happens
    corvane::tblbitset(t, 36, 34, 1);
    EXPECT_EQ(t[1], 0x00000006u);
}

TEST(Tables, CountAddsEveryWordInUse) {
    // all ones 32, zero 0, two bits, every other nibble 16; 65 entries use three words
    const Table t = {0xFFFFFFFFu, 0u, 0x80000001u, 0x0F0F0F0Fu};
    EXPECT_EQ(corvane::tblcount(t, 128), 50);
    EXPECT_EQ(corvane::tblcount(t, 65), 34);
    EXPECT_EQ(corvane::tblcount(t, 64), 32);
}

TEST(Tables, OrAndMayWriteOverAnOperand) {
    Table a = {0b1100u, 0, 0, 0};
    const Table b = {0b1010u, 0, 0, 0};
    corvane::tblor(a, b, a, 4);
    EXPECT_EQ(a[0], 0b1110u);
    corvane::tbland(b, a, a, 4);
    EXPECT_EQ(a[0], 0b1010u);
}

TEST(Tables, NeverReachPastTheTableGiven) {
    // A count larger than the table is held to the table: the guard words
    // around the two-word table stay as they are.
    std::array<std::uint32_t, 4> storage = {kJunk, 0, 0, kJunk};
    std::span<std::uint32_t> t(storage.data() + 1, 2);
    corvane::tblset(t, 1000);
    corvane::tblnot(t, t, 1000);
    corvane::tblbitset(t, 65, 1000, 1);
    EXPECT_EQ(corvane::tblbittest(t, 65, 1000), 0);
    EXPECT_EQ(corvane::tblcount(t, 1000), 0);
    EXPECT_EQ(storage[0], kJunk);
    EXPECT_EQ(storage[3], kJunk);
    // A negative count is no entries at all.
    corvane::tblset(t, -5);
    EXPECT_EQ(corvane::tblcount(t, 64), 0);
}
