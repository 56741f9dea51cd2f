#include <gtest/gtest.h>

#include <string>

#include "card/formatter.h"

using cv::card::Formatter;

namespace {

struct Conv {
    const char* in;
    int room;
    const char* out;  // the field up to the conversion's last character
    int outlen, status;
};

void check(const Conv& c) {
    Formatter f;
    std::string out(static_cast<std::size_t>(c.room), 'x');
    int outlen = -9, status = -9;
    f.phform(c.in, out, outlen, status);
    std::string want = c.out;
    want.resize(static_cast<std::size_t>(c.room), ' ');
    EXPECT_EQ(out, want) << c.in;
    EXPECT_EQ(outlen, c.outlen) << c.in;
    EXPECT_EQ(status, c.status) << c.in;
}

}  // namespace

TEST(Phform, ConvertsTheFormulaNotation) {
    const Conv cases[] = {
        {"Fe2 O3", 20, "Fe#2O#3", 7, 0},
        {"Ca C O3", 20, "CaCO#3", 6, 0},
        {"Fe +3", 20, "Fe@+@3", 6, 0},
        {"( O H )2", 20, "(OH)#2", 6, 0},
        {"( OH )2", 20, "(O#H)#2", 7, 0},  // "OH" is O with the subscript H
        {"Mn Ox", 20, "MnO#x", 5, 0},      // x is never a symbol's second letter,
        {"Xz Xy", 20, "X#zXy", 5, 0},      // nor is z
        {"Na Cl - K Cl", 20, "NaCl-KCl", 8, 0},
        {"Ca S O4 *2 H2 O", 20, "CaSO#4*#2H#2O", 13, 0},
        {"[ Co ]3 ! 2 H2", 20, "[Co]#3!2H#2", 11, 0},
        {"     ", 5, "", 0, 0},
    };
    for (const auto& c : cases) check(c);
}

TEST(Phform, MarksTokensThatBreakTheNotation) {
    const Conv cases[] = {
        {"fe", 10, "fe?", 3, 2},
        {"Ca (OH)2", 20, "Ca(OH)2", 7, 2},  // a bracket token of more than one character
        {"Na =Cl", 20, "Na=Cl?", 6, 2},
        // 24 subscript characters, more than 20: unmarked, with those beyond the
        // 20 the scanner keeps as blanks, and "?".
        {"C123456789012345678901234", 30, "C1234567890123456789     ?", 26, 2},
    };
    for (const auto& c : cases) check(c);
}

TEST(Phform, StopsAtThePieceThatDoesNotFit) {
    const Conv cases[] = {
        {"Fe2 O3 C", 10, "Fe#2O#3C", 8, 0},
        {"Fe2 O3", 7, "Fe#2O#3", 7, 0},
        // O goes to position 5; its subscript "#3" would need 6 and 7.
        {"Fe2 O3 C", 6, "Fe#2O", 0, 1},
        {"fe Ca2", 4, "fe?", 0, 2},  // a bad token wins over the overflow
    };
    for (const auto& c : cases) check(c);
}

namespace {

// Symbol codes: GA alpha (5), DG "o" (1), DT "!" (1), and TW twice.
Formatter& with_codes(Formatter& f) {
    const struct {
        const char *code, *text;
        int len;
    } rows[] = {
        {"GA", "alpha", 5}, {"DG", "o", 1}, {"DT", "!", 1}, {"TW", "one", 3}, {"TW", "two", 3}};
    for (const auto& r : rows) {
        const int i = ++f.picds.npicd;
        f.picds.picode(i) = r.code;
        f.picds.pilen(i) = r.len;
        f.picds.pitext(i) = (std::string(r.text) + "          ").substr(0, 10);
    }
    return f;
}

}  // namespace

TEST(Pitran, FirstEqualEntryOrTheCodeItself) {
    Formatter f;
    with_codes(f);
    std::string text;
    int tlen = 0;
    f.pitran("TW", text, tlen);
    EXPECT_EQ(text, "one       ");
    EXPECT_EQ(tlen, 3);
    f.pitran("ZZ", text, tlen);
    EXPECT_EQ(text, "$ZZ       ");
    EXPECT_EQ(tlen, 3);
}

TEST(Piexp, ExpandsCodesInPlace) {
    const struct {
        const char *in, *out;
        int tlen;
    } cases[] = {
        {"x$GAy     ", "xalphay   ", 7},
        {"a$DGb$GA  ", "aobalpha  ", 8},
        {"a$DGb ", "aob   ", 3},
        {"A$ZZB", "A$ZZB", 5},            // not in the table: left as it stands
        {"$ZZ$GA    ", "$ZZalpha  ", 8},  // and the expansion goes on after it
        {"x$GA$DG", "x$GA$DG", 7},        // alpha would need two more places
        {"Ca!x", "Ca\xF9x", 4},           // "!" becomes character 249
        {"1$DT2 ",
         "1\xF9"
         "2   ",
         3},
    };
    Formatter f;
    with_codes(f);
    for (const auto& c : cases) {
        std::string t = c.in;
        EXPECT_EQ(f.piexp(t), c.tlen) << c.in;
        EXPECT_EQ(t, c.out);
    }
}

TEST(Scanner, SplitsAtDelimitersSkippingBlanks) {
    Formatter f;
    std::string tok(6, '?');
    int n = 0;
    f.scanin("  ab,cd  ", ",");
    f.scaner(tok, n);
    EXPECT_EQ(tok, "ab    ");
    EXPECT_EQ(n, 2);
    f.scaner(tok, n);  // no delimiter follows: the token runs to the end
    EXPECT_EQ(tok, "cd    ");
    EXPECT_EQ(n, 4);
    f.scaner(tok, n);
    EXPECT_EQ(tok, "      ");
    EXPECT_EQ(n, -1);
    EXPECT_EQ(f.scncmn.scnpos, 9);

    f.scanin(",ABCDEFGH", ",");  // a new text replaces the old one
    f.scaner(tok, n);
    EXPECT_EQ(n, 0);  // a delimiter where the token starts
    f.scaner(tok, n);
    EXPECT_EQ(tok, "ABCDEF");  // cut to its field, its length in full
    EXPECT_EQ(n, 8);

    f.scanin(std::string(199, ' ') + "ab", " ");  // 200 characters are kept
    f.scaner(tok, n);
    EXPECT_EQ(tok, "a     ");
}
