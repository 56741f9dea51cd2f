#include "cardkit.h"

using namespace cardkit;
using corvane::cols;
using corvane::card::fsplit;

namespace {

using Cards = std::vector<std::string>;

// A card of type t holding texts at the given columns.
std::string cd(char t, std::initializer_list<std::pair<int, std::string_view>> fields = {}) {
    std::string c = card("", t);
    for (const auto& [first, text] : fields) at(c, first, text);
    return c;
}

std::string trim(const std::string& s) {
    return s.substr(0, s.find_last_not_of(' ') + 1);
}

// A formatter that runs box 1 on a record of the given cards (after a blank
// type-1 card when they start with none, and before a K card).
struct Box1 {
    std::ostringstream out;
    CardFormatter f{"", "", out};
    int status = -1;

    Box1& run(Cards cards) {
        if (cards.empty() || cards[0][79] != '1') cards.insert(cards.begin(), cd('1'));
        std::string r;
        for (const auto& c : cards) r += c;
        r += cd('K');
        readbf(f, r, static_cast<int>(r.size()));
        out.str("");
        status = phbox1(f);
        return *this;
    }
    // "$" codes as code, display length and text.
    Box1& pi(std::initializer_list<std::string_view> codes) {
        for (std::string_view r : codes) {
            const int i = ++f.picds.npicd;
            f.picds.picode(i) = std::string(r.substr(0, 2));
            f.picds.pilen(i) = r[2] - '0';
            f.picds.pitext(i) = corvane::padded(r.substr(3), 10);
        }
        return *this;
    }
    // The status and the given lines of curlin up to their last non-blank; a
    // line number of 11 or more names the 10 columns of line 1 from there.
    std::string lines(std::initializer_list<int> which) const {
        std::string s = std::to_string(status);
        for (int i : which) {
            s += "|" + trim(i < 11 ? f.curcrd.curlin(i) : cols(f.curcrd.curlin(1), i, i + 9));
        }
        return s;
    }
};

const std::string kLines = cd('I', {{1, " 2.4324 10   1  1  1"}});
const std::string kName = cd('6', {{1, "Name"}, {69, "P"}});

}  // namespace

TEST(Phbox1, EntryNumberQualityAndDeletedMarks) {
    // Columns 72-78 of the type-1 card, the G card's quality code ('-': no G
    // card), then line 1 and whether the missing mark was reported.
    const std::tuple<const char*, char, const char*, bool> cases[] = {
        {" 050490", 'O', "5- 490  O", false}, {" 120490", 'S', "12-490  *", false},
        {" 120000", 'B', "12-", false},       {"D461045", 'I', "46-1045 iD", false},
        {" 000007", 'C', "0- 7    C", false}, {"X050490", 'Q', "5- 490", true},
        {" 050490", '-', "5- 490", true},
    };
    for (const auto& [number, q, line1, message] : cases) {
        Cards cards = {cd('1', {{72, number}}), cd('7', {{1, "Fe"}}), kName, kLines};
        if (q != '-') cards.push_back(cd('G', {{25, std::string(1, q)}}));
        Box1 b;
        EXPECT_EQ(b.run(cards).lines({1}), std::string("0|") + line1) << number << q;
        EXPECT_EQ(b.out.str(), message ? "  Quality Mark not set \n" : "") << number << q;
    }
    // Without d-spacing lines a missing mark is not reported.
    Box1 b;
    EXPECT_EQ(b.run({cd('7', {{1, "Fe"}}), kName}).out.str(), "");
}

TEST(Phbox1, PrimaryFormulaWithItsPrefix) {
    const std::string c2x22 = "C2 C2 C2 C2 C2 C2 C2 C2 C2 C2 C2 C2 C2 C2 C2 C2 C2 C2 C2 C2 C2 C2";
    std::string c3x30;  // 30 times "C#2": positions 81-90 hold "2C#2C#2C#2"
    for (int i = 0; i < 30; ++i) c3x30 += "C#2";
    const Cards ninety = {cd('7', {{1, c2x22}, {70, "C"}}),
                          cd('7', {{1, "C2 C2 C2 C2 C2 C2 C2 C2"}})};
    // A-card prefix (columns 11-16), formula cards, status|line 2|line 1 columns 11-20.
    const std::tuple<const char*, Cards, std::string> cases[] = {
        {"", {cd('7', {{1, "Fe2 O3"}})}, "0|Fe#2O#3|"},
        {"$GA", {cd('7', {{1, "Fe2 O3"}, {69, "A"}})}, "0|alpha-Fe#2O#3|"},
        {" Ab", {cd('7', {{1, "Fe2 O3"}, {69, "X"}})}, "0| Ab-Fe#2O#3|"},
        {"", {cd('7', {{1, "Ca C"}, {70, "C"}}), cd('7', {{1, "O3"}})}, "0|CaCO#3|"},
        {"", {cd('7', {{1, "Fe2"}, {70, "C"}})}, "0|Fe#2|"},  // joined with a blank card
        {"", ninety, "0|" + c3x30.substr(0, 80) + "|2C#2C#2C#2"},
        // After "Ab-" 87 positions are left: the 30th token does not fit.
        {"Ab", ninety, "1|Ab-" + c3x30.substr(0, 77) + "|2C#2C#2C#2"},
        {"", {cd('7', {{1, "fe"}})}, "1|fe?|"},
        {"", {cd('7', {{1, "Fe"}, {69, "Q"}})}, "1|Fe|"},
    };
    for (const auto& [prefix, formulas, want] : cases) {
        Cards cards = formulas;
        cards.push_back(cd('A', {{11, prefix}}));
        cards.push_back(kName);
        EXPECT_EQ(Box1().pi({"GA5alpha"}).run(cards).lines({2, 11}), want) << prefix << formulas[0];
    }
}

TEST(Phbox1, MissingOrFaultyFormulasAreReported) {
    const std::tuple<Cards, const char*> cases[] = {
        {{kName, kLines, cd('G', {{25, "O"}})}, "  No chemical formula \n"},
        {{kName}, "  No Chemical Formula (record keeping) \n"},
        {{kName, cd('7', {{1, "Fe"}, {69, "Q"}})}, "  Invalid Index Code for Primary Formula  \n"},
        {{kName, cd('7', {{1, "fe"}})}, "  Primary formula not in AIDS format\n"},
    };
    for (const auto& [cards, message] : cases) {
        Box1 b;
        EXPECT_EQ(b.run(cards).status, 1) << message;
        EXPECT_EQ(b.out.str(), message);
    }
}

TEST(Phbox1, SecondFormula) {
    const auto form = [](const char* text, const char* index, const char* cont = " ") {
        return cd('7', {{1, text}, {69, index}, {70, cont}});
    };
    // Formula cards, then status|line 3|line 1 columns 21-30.
    const std::tuple<Cards, std::string> cases[] = {
        {{form("Fe", " "), form("Ca", " "), form("Na Cl", "S")}, "0|NaCl|"},
        {{form("Fe", "X"), form("Ca", " ")}, "0|Ca|"},
        {{form("Fe", " "), form("Ca", " ")}, "0||"},
        // A card that continues the one before it is no formula of its own.
        {{form("Fe", "X", "C"), form("O", " "), form("Mg", " ", "C")}, "0|Mg|"},
        {{form("Fe", " "), form("mg", "S")}, "1|mg?|"},  // no message
    };
    for (const auto& [cards, want] : cases) {
        Cards all = cards;
        all.push_back(kName);
        Box1 b;
        EXPECT_EQ(b.run(all).lines({3, 21}), want) << cards[1];
        EXPECT_EQ(b.out.str(), "");
    }
}

TEST(Fsplit, BreaksAtTheLaterOfTheLastBlankAndHyphen) {
    const auto put = [](std::string text, int p, char c) {
        text[static_cast<std::size_t>(p - 1)] = c;
        return text;
    };
    const std::string x160(160, 'x'), x20(20, 'x');
    // Text, pos, end1, start2.
    const std::tuple<std::string, int, int, int> cases[] = {
        {put(put(x160, 40, ' '), 60, '-'), 81, 60, 61},  // 40 is not beyond the middle
        {put(put(x160, 40, ' '), 30, '-'), 81, 39, 41},  // the blank is the later
        {put(x160, 70, ' '), 81, 69, 71},
        {put(put(x160, 81, ' '), 82, ' '), 81, 80, 83},         // the blank at pos itself
        {put(put(x20, 15, ' '), 17, '-'), 18, 14, 16},          // beyond the middle: wins at once
        {x20.substr(0, 10) + std::string(10, ' '), 11, 10, 0},  // nothing after the break
        {put(x20, 1, ' '), 5, 0, 2},
        {"abc-def", 7, 4, 5},
        {"abc def", 7, 3, 5},  // 10 characters or fewer: any blank
        {x160, 81, 0, 0},
        {"", 1, 0, 0},
    };
    for (const auto& [text, pos, end1, start2] : cases) {
        int e = -1, s = -1;
        fsplit(text, pos, e, s);
        EXPECT_EQ(std::pair(e, s), std::pair(end1, start2)) << text << " " << pos;
    }
}

TEST(Phbox1, ChemicalNameJoinsExpandsAndBreaks) {
    const std::string x67(67, 'x');
    const auto name = [](std::string_view text, const char* role = "P", const char* cont = " ") {
        return cd('6', {{1, text}, {69, role}, {70, cont}});
    };
    // Name cards, then status|line 4|line 5|line 6.
    const std::tuple<Cards, std::string> cases[] = {
        {{name("Other", "C"), name("ABC-", "P", "C"), name("DEF")}, "0|ABC-DEF||"},
        {{name("ABC", "P", "C"), name("DEF")}, "0|ABC DEF||"},
        {{name("ABC", "P", "C")}, "0|ABC||"},              // joined with a blank card
        {{name("A $GA $ZZ $GA")}, "0|A alpha $ZZ $GA||"},  // an unknown code ends the expansion
        {{name("$AA$AA$AA$AA$AA$AA$AA$AA$AA$AA")}, "0|" + std::string(80, 'y') + "|yyyyyyyyyy|"},
        {{name(x67, "P", "C"), name("zzzz-tailtailtail")}, "0|" + x67 + " zzzz-|tailtailtail|"},
        // The joining blank at 68 and a hyphen at 81: the hyphen starts line 5
        // rather than falling off line 4.
        {{name(x67, "P", "C"), name("zzzzzzzzzzzz-tail")}, "0|" + x67 + " zzzzzzzzzzzz|-tail|"},
        {{name("Mineral", "M")}, "1|||Mineral"},
        {Cards{}, "1|||"},
    };
    for (const auto& [cards, want] : cases) {
        Cards all = cards;
        all.push_back(cd('7', {{1, "Fe"}}));
        EXPECT_EQ(Box1().pi({"GA5alpha", "AA9yyyyyyyyy"}).run(all).lines({4, 5, 6}), want) << want;
    }
    Box1 b;
    EXPECT_EQ(b.run({name("A", "P", "C"), name("B", "P", "C"), name("C"), cd('7', {{1, "Fe"}})})
                  .lines({4}),
              "0|A B");
    EXPECT_EQ(b.out.str(), "  continuat. card\n");
}

TEST(Phbox1, MineralNameWithoutMarkupAndWithItsCodes) {
    // Mineral name card, its continuation mark, whether the table is loaded;
    // status|line 6.
    const std::tuple<const char*, const char*, bool, const char*> cases[] = {
        {"$GA-Quartz", " ", true, "0|alpha-Quartz"},
        {"$GA-Quartz", " ", false, "0|$GA-Quartz"},
        {"Calcite, \\ITsyn#2", " ", false, "0|Calcite, syn2"},
        {"Calcite", "C", false, "1|Calcite"},  // a continued mineral name is an error
    };
    for (const auto& [text, cont, table, want] : cases) {
        Box1 b;
        if (table) b.pi({"GA5alpha"});
        EXPECT_EQ(b.run({kName, cd('6', {{1, text}, {69, "M"}, {70, cont}}), cd('7', {{1, "Fe"}})})
                      .lines({6}),
                  want);
    }
}

TEST(Phbox1, SampleRecords) {
    const std::string kDir = std::string(CORVANE_SOURCE_DIR) + "/sample/";
    std::ifstream in(kDir + "phases.crd");
    Cards calcite, corundum;
    int k = 1;
    for (std::string line; std::getline(in, line); k += line[79] == 'K') {
        if (k == 3) calcite.push_back(line.substr(0, 80));
        if (k == 5) corundum.push_back(line.substr(0, 80));
    }
    Box1 b;
    b.f.dbpath2 = kDir;
    opentables(b.f);
    EXPECT_EQ(b.run(calcite).lines({1, 2, 3, 4, 5, 6}),
              "0|5- 586  *|CaCO#3|Ca(CO#3)|Calcium Carbonate||Calcite, syn");
    EXPECT_EQ(b.run(corundum).lines({1, 2, 3, 4, 5, 6}),
              "0|10-173  *D|alpha-Al#2O#3||Aluminum Oxide||Corundum, syn");
    EXPECT_EQ(b.out.str(), "");
}
