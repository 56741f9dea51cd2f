#include "support/support.h"

using namespace corvane::card;

TEST(FieldRoutines, EditInPlace) {
    using Edit = std::function<int(std::string&)>;
    const auto strip = [](int first, int last) {
        return Edit([=](std::string& t) { return deltsc(t, first, last); });
    };
    const auto up = [](int n) { return Edit([=](std::string& t) { return upper(t, n), 0; }); };
    const std::tuple<Edit, const char*, const char*, int> cases[] = {
        {left, "  12", "12  ", 2},
        {left, "12  ", "12  ", 4},  // trailing blanks count
        {left, "    ", "    ", 0},
        {cmpres, "5.4310( 3 )", "5.4310(3)  ", 9},
        {strip(1, 13), "\\BFFe#2O#3   ", "Fe2O3        ", 5},
        {strip(3, 12), "ab|c@d $GA#x", "abcd $GAx   ", 9},  // positions 1-2 are not looked at
        {strip(2, 6), "x#  @ ", "x     ", 2},               // nothing kept: last is the start
        {up(3), "ab1cd", "AB1cd", 0},                       // only the first n
        {up(9), "x{z}`", "X{Z}`", 0},
        // Extreme bounds are clamped to the field, never overflowed or walked.
        {strip(INT_MIN, INT_MAX), "a#b", "ab ", 2},
        {strip(0, 3), "#ab", "ab ", 2},      // a start before 1 is position 1
        {strip(5, INT_MAX), "ab", "ab", 5},  // a start past the field keeps nothing
        {strip(1, 2), "x\\", "x ", 1},       // a typeface code cut off by the field's end
        {up(INT_MAX), "abc", "ABC", 0},
        {up(INT_MIN), "abc", "abc", 0},
    };
    for (const auto& [edit, in, out, ret] : cases) {
        std::string t = in;
        EXPECT_EQ(edit(t), ret) << in;
        EXPECT_EQ(t, out) << in;
    }
    // altrnt needs room for two characters each, or blanks the field; a
    // negative count changes nothing.
    std::string three = "xxx", six = "xxxxxx", big = "xxxx", negative = "xxxx";
    altrnt("12", three, '#', 2);
    altrnt("+3", six, '@', 2);
    altrnt("12", big, '#', INT_MAX);
    altrnt("12", negative, '#', INT_MIN);
    EXPECT_EQ(three + "|" + six + "|" + big + "|" + negative, "   |@+@3xx|    |xxxx");
}

// Slots go to legend characters in the order met; keep = 0 (the d-spacing
// table) marks only what a comment (keep = 1) put in use on this card.
// RESET_COUNTS keeps the slots, RESET_ALL frees them.
TEST(Trfnch, FootnoteSlots) {
    CardFormatter f;
    const std::tuple<const char*, int, const char*> steps[] = {
        // code, keep, skip digit tag count ("" after a reset: nothing to check)
        {"RESET_ALL", 0, ""},    {"3", 1, "01*  1"}, {"*", 1, "02$DA1"},  // in the order met
        {"$", 1, "03$DD1"},      {"1", 1, "04$SE1"}, {"5", 1, "05$PG1"},  // all five slots given
        {"3", 1, "01*  2"},                                               // again: the count grows
        {"4", 1, "1 "},          {"7", 1, "1 "},  // a sixth legend character; no legend character
        {"RESET_ALL", 0, ""},    {"$", 0, "1 "},  // not in use yet, but given slot 1 all the same
        {"1", 1, "02$DA1"},      {"$", 1, "01*  1"}, {"$", 0, "01*  2"},  // "1" gets slot 2
        {"RESET_COUNTS", 0, ""}, {"$", 0, "01*  1"},  // the slot stays, the count restarts
        {"RESET_ALL", 0, ""},    {"5", 0, "1 "},     {"2", 1, "02$DA1"},  // all slots free again
    };
    for (const auto& [code, keep, want] : steps) {
        int skip = -9, count = -9;
        char dig = '?';
        std::string tag = "???";
        trfnch(f, code, keep, skip, dig, tag, count);
        if (*want == '\0') continue;
        // With no marker only skip and the blank digit are given.
        const std::string got =
            std::to_string(skip) + dig + (skip == 0 ? tag + std::to_string(count) : "");
        EXPECT_EQ(got, want) << code << keep;
    }
}
