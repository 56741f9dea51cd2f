#include "setup/text.h"

#include <gtest/gtest.h>

#include <string>

using cv::cols;
using cv::lench;
using cv::press;
using cv::setcols;

TEST(Lench, BlankPaddedTextCountsToLastNonBlank) {
    EXPECT_EQ(lench("abc     "), 3);
    EXPECT_EQ(lench("        "), 0);
    EXPECT_EQ(lench(""), 0);
    EXPECT_EQ(lench(std::string(64, 'p')), 64);
}

TEST(Lench, TerminatedTextStopsAtFirstNulBlanksIncluded) {
    EXPECT_EQ(lench(std::string("ab c\0xyz", 8)), 4);
    EXPECT_EQ(lench(std::string("ab  \0", 5)), 4);
    EXPECT_EQ(lench(std::string("\0abc", 4)), 0);
}

TEST(Press, MovesTextLeftAndReportsLastSignificantPosition) {
    std::string t = "  ab  ";
    int m = 0;
    press(t, m);
    EXPECT_EQ(t, "ab    ");
    EXPECT_EQ(m, 2);

    std::string blank = "      ";
    press(blank, m);
    EXPECT_EQ(blank, "      ");
    EXPECT_EQ(m, 1);
}

TEST(Press, SkipsLeadingNulsToo) {
    std::string t = std::string("\0 x", 3);
    int m = 0;
    press(t, m);
    EXPECT_EQ(t, "x  ");
    EXPECT_EQ(m, 1);
}

TEST(Columns, ReadOneBasedInclusiveRanges) {
    const std::string card = "ABCDEFGHIJ";
    EXPECT_EQ(cols(card, 1, 3), "ABC");
    EXPECT_EQ(cols(card, 10, 10), "J");
    // Beyond the end of a short line the columns read as blanks.
    EXPECT_EQ(cols(card, 9, 12), "IJ  ");
    EXPECT_EQ(cols(card, 20, 21), "  ");
    EXPECT_EQ(cv::col(card, 80), ' ');
    EXPECT_EQ(cv::col(card, 2), 'B');
}

TEST(Columns, WriteCutsOrPadsToTheRange) {
    std::string card(10, '.');
    setcols(card, 3, 5, "xy");
    EXPECT_EQ(card, "..xy .....");
    setcols(card, 9, 10, "long");
    EXPECT_EQ(card, "..xy ...lo");
    std::string empty;
    setcols(empty, 4, 5, "Q");
    EXPECT_EQ(empty, "   Q ");
}
