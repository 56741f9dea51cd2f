#include "support/support.h"

using namespace cvtest;
using corvane::card::CardFormatter;

namespace {

std::string rep(std::string_view s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

void set_text(CardFormatter& f, const std::string& text) {
    f.comcrd.comtxt = corvane::padded(text, 1760);
    f.comcrd.comlen = static_cast<int>(text.size());
}

// The segments divcom cuts from text, each up to the start of the next.
Strings segments(const std::string& text) {
    CardFormatter f;
    set_text(f, text);
    divcom(f);
    Strings out;
    for (int i = 1; i <= f.comcrd.ncomsg; ++i) {
        const int end = i < f.comcrd.ncomsg ? f.comcrd.comsp(i + 1) - 1 : f.comcrd.comlen;
        out.push_back(corvane::cols(f.comcrd.comtxt, f.comcrd.comsp(i), end));
    }
    return out;
}

}  // namespace

TEST(Concom, ExpandsSymbolsCodesAndFormulas) {
    const std::pair<std::string, std::string> cases[] = {
        {"S.G. `P21/c`, 4 K", "S.G. P21/c, 4 K"},
        {"x`y", "xy"},                                     // a lone "`" is dropped
        {"``z", "z"},                                      // so is an empty symbol
        {"$GA=90, $ZZ", "alpha=90, $ZZ"},                  // an unknown code stands for itself
        {"\\BFbold\\IT", "\\BFbold\\IT"},                  // typeface codes stay
        {"is \\Ca C O3\\.", "is CaCO#3."},                 // a formula in the notation's markup
        {"\\fe\\ x", " x"},                                // a formula that breaks the notation
        {"a\\b", "ab"},                                    // a backslash without its partner
        {rep("a", 1757) + "$GA", rep("a", 1757) + "alp"},  // cut at 1760
    };
    for (const auto& [in, out] : cases) {
        CardFormatter f;
        picodes(f, {"GA5alpha"});
        set_text(f, in);
        EXPECT_EQ(concom(f), 0);
        EXPECT_EQ(corvane::cols(f.comcrd.comtxt, 1, f.comcrd.comlen), out) << in;
        EXPECT_EQ(f.comcrd.comtxt.size(), 1760u);
    }
}

TEST(Divcom, BreaksAtMarksAndBlanks) {
    const std::pair<std::string, Strings> cases[] = {
        {"Color: red prisms.  |Peak.", {"Color: red prisms.  |", "Peak."}},
        {"|ab||cd|", {"|ab|", "|cd|"}},  // a "|" at a segment start records nothing
        {rep("word ", 20), {rep("word ", 16), rep("word ", 4)}},
        // A run without a blank: at the very start of the text, and after a
        // break whose blanks are skipped, it is cut after 80 characters.
        {rep("x", 100), {rep("x", 80), rep("x", 20)}},
        {rep("a", 79) + "   " + rep("x", 100), {rep("a", 79) + "   ", rep("x", 80), rep("x", 20)}},
    };
    for (const auto& [text, want] : cases) EXPECT_EQ(segments(text), want) << text;

    // No more than 30 segments; the last runs on to the end of the text.
    const Strings thirty = segments(rep("a|", 40));
    ASSERT_EQ(thirty.size(), 30u);
    EXPECT_EQ(thirty[28] + thirty[29], "a|" + rep("a|", 11));
}

TEST(Splong, PrefersBracketsThenCapitals) {
    const std::pair<std::string, int> cases[] = {
        {rep("a", 50) + ")B" + rep("b", 68), 51},                 // after ")" before a capital
        {rep("a", 60) + "(" + rep("b", 59), 60},                  // before "("
        {rep("a", 40) + "(" + rep("b", 30) + rep("Cc", 24), 40},  // before a capital only then
        {rep("a", 70) + "B" + rep("b", 49), 70},                  // before a capital after a small
        {"a(" + rep("b", 118), 80},                               // a break at the start is none
        {rep("a", 120), 80},
    };
    for (const auto& [text, end] : cases) {
        CardFormatter f;
        set_text(f, text);
        int e = 81;
        splong(f, 1, e);
        EXPECT_EQ(e, end) << text;
    }
}
