#include "cardkit.h"

using namespace cardkit;
using corvane::card::fsplit;
using Cards = std::vector<std::string>;

namespace {

// A card of type t holding texts at the given columns.
std::string cd(char t, std::initializer_list<std::pair<int, std::string_view>> fields = {}) {
    std::string c = card("", t);
    for (const auto& [first, text] : fields) at(c, first, text);
    return c;
}

// Box 1 on a record of a type-1 card (unless the cards start with one), the
// cards and a K card, with the "$" codes GA (alpha) and AA (nine y). Gives the
// status and the given lines up to their last non-blank; 11 and 21 name the
// 10 columns of line 1 from there.
struct Box1 {
    std::ostringstream out;
    CardFormatter f{"", "", out};
    std::string run(Cards cards, std::initializer_list<int> lines) {
        for (const char* r : {"GA5alpha", "AA9yyyyyyyyy"}) {
            const int i = ++f.picds.npicd;
            f.picds.picode(i) = std::string(r, 2);
            f.picds.pilen(i) = r[2] - '0';
            f.picds.pitext(i) = corvane::padded(r + 3, 10);
        }
        if (cards.empty() || cards[0][79] != '1') cards.insert(cards.begin(), cd('1'));
        std::string r;
        for (const auto& c : cards) r += c;
        r += cd('K');
        readbf(f, r, static_cast<int>(r.size()));
        std::string s = std::to_string(phbox1(f));
        for (int i : lines) {
            const std::string l =
                i < 11 ? f.curcrd.curlin(i) : corvane::cols(f.curcrd.curlin(1), i, i + 9);
            s += '|';
            s += l.substr(0, l.find_last_not_of(' ') + 1);
        }
        return s;
    }
};

const std::string kName = cd('6', {{1, "Name"}, {69, "P"}}), kFe = cd('7', {{1, "Fe"}});
const std::string kLine = cd('I', {{1, " 2.4324 10   1  1  1"}});

}  // namespace

TEST(Phbox1, EntryNumberAndMarks) {
    // Type-1 columns 72-78, the G card's quality code ('-': no G card); line 1.
    const std::tuple<const char*, char, const char*> cases[] = {
        {" 050490", 'S', "0|5- 490  *"},
        {" 120490", 'B', "0|12-490"},
        {"D120000", 'I', "0|12-     iD"},
        {" 050490", '-', "0|5- 490"},  // reported: no G card, d-spacing lines present
    };
    for (const auto& [number, q, want] : cases) {
        Cards cards = {cd('1', {{72, number}}), kFe, kName, kLine};
        if (q != '-') cards.push_back(cd('G', {{25, std::string(1, q)}}));
        Box1 b;
        EXPECT_EQ(b.run(cards, {1}), want);
        EXPECT_EQ(b.out.str(), q == '-' ? "  Quality Mark not set \n" : "") << number;
    }
}

TEST(Phbox1, Formulas) {
    std::string c3x30;  // positions 81-90 of thirty "C#2" hold "2C#2C#2C#2"
    for (int i = 0; i < 30; ++i) c3x30 += "C#2";
    const std::string c2x22 = "C2 C2 C2 C2 C2 C2 C2 C2 C2 C2 C2 C2 C2 C2 C2 C2 C2 C2 C2 C2 C2 C2";
    const Cards ninety = {cd('7', {{1, c2x22}, {70, "C"}}),
                          cd('7', {{1, "C2 C2 C2 C2 C2 C2 C2 C2"}})};
    const auto form = [](const char* text, const char* index, const char* cont = " ") {
        return cd('7', {{1, text}, {69, index}, {70, cont}});
    };
    // A-card prefix (columns 11-16), formula cards; status|line 2|line 1 columns
    // 11-20|line 3|line 1 columns 21-30.
    const std::tuple<const char*, Cards, std::string> cases[] = {
        {"$GA",
         {form("Fe2 O3", "A"), form("Ca", " "), form("Na Cl", "S")},
         "0|alpha-Fe#2O#3||NaCl|"},
        {" Ab",
         {form("Ca C", "X", "C"), form("O3", " "), form("Mg", " ", "C")},
         "0| Ab-CaCO#3||Mg|"},
        {"", {form("Fe2", " ", "C"), form("Ca", " ")}, "0|Fe#2Ca|||"},
        {"", ninety, std::string("0|") + c3x30.substr(0, 80) + "|2C#2C#2C#2||"},
        {"Ab", ninety,
         std::string("1|Ab-") + c3x30.substr(0, 77) + "|2C#2C#2C#2||"},  // 87 positions left
        {"", {form("Fe", " "), form("mg", "S")}, "1|Fe||mg?|"},
    };
    for (const auto& [prefix, formulas, want] : cases) {
        Cards cards = formulas;
        cards.insert(cards.end(), {cd('A', {{11, prefix}}), kName});
        EXPECT_EQ(Box1().run(cards, {2, 11, 3, 21}), want) << prefix << formulas[0];
    }
    const std::tuple<Cards, const char*> faults[] = {
        {{kLine, cd('G', {{25, "O"}})}, "  No chemical formula \n"},
        {Cards{}, "  No Chemical Formula (record keeping) \n"},
        {{form("Fe", "Q")}, "  Invalid Index Code for Primary Formula  \n"},
        {{form("fe", " ")}, "  Primary formula not in AIDS format\n"},
    };
    for (const auto& [cards, message] : faults) {
        Box1 b;
        Cards all = cards;
        all.push_back(kName);
        EXPECT_EQ(b.run(all, {}), "1");
        EXPECT_EQ(b.out.str(), message);
    }
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
        return cd('6', {{1, text}, {69, role}, {70, cont}});
    };
    // Name cards; status|line 4|line 5|line 6.
    const std::tuple<Cards, std::string> cases[] = {
        {{name("Other", "C"), name("ABC-", "P", "C"), name("DEF")}, "0|ABC-DEF||"},
        {{name("ABC", "P", "C")}, "0|ABC||"},              // joined with a blank card
        {{name("A $GA $ZZ $GA")}, "0|A alpha $ZZ $GA||"},  // an unknown code stops
        {{name("$AA$AA$AA$AA$AA$AA$AA$AA$AA$AA")},
         std::string("0|") + std::string(80, 'y') + "|yyyyyyyyyy|"},
        {{name(x67, "P", "C"), name("zzzz-tailtailtail")},
         std::string("0|") + x67 + " zzzz-|tailtailtail|"},
        // A hyphen at 81 starts line 5 rather than falling off line 4.
        {{name(x67, "P", "C"), name("zzzzzzzzzzzz-tail")},
         std::string("0|") + x67 + " zzzzzzzzzzzz|-tail|"},
        {{name("$GA-Quartz, \\ITsyn#2", "M")}, "1|||alpha-Quartz, syn2"},  // no chemical name
        {{name("A", "P"), name("Calcite", "M", "C")}, "1|A||Calcite"},     // continued mineral name
    };
    for (const auto& [cards, want] : cases) {
        Cards all = cards;
        all.push_back(kFe);
        EXPECT_EQ(Box1().run(all, {4, 5, 6}), want);
    }
    Box1 b;
    EXPECT_EQ(b.run({name("A", "P", "C"), name("B", "P", "C"), name("C"), kFe}, {4}), "0|A B");
    EXPECT_EQ(b.out.str(), "  continuat. card\n");
}

// Boxes 1 to 4 on a record of the sample database, with its code tables.
TEST(Boxes, SampleRecordFillsLinesOneToSeventeen) {
    const std::string dir = std::string(CORVANE_SOURCE_DIR) + "/sample/";
    std::ifstream in(dir + "phases.crd");
    std::string calcite;
    int k = 1;
    for (std::string line; std::getline(in, line) && k <= 3; k += line[79] == 'K') {
        if (k == 3) calcite += line;
    }
    std::ostringstream out;
    CardFormatter f(dir, "", out);
    opentables(f);
    f.ret3.set_dbname("KRX2");
    readbf(f, calcite, static_cast<int>(calcite.size()));
    f.cdeqpd.flag = 1;  // its C card is the identity
    std::string reftxt(165, ' '), lines;
    int opcard = 0, refprt = 0;
    EXPECT_EQ(phbox1(f), 0);
    EXPECT_EQ(phbox2(f, 0, reftxt), 0);
    EXPECT_EQ(phbox3(f, 0, reftxt), 0);
    EXPECT_EQ(phbox4(f, 0, reftxt, opcard, refprt), 0);
    for (int i = 1; i <= 17; ++i)
        lines += f.curcrd.curlin(i).substr(0, f.curcrd.curlin(i).find_last_not_of(' ') + 1) + "\n";
    EXPECT_EQ(lines, R"(5- 586  *
CaCO#3
Ca(CO#3)
Calcium Carbonate

Calcite, syn
CuKa1    1.5405  Ni          Diff.       17.7 Diffractometer2.00
Swanson, H.E., Fuyat, R.K., Natl. Bur. Stand. (U.S.) Circ. 539, 2 51 (1953)

Rhombohedral (Hex)R-3c        167 4.989    1            17.062   2
        3.4199                                6
Effenberger, H., Mereiter, K., Zemann, J., Z. Kristallogr., 156 233 (1981)

2.71   2.71   F(18)=49.6(.011,33)
1.486     1.658     1.658     -  0deg
Ghosh, G., Opt. Commun., 163 95 (1999)

)");
    EXPECT_EQ(out.str(), "");
}
