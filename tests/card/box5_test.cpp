#include "support/support.h"

using namespace cvtest;
using corvane::card::CardFormatter;

namespace {

// A comment card: text from column 1, category, continuation mark.
std::string comment(std::string_view text, std::string_view cat, char cont = ' ') {
    return card('B', {{1, text}, {68, cat}, {70, std::string(1, cont)}});
}

// E card: a, b, c, alpha, beta, gamma, a/b, c/b.
const char* const kCell = "  5.4310 10.1200  7.3000  90.00 103.20  90.00   0.5367  0.7213";

std::string ref(std::string_view authors, std::string_view src) {
    return card('9', {{1, "JACSAT  61 1234 1939"}, {22, authors}, {68, src}});
}

class Box5 : public ::testing::Test {
  protected:
    void SetUp() override {
        dir.write("stdcodes.tbl", "SI     silicon (SRM 640)\nAL     aluminum\n");
        dir.write("mineral.tbl",
                  "CAL   Calcite               3\n   CAL   Calcite\n   MAG   Magnesite\n"
                  "   SID   Siderite\nHAL   Halite                1\n   HAL   Halite\n"
                  "   SYL   Sylvite\n");
        dir.write("codens.tbl", rec81("000000         2") + rec81("JACSAT J. Am. Chem. Soc."));
        opentables(f);
    }
    // The comment text phbox5 builds from a record: the first card's columns
    // from 1, the cards given, a K card.
    std::string run(const std::vector<std::string>& cards, std::string_view first = "") {
        std::string r = card(first, '1');
        for (const auto& c : cards) r += c;
        r += card("", 'K');
        EXPECT_EQ(readbf(f, r, static_cast<int>(r.size())), 0);
        return phbox5_again();
    }
    std::string phbox5_again() {
        f.fnotes = {};  // as the layout's reset before each card
        EXPECT_EQ(phbox5(f), 0);
        return f.comcrd.comtxt.substr(0, static_cast<std::size_t>(f.comcrd.comlen));
    }

    TempDir dir;
    std::ostringstream out;
    CardFormatter f{dir.slash(), "", out};
};

}  // namespace

TEST_F(Box5, SentencesComeInTheirOrder) {
    const std::string text = run(
        {
            card('4', {{51, "  100.09"}, {61, "   367.85"}}),
            card('5', {{3, "M"}, {25, "mCAL"}, {54, "  471-34-1"}}),
            card('6', {{1, "Calcium Carbonate"}, {69, "P"}}),
            card('6', {{1, "Calcspar"}, {69, "CC"}}),
            card('6', {{1, "(Iceland spar)"}}),
            card('A', {{1, "hR 10.00 E"}, {18, "Calcite."}}),
            comment("* Footnote text.", "FN"),
            comment("red", "CL"),
            comment("Heated to 800 C", "OO", 'C'),
            comment("in air.", "CL"),  // continues the comment before: no colour
            comment("prisms.", "CL"),
            card('F', {{50, "SI  AL"}, {57, "I"}}),
            card('G', {{1, "C P"}, {26, "G"}, {28, "  4.5"}}),
        },
        std::string(66, ' ') + "R");
    EXPECT_EQ(text,
              "Color: red prisms.  |Peak height intensities.  Heated to 800 C in air.  "
              "CAS $NO: 471-34-1.  R-factor: 4.5.  Calcite type.  Calcite group.  "
              "Also called: Calcspar (Iceland spar).  |*Footnote text. |"
              "Silicon (SRM 640), aluminum used as internal standards.  "
              "Unit cell data determined by Rietveld or profile fit analysis.  PSC: [hR10].  "
              "See original KRX Card for Graphical diffractometer trace.  Mwt: 100.09.  "
              "Volume[CD]: 367.85.  ");
    // Edited in place for the rest of the card.
    EXPECT_EQ(corvane::cols(f.card(16, 1), 28, 32), "4.5  ");
    EXPECT_EQ(corvane::cols(f.card(10, 1), 1, 9), "hR10.00  ");

    // Without comments nothing at all, not even "Color: ".
    EXPECT_EQ(run({}), "");
    EXPECT_EQ(f.comcrd.ncomsg, 0);
}

TEST_F(Box5, AdditionalReferences) {
    const std::string jacs = ", J. Am. Chem. Soc., 61 1234 (1939)";
    const std::string text =
        run({ref("Xa, A.", "UC"), ref("Xb, B.", "UC"), ref("Xc, C.", "ST"), ref("Xd, D.", "ZZ"),
             ref("Xe, E.", "CO"), ref("Ibid.", "PD"), ref("Xf, F.", "OP")});
    EXPECT_EQ(text, "Additional unit cell references: Xa, A." + jacs + "; Xb, B." + jacs +
                        ".  Structure reference: Xc, C." + jacs + ".  INVALID reference: Xd, D." +
                        jacs + ".  Additional optical data reference: Xf, F." + jacs + ".  ");
    // A reference another box placed is not repeated.
    f.reftrk.refdon.fill(0);
    f.reftrk.refdon(1) = f.reftrk.refdon(3) = f.reftrk.refdon(4) = f.reftrk.refdon(7) = 1;
    EXPECT_EQ(phbox5_again(), "Additional unit cell reference: Xb, B." + jacs + ".  ");
}

TEST_F(Box5, MineralGroups) {
    const std::tuple<const char*, const char*, int> cases[] = {
        {"mCALsSID", "Calcite group, Siderite subgroup.  ", 0},
        {"    mHALmCAL", "Halite group.  Calcite group.  ", 0},
        {"mCALsXXX", "Calcite group.  ", 1},
        {"mHALsSYL", "Halite group.  ", 1},  // beyond the group's member lines
        {"mCALsMAGsSID", "Calcite group, Magnesite subgroup.  ", 1},
        {"mZZZmCAL", "Calcite group.  ", 1},  // a group the table lacks is left out
    };
    for (const auto& [items, want, status] : cases) {
        EXPECT_EQ(run({card('5', {{3, "M"}, {25, items}})}), want) << items;
        EXPECT_EQ(minsub(f), status) << items;
    }
}

TEST_F(Box5, StandardsAndCellSentences) {
    const std::string sg = card('3', {{1, "P21/c"}}), cell = card('E', {{1, kCell}});
    const auto stds = [](const char* codes, const char* use) {
        return std::vector{card('F', {{50, codes}, {57, use}})};
    };
    const std::string sg4 = "P21/n       14";  // differs from box 3's; addition 14
    // clang-format off
    const std::tuple<std::vector<std::string>, char, std::string> cases[] = {
        {stds("AL    ", "E"), ' ', "Aluminum used as external standard.  "},
        {stds("XY  SI", "I"), ' ', "XY, silicon (SRM 640) used as internal standards.  "},
        {stds("      ", "E"), ' ', "External standard used.  "},
        {stds("SI    ", "X"), ' ', ""},
        {{sg, cell}, 'M', "C.D. Cell: a=5.4310, b=10.1200, c=7.3000, $GB=103.20, a/b=0.5367, c/b=0.7213.  "},
        {{sg, cell}, 'T', "C.D. Cell: a=5.4310, c=7.3000, c/a=0.5367.  "},
        {{sg, card('4', {{1, sg4}}), cell}, 'C', "C.D. Cell: a=5.4310, S.G.=P21/n (14).  "},
        {{sg, card('4', {{1, sg4}, {11, "*"}}), cell}, 'C', "C.D. Cell: a=5.4310, S.G.=P21/n.  "},
        {{sg, card('4', {{1, "P21/c"}}), cell}, 'C', "C.D. Cell: a=5.4310.  "},
    };
    // clang-format on
    for (const auto& [cards, sys, want] : cases) {
        EXPECT_EQ(run(cards, std::string(78, ' ') + sys), want) << want;
    }
    f.cdeqpd.flag = 1;  // an identity transformation: the cell is box 3's
    EXPECT_EQ(phbox5_again(), "");
}

TEST_F(Box5, FootnotesUpToTheLastCommentCard) {
    std::vector<std::string> cards(18, comment("Melting", "MP"));  // never in box 5
    cards.push_back(comment("1Alpha", "HK", 'C'));  // slot 1 goes to "1": its mark is "*"
    cards.push_back(comment("and beta.", "  "));
    EXPECT_EQ(run(cards), "|*Alpha and beta. |");
    cards[18] = comment("xNo mark", "HK");
    cards[19] = comment("* Last.", "HK");  // on the 20th B card
    EXPECT_EQ(run(cards), "|No mark |*Last. |");
}

TEST(Concat, WholeOrNothing) {
    CardFormatter f;
    f.comcrd.comlen = 1755;
    for (const auto& [text, n] : {std::pair{"abcdef", 6}, {"abcdefgh", 5}, {"x", 1}})
        concat(f, text, n);
    EXPECT_EQ(f.comcrd.comtxt.substr(1750) + std::to_string(f.comcrd.comlen), "     abcde1760");
}
