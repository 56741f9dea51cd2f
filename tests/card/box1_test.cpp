#include "support/support.h"

using namespace cvtest;
using corvane::card::CardFormatter;
using corvane::card::fsplit;

namespace {

// Box 1 on a record of the cards, with the "$" codes GA (alpha) and AA (nine
// y): the status and the given lines up to their last non-blank; 11 and 21
// name the 10 columns of line 1 from there.
struct Box1 {
    std::ostringstream out;
    CardFormatter f{"", "", out};
    std::string run(const Cards& cards, std::initializer_list<int> lines) {
        picodes(f, {"GA5alpha", "AA9yyyyyyyyy"});
        const std::string r = record_of(cards);
        readbf(f, r, static_cast<int>(r.size()));
        std::string s = std::to_string(phbox1(f));
        for (int i : lines) {
            const std::string l =
                i < 11 ? f.curcrd.curlin(i) : corvane::cols(f.curcrd.curlin(1), i, i + 9);
            s += '|' + trimmed(l);
        }
        return s;
    }
};

const std::string kName = card('6', {{1, "Name"}, {69, "P"}}), kFe = card('7', {{1, "Fe"}});
const std::string kLine = card('I', {{1, " 2.4324 10   1  1  1"}});

}  // namespace

TEST(Phbox1, EntryNumberAndMarks) {
    // Type-1 columns 72-78, the G card's quality code ('-': no G card); line 1.
    const std::tuple<const char*, char, const char*> cases[] = {
        {" 050490", 'S', "0|5- 490  *"},
        {" 120490", 'B', "0|12-490"},  // no mark, and not reported
        {"D120000", 'I', "0|12-     iD"},
        {" 050490", '-', "0|5- 490  Quality Mark not set \n"},  // no G card, lines present
    };
    for (const auto& [number, q, want] : cases) {
        Cards cards = {card('1', {{72, number}}), kFe, kName, kLine};
        if (q != '-') cards.push_back(card('G', {{25, std::string(1, q)}}));
        Box1 b;
        const std::string line = b.run(cards, {1});
        EXPECT_EQ(line + b.out.str(), want) << number;
    }
}

TEST(Phbox1, Formulas) {
    std::string c3x30;  // positions 81-90 of thirty "C#2" hold "2C#2C#2C#2"
    for (int i = 0; i < 30; ++i) c3x30 += "C#2";
    const std::string c2x22 = "C2 C2 C2 C2 C2 C2 C2 C2 C2 C2 C2 C2 C2 C2 C2 C2 C2 C2 C2 C2 C2 C2";
    const Cards ninety = {card('7', {{1, c2x22}, {70, "C"}}),
                          card('7', {{1, "C2 C2 C2 C2 C2 C2 C2 C2"}})};
    const auto form = [](const char* text, const char* index, const char* cont = " ") {
        return card('7', {{1, text}, {69, index}, {70, cont}});
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
        {"", ninety, std::string("0|") + c3x30.substr(0, 80) + "|2C#2C#2C#2||"},
        {"Ab", ninety,
         std::string("1|Ab-") + c3x30.substr(0, 77) + "|2C#2C#2C#2||"},  // 87 positions left
        {"", {form("Fe", " "), form("mg", "S")}, "1|Fe||mg?|"},
    };
    for (const auto& [prefix, formulas, want] : cases) {
        EXPECT_EQ(Box1().run(formulas + Cards{card('A', {{11, prefix}}), kName}, {2, 11, 3, 21}),
                  want)
            << prefix << formulas[0];
    }
    const std::tuple<Cards, const char*> faults[] = {
        {{kLine, card('G', {{25, "O"}})}, "  No chemical formula \n"},
        {Cards{}, "  No Chemical Formula (record keeping) \n"},
        {{form("Fe", "Q")}, "  Invalid Index Code for Primary Formula  \n"},
        {{form("fe", " ")}, "  Primary formula not in AIDS format\n"},
    };
    for (const auto& [cards, message] : faults) {
        Box1 b;
        EXPECT_EQ(b.run(cards + Cards{kName}, {}), "1");
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
        return card('6', {{1, text}, {69, role}, {70, cont}});
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
    for (const auto& [cards, want] : cases)
        EXPECT_EQ(Box1().run(cards + Cards{kFe}, {4, 5, 6}), want);
    Box1 b;
    EXPECT_EQ(b.run({name("A", "P", "C"), name("B", "P", "C"), name("C"), kFe}, {4}), "0|A B");
    EXPECT_EQ(b.out.str(), "  continuat. card\n");
}
