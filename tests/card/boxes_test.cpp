// The five boxes of the card, each on records made for its rules.
#include "support/support.h"

using namespace cvtest;
using corvane::cols;
using corvane::padded;
using corvane::card::CardFormatter;
using corvane::card::fsplit;
using corvane::card::pherr;

namespace {

// A formatter with small code tables ("$" codes GA alpha, AA nine y, XY ab,
// DE deg; journals JACSAT, JJJJJJ and LONGJN; standards SI and AL; mineral
// groups CAL and HAL) that has read the record of the cards. Box texts start
// full of "x": what a box leaves of them must be blank.
struct Box {
    explicit Box(const Cards& cards = {}, std::string_view first = "") {
        dir.write("codens.tbl", rec81("000000         4") + rec81("JACSAT J. Am. Chem. Soc.") +
                                    rec81("JJJJJJ J.") + rec81("LONGJN J" + std::string(69, 'q')));
        dir.write("stdcodes.tbl", "SI     silicon (SRM 640)\nAL     aluminum\n");
        dir.write("mineral.tbl",
                  "CAL   Calcite               3\n   CAL   Calcite\n   MAG   Magnesite\n"
                  "   SID   Siderite\nHAL   Halite                1\n   HAL   Halite\n"
                  "   SYL   Sylvite\n");
        dir.write("picodes.tbl", "");
        opentables(f);
        picodes(f, {"GA5alpha", "AA9yyyyyyyyy", "XY2ab", "DE3deg"});
        read(cards, first);
    }
    // A type-1 card (its columns from first) unless the cards begin with one.
    void read(const Cards& cards, std::string_view first = "") {
        const std::string r = record_of(first.empty() ? cards : Cards{card(first, '1')} + cards);
        EXPECT_EQ(readbf(f, r, static_cast<int>(r.size())), 0);
        reftxt.assign(165, 'x');
    }
    // Line n (whole, or columns first..last) up to its last non-blank.
    std::string line(int n, int first = 0, int last = 0) const {
        return trimmed(first == 0 ? f.curcrd.curlin(n) : cols(f.curcrd.curlin(n), first, last));
    }
    TempDir dir;
    std::ostringstream out;
    CardFormatter f{dir.slash(), "", out};
    std::string reftxt;
};

// A reference card whose journal is not in the table.
std::string ref(std::string_view authors, std::string_view src = "  ") {
    return card('9', {{1, "ZZZZZZ"}, {22, authors}, {68, src}});
}
const std::string kMissing = "***misspelled or not in coden file***";

// ---- box 1: entry number and marks, formulas, names -------------------------

// The status and the given lines; 11 and 21 name the 10 columns of line 1
// from there. Then the messages.
std::string box1(const Cards& cards, std::initializer_list<int> lines) {
    Box b(cards);
    std::string s = std::to_string(phbox1(b.f));
    for (int i : lines) s += '|' + (i < 11 ? b.line(i) : b.line(1, i, i + 9));
    return s + b.out.str();
}
const std::string kName = card('6', {{1, "Name"}, {69, "P"}}), kFe = card('7', {{1, "Fe"}});

TEST(Phbox1, EntryNumberAndMarks) {
    // Type-1 columns 72-78, the G card's quality code ('-': no G card); line 1.
    const std::tuple<const char*, char, const char*> cases[] = {
        {" 050490", 'S', "0|5- 490  *"},
        {" 120490", 'B', "0|12-490"},  // no mark, and not reported
        {"D120000", 'I', "0|12-     iD"},
        {" 050490", '-', "0|5- 490  Quality Mark not set \n"},  // no G card, lines present
    };
    for (const auto& [number, q, want] : cases) {
        Cards cards = {card('1', {{72, number}}), kFe, kName, card('I', {{1, " 2.4324 10"}})};
        if (q != '-') cards.push_back(card('G', {{25, std::string(1, q)}}));
        EXPECT_EQ(box1(cards, {1}), want) << number;
    }
}

TEST(Phbox1, Formulas) {
    std::string c3x30, c2x22;  // positions 81-90 of thirty "C#2" hold "2C#2C#2C#2"
    for (int i = 0; i < 30; ++i) c3x30 += "C#2";
    for (int i = 0; i < 22; ++i) c2x22 += "C2 ";
    const Cards ninety = {card('7', {{1, c2x22}, {70, "C"}}),
                          card('7', {{1, "C2 C2 C2 C2 C2 C2 C2 C2"}})};
    const auto form = [](const char* text, const char* index, const char* cont = " ") {
        return card('7', {{1, text}, {69, index}, {70, cont}});
    };
    // A-card prefix (columns 11-16), formula cards; status|line 2|line 1
    // columns 11-20|line 3|line 1 columns 21-30, messages.
    const std::tuple<const char*, Cards, std::string> cases[] = {
        {"$GA",
         {form("Fe2 O3", "A"), form("Ca", " "), form("Na Cl", "S")},
         "0|alpha-Fe#2O#3||NaCl|"},
        {" Ab",
         {form("Ca C", "X", "C"), form("O3", " "), form("Mg", " ", "C")},
         "0| Ab-CaCO#3||Mg|"},
        {"", ninety, "0|" + c3x30.substr(0, 80) + "|2C#2C#2C#2||"},
        {"Ab", ninety,  // 87 positions left
         "1|Ab-" + c3x30.substr(0, 77) + "|2C#2C#2C#2||  Primary formula not in AIDS format\n"},
        {"", {form("Fe", " "), form("mg", "S")}, "1|Fe||mg?|"},
        {"", {form("Fe", "Q")}, "1|Fe|||  Invalid Index Code for Primary Formula  \n"},
        {"", {}, "1||||  No Chemical Formula (record keeping) \n"},
    };
    for (const auto& [prefix, formulas, want] : cases) {
        EXPECT_EQ(box1(formulas + Cards{card('A', {{11, prefix}}), kName}, {2, 11, 3, 21}), want)
            << prefix << formulas.size();
    }
    EXPECT_EQ(box1({card('I'), card('G', {{25, "O"}}), kName}, {}), "1  No chemical formula \n");
}

TEST(Fsplit, BreaksAtTheLaterOfTheLastBlankAndHyphen) {
    const auto put = [](std::string text, int p, char c) { return text.replace(p - 1, 1, 1, c); };
    const std::string x160(160, 'x'), x20(20, 'x');
    // Text, pos; end1, start2.
    const std::tuple<std::string, int, int, int> cases[] = {
        {put(put(x160, 40, ' '), 60, '-'), 81, 60, 61},  // 40 is not beyond the middle
        {put(put(x160, 40, ' '), 30, '-'), 81, 39, 41},  // the blank is the later
        {put(put(x160, 81, ' '), 82, ' '), 81, 80, 83},  // the blank at pos itself
        {put(put(x20, 15, ' '), 17, '-'), 18, 14, 16},   // beyond the middle: wins at once
        {x20.substr(0, 10) + std::string(10, ' '), 11, 10, 0},
        {"abc def", 7, 3, 5},  // 10 characters or fewer: any blank
        {x160, 81, 0, 0},
    };
    for (const auto& [text, pos, end1, start2] : cases) {
        int e = -1, s = -1;
        fsplit(text, pos, e, s);
        EXPECT_EQ(std::pair(e, s), std::pair(end1, start2)) << text << " " << pos;
    }
}

TEST(Phbox1, Names) {
    const std::string x67(67, 'x');
    const auto name = [](std::string_view text, const char* role = "P", const char* cont = " ") {
        return card('6', {{1, text}, {69, role}, {70, cont}});
    };
    // Name cards; status|line 4|line 5|line 6, messages.
    const std::tuple<Cards, std::string> cases[] = {
        {{name("Other", "C"), name("ABC-", "P", "C"), name("DEF")}, "0|ABC-DEF||"},
        {{name("ABC", "P", "C")}, "0|ABC||"},                      // joined with a blank card
        {{name("A", "P", "C"), name(std::string(66, 'b') + "c")},  // all 67 columns joined
         "0|A " + std::string(66, 'b') + "c||"},
        {{name("A $GA $ZZ $GA")}, "0|A alpha $ZZ $GA||"},  // an unknown code stops
        {{name("$AA$AA$AA$AA$AA$AA$AA$AA$AA$AA")}, "0|" + std::string(80, 'y') + "|yyyyyyyyyy|"},
        {{name(x67, "P", "C"), name("zzzz-tailtailtail")}, "0|" + x67 + " zzzz-|tailtailtail|"},
        // A hyphen at 81 starts line 5 rather than falling off line 4.
        {{name(x67, "P", "C"), name("zzzzzzzzzzzz-tail")}, "0|" + x67 + " zzzzzzzzzzzz|-tail|"},
        {{name("$GA-Quartz, \\ITsyn#2", "M")}, "1|||alpha-Quartz, syn2"},  // no chemical name
        {{name("A", "P"), name("Calcite", "M", "C")}, "1|A||Calcite"},     // continued mineral name
        {{name("A", "P", "C"), name("B", "P", "C"), name("C")}, "0|A B||  continuat. card\n"},
    };
    for (const auto& [cards, want] : cases) EXPECT_EQ(box1(cards + Cards{kFe}, {4, 5, 6}), want);
}

// ---- box 2: the pattern's conditions and reference ---------------------------

// Box 2 of an edition.
struct Box2 : Box {
    explicit Box2(const Cards& cards, std::string_view dbname = "KRX2") : Box(cards) {
        f.ret3.set_dbname(dbname);
        status = phbox2(f, 0, reftxt);
    }
    int status;
};

TEST(Phbox2, FilterAndCamera) {
    // F card: filter code, filter text, camera code, detail (columns 43-47);
    // the filter field, the camera field, the detail as the card keeps it.
    const std::array<const char*, 7> cases[] = {
        {"M", "Graph", "G", "Hagg ", "Mono.", "Guin. -Hagg", "Hagg"},
        {"M", "Ni", "G", " Hagg", "Ni Mono.", "Guinier-Hagg", "Hagg"},  // justified in place
        {"F", "Ni", "S", "114.6", "Ni", "D.S. -114.6", "114.6"},
        {"F", "", "S", " 57.3", "Beta", "D.S. - 57.3", " 57.3"},
        {"S", "", "D", "", "S.S. Det.", "Diff.", ""},
        {"S", "Graph", "F", "", "Graph S.S. D", "Gandolfi", ""},
        {"X", "Ni", "C", "", "Ni", "Calculated", ""},
    };
    for (const auto& [code, text, cam, detail, filter, camera, kept] : cases) {
        const Box2 b({card('F', {{21, code}, {23, text}, {41, cam}, {43, detail}})});
        EXPECT_EQ(b.line(7, 18, 29) + "|" + b.line(7, 30, 41) + "|" +
                      trimmed(cols(b.f.card(15, 1), 43, 47)),
                  std::string(filter) + "|" + camera + "|" + kept);
    }
    // Radiation and cutoff justified to the left.
    const Box2 b({card('F', {{1, " CuKa"}, {7, "1.54056"}, {33, "  4.5"}})});
    EXPECT_EQ(b.line(7), "CuKa     1.54056                         4.5");
}

TEST(Phbox2, IntensityMethodAndIcor) {
    // G card: method code, columns 5-10, 12-15; method|I/Icor|status.
    const std::array<const char*, 4> cases[] = {
        {"D", "  3.20", " 10 ", "Diffractometer|3.20(10)|0"},
        {"F", " 12.30", " 10 ", "Densitometer|12.30(10|1"},  // cut at 8 characters
        {"X", "", "", "||0"},
    };
    for (const auto& [code, value, qual, want] : cases) {
        const Box2 b({card('G', {{1, code}, {5, value}, {12, qual}})});
        EXPECT_EQ(b.line(7, 47, 60) + "|" + b.line(7, 61, 68) + "|" + std::to_string(b.status),
                  want);
    }
}

TEST(Phbox2, ReferenceOfThePattern) {
    const auto ref = [](const char* src, const char* authors, const char* coden = "JJJJJJ",
                        const char* vol = "") {
        return card('9', {{1, coden}, {7, vol}, {22, authors}, {68, src}});
    };
    // Edition, reference cards; line 8|line 9.
    const std::tuple<const char*, Cards, std::string> cases[] = {
        {"KRX2", {ref("KW", "Xb, B."), ref("  ", "Xa, A.")}, "Xa, A., J.|"},
        {"KRX2", {ref("UC", "Xc, C."), ref("KW", "Xb, B.")}, "Xb, B., J.|"},
        {"CDIF", {ref("  ", "Xa, A."), ref("CD", "Xd, D.")}, "Xd, D., J.|"},
        {"XXXX", {ref("  ", "Xa, A."), ref("KW", "Xb, B.")}, "Xb, B., J.|"},
        {"KRX2", {ref("UC", "Xc, C.")}, "See comments box for primary powder pattern reference.|"},
        {"KRX2", {}, "|"},
        {"KRX2",
         {ref("  ", "Xa, A.", "LONGJN", "  12")},
         "Xa, A., J" + std::string(69, 'q') + ",|12"},
    };
    for (const auto& [edition, refs, want] : cases) {
        const Box2 b(refs, edition);
        EXPECT_EQ(b.line(8) + "|" + b.line(9), want) << edition;
    }
}

// ---- box 3: the cell, densities and its reference ----------------------------

// Box 3 with cdeqpd as given.
struct Box3 : Box {
    explicit Box3(const Cards& cards, int cdeqpd = 1) : Box(cards) {
        f.cdeqpd.flag = cdeqpd;
        EXPECT_EQ(phbox3(f, 0, reftxt), 0);
    }
};

TEST(Pherr, TheTwoDigitsFromTheFirstSignificantOne) {
    for (const auto& [field, err2] : {std::pair{"  0.0012 ", "12"},
                                      {"0.000", "  "},
                                      {"0.02", "2 "},
                                      {"", "  "},
                                      {" 0.105", "10"}}) {
        std::string out = "??";
        pherr(field, out);
        EXPECT_EQ(out, err2) << field;
    }
}

// Line 10 whole: system, space group, addition, flag, cell edges with their
// errors; the edges are justified in place on the card for later readers.
TEST(Phbox3, SystemSpaceGroupCellAndAxialRatios) {
    const Box3 cubic({card('1', {{1, "  5.4310"}, {10, "5.4"}, {19, "   7.25"}, {79, "C"}}),
                      card('2', {{1, "   0.0003"}, {10, "0.02"}, {19, "0.000"}}),
                      card('3', {{1, "P21/c"}, {9, "E"}}), card('4', {{11, " 14"}})});
    EXPECT_EQ(cubic.f.curcrd.curlin(10), padded("Cubic", 18) + padded("P21/c", 12) + "14 B" +
                                             "5.4310   3 5.4      2 7.25       " +
                                             std::string(13, ' '));
    EXPECT_EQ(cubic.f.card(1, 1).substr(0, 27), "5.4310   5.4      7.25     ");
    EXPECT_EQ(Box3({card('1', {{79, "R"}}), card('4', {{11, "*167"}})}).line(10),
              "Rhombohedral (Hex)");
    EXPECT_EQ(Box3({card('1', {{79, "X"}}), card('3', {{1, "Fm-3m"}})}).line(10),
              std::string(18, ' ') + "Fm-3m");

    // System code, cdeqpd, a, b, c; ratio A|ratio C on line 11.
    const std::tuple<const char*, int, const char*, const char*, const char*, const char*> cases[] =
        {
            {"O", 1, "5.0", "10.0", "2.5", "0.5000|0.2500"},
            {"T", 1, "10.0", "", "5.0", "|.5000"},     // c/a, no leading zero
            {"A", 1, "4.0", "", "", "1.0000|1.0000"},  // b and c take the value of a
            {"O", 0, "5.0", "10.0", "2.5", "|"},
            {"C", 1, "5.0", "", "", "|"},
            {"O", 1, "5.0x", "10.0", "2.5", "|"},  // not a number: no ratios
        };
    for (const auto& [code, eq, a, b, c, want] : cases) {
        const Box3 box({card('1', {{1, a}, {10, b}, {19, c}, {79, code}})}, eq);
        EXPECT_EQ(box.line(11, 1, 8) + "|" + box.line(11, 9, 16), want) << code << a << b << c;
    }
}

TEST(Phbox3, AnglesZAndMeltingPoint) {
    const Box3 b({card('1', {{28, "  90.0"}, {36, "101.5"}, {44, "  120.00"}}),
                  card('2', {{28, "  0.05"}, {44, "0.10"}}), card('3', {{20, "     4"}, {26, "G"}}),
                  card('B', {{1, "Colour"}, {68, "CL"}}), card('B', {{1, "$XY 250"}, {68, "MP"}}),
                  card('B', {{1, "300"}, {68, "MP"}})});
    EXPECT_EQ(b.f.curcrd.curlin(11), std::string(16, ' ') + "90.0    5 101.5     120.00  10" +
                                         "4g    " + " " + padded("ab 250", 27));
    // Z columns 20-25 and column 26, the melting-point comment; Z|flag|mp.
    const std::array<const char*, 4> cases[] = {
        {"4     ", "G", "mp $XY, 1000 K", "4    g| |mp ab, 1000 K"},
        {"    12", "E", "2852 C", "12|B|2852 C"},
        {"   2.5", " ", "abcdefghijklmnopqrstu$GAvw", "2.5| |abcdefghijklmnopqrstualph"},
        {"      ", " ", "abcdefghijklmnopqrstuvw$XY", "| |abcdefghijklmnopqrstuvwab"},
    };
    for (const auto& [z, flag, mp, want] : cases) {
        const Box3 box({card('3', {{20, z}, {26, flag}}), card('B', {{1, mp}, {68, "MP"}})});
        EXPECT_EQ(
            box.line(11, 47, 52) + "|" + box.f.curcrd.curlin(11)[52] + "|" + box.line(11, 54, 78),
            want);
    }
}

// Densities and FOM on line 14; the unit-cell reference on line 12 (line 13
// stays blank).
TEST(Phbox3, DensitiesFigureOfMeritAndReference) {
    const std::string t3 = card('3', {{30, " 3.576"}, {38, " 3.580"}, {44, "E"}});
    const std::tuple<Cards, std::string> cases[] = {
        {{t3}, "3.580 B3.576"},
        {{t3, card('4', {{38, " 3.600"}})}, "3.600  3.576"},
        {{t3, card('4', {{38, " 3.600"}, {44, "G"}})}, "3.580  3.576"},
        {{t3, card('4', {{38, " 3.600"}, {59, "G"}})}, "3.580  3.576"},
        {{t3, card('4')}, "3.580  3.576"},
        {{t3, card('5', {{3, "M"}})}, "3.58  B3.58"},
        {{card('3', {{30, "3.576"}, {38, "3.5x"}}), card('5', {{3, "M"}})}, "3.5x   3.58"},
        {{card('4', {{38, " 3.600"}})}, ""},
        {{card('G', {{34, "12.3"}, {40, ".012"}, {46, "30"}, {49, " 45"}})},
         std::string(14, ' ') + "F(30)=12.3(.012,45)"},
        {{card('G', {{40, ".012"}, {46, "30"}, {49, " 45"}})}, ""},
    };
    for (const auto& [cards, want] : cases) EXPECT_EQ(Box3(cards).line(14), want) << cards[0];

    const std::string uc = ref("Xa, A.", "UC"), other = ref("Xb, B.");
    const std::tuple<const char*, Cards, std::string> refs[] = {
        {"C", {other, uc}, "Xa, A., " + kMissing},
        {"C", {other}, "Ibid."},
        {"X", {other}, ""},
    };
    for (const auto& [code, cards, want] : refs) {
        const Box3 b(Cards{card('1', {{79, code}})} + cards);
        EXPECT_EQ(b.line(12) + "|" + b.line(13), want + "|") << code;
    }
}

// ---- box 4: the optical data -------------------------------------------------

// The five fields of an optical line, "|" between them; the last runs to
// column 80.
std::string optical(const std::string& line) {
    return trimmed(cols(line, 1, 10)) + "|" + trimmed(cols(line, 11, 20)) + "|" +
           trimmed(cols(line, 21, 30)) + "|" + trimmed(cols(line, 31, 33)) + "|" +
           trimmed(cols(line, 34, 80));
}

TEST(Phopti, ItemsAreReadInTheirOrder) {
    // Comment text; the fields of the optical line and the status.
    const std::pair<const char*, const char*> cases[] = {
        {"A=1.544, B=1.553, SIGN=+, 2V=40", "1.544|1.553||+|40 0"},
        {"a = 1.544,q= 1.6, sign=-", "1.544||1.6|-| 0"},
        {"B=1.553, A=1.544", "|1.553||| 1"},        // A after B is out of order
        {"A=1234567890", "1234567890|||| 2"},       // fills its 10 columns exactly
        {"A:1.5,B=1.6", "|1.6||| 1"},               // a malformed item still moves the state on
        {"A=1234567890, X=1", "1234567890|||| 1"},  // the last event decides
        {"X=1, A=1234567890", "1234567890|||| 2"},
        {"2V=40, A=1.5", "||||40 0"},  // nothing is read after 2V
        {"2v=1234567890123", "|||| 1"},
        {"2V=123456789012   ,", "||||123456789012 0"},
        {"2V=40$DE", "||||40deg 0"},
        {"2V=40$ZZx", "||||40$ZZx 0"},
    };
    Box b;
    for (const auto& [text, want] : cases) {
        std::string line(80, '?');
        const int status = phopti(b.f, text, line);
        EXPECT_EQ(optical(line) + " " + std::to_string(status), want) << text;
        EXPECT_EQ(line.size(), 80u);
    }
}

TEST(Phbox4, OpticalLineReferenceAndFlags) {
    const std::string op = card('B', {{1, "A=1.5"}, {68, "OP"}}),
                      cl = card('B', {{1, "White."}, {68, "CL"}}), opref = ref("Xa, A.", "OP");
    // Cards; status opcard refprt|line 15|line 16|line 17.
    const std::tuple<Cards, std::string> cases[] = {
        {{opref}, "0 0 0|||||||"},  // no comment card: no "OP" reference either
        {{cl}, "0 0 0|||||||"},
        {{cl, op}, "0 1 1|1.5|||||Ibid.|"},
        {{card('B', {{1, "B=1, A=2"}, {68, "OP"}})}, "1 1 1||||||Ibid.|"},
        {{card('B', {{1, "A=1234567890"}, {68, "OP"}})}, "2 1 1|1234567890|||||Ibid.|"},
        {{cl, opref}, "0 0 1||||||Xa, A., " + kMissing + "|"},
        {{op, ref("Ibid.", "OP")}, "0 1 0|1.5||||||"},
        {{op, ref("ibid.", "OP"), ref("Ibid.", "OP")},
         "0 1 1|1.5|||||ibid.; Ibid.|"},  // "Ibid." is matched as written
        {{op, opref, ref("Xb, B.", "OP")},
         "0 1 1|1.5|||||Xa, A., " + kMissing + "; Xb, B., ***misspelled or not in|coden file***"},
    };
    for (const auto& [cards, want] : cases) {
        Box b(cards);
        int opcard = -1, refprt = -1;
        const int status = phbox4(b.f, 0, b.reftxt, opcard, refprt);
        EXPECT_EQ(std::to_string(status) + " " + std::to_string(opcard) + " " +
                      std::to_string(refprt) + "|" + optical(b.f.curcrd.curlin(15)) + "|" +
                      b.line(16) + "|" + b.line(17),
                  want)
            << cards[0];
    }
}

// ---- box 5: the comments ---------------------------------------------------------

// E card: a, b, c, alpha, beta, gamma, a/b, c/b.
const char* const kCell = "  5.4310 10.1200  7.3000  90.00 103.20  90.00   0.5367  0.7213";

// A comment card: text from column 1, category, continuation mark.
std::string comment(std::string_view text, std::string_view cat, const char* cont = " ") {
    return card('B', {{1, text}, {68, cat}, {70, cont}});
}

// The comment text phbox5 builds from the record b holds.
std::string box5(Box& b) {
    b.f.fnotes = {};  // as the layout's reset before each card
    EXPECT_EQ(phbox5(b.f), 0);
    return b.f.comcrd.comtxt.substr(0, static_cast<std::size_t>(b.f.comcrd.comlen));
}
std::string box5(const Cards& cards, std::string_view first = "") {
    Box b(cards, first);
    return box5(b);
}

TEST(Phbox5, SentencesComeInTheirOrder) {
    Box b(
        {
            card('4', {{51, "  100.09"}, {61, "   367.85"}}),
            card('5', {{3, "M"}, {25, "mCAL"}, {54, "  471-34-1"}}),
            card('6', {{1, "Calcium Carbonate"}, {69, "P"}}),
            card('6', {{1, "Calcspar"}, {69, "CC"}}),
            card('6', {{1, "(Iceland spar)"}}),
            card('A', {{1, "hR 10.00 E"}, {18, "Calcite."}}),
            comment("* Footnote text.", "FN"),
            comment("red", "CL"),
            comment("Heated to 800 C", "OO", "C"),
            comment("in air.", "CL"),  // continues the comment before: no colour
            comment("prisms.", "CL"),
            card('F', {{50, "SI  AL"}, {57, "I"}}),
            card('G', {{1, "C P"}, {26, "G"}, {28, "  4.5"}}),
        },
        std::string(66, ' ') + "R");
    EXPECT_EQ(box5(b),
              "Color: red prisms.  |Peak height intensities.  Heated to 800 C in air.  "
              "CAS $NO: 471-34-1.  R-factor: 4.5.  Calcite type.  Calcite group.  "
              "Also called: Calcspar (Iceland spar).  |*Footnote text. |"
              "Silicon (SRM 640), aluminum used as internal standards.  "
              "Unit cell data determined by Rietveld or profile fit analysis.  PSC: [hR10].  "
              "See original KRX Card for Graphical diffractometer trace.  Mwt: 100.09.  "
              "Volume[CD]: 367.85.  ");
    // Edited in place for the rest of the card.
    EXPECT_EQ(cols(b.f.card(16, 1), 28, 32), "4.5  ");
    EXPECT_EQ(cols(b.f.card(10, 1), 1, 9), "hR10.00  ");

    // Without comments nothing at all, not even "Color: ".
    Box none;
    EXPECT_EQ(box5(none), "");
    EXPECT_EQ(none.f.comcrd.ncomsg, 0);
}

TEST(Phbox5, AdditionalReferences) {
    const std::string jacs = ", J. Am. Chem. Soc., 61 1234 (1939)";
    const auto ref = [](std::string_view authors, std::string_view src) {
        return card('9', {{1, "JACSAT  61 1234 1939"}, {22, authors}, {68, src}});
    };
    Box b({ref("Xa, A.", "UC"), ref("Xb, B.", "UC"), ref("Xc, C.", "ST"), ref("Xd, D.", "ZZ"),
           ref("Xe, E.", "CO"), ref("Ibid.", "PD"), ref("Xf, F.", "OP")});
    EXPECT_EQ(box5(b), "Additional unit cell references: Xa, A." + jacs + "; Xb, B." + jacs +
                           ".  Structure reference: Xc, C." + jacs +
                           ".  INVALID reference: Xd, D." + jacs +
                           ".  Additional optical data reference: Xf, F." + jacs + ".  ");
    // A reference another box placed is not repeated.
    b.f.reftrk.refdon.fill(0);
    b.f.reftrk.refdon(1) = b.f.reftrk.refdon(3) = b.f.reftrk.refdon(4) = b.f.reftrk.refdon(7) = 1;
    EXPECT_EQ(box5(b), "Additional unit cell reference: Xb, B." + jacs + ".  ");
}

TEST(Phbox5, MineralGroups) {
    const std::tuple<const char*, const char*, int> cases[] = {
        {"mCALsSID", "Calcite group, Siderite subgroup.  ", 0},
        {"    mHALmCAL", "Halite group.  Calcite group.  ", 0},
        {"mCALsXXX", "Calcite group.  ", 1},
        {"mHALsSYL", "Halite group.  ", 1},  // beyond the group's member lines
        {"mCALsMAGsSID", "Calcite group, Magnesite subgroup.  ", 1},
        {"mZZZmCAL", "Calcite group.  ", 1},  // a group the table lacks is left out
    };
    for (const auto& [items, want, status] : cases) {
        Box b({card('5', {{3, "M"}, {25, items}})});
        EXPECT_EQ(box5(b), want) << items;
        EXPECT_EQ(minsub(b.f), status) << items;
    }
}

TEST(Phbox5, StandardsAndCellSentences) {
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
        EXPECT_EQ(box5(cards, std::string(78, ' ') + sys), want) << want;
    }
    Box b({sg, card('4', {{1, "P21/c"}}), cell}, std::string(78, ' ') + "C");
    b.f.cdeqpd.flag = 1;  // an identity transformation: the cell is box 3's
    EXPECT_EQ(box5(b), "");
}

TEST(Phbox5, FootnotesUpToTheLastCommentCard) {
    std::vector<std::string> cards(18, comment("Melting", "MP"));  // never in box 5
    cards.push_back(comment("1Alpha", "HK", "C"));  // slot 1 goes to "1": its mark is "*"
    cards.push_back(comment("and beta.", "  "));
    EXPECT_EQ(box5(cards), "|*Alpha and beta. |");
    cards[18] = comment("xNo mark", "HK");
    cards[19] = comment("* Last.", "HK");  // on the 20th B card
    EXPECT_EQ(box5(cards), "|No mark |*Last. |");
}

TEST(Concat, WholeOrNothing) {
    CardFormatter f;
    f.comcrd.comlen = 1755;
    for (const auto& [text, n] : {std::pair{"abcdef", 6}, {"abcdefgh", 5}, {"x", 1}})
        concat(f, text, n);
    EXPECT_EQ(f.comcrd.comtxt.substr(1750) + std::to_string(f.comcrd.comlen), "     abcde1760");
}

}  // namespace
