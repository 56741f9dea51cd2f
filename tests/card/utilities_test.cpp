#include "card/utilities.h"

#include <gtest/gtest.h>

#include <string>

#include "card/formatter.h"

using namespace cv::card;

TEST(Length, CountsToTheLastNonBlank) {
    EXPECT_EQ(length("     "), 0);
    EXPECT_EQ(length("ab   "), 2);
    EXPECT_EQ(length("abcde"), 5);
    EXPECT_EQ(length(" a b "), 4);
}

TEST(Upper, ChangesOnlyLettersAmongTheFirstN) {
    std::string t = "ab1cd";
    upper(t, 3);
    EXPECT_EQ(t, "AB1cd");
    std::string all = "x-y{z}";
    upper(all, 6);
    EXPECT_EQ(all, "X-Y{Z}");
    std::string shorter = "ab";
    upper(shorter, 10);  // n beyond the field stays within it
    EXPECT_EQ(shorter, "AB");
}

TEST(Left, MovesTextToTheStartOfTheField) {
    std::string t = "  12";
    EXPECT_EQ(left(t), 2);
    EXPECT_EQ(t, "12  ");

    std::string already = "12  ";
    EXPECT_EQ(left(already), 4);  // trailing blanks count
    EXPECT_EQ(already, "12  ");

    std::string blank = "    ";
    EXPECT_EQ(left(blank), 0);
    EXPECT_EQ(blank, "    ");

    std::string inner = " 1 2 ";
    EXPECT_EQ(left(inner), 4);
    EXPECT_EQ(inner, "1 2  ");
}

TEST(Digit, OnlyTheTenDigits) {
    EXPECT_EQ(digit('0'), 1);
    EXPECT_EQ(digit('9'), 1);
    EXPECT_EQ(digit('a'), 0);
    EXPECT_EQ(digit(' '), 0);
    EXPECT_EQ(digit('/'), 0);
    EXPECT_EQ(digit(':'), 0);
}

TEST(Cmpres, SqueezesOutBlanks) {
    std::string t = "5.4310( 3 )";
    EXPECT_EQ(cmpres(t), 9);
    EXPECT_EQ(t, "5.4310(3)  ");
    std::string blank = "   ";
    EXPECT_EQ(cmpres(blank), 0);
    EXPECT_EQ(blank, "   ");
}

TEST(Deltsc, DropsTypefaceCodesAndMarks) {
    std::string t = "\\BFFe#2O#3   ";
    EXPECT_EQ(deltsc(t, 1, 13), 5);
    EXPECT_EQ(t, "Fe2O3        ");
}

TEST(Deltsc, KeepsSymbolCodesAndWorksOnARangeOnly) {
    std::string t = "ab|c@d $GA#x";
    // Positions 3..12: "|c@d $GA#x" loses "|", "@" and "#".
    EXPECT_EQ(deltsc(t, 3, 12), 9);
    EXPECT_EQ(t, "abcd $GAx   ");

    std::string outside = "a#b";
    EXPECT_EQ(deltsc(outside, 3, 3), 3);  // only position 3 is looked at
    EXPECT_EQ(outside, "a#b");
}

TEST(Deltsc, LastIsAtLeastTheStart) {
    std::string t = "xx  #  ";
    EXPECT_EQ(deltsc(t, 3, 7), 3);
    EXPECT_EQ(t, "xx     ");
}

TEST(Altrnt, InterleavesAMarkWhenThereIsRoom) {
    std::string dst = "xxx";
    altrnt("12", dst, '#', 2);
    EXPECT_EQ(dst, "   ");
    std::string four = "xxxx";
    altrnt("12", four, '#', 2);
    EXPECT_EQ(four, "#1#2");
    std::string wide = "xxxxxx";
    altrnt("+3", wide, '@', 2);
    EXPECT_EQ(wide, "@+@3xx");  // beyond 2n the field is not touched
}

namespace {

struct Mark {
    int skip = -9;
    char digit = '?';
    std::string tag = "???";
    int count = -9;
};

Mark ask(Formatter& f, std::string_view code, int keep) {
    Mark m;
    f.trfnch(code, keep, m.skip, m.digit, m.tag, m.count);
    return m;
}

}  // namespace

TEST(Trfnch, SlotsFollowTheOrderLegendCharactersAreMet) {
    Formatter f;
    ask(f, "RESET_ALL", 0);
    Mark a = ask(f, "3", 1);
    EXPECT_EQ(a.skip, 0);
    EXPECT_EQ(a.digit, '1');
    EXPECT_EQ(a.tag, "*  ");
    EXPECT_EQ(a.count, 1);
    Mark b = ask(f, "*", 1);
    EXPECT_EQ(b.digit, '2');
    EXPECT_EQ(b.tag, "$DA");
    Mark again = ask(f, "3", 1);
    EXPECT_EQ(again.digit, '1');
    EXPECT_EQ(again.count, 2);
}

TEST(Trfnch, KeepZeroGivesNoMarkerUntilAUseOnTheCard) {
    Formatter f;
    ask(f, "RESET_ALL", 0);
    Mark m = ask(f, "$", 0);
    EXPECT_EQ(m.skip, 1);
    EXPECT_EQ(m.digit, ' ');
    // The slot was given all the same: "$" holds slot 1 once a comment uses it.
    ask(f, "1", 1);
    Mark used = ask(f, "$", 1);
    EXPECT_EQ(used.digit, '1');
    Mark table = ask(f, "$", 0);
    EXPECT_EQ(table.skip, 0);
    EXPECT_EQ(table.digit, '1');
    EXPECT_EQ(table.count, 2);
}

TEST(Trfnch, ResetCountsKeepsSlotsResetAllFreesThem) {
    Formatter f;
    ask(f, "RESET_ALL", 0);
    ask(f, "5", 1);
    ask(f, "5", 1);
    ask(f, "RESET_COUNTS", 0);
    Mark m = ask(f, "5", 0);
    EXPECT_EQ(m.skip, 0);
    EXPECT_EQ(m.digit, '1');
    EXPECT_EQ(m.count, 1);

    ask(f, "RESET_ALL", 0);
    Mark first = ask(f, "2", 1);
    EXPECT_EQ(first.digit, '1');  // slot 1 is free again
    Mark fresh = ask(f, "5", 0);  // gets slot 2, not yet in use
    EXPECT_EQ(fresh.skip, 1);
    EXPECT_EQ(ask(f, "5", 1).digit, '2');
}

TEST(Trfnch, FiveSlotsAtMostAndNoMarkerBeyond) {
    Formatter f;
    ask(f, "RESET_ALL", 0);
    const char* order[5] = {"*", "$", "1", "2", "3"};
    const std::string tags[5] = {"*  ", "$DA", "$DD", "$SE", "$PG"};
    for (int i = 0; i < 5; ++i) {
        Mark m = ask(f, order[i], 1);
        EXPECT_EQ(m.digit, static_cast<char>('1' + i));
        EXPECT_EQ(m.tag, tags[i]);
    }
    Mark sixth = ask(f, "4", 1);
    EXPECT_EQ(sixth.skip, 1);
    EXPECT_EQ(sixth.digit, ' ');
    // The five slots are untouched.
    EXPECT_EQ(ask(f, "3", 1).digit, '5');
}

TEST(Trfnch, CodesOutsideTheLegendGiveNoMarker) {
    Formatter f;
    ask(f, "RESET_ALL", 0);
    Mark m = ask(f, "7", 1);
    EXPECT_EQ(m.skip, 1);
    EXPECT_EQ(m.digit, ' ');
    // and take no slot: the next legend character still gets slot 1
    EXPECT_EQ(ask(f, "$", 1).digit, '1');
}
