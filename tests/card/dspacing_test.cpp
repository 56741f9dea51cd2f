#include "support/support.h"

using namespace cvtest;
using corvane::card::CardFormatter;

namespace {

const std::string kX = std::string(78, ' ') + "X";  // first card: fixed thresholds

// The table of a record of its first card, F and G cards (nullptr: none) and
// the lines; its rows as "dspd|dspi|dsphkl".
Strings table(CardFormatter& f, const Strings& lines, const std::string& first = kX,
              const char* fcard = nullptr, const char* gcard = nullptr, int want = 0) {
    std::string rec = card(first, '1');
    if (fcard != nullptr) rec += card(fcard, 'F');
    if (gcard != nullptr) rec += card(gcard, 'G');
    rec += icards(lines) + card('K');
    EXPECT_EQ(readbf(f, rec, static_cast<int>(rec.size())), 0);
    EXPECT_EQ(phdsp(f), want);
    Strings rows;
    for (int r = 1; r <= f.dih.ndsp; ++r) {
        rows.push_back(f.dih.dspd(r) + "|" + f.dih.dspi(r) + "|" + f.dih.dsphkl(r));
    }
    return rows;
}

}  // namespace

TEST(Dspacing, DecimalsAndDTexts) {
    const std::string plain(79, ' ');
    const std::string fs = std::string(40, ' ') + "S";  // F column 41: second fixed set
    const std::string fd = std::string(29, ' ') + "D";  // F column 30: d given directly
    const std::string lambda = "      1.5405";
    const std::string delta = std::string(39, ' ') + "0.050";  // G columns 40-44
    // clang-format off
    const std::tuple<std::string, const char*, const char*, Strings, Strings> cases[] = {
        // Equal texts at 3 decimals: 4 from there on.
        {kX, nullptr, nullptr, {"2.5000", "2.4996", "2.0000"}, {" 2.500   ", " 2.4996  ", " 2.0000  "}},
        {kX, fs.c_str(), nullptr, {"10.000", "3.0000", "2.9000", "0.5000"},
         {" 10.0    ", " 3.00    ", " 2.900   ", " 0.500   "}},
        // Four implied decimals; the decimals ndec finds at 0.0001, up to 4.
        {plain, fd.c_str(), nullptr, {"  25000", "2.2500", "2.1250", "  12345", "1.20000"},
         {" 2.5     ", " 2.25    ", " 2.125   ", " 1.2345  ", " 1.2000  "}},
        // A leading zero makes the text one longer.
        {kX, nullptr, nullptr, {".81234", ".81235", ".812345"}, {" 0.8123  ", " 0.81235 ", " 0.812345"}},
        // From the wavelength and the angle error: 2.17 and 0.910 for 0.1 degree, 3.02 for 0.05.
        {plain, lambda.c_str(), plain.c_str(), {"2.2000", "2.1000", "0.9200", "0.9000"},
         {" 2.20    ", " 2.100   ", " 0.920   ", " 0.9000  "}},
        {plain, lambda.c_str(), delta.c_str(), {"3.1000", "3.0000"}, {" 3.10    ", " 3.000   "}},
        // Texts no decimals can tell apart stay as they are.
        {kX, nullptr, nullptr, {"1.0E+07", "2.0E+07", "2.0000"}, {" ******* ", " ******* ", " 2.000   "}},
    };
    // clang-format on
    for (const auto& [first, fcard, gcard, ds, want] : cases) {
        CardFormatter f;
        Strings lines, dtexts;
        for (const auto& d : ds) lines.push_back(dline(d.c_str(), 10));
        for (const auto& row : table(f, lines, first, fcard, gcard))
            dtexts.push_back(row.substr(0, 9));
        EXPECT_EQ(dtexts, want) << ds[0];
    }
}

TEST(Dspacing, RowsMergeBracketMarkAndCentre) {
    std::string c32 = kX;
    c32.replace(72, 2, "32");  // 1-card columns 73-74 below "33": no "c"
    std::string c33 = c32;
    c33.replace(72, 2, "33");
    const std::string r111 = "|        1  1  1       ";  // indices centred: 1s at 9, 12, 15
    // clang-format off
    const std::tuple<Strings, std::string, Strings> cases[] = {
        {{dline("2.0000", 50, ' ', 1, 0, 0), dline("2.0000", 0, ' ', 0, 0, 1), dline("2.0000", 0)},
         kX, {" 2.000   | 50 |   1  0  0,   0  0  1 "}},
        // A second line without indices merges all the same.
        {{dline("2.0000", 50), dline("2.0000", 0, ' ', 0, 0, 0), dline("1.5000", 10)},
         kX, {" 2.000   | 50 " + r111, " 1.5000  | 10 " + r111}},
        {{dline("3.0000", 20, 'U'), dline("2.9000", 20, 'U'), dline("2.8000", 20, 'U'), dline("2.7000", 30)},
         kX, {" 3.000   | 20 " + r111, " 2.900   |  \" " + r111, " 2.800   |  \" " + r111,
              " 2.700   | 30 " + r111}},
        {{dline("2.0000", 5, 'L', 1, 1, 1, 'E', 'E'), dline("1.9500", 50, 'G', 1, 1, 1, 'L'),
          dline("1.9000", 100, 'L', 1, 1, 1, 'C'), dline("1.8500", 5, 'B', 1, 1, 1, 'N')},
         c33, {"[2.000]  | <5 |     [  1  1  1]      ", " 1.950   |>50 |          1  1        ",
               " 1.900   |100 |        1  1  1c      ", " 1.850   |  5b|        1  1  1n      "}},
        {{dline("1.9000", 5, ' ', 1, 1, 1, 'C')}, c32, {" 1.900   |  5 " + r111}},
        // Footnote markers of legend characters a comment put in use, else blank.
        {{dline("2.0000", 5, '5', 1, 1, 1, '*', '3'), dline("1.9000", 5, '3', 1, 1, 1, ' ', '7')},
         kX, {" 2.000+  |  5 |        1  1  1*      ", " 1.900   |  5+" + r111}},
        // A bracket after a 9-character d text takes the zero's place.
        {{dline(".81234", 5), dline(".81235", 5), dline(".812345", 5, ' ', 1, 1, 1, ' ', 'E')},
         kX, {" 0.8123  |  5 " + r111, " 0.81235 |  5 " + r111, "[.812345]|  5 " + r111}},
    };
    // clang-format on
    for (const auto& [lines, first, want] : cases) {
        CardFormatter f;
        int skip = 0, count = 0;
        char dig = ' ';
        std::string tag;
        trfnch(f, "*", 1, skip, dig, tag, count);  // slot 1, as a comment puts it in use
        trfnch(f, "3", 1, skip, dig, tag, count);  // slot 2
        EXPECT_EQ(table(f, lines, first), want) << lines[0];
    }
}

TEST(Dspacing, StatusesAndTheTwoHundredRows) {
    CardFormatter f;
    const std::string plain(79, ' ');
    const std::tuple<Strings, std::string, const char*, int> failures[] = {
        {{}, kX, nullptr, 1},
        {{dline("2.0000", 5)}, plain, nullptr, 2},
        {{dline("2.0000", 5)}, plain, "", 3}};
    for (const auto& [lines, first, fcard, status] : failures) {
        EXPECT_EQ(table(f, lines, first, fcard, nullptr, status), Strings{});
        EXPECT_EQ(f.dih.ndsp, -1);
    }

    // 68 cards of 204 lines, 5.00 down to 2.96: the table keeps 200 rows.
    Strings lines;
    for (int i = 1; i <= 204; ++i) {
        char d[16];
        std::snprintf(d, sizeof d, "%7.4f", 5.0 - 0.01 * i);
        lines.push_back(dline(d, 5, 'U'));
    }
    const Strings rows = table(f, lines);
    ASSERT_EQ(rows.size(), 200u);
    EXPECT_EQ(rows[0], " 4.99    |  5 |        1  1  1       ");
    EXPECT_EQ(rows[199], " 3.000   |  \" |        1  1  1       ");  // one unresolved group
}
