// The card's page, line for line: two whole cards, the mode headings and
// conversions, the formula forms, the comment lines, the continuation paging,
// and the small routines of the layout.

#include "support/support.h"

using namespace cvtest;
using corvane::padded;
using corvane::card::CardFormatter;
using corvane::card::shform;
using Lines = std::vector<std::string>;

namespace {

// The box area of a line: "| " and the text, to column 88.
std::string box(std::string_view text) {
    std::string s = "| ";
    s += text;
    s.resize(88, ' ');
    return s;
}
const std::string kBoxRule = "|" + std::string(86, '-') + " ";
const std::string kSep = "|---------+-----+----------------------|";
const std::string kEmpty = "|         |     |                      |";
const std::string kRule127(127, '-');
const std::string kRule118(118, '-');

// A table row beside the boxes: d (9), intensity (4), h k l (22).
std::string row(std::string_view d, std::string_view i, std::string_view hkl) {
    return std::string("|").append(d).append("| ").append(i).append("|").append(hkl).append("|");
}
// The same cells in the continuation table, without the leading frame.
std::string cells(std::string_view d, std::string_view i, std::string_view hkl) {
    return row(d, i, hkl).substr(1);
}
const std::string kEmptyGroup = kEmpty.substr(1);

// Runs the whole formatter on a record, the code tables in dir.
Formatted format(TempDir& dir, const std::string& record, std::string code) {
    return format_card(dir.slash(), record, std::move(code));
}

// ---- the rich record: every box, 31 table rows ---------------------------------

std::string rich_record() {
    Lines lines = {
        dline("9.8765", 15, ' ', 0, 0, 1),     dline("5.0000", 100, ' ', 2, 0, 0),
        dline("4.1234", 8, 'B', 1, 1, 0),      dline("3.5000", 20, ' ', 1, 1, 1, 'C'),
        dline("3.2100", 12, 'L', 0, 2, 1),     dline("3.0000", 30, ' ', 2, 1, 0, ' ', 'E'),
        dline("2.8000", 5, 'U', 2, 0, 1),      dline("2.7000", 5, 'U', 1, 2, 1),
        dline("2.5000", 40, ' ', 2, 1, 1),     dline("2.5000", 40, ' ', 1, 0, 2),
        dline("2.3000", 7, ' ', 0, 0, 3, 'L'), dline("2.2000", 9, ' ', 2, 2, 0, '*'),
        dline("2.1000", 6, ' ', 1, 1, 2, 'N'), dline("2.0000", 11, ' ', 2, 0, 2, 'E'),
    };
    const char* const plain[] = {"1.9500", "1.9000", "1.8500", "1.8000", "1.7500", "1.7000",
                                 "1.6500", "1.6000", "1.5500", "1.5000", "1.4500", "1.4000",
                                 "1.3500", "1.3000", "1.2500", "1.2000", "1.1500", "1.1000"};
    for (int j = 0; j < 18; ++j) lines.push_back(dline(plain[j], 10, ' ', 3, 0, j + 1));

    const char* const identity = "       1.00  0.00  0.00   0.00  1.00  0.00   0.00  0.00  1.00";
    return card('1', {{1, "    5.000   10.000    2.500"}, {36, "  100.50"}, {72, "D351234M"}}) +
           card('2', {{1, "    0.001   0.0012"}, {36, "    0.02"}}) +
           card('3', {{1, "P21/c   E"}, {20, "     4E"}, {30, " 3.123"}, {38, " 3.140"}}) +
           card('4', {{12, "14"}, {51, "  123.45"}, {61, "   125.00"}}) +
           card('5', {{54, "12345-67-8"}}) +
           card('6',
                {{1, "Potassium Magnesium Aluminum Silicate Hydroxide Fluoride"}, {69, "PC"}}) +
           card('6', {{1, "Hydrate of the Mica Group"}}) +
           card('6', {{1, "Fluorophlogopite, syn"}, {69, "M"}}) +
           card('6', {{1, "Mica"}, {69, "C"}}) + card('7', {{1, "K Mg3 ( Al Si3 O10 ) F2"}}) +
           card('7', {{1, "K Mg3 Al Si3 O10 F2"}, {69, "S"}}) +
           card('9', {{1, "JACGAR  12  345 1979 Smith, A.B., Jones, C."}}) +
           card('9', {{1, "ZEKRDZ 150  101 1980 Brown, D., White, E., Green, F., Black, G."},
                      {68, "UC"}}) +
           card('9', {{1, "AMMIAY  70   12 1985 Gray, H."}, {68, "OP"}}) +
           card('9', {{1, "AMMIAY  71  200 1986 Blue, K."}, {68, "ST"}}) +
           card('A', {{1, "mC44"}, {18, "Mica"}}) + card('B', {{1, "Pink."}, {68, "CL"}}) +
           card('B', {{1, "1200 C"}, {68, "MP"}}) +
           card('B', {{1, "A=1.522,B=1.550,Q=1.551,SIGN=-,2V=10$DE"}, {68, "OP"}}) +
           card('B', {{1, "Pattern taken at 23 C."}, {68, "TM"}}) +
           card('B', {{1, "*Overlaps the silicon standard line."}, {68, "FN"}}) +
           card('C', {{1, identity}}) +
           card('F', {{1, "CuKa1 1.5406"},
                      {21, "M"},
                      {23, "Ge"},
                      {30, "D"},
                      {33, " 12.5"},
                      {41, "G"},
                      {43, "Hagg"}}) +
           card('G', {{1, "D P  1.50"}, {25, "I"}, {34, " 45.2  .012 28  30"}}) + icards(lines) +
           card('+', {{3, "5.00x  2.500  3.000  2.200  3.500  9.877  2.800  4.123  "}}) + card('K');
}

class Layout : public ::testing::Test {
  protected:
    void SetUp() override {
        dir.write("picodes.tbl", "NO3No.\nDE3deg\n");
        dir.write("codens.tbl", rec81("000000         4") + rec81("AMMIAY Am. Mineral.") +
                                    rec81("JACGAR J. Appl. Crystallogr.") +
                                    rec81("ZEKRDZ Z. Kristallogr."));
        dir.write("stdcodes.tbl", "");
        dir.write("mineral.tbl", "");
    }
    // prtcrd on the record in the given mode; the page's lines.
    Lines print(CardFormatter& f, const std::string& record, char mode, float halflm = 0) {
        std::ostringstream page;
        f.set_page(page);
        f.ret3.set_dbyear("2000");
        EXPECT_EQ(readbf(f, record, static_cast<int>(record.size())), 0);
        f.cvtsp.spmode = mode;
        f.cvtsp.halflm = halflm;
        prtcrd(f);
        return cvtest::lines(page.str());
    }
    TempDir dir;
    std::ostringstream msg;
};

}  // namespace

// Every line of a card that fills every box, derived from the record by hand:
// mode "D" shows the d texts as they stand, the 31 rows run on below the card.
TEST_F(Layout, RichCardLineForLine) {
    const std::string hkl1 = "        ";  // before the first index of a centred cell
    Lines want = {
        "35-1234    (c) TARN Powder Data ed. 2000    Radiation:           Quality: i     DELETED",
        kRule127,
        box("") + "|   d A   | Int.|         h k l        |",
        box("KMg (AlSi O  )F " + std::string(28, ' ') + "KMg AlSi O  F ") + kSep,
        box("   3     3 10  2" + std::string(28, ' ') + "   3    3 10 2") + kEmpty,
        box("") + row(" 9.8765  ", " 15 ", hkl1 + "0  0  1       "),
        box("Potassium Magnesium Aluminum Silicate Hydroxide Fluoride Hydrate of the Mica") +
            row(" 5.0000  ", "100 ", hkl1 + "2  0  0       "),
        box("Group") + row(" 4.1234  ", "  8b", hkl1 + "1  1  0       "),
        box("Fluorophlogopite, syn") + row(" 3.5000  ", " 20 ", hkl1 + "1  1  1c      "),
        kBoxRule + row(" 3.2100  ", "<12 ", hkl1 + "0  2  1       "),
        box("Rad: CuKa1      Lambda: 1.5406           Filter: Ge Mono.      d-sp: Guin. -Hagg ") +
            kEmpty,
        box("Cutoff: 12.5    Int: Diffractometer      I/Icor: 1.50    ") +
            row("[3.0000] ", " 30 ", hkl1 + "2  1  0       "),
        box("Ref: Smith, A.B., Jones, C., J. Appl. Crystallogr., 12 345 (1979)") +
            row(" 2.8000  ", "  5 ", hkl1 + "2  0  1       "),
        box("") + row(" 2.7000  ", "  \" ", hkl1 + "1  2  1       "),
        kBoxRule + row(" 2.5000  ", " 40 ", "   2  1  1,   1  0  2 "),
        box("Sys: Monoclinic             S.G.: [P21/c (14)]") +
            row(" 2.3000  ", "  7 ", "          0  0        "),
        box("a: 5.000(1)       b: 10.000(12)     c: 2.500          A: 0.5000    C: 0.2500  ") +
            kEmpty,
        box("A:                B: 100.50(2)      C:                Z: [4]       mp: 1200 C") +
            row(" 2.2000  ", "  9 ", hkl1 + "2  2  0*      "),
        box("Ref: Brown, D. et al., Z. Kristallogr., 150 101 (1980)") +
            row(" 2.1000  ", "  6 ", hkl1 + "1  1  2n      "),
        box("") + row(" 2.0000  ", " 11 ", "     [  2  0  2]      "),
        box("Dx:  3.140    Dm:  3.123    SS/FOM: F(28)=45.2(.012,30)") +
            row(" 1.9500  ", " 10 ", hkl1 + "3  0  1       "),
        kBoxRule + row(" 1.9000  ", " 10 ", hkl1 + "3  0  2       "),
        box("ea: 1.522       nwB: 1.550       ey: 1.551       Sign: -    2V: 10deg") + kEmpty,
        box("Ref: Gray, H., Am. Mineral., 70 12 (1985)") +
            row(" 1.8500  ", " 10 ", hkl1 + "3  0  3       "),
        box("") + row(" 1.8000  ", " 10 ", hkl1 + "3  0  4       "),
        kBoxRule + row(" 1.7500  ", " 10 ", hkl1 + "3  0  5       "),
        // The comments: six segments, then blank lines to the ninth.
        box("Color: Pink.") + row(" 1.7000  ", " 10 ", hkl1 + "3  0  6       "),
        box("Peak height intensities.  Pattern taken at 23 C.  CAS No.: 12345-67-8.  Mica") +
            row(" 1.6500  ", " 10 ", hkl1 + "3  0  7       "),
        box("type.  Also called: Mica.") + kEmpty,
        box("*Overlaps the silicon standard line.") +
            row(" 1.6000  ", " 10 ", hkl1 + "3  0  8       "),
        box("PSC: mC44.  Structure reference: Blue, K., Am. Mineral., 71 200 (1986).  Mwt:") +
            row(" 1.5500  ", " 10 ", hkl1 + "3  0  9       "),
        box("123.45.  Volume[CD]: 125.00.") + row(" 1.5000  ", " 10 ", hkl1 + "3  0 10       "),
        box("") + row(" 1.4500  ", " 10 ", hkl1 + "3  0 11       "),
        box("") + row(" 1.4000  ", " 10 ", hkl1 + "3  0 12       "),
        box("") + kEmpty,
        kRule127,
        // Rows 26 to 31: one page, five to a column.
        " ",
        kRule118,
        "|   d A   | Int.|         h k l        |   d A   | Int.|         h k l        |"
        "   d A   | Int.|         h k l        |",
        "|---------+-----+----------------------+---------+-----+----------------------+"
        "---------+-----+----------------------|",
        "|" + cells(" 1.3500  ", " 10 ", hkl1 + "3  0 13       ") +
            cells(" 1.1000  ", " 10 ", hkl1 + "3  0 18       ") + kEmptyGroup,
        "|" + cells(" 1.3000  ", " 10 ", hkl1 + "3  0 14       ") + kEmptyGroup + kEmptyGroup,
        "|" + cells(" 1.2500  ", " 10 ", hkl1 + "3  0 15       ") + kEmptyGroup + kEmptyGroup,
        "|" + cells(" 1.2000  ", " 10 ", hkl1 + "3  0 16       ") + kEmptyGroup + kEmptyGroup,
        "|" + cells(" 1.1500  ", " 10 ", hkl1 + "3  0 17       ") + kEmptyGroup + kEmptyGroup,
        kRule118,
        "",
        "    Strong lines: 5.00x   2.500   3.000   2.200   3.500   9.877   2.800   4.123   ",
    };
    const Formatted r = format(dir, rich_record(), "D");
    EXPECT_EQ(r.status, 0);
    ASSERT_EQ(r.page.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) EXPECT_EQ(r.page[i], want[i]) << "line " << i + 1;
    EXPECT_EQ(r.messages, "");
}

// A record of few cards in mode "2": empty fields behind their labels, the
// d-values turned into 2-theta for copper, rows past the table drawn blank,
// no comments, no continuation.
TEST_F(Layout, SparseCardLineForLine) {
    const std::string record =
        card('1', {{73, "010002"}}) + card('3', {{38, " 2.650E"}}) + card('7', {{1, "Si O2"}}) +
        card('F', {{30, "D"}}) + card('G') +
        icards({dline("3.3420", 100, ' ', 1, 0, 1), dline("1.8175", 40, ' ', 1, 1, 2)}) + card('K');
    // The box texts below the heading, "-" a rule; nine blank comment lines.
    // clang-format off
    Lines boxes = {"SiO ", "   2", "", "", "", "", "-",
        "Rad:            Lambda:                  Filter:               d-sp:",
        "Cutoff:         Int:                     I/Icor:", "Ref:", "", "-",
        "Sys:                        S.G.:",
        "a:                b:                c:                A:           C:",
        "A:                B:                C:                Z:           mp:", "Ref:", "",
        "Dx: [2.650]   Dm:           SS/FOM:", "-",
        "ea:             nwB:             ey:             Sign:      2V:", "Ref:", "", "-"};
    // clang-format on
    boxes.resize(boxes.size() + 9);
    // Beside them the table: 2-theta = 2 x 57.29578 x arcsin(0.77028 / d),
    // then blank rows; an empty group after every five rows.
    Lines side = {kSep, kEmpty, row("  26.651 ", "100 ", "        1  0  1       "),
                  row("  50.151 ", " 40 ", "        1  1  2       ")};
    while (side.size() < boxes.size()) {
        side.push_back((side.size() - 1) % 6 == 0
                           ? kEmpty
                           : row(std::string(9, ' '), "    ", std::string(22, ' ')));
    }
    Lines want = {
        "", padded("1- 2       (c) TARN Powder Data ed. 2000    Radiation:  1.54056  Quality:", 87),
        kRule127, box("") + "| 2-theta | Int.|         h k l        |"};
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        want.push_back((boxes[i] == "-" ? kBoxRule : box(boxes[i])) + side[i]);
    }
    want.push_back(kRule127);

    const Formatted r = format(dir, record, "CU");
    EXPECT_EQ(r.status, 0);
    ASSERT_EQ(r.page.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) EXPECT_EQ(r.page[i], want[i]) << "line " << i + 1;
    EXPECT_EQ(r.messages, "  Quality Mark not set \n");  // a list-directed line: a blank first
}

// The header, the heading of the first column and its conversion, by mode;
// each converted value derived from the mode's formula for d = 3.342 (and the
// wavelength where one is needed). A converted value goes into characters 2-8:
// a bracket before it and character 9 stay, a closing mark in character 8
// gives way; a d text that reads as no number stays as it is. Modes "D" and
// "2" for copper are the whole cards'.
TEST_F(Layout, ModeHeadingsAndConversions) {
    const std::string record =
        card('1', {{73, "010002"}}) + card('F', {{30, "D"}}) + card('G') +
        card('B', {{1, "1First footnote."}, {68, "FN"}}) +
        icards({dline("3.3420", 1, ' ', 1, 0, 1, ' ', 'E'),
                dline("1.8175", 2, ' ', 1, 1, 2, ' ', '1'), dline("9999999", 3, ' ', 1, 1, 3)}) +
        card('K');
    const std::string head = "1- 2       (c) TARN Powder Data ed. 2000    Radiation:";
    const std::string tail = "  Quality:              ";
    // spmode, halflm; header lines; heading; first row's d cell.
    const std::tuple<char, float, Lines, std::string, std::string> cases[] = {
        {'1', 0.77028f, {"", head + "  1.54056" + tail}, "  theta  ", "[ 13.326 "},
        {'2', 0.89446f, {"", head + "  1.78892" + tail}, " 2-theta ", "[ 31.048 "},
        {'S', 0.77028f, {"", head + "  1.54056" + tail}, " sin2 th ", "[ .05312 "},
        {'Q', 0.0f, {head + "         " + tail}, "   Q A   ", "[1.88007 "},
        // A mode outside the five is shown as "D" is.
        {'0', 0.0f, {head + "         " + tail}, "   d A   ", "[3.342]  "},
        // 4 / 3.342 exceeds 1: no angle.
        {'2', 4.0f, {"", head + "  8.00000" + tail}, " 2-theta ", "[   .000 "},
    };
    for (const auto& [mode, halflm, header, heading, cell] : cases) {
        CardFormatter f(dir.slash(), "", msg);
        const Lines got = print(f, record, mode, halflm);
        const std::size_t h = header.size();
        ASSERT_GT(got.size(), h + 6);
        EXPECT_EQ(Lines(got.begin(), got.begin() + static_cast<long>(h)), header) << mode;
        EXPECT_EQ(got[h + 1].substr(88), "|" + heading + "| Int.|         h k l        |") << mode;
        EXPECT_EQ(got[h + 4].substr(89, 9), cell) << mode << halflm;
        // "1.8175*" (footnote slot 1) and 999.9999, too wide for F7.4.
        if (mode == '2' && halflm < 1) {
            EXPECT_EQ(got[h + 5].substr(89, 9), "  58.962 ");
        }
        EXPECT_EQ(got[h + 6].substr(89, 9), " ******* ");
        // The d texts are back for a later reader.
        EXPECT_EQ(f.dih.dspd(1) + f.dih.dspd(2), "[3.342]   1.8175* ");
    }
}

// Side by side with the subscript line while both fit (as on the whole cards);
// otherwise each formula on a line of its own without the markup, the second
// right-aligned to column 86. n tokens "H99" are 3n columns wide.
TEST_F(Layout, FormulaForms) {
    const auto rep = [](std::string_view s, int n) {
        std::string out;
        for (int i = 0; i < n; ++i) out += s;
        return out;
    };
    const auto at47 = [](std::string first, const std::string& second) {
        first.resize(44, ' ');
        return first + second;
    };
    const auto right86 = [](const std::string& t) { return std::string(84 - t.size(), ' ') + t; };
    // Formula cards (the second marked "S"); the two formula lines' box areas.
    const std::tuple<Lines, std::string, std::string> cases[] = {
        {{}, box(""), box("")},  // no formula: two blank lines
        // 45 and 39 columns: still side by side; 15 tokens reach column 47,
        // where the second formula begins.
        {{rep("H99 ", 15), rep("H99 ", 13)},
         box(at47(rep("H  ", 15), rep("H  ", 13))),
         box(at47(rep(" 99", 15), rep(" 99", 13)))},
        // A second formula of 42 columns: both on lines of their own.
        {{rep("H99 ", 2), rep("H99 ", 14)}, box(rep("H99", 2)), box(right86(rep("H99", 14)))},
        // A first formula over 45 columns with a second one.
        {{rep("H99 ", 16), "H99"}, box(rep("H99", 16)), box(right86("H99"))},
        // ... and without one it keeps its subscript line.
        {{rep("H99 ", 16)}, box(rep("H  ", 16)), box(rep(" 99", 16))},
    };
    for (const auto& [formulas, a, b] : cases) {
        std::string record = card('1');
        for (std::size_t i = 0; i < formulas.size(); ++i) {
            record += card('7', {{1, formulas[i]}, {69, i == 0 ? " " : "S"}});
        }
        const Formatted r = format(dir, record + card('K'), "D");
        ASSERT_EQ(r.status, 0);
        ASSERT_GT(r.page.size(), 5u);
        EXPECT_EQ(r.page[3], a + kSep) << formulas.size();
        EXPECT_EQ(r.page[4], b + kEmpty) << formulas.size();
    }
}

// 30 comment segments: the end mark after the last has its slot, and the
// card shows the first 16 of them.
TEST_F(Layout, CommentLinesStopAtSixteen) {
    std::string record = card('1');
    for (int c = 0; c < 40; c += 4) {
        std::string text;
        for (int s = c; s < c + 4; ++s) text += std::to_string(s) + "s|";
        record += card('B', {{1, text}, {68, "TM"}});
    }
    CardFormatter f(dir.slash(), "", msg);
    const Lines got = print(f, record + card('K'), 'D');
    EXPECT_EQ(f.comcrd.ncomsg, 30);
    EXPECT_EQ(f.comcrd.comsp(31), 1760);
    // Header, rule, heading, 2 formula lines, 21 box lines: comments from 27.
    ASSERT_EQ(got.size(), 26u + 16u + 1u);
    for (std::size_t i = 0; i < 16; ++i) {
        EXPECT_EQ(got[26 + i].substr(0, 88), box(std::to_string(i) + "s")) << i;
    }
    EXPECT_EQ(got.back(), kRule127);
}

// Rows beyond 25 below the card: with 25 rows nothing; 26 rows one page of
// five rows (row 26 alone); 160 rows a page of rows 26-85 in three columns of
// 20, then the header again, "CONTINUED" and rows 86-160 in columns of 25.
// Row r has intensity r, so a row line is told by its three intensities.
TEST_F(Layout, ContinuationPaging) {
    const auto run = [&](int n) {
        Lines lines;
        for (int i = 1; i <= n; ++i) {
            char d[16];
            std::snprintf(d, sizeof d, "%.4f", 9.0 - 0.05 * (i - 1));
            lines.push_back(dline(d, i, ' ', 1, 0, 0));
        }
        const Formatted r =
            format(dir, card('1') + card('F', {{30, "D"}}) + icards(lines) + card('K'), "D");
        EXPECT_EQ(r.status, 0);
        auto l = std::find(r.page.begin() + 3, r.page.end(), kRule127);
        Lines out;  // row lines as "i1,i2,i3,", the others as their first ten characters
        for (l += l == r.page.end() ? 0 : 1; l != r.page.end(); ++l) {
            const bool rows = l->size() == 118 && (*l)[10] == '|' && (*l)[4] != 'd';
            out.push_back(rows ? l->substr(12, 3) + "," + l->substr(51, 3) + "," +
                                     l->substr(90, 3) + ","
                               : l->substr(0, 10));
        }
        return out;
    };
    const auto page = [](int first, int depth, int last) {
        Lines want = {kRule127.substr(0, 10), "|   d A   ", "|---------"};
        for (int j = first; j < first + depth; ++j) {
            char l[40];
            std::snprintf(l, sizeof l, "%3d,%3d,%3d,", j, j + depth, j + 2 * depth);
            want.push_back(j + depth > last ? std::string(l, 4) + "   ,   ," : l);
            if ((j - first) % 5 == 4 && j + 1 < first + depth) want.push_back("   ,   ,   ,");
        }
        want.push_back(kRule127.substr(0, 10));
        return want;
    };
    EXPECT_EQ(run(25), Lines{});
    EXPECT_EQ(run(26), Lines{" "} + page(26, 1, 26));
    const Lines continued = {"", "  -       ", " CONTINUED"};
    EXPECT_EQ(run(160), Lines{" "} + page(26, 20, 160) + continued + page(86, 25, 160));
}

TEST(Shform, TwoLineForm) {
    // text; upper line, lower line (to the columns used), columns used.
    const std::tuple<std::string, std::string, std::string, int> cases[] = {
        {"Fe#2O#3", "Fe O ", "  2 3", 5},
        {"Fe@+@3 O", "Fe+3", "    ", 4},               // "@" marks are dropped
        {"$GA-Al#2O#3", "$GA-Al O ", "      2 3", 9},  // a code keeps its three characters
        {" Fe", "", "", 0},                            // a formula ends at its first blank
        {std::string(79, 'C') + "$GA", std::string(79, 'C') + "$", std::string(80, ' '), 80},
        {std::string(90, 'C'), std::string(80, 'C'), std::string(80, ' '), 80},
        {std::string(80, '@') + "CC", "", "", 0},  // only 80 positions are read
    };
    for (const auto& [text, up, lo, n] : cases) {
        std::string upper, lower;
        EXPECT_EQ(shform(text, upper, lower), n) << text;
        EXPECT_EQ(upper, padded(up, 80)) << text;
        EXPECT_EQ(lower, padded(lo, 80)) << text;
    }
}
