// The fixed-column format module, with expectations worked out by hand from
// the rules of the edit descriptors.
#include "setup/format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace {

namespace fmt = cv::fmt;
using std::string_view;

// ---------------------------------------------------------------------------
// Format strings
// ---------------------------------------------------------------------------

TEST(FormatParse, RejectsWhatIsNotAFormat) {
    for (const char* bad : {"",      "A5",    "(A5",       "(A5))",    "(Z5)",   "(F8)",   "(F8.)",
                            "(I)",   "(0A5)", "(T0,A1)",   "(3T5,A1)", "(T,A1)", "(A0)",   "(I3.4)",
                            "(A5,)", "(,A5)", "(99999A1)", "(3(A1)",   "('x')",  "(A1/A2)"}) {
        std::string record(10, '#');
        EXPECT_EQ(fmt::write(bad, record, {string_view("a")}), fmt::kBadFormat) << bad;
        EXPECT_EQ(record, "##########") << bad;
        std::string text(3, '#');
        EXPECT_EQ(fmt::read(bad, "abc", {&text}), fmt::kBadFormat) << bad;
        EXPECT_EQ(fmt::write(bad, {string_view("a")}), "") << bad;
    }
}

TEST(FormatParse, EitherCaseAndBlanksInside) {
    EXPECT_EQ(fmt::write("(6x,i10)", {1234}), "            1234");
    EXPECT_EQ(fmt::write("( 6X , I10 )", {1234}), "            1234");
    EXPECT_EQ(fmt::write("(f8.0)", {12.0}), "     12.");
    EXPECT_EQ(fmt::write("(a2,t1,a1)", {string_view("xy"), string_view("Z")}), "Zy");
}

// ---------------------------------------------------------------------------
// Output
// ---------------------------------------------------------------------------

TEST(FormatWriteText, WidthPadsOnTheLeftOrCutsOnTheRight) {
    EXPECT_EQ(fmt::write("(A5)", {string_view("ab")}), "   ab");
    EXPECT_EQ(fmt::write("(A5)", {string_view("abcdefg")}), "abcde");
    EXPECT_EQ(fmt::write("(A5)", {string_view("")}), "     ");
    EXPECT_EQ(fmt::write("(A)", {string_view("xyz  ")}), "xyz  ");
}

TEST(FormatWriteInteger, RightAlignedSignAndAsterisks) {
    EXPECT_EQ(fmt::write("(I5)", {42}), "   42");
    EXPECT_EQ(fmt::write("(I5)", {0}), "    0");
    EXPECT_EQ(fmt::write("(I5)", {-3}), "   -3");
    EXPECT_EQ(fmt::write("(I5)", {-1234}), "-1234");   // five characters, sign included
    EXPECT_EQ(fmt::write("(I5)", {-12345}), "*****");  // six would be needed
    EXPECT_EQ(fmt::write("(I5)", {123456}), "*****");
    EXPECT_EQ(fmt::write("(I11)", {std::numeric_limits<std::int32_t>::min()}), "-2147483648");
    EXPECT_EQ(fmt::write("(3I3)", {1, -1, 10}), "  1 -1 10");
}

TEST(FormatWriteInteger, MinimumDigitsAndZeroAsBlanks) {
    EXPECT_EQ(fmt::write("(I5.3)", {7}), "  007");
    EXPECT_EQ(fmt::write("(I5.3)", {-7}), " -007");
    EXPECT_EQ(fmt::write("(I5.3)", {12345}), "12345");
    // The intensity column of the d-spacing table.
    EXPECT_EQ(fmt::write("(I3.0)", {0}), "   ");
    EXPECT_EQ(fmt::write("(I3.0)", {5}), "  5");
    EXPECT_EQ(fmt::write("(I3.0)", {999}), "999");
    EXPECT_EQ(fmt::write("(I3.0)", {1000}), "***");
}

TEST(FormatWriteReal, NoZeroBeforeThePoint) {
    EXPECT_EQ(fmt::write("(F8.4)", {0.5}), "   .5000");
    EXPECT_EQ(fmt::write("(F8.4)", {0.25}), "   .2500");
    EXPECT_EQ(fmt::write("(F8.4)", {0.0}), "   .0000");
    EXPECT_EQ(fmt::write("(F8.4)", {-0.5}), "  -.5000");
    EXPECT_EQ(fmt::write("(F8.4)", {12.5}), " 12.5000");
    EXPECT_EQ(fmt::write("(F8.4)", {-1.5}), " -1.5000");
    EXPECT_EQ(fmt::write("(F6.2)", {2.0}), "  2.00");
    // With no decimals the point is still written, and a zero before it.
    EXPECT_EQ(fmt::write("(F8.0)", {12.0}), "     12.");
    EXPECT_EQ(fmt::write("(F8.0)", {0.4}), "      0.");
    EXPECT_EQ(fmt::write("(F7.0)", {-3.0}), "    -3.");
}

TEST(FormatWriteReal, RoundsTheBinaryValueCorrectly) {
    // Exact binary halves go to the even neighbour.
    EXPECT_EQ(fmt::write("(F5.2)", {0.125}), "  .12");
    EXPECT_EQ(fmt::write("(F5.2)", {0.375}), "  .38");
    EXPECT_EQ(fmt::write("(F4.0)", {2.5}), "  2.");
    EXPECT_EQ(fmt::write("(F4.0)", {3.5}), "  4.");
    // 2.675 is stored as a little less than 2.675, so it rounds down.
    EXPECT_EQ(fmt::write("(F6.2)", {2.675}), "  2.67");
    EXPECT_EQ(fmt::write("(F5.2)", {0.126}), "  .13");
    EXPECT_EQ(fmt::write("(F6.3)", {9.9996}), "10.000");
    // A float item is widened first: 1.5f is exact.
    EXPECT_EQ(fmt::write("(F7.3)", {1.5f}), "  1.500");
    EXPECT_EQ(fmt::write("(F7.5)", {0.0001f}), " .00010");
}

TEST(FormatWriteReal, SignOnlyWhenADigitRemains) {
    EXPECT_EQ(fmt::write("(F8.4)", {-0.00004}), "   .0000");
    EXPECT_EQ(fmt::write("(F8.4)", {-0.00005001}), "  -.0001");
    EXPECT_EQ(fmt::write("(F8.0)", {-0.4}), "      0.");
    EXPECT_EQ(fmt::write("(F8.4)", {-0.0}), "   .0000");
}

TEST(FormatWriteReal, AsterisksWhenItDoesNotFit) {
    EXPECT_EQ(fmt::write("(F5.2)", {123.4}), "*****");  // "123.40" needs six
    EXPECT_EQ(fmt::write("(F6.2)", {123.4}), "123.40");
    EXPECT_EQ(fmt::write("(F4.2)", {-0.5}), "-.50");
    EXPECT_EQ(fmt::write("(F3.2)", {-0.5}), "***");
    EXPECT_EQ(fmt::write("(F1.0)", {0.0}), "*");  // "0." needs two
    EXPECT_EQ(fmt::write("(F8.4)", {1e300}), "********");
    EXPECT_EQ(fmt::write("(F6.2)", {std::numeric_limits<double>::quiet_NaN()}), "******");
    EXPECT_EQ(fmt::write("(F6.2)", {std::numeric_limits<float>::infinity()}), "******");
}

TEST(FormatWriteRecord, BlankFilledAndPositioned) {
    std::string record = "########";
    EXPECT_EQ(fmt::write("(A2)", record, {string_view("ab")}), fmt::kOk);
    EXPECT_EQ(record, "ab      ");
    // nX leaves blanks; Tn moves to column n, and a later field overwrites.
    EXPECT_EQ(fmt::write("(A1,3X,A1)", {string_view("a"), string_view("b")}), "a   b");
    EXPECT_EQ(fmt::write("(A6,T3,A2)", {string_view("abcdef"), string_view("XY")}), "abXYef");
    EXPECT_EQ(fmt::write("(T7,F9.5)", {1.5405}), "        1.54050");
    EXPECT_EQ(fmt::write("(T40,F5.3)", {0.012}), std::string(39, ' ') + " .012");
    // The furthest column reached counts, trailing blanks included.
    EXPECT_EQ(fmt::write("(A2,3X)", {string_view("ab")}), "ab   ");
}

TEST(FormatWriteRecord, EndsAtTheFirstDescriptorWithoutAnItem) {
    EXPECT_EQ(fmt::write("(A2,I3,A2)", {string_view("ab")}), "ab");
    EXPECT_EQ(fmt::write("(A2,1X,I3)", {string_view("ab")}), "ab ");
    std::string record(8, '#');
    EXPECT_EQ(fmt::write("(A2,I3,A2)", record, {string_view("ab")}), fmt::kOk);
    EXPECT_EQ(record, "ab      ");
    EXPECT_EQ(fmt::write("(3I3)", {}), "");
}

TEST(FormatWriteRecord, FailuresLeaveTheRecordAsItWas) {
    std::string record = "abcd";
    EXPECT_EQ(fmt::write("(I5)", record, {12345}), fmt::kOverflow);
    EXPECT_EQ(fmt::write("(A2,T4,A2)", record, {string_view("xy"), string_view("zz")}),
              fmt::kOverflow);
    EXPECT_EQ(fmt::write("(I3)", record, {1, 2}), fmt::kBadItem);  // one item too many
    EXPECT_EQ(fmt::write("(A3)", record, {5}), fmt::kBadItem);     // a number for A
    EXPECT_EQ(fmt::write("(I3)", record, {1.5}), fmt::kBadItem);   // a real for I
    EXPECT_EQ(fmt::write("(F4.1)", record, {1}), fmt::kBadItem);   // an integer for F
    EXPECT_EQ(fmt::write("(A1,I3)", record, {string_view("x"), string_view("y")}), fmt::kBadItem);
    EXPECT_EQ(record, "abcd");
    EXPECT_EQ(fmt::write("(I3)", {1, 2}), "");
    // Far beyond any record: refused rather than grown without bound.
    EXPECT_EQ(fmt::write("(32767(32767X),A1)", {string_view("x")}), "");
    std::int32_t n = -1;
    EXPECT_EQ(fmt::read("(32767(32767X),I1)", "1", {&n}), fmt::kOverflow);
    EXPECT_EQ(n, -1);
}

TEST(FormatWriteQuoted, NestedGroupsOfTheCellMatrix) {
    // Each row: three F5.2 fields each followed by a blank, then one more blank.
    const std::string row1 = " 1.00   .00   .00  ";
    const std::string row2 = "  .00  1.00   .00  ";
    const std::string row3 = "  .00   .00  1.00  ";
    EXPECT_EQ(fmt::write("(6X,3(3(F5.2,1X),1X))", {1.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 1.0}),
              "      " + row1 + row2 + row3);
}

TEST(FormatWriteQuoted, LinesOfEightyColumns) {
    std::string line(80, '#');
    EXPECT_EQ(fmt::write("(A9,A8,A12,A12,A5,A14,A8,12X)", line,
                         {string_view("CuKa1"), string_view("1.5405"), string_view("Ni"),
                          string_view("Diff."), string_view("10.0"), string_view("Diffractometer"),
                          string_view("1.2")}),
              fmt::kOk);
    // Short texts stand right-aligned in their fields.
    EXPECT_EQ(line, std::string("    CuKa1") + "  1.5405" + "          Ni" + "       Diff." +
                        " 10.0" + "Diffractometer" + "     1.2" + std::string(12, ' '));
    EXPECT_EQ(fmt::write("(A6,A1,A6,A1,A22,44X)",
                         {string_view("3.52  "), string_view("B"), string_view("3.50  "),
                          string_view(" "), string_view("F(30)=12.3(.012,45)   ")}),
              std::string("3.52  B3.50   F(30)=12.3(.012,45)   ") + std::string(44, ' '));
    EXPECT_EQ(fmt::write("(A18,A12,A3,A1,3(A9,A2),13X)",
                         {string_view("Rhombohedral (Hex)"), string_view("R-3m        "),
                          string_view("   "), string_view(" "), string_view("4.9134   "),
                          string_view("12"), string_view("4.9134   "), string_view("12"),
                          string_view("16.996   "), string_view("3 ")})
                  .size(),
              80u);
}

// ---------------------------------------------------------------------------
// Input
// ---------------------------------------------------------------------------

TEST(FormatReadReal, ImpliedDecimalsAndBlanks) {
    double x = -1;
    EXPECT_EQ(fmt::read("(F7.4)", "  35200", {&x}), fmt::kOk);
    EXPECT_EQ(x, 3.52);  // no point: the last four digits are decimals
    EXPECT_EQ(fmt::read("(F7.4)", "  3.5  ", {&x}), fmt::kOk);
    EXPECT_EQ(x, 3.5);  // a point overrides them
    EXPECT_EQ(fmt::read("(F5.2)", "1 2 3", {&x}), fmt::kOk);
    EXPECT_EQ(x, 1.23);  // blanks are ignored, not zeros
    EXPECT_EQ(fmt::read("(F9.5)", "         ", {&x}), fmt::kOk);
    EXPECT_EQ(x, 0.0);
    EXPECT_EQ(fmt::read("(F9.5)", "        5", {&x}), fmt::kOk);
    EXPECT_EQ(x, 0.00005);
    EXPECT_EQ(fmt::read("(F8.2)", "  -.5", {&x}), fmt::kOk);
    EXPECT_EQ(x, -0.5);
    EXPECT_EQ(fmt::read("(F8.2)", "-", {&x}), fmt::kOk);
    EXPECT_EQ(x, 0.0);
    EXPECT_EQ(fmt::read("(F9.0)", "  12.345 ", {&x}), fmt::kOk);
    EXPECT_EQ(x, 12.345);
}

TEST(FormatReadReal, Exponents) {
    double x = -1;
    EXPECT_EQ(fmt::read("(F8.2)", "1.5E2", {&x}), fmt::kOk);
    EXPECT_EQ(x, 150.0);
    EXPECT_EQ(fmt::read("(F8.2)", "15e1", {&x}), fmt::kOk);
    EXPECT_EQ(x, 1.5);  // 0.15 from the implied decimals, times ten
    EXPECT_EQ(fmt::read("(F8.2)", "1.5D-1", {&x}), fmt::kOk);
    EXPECT_EQ(x, 0.15);
    EXPECT_EQ(fmt::read("(F8.2)", "1.5-1", {&x}), fmt::kOk);
    EXPECT_EQ(x, 0.15);  // a sign alone starts the exponent
    EXPECT_EQ(fmt::read("(F8.2)", "1.5d 2", {&x}), fmt::kOk);
    EXPECT_EQ(x, 150.0);
}

TEST(FormatReadReal, ForeignCharactersAreReadErrors) {
    for (const char* field :
         {"1.2.3", "12a", "1E", "1.5E+", "1e2e3", "1,2", "Inf", "NaN", "*", "1.5Q2", "1-"}) {
        double x = -1;
        EXPECT_EQ(fmt::read("(F8.2)", field, {&x}), fmt::kBadInput) << field;
        EXPECT_EQ(x, -1) << field;
    }
}

TEST(FormatReadReal, TargetsAndRange) {
    float f = -1;
    EXPECT_EQ(fmt::read("(F6.3)", " 2.345", {&f}), fmt::kOk);
    EXPECT_FLOAT_EQ(f, 2.345f);
    EXPECT_EQ(fmt::read("(F9.5)", "1.0E+99", {&f}), fmt::kBadInput);  // beyond a float
    EXPECT_FLOAT_EQ(f, 2.345f);
    double x = -1;
    EXPECT_EQ(fmt::read("(F9.5)", "1.0E+99", {&x}), fmt::kOk);
    EXPECT_EQ(x, 1.0e99);
    EXPECT_EQ(fmt::read("(F9.5)", "1.0E-99", {&x}), fmt::kOk);
    EXPECT_EQ(x, 1.0e-99);
}

TEST(FormatReadReal, ShortRecordsReadAsBlankExtended) {
    double x = -1;
    EXPECT_EQ(fmt::read("(f8.0)", "12", {&x}), fmt::kOk);
    EXPECT_EQ(x, 12.0);
    EXPECT_EQ(fmt::read("(T40,F5.3)", "short", {&x}), fmt::kOk);
    EXPECT_EQ(x, 0.0);
}

TEST(FormatReadInteger, DigitsSignsAndBlanks) {
    std::int32_t n = -1;
    EXPECT_EQ(fmt::read("(I3)", " 12", {&n}), fmt::kOk);
    EXPECT_EQ(n, 12);
    EXPECT_EQ(fmt::read("(I3)", "1 2", {&n}), fmt::kOk);
    EXPECT_EQ(n, 12);
    EXPECT_EQ(fmt::read("(I3)", "-5 ", {&n}), fmt::kOk);
    EXPECT_EQ(n, -5);
    EXPECT_EQ(fmt::read("(I3)", "   ", {&n}), fmt::kOk);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(fmt::read("(I3.0)", " 7", {&n}), fmt::kOk);
    EXPECT_EQ(n, 7);
    EXPECT_EQ(fmt::read("(6x,i10)", "      2147483647", {&n}), fmt::kOk);
    EXPECT_EQ(n, 2147483647);
    EXPECT_EQ(fmt::read("(I11)", "-2147483648", {&n}), fmt::kOk);
    EXPECT_EQ(n, std::numeric_limits<std::int32_t>::min());
}

TEST(FormatReadInteger, ForeignCharactersAndOverflowAreReadErrors) {
    for (const char* field : {"1.0", "1e2", "12x", "+-1", "1-", "1,2"}) {
        std::int32_t n = -1;
        EXPECT_EQ(fmt::read("(I3)", field, {&n}), fmt::kBadInput) << field;
        EXPECT_EQ(n, -1) << field;
    }
    std::int32_t n = -1;
    EXPECT_EQ(fmt::read("(6x,i10)", "      2147483648", {&n}), fmt::kBadInput);
    EXPECT_EQ(fmt::read("(6x,i10)", "      9999999999", {&n}), fmt::kBadInput);
    EXPECT_EQ(n, -1);
}

TEST(FormatReadText, RightmostOrLeftJustified) {
    std::string three(3, '?');
    EXPECT_EQ(fmt::read("(A5)", "abcde", {&three}), fmt::kOk);
    EXPECT_EQ(three, "cde");
    std::string five(5, '?');
    EXPECT_EQ(fmt::read("(A3)", "abc", {&five}), fmt::kOk);
    EXPECT_EQ(five, "abc  ");
    std::string card(81, '?');
    EXPECT_EQ(fmt::read("(A81)", "hello", {&card}), fmt::kOk);
    EXPECT_EQ(card, "hello" + std::string(76, ' '));
}

TEST(FormatReadQuoted, CodeTableLines) {
    // stdcodes.tbl: a bare A takes the length of its text (73 here).
    std::string code(6, '?');
    std::string text(73, '?');
    EXPECT_EQ(fmt::read("(a6,1x,a)", "CORUND Corundum, used as standard", {&code, &text}),
              fmt::kOk);
    EXPECT_EQ(code, "CORUND");
    EXPECT_EQ(text, "Corundum, used as standard" + std::string(47, ' '));

    // picodes.tbl: code, display length, replacement.
    std::string pi(2, '?');
    std::int32_t len = -1;
    std::string rep(8, '?');
    EXPECT_EQ(fmt::read("(a2,i1,a8)", "XY2ab", {&pi, &len, &rep}), fmt::kOk);
    EXPECT_EQ(pi, "XY");
    EXPECT_EQ(len, 2);
    EXPECT_EQ(rep, "ab      ");

    // mineral.tbl group and member lines; columns 4-6 and 27 are skipped.
    std::string grp(3, '?');
    std::string name(20, '?');
    std::int32_t members = -1;
    EXPECT_EQ(
        fmt::read("(A3,3X,A20,1X,I2)", "AMPxxxAmphibole group     x12", {&grp, &name, &members}),
        fmt::kOk);
    EXPECT_EQ(grp, "AMP");
    EXPECT_EQ(name, "Amphibole group     ");
    EXPECT_EQ(members, 12);
    EXPECT_EQ(fmt::read("(3X,A3,3X,A20)", "xxxTRExxxTremolite", {&grp, &name}), fmt::kOk);
    EXPECT_EQ(grp, "TRE");
    EXPECT_EQ(name, "Tremolite           ");

    // codens.tbl: record 1 holds the count in columns 7-16; the others a key
    // and a journal text.
    std::int32_t count = -1;
    EXPECT_EQ(fmt::read("(6x,i10)", "COUNT:       123", {&count}), fmt::kOk);
    EXPECT_EQ(count, 123);
    std::string key(6, '?');
    std::string journal(71, '?');
    EXPECT_EQ(fmt::read("(A6,1X,A71)", "ACCRA3 Acta Cryst.", {&key, &journal}), fmt::kOk);
    EXPECT_EQ(key, "ACCRA3");
    EXPECT_EQ(journal, "Acta Cryst." + std::string(60, ' '));
}

TEST(FormatReadQuoted, CardFields) {
    // One line of an I card: d, intensity and its code, h k l and their code,
    // an ignored column, the d code.
    float d = -1;
    std::int32_t inten = -1, h = -1, k = -1, l = -1;
    std::string icode(1, '?'), hklcode(1, '?'), dcode(1, '?');
    EXPECT_EQ(fmt::read("(F7.4,I3,A1,3I3,A1,1X,A1)", "  35200100B  1  0 -1CZE",
                        {&d, &inten, &icode, &h, &k, &l, &hklcode, &dcode}),
              fmt::kOk);
    EXPECT_FLOAT_EQ(d, 3.52f);
    EXPECT_EQ(inten, 100);
    EXPECT_EQ(icode, "B");
    EXPECT_EQ(h, 1);
    EXPECT_EQ(k, 0);
    EXPECT_EQ(l, -1);
    EXPECT_EQ(hklcode, "C");
    EXPECT_EQ(dcode, "E");

    // A C card's matrix: fields at columns 7, 13, 19, 26, 32, 38, 45, 51, 57;
    // the x's stand in skipped columns.
    const std::string c_card =
        std::string("xxxxxx") + " 1.10x 2.20x 3.30xx 4.40x 5.50x 6.60xx" + " 7.70x 8.80x 9.90";
    float m[9];
    EXPECT_EQ(fmt::read("(6X,3(3(F5.2,1X),1X))", c_card,
                        {&m[0], &m[1], &m[2], &m[3], &m[4], &m[5], &m[6], &m[7], &m[8]}),
              fmt::kOk);
    const float want[9] = {1.1f, 2.2f, 3.3f, 4.4f, 5.5f, 6.6f, 7.7f, 8.8f, 9.9f};
    for (int i = 0; i < 9; ++i) EXPECT_FLOAT_EQ(m[i], want[i]) << i;

    float a = -1, b = -1, c = -1;
    EXPECT_EQ(fmt::read("(3F9.5)", "      5.0  1000000     2.5", {&a, &b, &c}), fmt::kOk);
    EXPECT_FLOAT_EQ(a, 5.0f);
    EXPECT_FLOAT_EQ(b, 10.0f);  // seven digits, the last five decimals
    EXPECT_FLOAT_EQ(c, 2.5f);

    float lambda = -1;
    EXPECT_EQ(fmt::read("(T7,F9.5)", "xxxxxx1.5405   D", {&lambda}), fmt::kOk);
    EXPECT_FLOAT_EQ(lambda, 1.5405f);
    float delta = -1;
    EXPECT_EQ(fmt::read("(T40,F5.3)", std::string(39, 'x') + "  12 x", {&delta}), fmt::kOk);
    EXPECT_FLOAT_EQ(delta, 0.012f);
}

TEST(FormatReadErrors, TargetsStayUntouchedOnFailure) {
    std::int32_t a = -1, b = -1;
    EXPECT_EQ(fmt::read("(2I3)", " 12 x3", {&a, &b}), fmt::kBadInput);
    EXPECT_EQ(a, -1);  // the first field was good, but nothing is stored
    EXPECT_EQ(b, -1);
    double x = -1;
    EXPECT_EQ(fmt::read("(I3)", "  1", {&x}), fmt::kBadItem);
    EXPECT_EQ(fmt::read("(F3.1)", "  1", {&a}), fmt::kBadItem);
    EXPECT_EQ(fmt::read("(A3)", "abc", {&a}), fmt::kBadItem);
    EXPECT_EQ(fmt::read("(I3)", "  1  2", {&a, &b}), fmt::kBadItem);  // one target too many
    EXPECT_EQ(fmt::read("(I3)", "  1", {static_cast<std::int32_t*>(nullptr)}), fmt::kBadItem);
    EXPECT_EQ(a, -1);
    // Fewer targets than fields: the format ends at the first one without.
    EXPECT_EQ(fmt::read("(I3,I3)", "  1xyz", {&a}), fmt::kOk);
    EXPECT_EQ(a, 1);
}

// ---------------------------------------------------------------------------
// List-directed lines
// ---------------------------------------------------------------------------

TEST(FormatListed, LeadingBlankAndItemsInARow) {
    EXPECT_EQ(fmt::listed({string_view(" INVALID CARD TYPE="), string_view("X")}),
              "  INVALID CARD TYPE=X\n");
    EXPECT_EQ(fmt::listed({0, -5, 123456}), " 0 -5 123456\n");
    EXPECT_EQ(fmt::listed({string_view("Error: ISPACG "), string_view("F d d"),
                           string_view(" is invalid")}),
              " Error: ISPACG F d d is invalid\n");
    EXPECT_EQ(fmt::listed({string_view("count"), 7}), " count 7\n");
    EXPECT_EQ(fmt::listed({}), "\n");
    EXPECT_EQ(fmt::listed({string_view("")}), " \n");
}

TEST(FormatListed, NewLineBeforeAnItemThatWouldReachColumnEighty) {
    const std::string a78(78, 'a');
    const std::string a77(77, 'a');
    const std::string a76(76, 'a');
    // " " and 78 letters is 79 characters: one more would reach column 80.
    EXPECT_EQ(fmt::listed({string_view(a78), string_view("b")}), " " + a78 + "\n b\n");
    EXPECT_EQ(fmt::listed({string_view(a77), string_view("b")}), " " + a77 + "b\n");
    // An integer is its blank and digits: after " " and 77 letters, " 1" would
    // take columns 79 and 80; after 76 letters it ends in column 79.
    EXPECT_EQ(fmt::listed({string_view(a77), 1}), " " + a77 + "\n 1\n");
    EXPECT_EQ(fmt::listed({string_view(a76), 1}), " " + a76 + " 1\n");
    // A piece longer than a line is written whole on a line of its own.
    const std::string b100(100, 'b');
    EXPECT_EQ(fmt::listed({string_view("x"), string_view(b100), string_view("c")}),
              " x\n " + b100 + "\n c\n");
}

}  // namespace
