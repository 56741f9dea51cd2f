#include "cardkit.h"

using namespace cardkit;
using corvane::cols;
using corvane::padded;
using corvane::card::pherr;

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

// A formatter that runs box 3 on a record of the given cards (after a blank
// type-1 card when they start with none) and a K card; cdeqpd as given.
struct Box3 {
    std::ostringstream out;
    CardFormatter f{"", "", out};

    Box3& run(Cards cards, int cdeqpd = 1) {
        if (cards.empty() || cards[0][79] != '1') cards.insert(cards.begin(), cd('1'));
        std::string r;
        for (const auto& c : cards) r += c;
        r += cd('K');
        readbf(f, r, static_cast<int>(r.size()));
        f.cdeqpd.flag = cdeqpd;
        std::string reftxt(165, 'x');
        EXPECT_EQ(phbox3(f, 0, reftxt), 0);
        return *this;
    }
    Box3& pi(std::string_view r) {
        const int i = ++f.picds.npicd;
        f.picds.picode(i) = std::string(r.substr(0, 2));
        f.picds.pilen(i) = r[2] - '0';
        f.picds.pitext(i) = padded(r.substr(3), 10);
        return *this;
    }
    // Columns first..last of line n, up to their last non-blank.
    std::string at(int n, int first, int last) const {
        return trim(cols(f.curcrd.curlin(n), first, last));
    }
};

}  // namespace

TEST(Pherr, TheTwoDigitsFromTheFirstSignificantOne) {
    const std::pair<const char*, const char*> cases[] = {
        {"  0.0012 ", "12"}, {"0.000", "  "}, {"0.02", "2 "},   {"    0.001", "1 "},
        {"", "  "},          {"12.5", "12"},  {" 0.105", "10"}, {"0.0-3", "-3"},
    };
    for (const auto& [field, err2] : cases) {
        std::string out = "??";
        pherr(field, out);
        EXPECT_EQ(out, err2) << field;
    }
}

TEST(Phbox3, SystemSpaceGroupAndCellEdges) {
    // Cards; line 10.
    const std::tuple<Cards, std::string> cases[] = {
        {{cd('1', {{1, "  5.4310"}, {10, "5.4"}, {19, "   7.25"}, {79, "C"}}),
          cd('2', {{1, "   0.0003"}, {10, "0.02"}, {19, "0.000"}}),
          cd('3', {{1, "P21/c"}, {9, "E"}}), cd('4', {{11, " 14"}})},
         padded("Cubic", 18) + padded("P21/c", 12) + "14 B" + "5.4310   3 5.4      2 7.25       " +
             std::string(13, ' ')},
        {{cd('1', {{79, "R"}}), cd('4', {{11, "*167"}})},
         "Rhombohedral (Hex)" + std::string(62, ' ')},
        {{cd('1', {{1, "4.0"}, {79, "X"}}), cd('3', {{1, "Fm-3m"}})},
         std::string(18, ' ') + padded("Fm-3m", 16) + padded("4.0", 46)},
    };
    for (const auto& [cards, line10] : cases) {
        Box3 b;
        EXPECT_EQ(b.run(cards).f.curcrd.curlin(10), line10) << cards[0];
    }
}

TEST(Phbox3, AxialRatios) {
    // System code, cdeqpd, a, b, c (type-1 columns 1, 10, 19); ratio A|ratio C.
    const std::tuple<const char*, int, const char*, const char*, const char*, const char*> cases[] =
        {
            {"O", 1, "5.0", "10.0", "2.5", "0.5000|0.2500"},
            {"M", 1, "12.5", "5.0", "7.5", "2.5000|1.5000"},
            {"T", 1, "10.0", "", "5.0", "|.5000"},  // no leading zero for c/a
            {"H", 1, "4.9134", "", "5.4052", "|1.1001"},
            {"A", 1, "4.0", "", "", "1.0000|1.0000"},  // b and c take the value of a
            {"O", 0, "5.0", "10.0", "2.5", "|"},
            {"C", 1, "5.0", "", "", "|"},
            {"X", 1, "5.0", "10.0", "2.5", "|"},
            {"O", 1, "", "10.0", "2.5", "|"},
            {"O", 1, "5.0x", "10.0", "2.5", "|"},  // not a number: no ratios
        };
    for (const auto& [code, eq, a, b, c, want] : cases) {
        Box3 box;
        box.run({cd('1', {{1, a}, {10, b}, {19, c}, {79, code}})}, eq);
        EXPECT_EQ(box.at(11, 1, 8) + "|" + box.at(11, 9, 16), want) << code << a << b << c;
    }
}

TEST(Phbox3, AnglesZAndMeltingPoint) {
    Box3 b;
    b.pi("XY2ab");
    b.run({cd('1', {{28, "  90.0"}, {36, "101.5"}, {44, "  120.00"}}),
           cd('2', {{28, "  0.05"}, {44, "0.10"}}), cd('3', {{20, "     4"}, {26, "G"}}),
           cd('B', {{1, "Colour"}, {68, "CL"}}), cd('B', {{1, "$XY 250"}, {68, "MP"}}),
           cd('B', {{1, "300"}, {68, "MP"}})});
    EXPECT_EQ(b.f.curcrd.curlin(11), std::string(16, ' ') + "90.0    5 101.5     120.00  10" +
                                         "4g    " + " " + padded("ab 250", 27));
    EXPECT_EQ(b.f.card(1, 1).substr(27, 24), "90.0    101.5   120.00  ");  // justified in place

    // Z columns 20-25 and column 26, the melting-point text; Z|flag|mp.
    const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
        {"4     ", "G", "2852 C", "4    g| |2852 C"},
        {"    12", "E", "mp $XY, 1000 K", "12|B|mp ab, 1000 K"},
        {"   2.5", " ", "abcdefghijklmnopqrstu$GAvw", "2.5| |abcdefghijklmnopqrstualph"},
        {"      ", " ", "abcdefghijklmnopqrstuvw$XY", "| |abcdefghijklmnopqrstuvwab"},
    };
    for (const auto& [z, flag, mp, want] : cases) {
        Box3 box;
        box.pi("XY2ab").pi("GA5alpha");
        box.run({cd('3', {{20, z}, {26, flag}}), cd('B', {{1, mp}, {68, "MP"}})});
        EXPECT_EQ(box.at(11, 47, 52) + "|" + cols(box.f.curcrd.curlin(11), 53, 53) + "|" +
                      box.at(11, 54, 78),
                  want);
    }
}

TEST(Phbox3, DensitiesAndFigureOfMerit) {
    const std::string t3 = cd('3', {{30, " 3.576"}, {38, " 3.580"}, {44, "E"}});
    // Cards; line 14 up to its last non-blank.
    const std::tuple<Cards, std::string> cases[] = {
        {{t3}, "3.580 B3.576"},
        {{t3, cd('4', {{38, " 3.600"}})}, "3.600  3.576"},
        {{t3, cd('4', {{38, " 3.600"}, {44, "G"}})}, "3.580  3.576"},
        {{t3, cd('4', {{38, " 3.600"}, {59, "G"}})}, "3.580  3.576"},
        {{t3, cd('4')}, "3.580  3.576"},
        {{t3, cd('5', {{3, "M"}})}, "3.58  B3.58"},
        // Not a number under (F6.3): the text stays as it is.
        {{cd('3', {{30, "3.576"}, {38, "3.5x"}}), cd('5', {{3, "M"}})}, "3.5x   3.58"},
        {{cd('4', {{38, " 3.600"}})}, ""},
        {{cd('G', {{34, "12.3"}, {40, ".012"}, {46, "30"}, {49, " 45"}})},
         std::string(14, ' ') + "F(30)=12.3(.012,45)"},
        {{cd('G', {{40, ".012"}, {46, "30"}, {49, " 45"}})}, ""},
    };
    for (const auto& [cards, want] : cases) {
        Box3 b;
        EXPECT_EQ(trim(b.run(cards).f.curcrd.curlin(14)), want) << cards[0];
    }
}

TEST(Phbox3, UnitCellReference) {
    const std::string uc = cd('9', {{22, "Xa, A."}, {68, "UC"}}), other = cd('9', {{22, "Xb, B."}});
    // System code, reference cards; line 12|line 13.
    const std::tuple<const char*, Cards, std::string> cases[] = {
        {"C", {other, uc}, "Xa, A., ***misspelled or not in coden file***|"},
        {"C", {other}, "Ibid.|"},
        {"X", {other}, "|"},
        {"C", {}, "|"},
    };
    for (const auto& [code, refs, want] : cases) {
        Cards cards = {cd('1', {{79, code}})};
        cards.insert(cards.end(), refs.begin(), refs.end());
        Box3 b;
        b.run(cards);
        EXPECT_EQ(trim(b.f.curcrd.curlin(12)) + "|" + trim(b.f.curcrd.curlin(13)), want) << code;
    }
}

TEST(Phbox3, SampleRecords) {
    const std::string kDir = std::string(CORVANE_SOURCE_DIR) + "/sample/";
    std::ifstream in(kDir + "phases.crd");
    Cards calcite, corundum;
    int k = 1;
    for (std::string line; std::getline(in, line); k += line[79] == 'K') {
        if (k == 3) calcite.push_back(line.substr(0, 80));
        if (k == 5) corundum.push_back(line.substr(0, 80));
    }
    Box3 b;
    b.f.dbpath2 = kDir;
    opentables(b.f);
    const auto& l = b.run(calcite).f.curcrd.curlin;
    EXPECT_EQ(l(10), "Rhombohedral (Hex)R-3c        167 4.989    1            17.062   2 " +
                         std::string(13, ' '));
    EXPECT_EQ(l(11), std::string(8, ' ') + "3.4199  " + std::string(30, ' ') + "6      " +
                         std::string(27, ' '));
    EXPECT_EQ(trim(l(12)),
              "Effenberger, H., Mereiter, K., Zemann, J., Z. Kristallogr., 156 233 (1981)");
    EXPECT_EQ(l(13), std::string(80, ' '));
    EXPECT_EQ(trim(l(14)), "2.71   2.71   F(18)=49.6(.011,33)");

    b.run(corundum);
    EXPECT_EQ(trim(l(12)),
              "Lewis, J., Schwarzenbach, D., Flack, H.D., Acta Crystallogr., Sect. A, A38 733");
    EXPECT_EQ(trim(l(13)), "(1982)");
    EXPECT_EQ(b.at(11, 9, 16), "2.7303");
}
