// The card text routines keep to their field whatever bounds they are given:
// extreme positions and counts are clamped, never overflowed or walked.
#include <corvane/card/utilities.h>
#include <gtest/gtest.h>

#include <climits>
#include <string>

using namespace corvane::card;

TEST(FieldRoutineLimits, ExtremeBoundsClampToTheField) {
    const struct {
        const char* in;
        int istart, iend;
        const char* out;
        int last;
    } strips[] = {
        {"a#b", INT_MIN, INT_MAX, "ab ", 2},
        {"#ab", 0, 3, "ab ", 2},      // a start before 1 is position 1
        {"ab", 5, INT_MAX, "ab", 5},  // a start past the field keeps nothing
        {"x\\", 1, 2, "x ", 1},       // a typeface code cut off by the field's end
        {"a\\BFb", -3, INT_MAX, "ab   ", 2},
    };
    for (const auto& c : strips) {
        std::string t = c.in;
        EXPECT_EQ(deltsc(t, c.istart, c.iend), c.last) << c.in;
        EXPECT_EQ(t, c.out) << c.in;
    }

    std::string up = "abc", down = "abc";
    upper(up, INT_MAX);
    upper(down, INT_MIN);
    EXPECT_EQ(up + down, "ABCabc");

    // altrnt needs 2n characters: a count too large for that blanks the
    // field, a negative one changes nothing.
    std::string big = "xxxx", negative = "xxxx";
    altrnt("12", big, '#', INT_MAX);
    altrnt("12", negative, '#', INT_MIN);
    EXPECT_EQ(big + "|" + negative, "    |xxxx");
}
