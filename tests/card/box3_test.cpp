#include "support/support.h"

using namespace cvtest;
using corvane::padded;
using corvane::card::CardFormatter;
using corvane::card::pherr;

namespace {

// Box 3 on a record of the cards with cdeqpd as given and the "$" codes XY
// (ab) and GA (alpha); line n, columns first..last up to their last non-blank.
struct Box3 {
    CardFormatter f;
    explicit Box3(const Cards& cards, int cdeqpd = 1) {
        picodes(f, {"XY2ab", "GA5alpha"});
        const std::string r = record_of(cards);
        readbf(f, r, static_cast<int>(r.size()));
        f.cdeqpd.flag = cdeqpd;
        std::string reftxt(165, 'x');
        EXPECT_EQ(phbox3(f, 0, reftxt), 0);
    }
    std::string at(int n, int first = 1, int last = 80) const {
        return trimmed(corvane::cols(f.curcrd.curlin(n), first, last));
    }
};

}  // namespace

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
    EXPECT_EQ(Box3({card('1', {{79, "R"}}), card('4', {{11, "*167"}})}).at(10),
              "Rhombohedral (Hex)");
    EXPECT_EQ(Box3({card('1', {{79, "X"}}), card('3', {{1, "Fm-3m"}})}).at(10),
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
        EXPECT_EQ(box.at(11, 1, 8) + "|" + box.at(11, 9, 16), want) << code << a << b << c;
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
        EXPECT_EQ(box.at(11, 47, 52) + "|" + box.f.curcrd.curlin(11)[52] + "|" + box.at(11, 54, 78),
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
    for (const auto& [cards, want] : cases) EXPECT_EQ(Box3(cards).at(14), want) << cards[0];

    const std::string uc = card('9', {{22, "Xa, A."}, {68, "UC"}}),
                      other = card('9', {{22, "Xb, B."}});
    const std::tuple<const char*, Cards, std::string> refs[] = {
        {"C", {other, uc}, "Xa, A., ***misspelled or not in coden file***"},
        {"C", {other}, "Ibid."},
        {"X", {other}, ""},
    };
    for (const auto& [code, cards, want] : refs) {
        const Box3 b(Cards{card('1', {{79, code}})} + cards);
        EXPECT_EQ(b.at(12) + "|" + b.at(13), want + "|") << code;
    }
}
