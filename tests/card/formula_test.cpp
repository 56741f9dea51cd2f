#include <gtest/gtest.h>

#include <string>

#include "card/formatter.h"

using cv::card::Formatter;

namespace {

struct Conv {
    std::string out;
    int outlen = -9;
    int status = -9;
};

Conv phform(std::string_view in, std::size_t room) {
    Formatter f;
    Conv c;
    c.out.assign(room, 'x');
    f.phform(in, c.out, c.outlen, c.status);
    return c;
}

std::string blanks_to(std::string s, std::size_t n) {
    s.resize(n, ' ');
    return s;
}

}  // namespace

TEST(Phform, ElementSymbolsWithSubscripts) {
    for (const auto& [in, want] : std::initializer_list<std::pair<const char*, const char*>>{
             {"Fe2 O3", "Fe#2O#3"},
             {"Ca C O3", "CaCO#3"},
             {"Mn Ox", "MnO#x"},  // x is never the second letter of a symbol
             {"Xy2", "Xy#2"},
             {"Xz", "X#z"},  // nor is z
             {"H2 O", "H#2O"}}) {
        const Conv c = phform(in, 20);
        EXPECT_EQ(c.out, blanks_to(want, 20)) << in;
        EXPECT_EQ(c.outlen, static_cast<int>(std::string_view(want).size())) << in;
        EXPECT_EQ(c.status, 0) << in;
    }
}

TEST(Phform, ChargesGroupsAndPlainTokens) {
    for (const auto& [in, want] : std::initializer_list<std::pair<const char*, const char*>>{
             {"Fe +3", "Fe@+@3"},
             {"O -2", "O@-@2"},
             {"Na Cl - K Cl", "NaCl-KCl"},  // a lone "-" is copied as it stands
             {"( O H )2", "(OH)#2"},
             {"( OH )2", "(O#H)#2"},  // "OH" is the symbol O with subscript H
             {"[ Co ]3", "[Co]#3"},
             {"2 H2 O", "2H#2O"},
             {"Ca S O4 *2 H2 O", "CaSO#4*#2H#2O"},
             {"! Ca", "!Ca"}}) {
        const Conv c = phform(in, 30);
        EXPECT_EQ(c.out, blanks_to(want, 30)) << in;
        EXPECT_EQ(c.status, 0) << in;
    }
}

TEST(Phform, TokensThatBreakTheNotationAreMarkedAndStatusIs2) {
    Conv c = phform("fe", 10);
    EXPECT_EQ(c.out, blanks_to("fe?", 10));
    EXPECT_EQ(c.status, 2);
    EXPECT_EQ(c.outlen, 3);

    c = phform("Ca (OH)2", 20);  // a bracket token of more than one character
    EXPECT_EQ(c.out, blanks_to("Ca(OH)2", 20));
    EXPECT_EQ(c.status, 2);

    c = phform("Na =Cl", 20);
    EXPECT_EQ(c.out, blanks_to("Na=Cl?", 20));
    EXPECT_EQ(c.status, 2);
}

TEST(Phform, OverflowStopsAtTheFirstPieceThatDoesNotFit) {
    Conv c = phform("Fe2 O3 C", 10);
    EXPECT_EQ(c.out, "Fe#2O#3C  ");
    EXPECT_EQ(c.status, 0);
    EXPECT_EQ(c.outlen, 8);

    // O is written at position 5; its subscript "#3" needs 6 and 7.
    c = phform("Fe2 O3 C", 6);
    EXPECT_EQ(c.out, "Fe#2O ");
    EXPECT_EQ(c.status, 1);
    EXPECT_EQ(c.outlen, 0);

    // A formula that exactly fills the room fits.
    c = phform("Fe2 O3", 7);
    EXPECT_EQ(c.out, "Fe#2O#3");
    EXPECT_EQ(c.status, 0);
    EXPECT_EQ(c.outlen, 7);

    // A bad token after the overflow point: the overflow ends the conversion
    // first. A bad token before it makes the status 2.
    c = phform("fe Ca2", 4);
    EXPECT_EQ(c.out, "fe? ");
    EXPECT_EQ(c.status, 2);
    EXPECT_EQ(c.outlen, 0);
}

TEST(Phform, OverLongSubscriptIsLeftUnmarked) {
    // A token of 25 characters: the scanner keeps 20 of them; the 24
    // subscript characters are more than 20, so they are written unmarked,
    // those past the kept 20 as blanks, followed by "?".
    const Conv c = phform("C123456789012345678901234", 40);
    EXPECT_EQ(c.out, blanks_to("C1234567890123456789     ?", 40));
    EXPECT_EQ(c.status, 2);
    EXPECT_EQ(c.outlen, 26);
}

TEST(Phform, BlankFormulaWritesNothing) {
    const Conv c = phform("     ", 5);
    EXPECT_EQ(c.out, "     ");
    EXPECT_EQ(c.status, 0);
    EXPECT_EQ(c.outlen, 0);
}

namespace {

// A formatter with a small symbol table: GA alpha (5), DG "o" (1), DT "!" (1),
// and the code TW twice.
void load_codes(Formatter& f) {
    auto add = [&](const char* code, int len, const char* text) {
        const int i = ++f.picds.npicd;
        f.picds.picode(i) = code;
        f.picds.pilen(i) = len;
        f.picds.pitext(i) =
            std::string(text) + std::string(10 - std::string_view(text).size(), ' ');
    };
    add("GA", 5, "alpha");
    add("DG", 1, "o");
    add("DT", 1, "!");
    add("TW", 3, "one");
    add("TW", 3, "two");
}

}  // namespace

TEST(Pitran, FirstEqualEntryOrTheCodeItself) {
    Formatter f;
    load_codes(f);
    std::string text;
    int tlen = 0;
    f.pitran("GA", text, tlen);
    EXPECT_EQ(text, "alpha     ");
    EXPECT_EQ(tlen, 5);
    f.pitran("TW", text, tlen);
    EXPECT_EQ(text, "one       ");
    f.pitran("ZZ", text, tlen);
    EXPECT_EQ(text, "$ZZ       ");
    EXPECT_EQ(tlen, 3);
}

TEST(Piexp, ExpandsCodesInPlace) {
    Formatter f;
    load_codes(f);
    std::string t = "x$GAy     ";
    EXPECT_EQ(f.piexp(t), 7);
    EXPECT_EQ(t, "xalphay   ");

    std::string shrink = "a$DGb$GA  ";
    EXPECT_EQ(f.piexp(shrink), 8);
    EXPECT_EQ(shrink, "aobalpha  ");

    std::string one = "a$DGb ";
    EXPECT_EQ(f.piexp(one), 3);
    EXPECT_EQ(one, "aob   ");
}

TEST(Piexp, UnknownCodesStayAndExpansionGoesOn) {
    Formatter f;
    load_codes(f);
    std::string t = "A$ZZB";
    EXPECT_EQ(f.piexp(t), 5);
    EXPECT_EQ(t, "A$ZZB");

    std::string two = "$ZZ$GA    ";
    EXPECT_EQ(f.piexp(two), 8);
    EXPECT_EQ(two, "$ZZalpha  ");
}

TEST(Piexp, StopsWhenTheExpansionWouldNotFit) {
    Formatter f;
    load_codes(f);
    std::string t = "x$GA$DG";  // alpha needs 2 more positions than the field has
    EXPECT_EQ(f.piexp(t), 7);
    EXPECT_EQ(t, "x$GA$DG");
}

TEST(Piexp, ExclamationMarkBecomesCharacter249) {
    Formatter f;
    load_codes(f);
    std::string t = "Ca!x";
    EXPECT_EQ(f.piexp(t), 4);
    EXPECT_EQ(t, "Ca\xF9x");
    std::string coded = "1$DT2 ";
    EXPECT_EQ(f.piexp(coded), 3);
    EXPECT_EQ(coded,
              "1\xF9"
              "2   ");
}

TEST(Piexp, EmptyTableLeavesCodes) {
    Formatter f;
    std::string t = "$GA   ";
    EXPECT_EQ(f.piexp(t), 3);
    EXPECT_EQ(t, "$GA   ");
}

TEST(Scanner, TokensBetweenDelimitersBlanksSkipped) {
    Formatter f;
    f.scanin("  ab,cd  ", ",");
    std::string tok(6, '?');
    int n = 0;
    f.scaner(tok, n);
    EXPECT_EQ(tok, "ab    ");
    EXPECT_EQ(n, 2);
    EXPECT_EQ(f.scncmn.scnpos, 6);
    // No delimiter follows: the token runs to the end of the text.
    f.scaner(tok, n);
    EXPECT_EQ(tok, "cd    ");
    EXPECT_EQ(n, 4);
    EXPECT_EQ(f.scncmn.scnpos, 10);
    f.scaner(tok, n);
    EXPECT_EQ(tok, "      ");
    EXPECT_EQ(n, -1);
    EXPECT_EQ(f.scncmn.scnpos, 9);
}

TEST(Scanner, DelimiterAtTheTokenStartGivesAnEmptyToken) {
    Formatter f;
    f.scanin(",x", ",");
    std::string tok(3, '?');
    int n = 0;
    f.scaner(tok, n);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(tok, "   ");
    f.scaner(tok, n);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(tok, "x  ");
}

TEST(Scanner, TokenIsCutToItsFieldButLengthIsFull) {
    Formatter f;
    f.scanin("ABCDEFGH IJ", " ");
    std::string tok(6, ' ');
    int n = 0;
    f.scaner(tok, n);
    EXPECT_EQ(tok, "ABCDEF");
    EXPECT_EQ(n, 8);
    f.scaner(tok, n);
    EXPECT_EQ(tok, "IJ    ");
    EXPECT_EQ(n, 2);
}

TEST(Scanner, NewTextDiscardsThePrevious) {
    Formatter f;
    std::string tok(4, ' ');
    int n = 0;
    f.scanin("aa bb", " ");
    f.scaner(tok, n);
    f.scanin("cc", " ");
    f.scaner(tok, n);
    EXPECT_EQ(tok, "cc  ");
    EXPECT_EQ(n, 2);
    f.scaner(tok, n);
    EXPECT_EQ(n, -1);
}

TEST(Scanner, TextBeyond200CharactersIsNotSeen) {
    Formatter f;
    const std::string text = std::string(199, ' ') + "ab";
    f.scanin(text, " ");
    std::string tok(4, ' ');
    int n = 0;
    f.scaner(tok, n);
    EXPECT_EQ(tok, "a   ");
    EXPECT_EQ(n, 1);
}
