#include "card/utilities.h"

#include <gtest/gtest.h>

#include <string>

#include "card/formatter.h"

using namespace cv::card;

TEST(FieldRoutines, LengthUpperDigit) {
    EXPECT_EQ(length("     "), 0);
    EXPECT_EQ(length("ab   "), 2);
    EXPECT_EQ(length("abcde"), 5);
    std::string t = "ab1cd";
    upper(t, 3);
    EXPECT_EQ(t, "AB1cd");  // only the first n change
    std::string s = "x{z}";
    upper(s, 10);
    EXPECT_EQ(s, "X{Z}");
    EXPECT_EQ(digit('0') + digit('9'), 2);
    EXPECT_EQ(digit('/') + digit(':') + digit(' '), 0);
}

TEST(FieldRoutines, LeftJustifies) {
    const struct {
        const char *in, *out;
        int n;
    } cases[] = {
        {"  12", "12  ", 2}, {"12  ", "12  ", 4}, {"    ", "    ", 0}, {" 1 2 ", "1 2  ", 4}};
    for (const auto& c : cases) {
        std::string t = c.in;
        EXPECT_EQ(left(t), c.n) << c.in;
        EXPECT_EQ(t, c.out);
    }
}

TEST(FieldRoutines, CmpresSqueezesOutBlanks) {
    std::string t = "5.4310( 3 )";
    EXPECT_EQ(cmpres(t), 9);
    EXPECT_EQ(t, "5.4310(3)  ");
}

TEST(FieldRoutines, DeltscDropsMarkupButNotSymbolCodes) {
    std::string t = "\\BFFe#2O#3   ";
    EXPECT_EQ(deltsc(t, 1, 13), 5);
    EXPECT_EQ(t, "Fe2O3        ");
    std::string r = "ab|c@d $GA#x";
    EXPECT_EQ(deltsc(r, 3, 12), 9);  // positions 1-2 are not looked at
    EXPECT_EQ(r, "abcd $GAx   ");
    std::string b = "x#  @ ";
    EXPECT_EQ(deltsc(b, 2, 6), 2);  // nothing kept: last is the start
    EXPECT_EQ(b, "x     ");
}

TEST(FieldRoutines, AltrntNeedsRoomForTwoCharactersEach) {
    std::string three = "xxx", six = "xxxxxx";
    altrnt("12", three, '#', 2);
    altrnt("+3", six, '@', 2);
    EXPECT_EQ(three, "   ");
    EXPECT_EQ(six, "@+@3xx");
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

TEST(Trfnch, SlotsGoToLegendCharactersInTheOrderMet) {
    Formatter f;
    ask(f, "RESET_ALL", 0);
    const char* order[5] = {"3", "*", "$", "1", "5"};
    const char* tags[5] = {"*  ", "$DA", "$DD", "$SE", "$PG"};
    for (int i = 0; i < 5; ++i) {
        const Mark m = ask(f, order[i], 1);
        EXPECT_EQ(m.skip, 0);
        EXPECT_EQ(m.digit, '1' + i);
        EXPECT_EQ(m.tag, tags[i]);
        EXPECT_EQ(m.count, 1);
    }
    const Mark again = ask(f, "3", 1);
    EXPECT_EQ(again.digit, '1');
    EXPECT_EQ(again.count, 2);
    // A sixth legend character, or a code outside the legend: no marker.
    for (const char* code : {"4", "7"}) {
        const Mark none = ask(f, code, 1);
        EXPECT_EQ(none.skip, 1) << code;
        EXPECT_EQ(none.digit, ' ') << code;
    }
}

// keep = 0 (the d-spacing table) marks only what a comment (keep = 1) put in
// use on this card; RESET_COUNTS keeps the slots, RESET_ALL frees them.
TEST(Trfnch, KeepZeroAndTheResets) {
    Formatter f;
    ask(f, "RESET_ALL", 0);
    const Mark unused = ask(f, "$", 0);
    EXPECT_EQ(unused.skip, 1);
    EXPECT_EQ(unused.digit, ' ');
    ask(f, "1", 1);  // "$" was given slot 1 all the same; "1" gets slot 2
    EXPECT_EQ(ask(f, "$", 1).count, 1);
    EXPECT_EQ(ask(f, "$", 0).count, 2);
    ask(f, "RESET_COUNTS", 0);
    const Mark m = ask(f, "$", 0);
    EXPECT_EQ(m.digit, '1');
    EXPECT_EQ(m.count, 1);
    ask(f, "RESET_ALL", 0);
    EXPECT_EQ(ask(f, "5", 0).skip, 1);
    EXPECT_EQ(ask(f, "2", 1).digit, '2');
}
