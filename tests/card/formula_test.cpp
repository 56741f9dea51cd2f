#include "support/support.h"

using corvane::card::CardFormatter;

TEST(Phform, ConvertsTheNotationUpToThePieceThatDoesNotFit) {
    // Formula, room, the field up to the conversion's last character, outlen, status.
    const std::tuple<const char*, int, const char*, int, int> cases[] = {
        {"Fe2 O3", 20, "Fe#2O#3", 7, 0},
        {"Fe +3", 20, "Fe@+@3", 6, 0},
        {"( OH )2", 20, "(O#H)#2", 7, 0},  // "OH" is O with the subscript H
        {"Mn Ox", 20, "MnO#x", 5, 0},      // x is never a symbol's second letter,
        {"Xz Xy", 20, "X#zXy", 5, 0},      // nor is z
        {"Na Cl - K Cl", 20, "NaCl-KCl", 8, 0},
        {"Ca S O4 *2 H2 O", 20, "CaSO#4*#2H#2O", 13, 0},
        {"[ Co ]3 ! 2 H2", 20, "[Co]#3!2H#2", 11, 0},
        // Tokens that break the notation are marked "?".
        {"fe", 10, "fe?", 3, 2},
        {"Ca (OH)2", 20, "Ca(OH)2", 7, 2},  // a bracket token of more than one character
        {"Na =Cl", 20, "Na=Cl?", 6, 2},
        // 24 subscript characters: the scanner keeps 20, the rest are blanks.
        {"C123456789012345678901234", 30, "C1234567890123456789     ?", 26, 2},
        // Room: O goes to position 5; its subscript "#3" would need 6 and 7.
        {"Fe2 O3", 7, "Fe#2O#3", 7, 0},
        {"Fe2 O3 C", 6, "Fe#2O", 0, 1},
        {"fe Ca2", 4, "fe?", 0, 2},  // a bad token wins over the overflow
    };
    for (const auto& [in, room, field, len, stat] : cases) {
        CardFormatter f;
        std::string out(static_cast<std::size_t>(room), 'x'), want = field;
        int outlen = -9, status = -9;
        phform(f, in, out, outlen, status);
        want.resize(out.size(), ' ');
        EXPECT_EQ(out + "|" + std::to_string(outlen) + std::to_string(status),
                  want + "|" + std::to_string(len) + std::to_string(stat))
            << in;
    }
}

// Symbol codes as code, length and text: for TW the first entry is used, an
// unknown code stands for itself.
TEST(SymbolCodes, PitranAndPiexp) {
    CardFormatter f;
    cvtest::picodes(f, {"GA5alpha", "DG1o", "DT1!", "TW3one", "TW3two"});
    for (const auto& [code, want] : {std::pair{"TW", "one       3"}, {"ZZ", "$ZZ       3"}}) {
        std::string text;
        int tlen = 0;
        pitran(f, code, text, tlen);
        EXPECT_EQ(text + std::to_string(tlen), want);
    }

    const std::tuple<const char*, const char*, int> cases[] = {
        {"x$GAy     ", "xalphay   ", 7}, {"a$DGb$GA  ", "aobalpha  ", 8}, {"a$DGb ", "aob   ", 3},
        {"A$ZZB", "A$ZZB", 5},            // not in the table: left as it stands
        {"$ZZ$GA    ", "$ZZalpha  ", 8},  // and the expansion goes on after it
        {"x$GA$DG", "x$GA$DG", 7},        // alpha would need two more places
        {"Ca!x", "Ca\371x", 4},           // "!" becomes character 249
        {"1$DT2 ", "1\3712   ", 3},
    };
    for (const auto& [in, out, tlen] : cases) {
        std::string t = in;
        EXPECT_EQ(piexp(f, t), tlen) << in;
        EXPECT_EQ(t, out) << in;
    }
}

TEST(Scanner, SplitsAtDelimitersSkippingBlanks) {
    CardFormatter f;
    std::string tok(6, '?');
    int n = 0;
    const auto next = [&] {
        scaner(f, tok, n);
        return tok + std::to_string(n);
    };
    scanin(f, "  ab,cd  ", ",");
    EXPECT_EQ(next(), "ab    2");
    EXPECT_EQ(next(), "cd    4");  // no delimiter follows: the token runs to the end
    EXPECT_EQ(next(), "      -1");
    EXPECT_EQ(f.scncmn.scnpos, 9);
    scanin(f, ",ABCDEFGH", ",");                   // a new text replaces the old one
    EXPECT_EQ(next().substr(6), "0");              // a delimiter where the token starts
    EXPECT_EQ(next(), "ABCDEF8");                  // cut to its field, its length in full
    scanin(f, std::string(199, ' ') + "ab", " ");  // 200 characters are kept
    EXPECT_EQ(next(), "a     1");
}
