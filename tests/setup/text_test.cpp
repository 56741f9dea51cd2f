#include "support/support.h"

using std::string;

TEST(Text, LenchAndPress) {
    const std::pair<string, int> lengths[] = {
        {"abc     ", 3},          {"        ", 0},
        {string(64, 'p'), 64},    {string("ab c\0xyz", 8), 4},
        {string("ab  \0", 5), 4},  // blanks before the NUL count
        {string("\0abc", 4), 0},
    };
    for (const auto& [text, len] : lengths) EXPECT_EQ(corvane::lench(text), len) << text;
    // press: the text moved left, m its last significant position, 1 when none.
    const std::pair<string, string> pressed[] = {
        {"  ab  ", "ab    2"}, {"      ", "      1"}, {string("\0 x", 3), "x  1"}};
    for (const auto& [before, after] : pressed) {
        string t = before;
        int m = 0;
        corvane::press(t, m);
        EXPECT_EQ(t + std::to_string(m), after);
    }
}
