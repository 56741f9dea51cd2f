#include <corvane/setup/text.h>
#include <gtest/gtest.h>

#include <string>

using std::string;

TEST(Lench, CountsToTheLastNonBlankOrTheFirstNul) {
    const struct {
        string text;
        int len;
    } cases[] = {
        {"abc     ", 3},
        {"        ", 0},
        {"", 0},
        {string(64, 'p'), 64},
        {string("ab c\0xyz", 8), 4},
        {string("ab  \0", 5), 4},
        {string("\0abc", 4), 0},
    };
    for (const auto& c : cases) EXPECT_EQ(corvane::lench(c.text), c.len) << c.text;
}

TEST(Press, MovesTextLeftAndReportsLastSignificantPosition) {
    const struct {
        string before, after;
        int m;
    } cases[] = {{"  ab  ", "ab    ", 2}, {"      ", "      ", 1}, {string("\0 x", 3), "x  ", 1}};
    for (const auto& c : cases) {
        string t = c.before;
        int m = 0;
        corvane::press(t, m);
        EXPECT_EQ(t, c.after);
        EXPECT_EQ(m, c.m) << c.after;
    }
}

TEST(Columns, OneBasedInclusiveRangesBlankBeyondTheEnd) {
    const string card = "ABCDEFGHIJ";
    EXPECT_EQ(corvane::cols(card, 1, 3), "ABC");
    EXPECT_EQ(corvane::cols(card, 9, 12), "IJ  ");
    EXPECT_EQ(corvane::cols(card, 20, 21), "  ");
    EXPECT_EQ(corvane::col(card, 2), 'B');
    EXPECT_EQ(corvane::col(card, 80), ' ');

    string out(10, '.');
    corvane::setcols(out, 3, 5, "xy");     // padded
    corvane::setcols(out, 9, 10, "long");  // cut
    EXPECT_EQ(out, "..xy ...lo");
    string empty;
    corvane::setcols(empty, 4, 5, "Q");  // grown
    EXPECT_EQ(empty, "   Q ");
}
