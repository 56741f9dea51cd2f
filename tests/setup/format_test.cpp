// The fixed-column format module, with expectations worked out by hand from
// the rules of the edit descriptors. The differential test in tests/oracle
// runs the library's own formats with many more values.
#include <corvane/setup/format.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace {

namespace edit = corvane::edit;
using namespace std::string_view_literals;
using std::string;

constexpr int ok = edit::kOk;
constexpr int bad = edit::kBadInput;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr std::int32_t kMin32 = std::numeric_limits<std::int32_t>::min();

struct Written {
    const char* format;
    std::vector<edit::Out> items;
    string text;
};

void expect_writes(const std::vector<Written>& cases) {
    for (const Written& c : cases) EXPECT_EQ(edit::write(c.format, c.items), c.text) << c.format;
}

// One field read into a target holding a marker; a failed read must leave the
// marker in place.
template <class T>
struct Read {
    const char* format;
    string record;
    int status;
    T value;
};

template <class T>
void expect_reads(T marker, const std::vector<Read<T>>& cases) {
    for (const auto& c : cases) {
        SCOPED_TRACE(string(c.format) + " [" + c.record + "]");
        T target = marker;
        EXPECT_EQ(edit::read(c.format, c.record, {&target}), c.status);
        EXPECT_EQ(target, c.status == ok ? c.value : marker);
    }
}

TEST(FormatParse, RejectsWhatIsNotAFormat) {
    for (const char* bad_format :
         {"",      "A5",    "(A5",       "(A5))",    "(Z5)",   "(F8)",   "(F8.)",
          "(I)",   "(0A5)", "(T0,A1)",   "(3T5,A1)", "(T,A1)", "(A0)",   "(I3.4)",
          "(A5,)", "(,A5)", "(99999A1)", "(3(A1)",   "('x')",  "(A1/A2)"}) {
        SCOPED_TRACE(bad_format);
        string record(10, '#');
        EXPECT_EQ(edit::write(bad_format, record, {"a"sv}), edit::kBadFormat);
        EXPECT_EQ(record, "##########");
        string text(3, '#');
        EXPECT_EQ(edit::read(bad_format, "abc", {&text}), edit::kBadFormat);
        EXPECT_EQ(edit::write(bad_format, {"a"sv}), "");
    }
}

TEST(FormatWrite, TextPadsOnTheLeftOrCutsOnTheRight) {
    expect_writes({{"(A5)", {"ab"sv}, "   ab"},
                   {"(A5)", {"abcdefg"sv}, "abcde"},
                   {"(A)", {"xyz  "sv}, "xyz  "}});
}

TEST(FormatWrite, IntegersRightAlignedWithMinimumDigits) {
    expect_writes({{"(I5)", {42}, "   42"},
                   {"(I5)", {-1234}, "-1234"},
                   {"(I11)", {kMin32}, "-2147483648"},
                   {"(3I3)", {1, -1, 10}, "  1 -1 10"},
                   {"(I5.3)", {7}, "  007"},
                   {"(I5.3)", {-7}, " -007"},
                   {"(I3.0)", {0}, "   "},  // zero as blanks
                   {"(I3.0)", {5}, "  5"}});
}

TEST(FormatWrite, RealsWithoutLeadingZeroCorrectlyRounded) {
    expect_writes({{"(F8.4)", {0.5}, "   .5000"},
                   {"(F8.4)", {-0.5}, "  -.5000"},
                   {"(F8.4)", {12.5}, " 12.5000"},
                   // No decimals: the point is written, and a zero before it.
                   {"(F8.0)", {12.0}, "     12."},
                   {"(F8.0)", {0.4}, "      0."},
                   // Exact binary halves go to the even neighbour; 2.675 is
                   // stored a little below, so it rounds down.
                   {"(F5.2)", {0.125}, "  .12"},
                   {"(F5.2)", {0.375}, "  .38"},
                   {"(F6.2)", {2.675}, "  2.67"},
                   {"(F6.3)", {9.9996}, "10.000"},
                   {"(F7.5)", {0.0001f}, " .00010"},  // the float widened first
                   // A minus sign only while a digit other than zero remains.
                   {"(F8.4)", {-0.00004}, "   .0000"},
                   {"(F8.4)", {-0.00005001}, "  -.0001"},
                   {"(F8.4)", {-0.0}, "   .0000"}});
}

TEST(FormatWrite, AsterisksWhenAValueDoesNotFit) {
    expect_writes({{"(I5)", {-12345}, "*****"},
                   {"(I3.0)", {1000}, "***"},
                   {"(F5.2)", {123.4}, "*****"},  // "123.40" needs six
                   {"(F3.2)", {-0.5}, "***"},
                   {"(F1.0)", {0.0}, "*"},  // "0." needs two
                   {"(F8.4)", {1e300}, "********"},
                   {"(F6.2)", {kNaN}, "******"},
                   {"(F6.2)", {std::numeric_limits<float>::infinity()}, "******"}});
}

TEST(FormatWrite, PositionsGroupsAndCase) {
    const string row1 = " 1.00   .00   .00  ", row2 = "  .00  1.00   .00  ";
    const string row3 = "  .00   .00  1.00  ";
    expect_writes({
        {"(A1,3X,A1)", {"a"sv, "b"sv}, "a   b"},
        {"(A2,3X)", {"ab"sv}, "ab   "},  // trailing nX counts
        {"(T4,A1)", {"x"sv}, "   x"},
        {"(A6,T3,A2)", {"abcdef"sv, "XY"sv}, "abXYef"},
        {"(a2,t1,a1)", {"xy"sv, "Z"sv}, "Zy"},
        {"( 6X , I10 )", {1234}, "            1234"},
        {"(6X,3(3(F5.2,1X),1X))",
         {1.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 1.0},
         "      " + row1 + row2 + row3},
        // The format ends at the first data descriptor without an item.
        {"(A2,I3,A2)", {"ab"sv}, "ab"},
        {"(A2,1X,I3)", {"ab"sv}, "ab "},
        {"(3I3)", {}, ""},
    });
}

TEST(FormatWrite, RecordBlankFilledOrLeftAsItWasOnFailure) {
    string record(8, '#');
    EXPECT_EQ(edit::write("(A2,I3,A2)", record, {"ab"sv}), ok);
    EXPECT_EQ(record, "ab      ");

    record = "abcd";
    EXPECT_EQ(edit::write("(I5)", record, {12345}), edit::kOverflow);
    EXPECT_EQ(edit::write("(A2,T4,A2)", record, {"xy"sv, "zz"sv}), edit::kOverflow);
    EXPECT_EQ(edit::write("(I3)", record, {1, 2}), edit::kBadItem);  // one item too many
    EXPECT_EQ(edit::write("(A3)", record, {5}), edit::kBadItem);
    EXPECT_EQ(edit::write("(I3)", record, {1.5}), edit::kBadItem);
    EXPECT_EQ(edit::write("(F4.1)", record, {1}), edit::kBadItem);
    EXPECT_EQ(edit::write("(A1,I3)", record, {"x"sv, "y"sv}), edit::kBadItem);
    EXPECT_EQ(record, "abcd");
    EXPECT_EQ(edit::write("(I3)", {1, 2}), "");
    // Far beyond any record: refused rather than grown without bound.
    EXPECT_EQ(edit::write("(32767(32767X),A1)", {"x"sv}), "");
    std::int32_t n = -1;
    EXPECT_EQ(edit::read("(32767(32767X),I1)", "1", {&n}), edit::kOverflow);
    EXPECT_EQ(n, -1);
}

TEST(FormatRead, RealsImpliedDecimalsBlanksAndExponents) {
    expect_reads<double>(-1, {{"(F7.4)", "  35200", ok, 3.52},  // last four digits decimals
                              {"(F7.4)", "  3.5  ", ok, 3.5},   // unless a point is given
                              {"(F5.2)", "1 2 3", ok, 1.23},    // blanks ignored
                              {"(F9.5)", "         ", ok, 0.0},
                              {"(F9.5)", "        5", ok, 0.00005},
                              {"(F8.2)", "  -.5", ok, -0.5},
                              {"(F8.2)", "-", ok, 0.0},
                              {"(F9.0)", "  12.345 ", ok, 12.345},
                              {"(f8.0)", "12", ok, 12.0},  // short record blank-extended
                              {"(T40,F5.3)", "short", ok, 0.0},
                              {"(F8.2)", "1.5E2", ok, 150.0},
                              {"(F8.2)", "15e1", ok, 1.5},  // 0.15 times ten
                              {"(F8.2)", "1.5D-1", ok, 0.15},
                              {"(F8.2)", "1.5-1", ok, 0.15},  // a sign starts the exponent
                              {"(F8.2)", "1.5d 2", ok, 150.0},
                              {"(F9.5)", "1.0E+99", ok, 1.0e99},
                              {"(F9.5)", "1.0E-99", ok, 1.0e-99}});
    expect_reads<float>(
        -1, {{"(F6.3)", " 2.345", ok, 2.345f}, {"(F9.5)", "1.0E+99", bad, 0}});  // beyond a float
}

TEST(FormatRead, IntegersDigitsSignsAndBlanks) {
    expect_reads<std::int32_t>(-1, {{"(I3)", " 12", ok, 12},
                                    {"(I3)", "1 2", ok, 12},
                                    {"(I3)", "-5 ", ok, -5},
                                    {"(I3)", "   ", ok, 0},
                                    {"(I3.0)", " 7", ok, 7},
                                    {"(6x,i10)", "      2147483647", ok, 2147483647},
                                    {"(I11)", "-2147483648", ok, kMin32},
                                    {"(6x,i10)", "      2147483648", bad, 0},
                                    {"(6x,i10)", "      9999999999", bad, 0}});
}

TEST(FormatRead, ForeignCharactersAreReadErrors) {
    for (const char* field :
         {"1.2.3", "12a", "1E", "1.5E+", "1e2e3", "1,2", "Inf", "NaN", "*", "1.5Q2", "1-"}) {
        expect_reads<double>(-1, {{"(F8.2)", field, bad, 0}});
    }
    for (const char* field : {"1.0", "1e2", "12x", "+-1", "1-", "1,2"}) {
        expect_reads<std::int32_t>(-1, {{"(I3)", field, bad, 0}});
    }
}

TEST(FormatRead, TextRightmostOrLeftJustified) {
    // The expected text's length is the target's declared length.
    const Read<string> cases[] = {{"(A5)", "abcde", ok, "cde"},
                                  {"(A3)", "abc", ok, "abc  "},
                                  {"(A)", "xyz", ok, "xyz  "},
                                  {"(A81)", "hello", ok, "hello" + string(76, ' ')}};
    for (const auto& c : cases) {
        string target(c.value.size(), '?');
        EXPECT_EQ(edit::read(c.format, c.record, {&target}), c.status) << c.format;
        EXPECT_EQ(target, c.value) << c.format;
    }
}

TEST(FormatRead, SeveralFieldsAllOrNothing) {
    std::int32_t a = -1, b = -1;
    double x = -1;
    EXPECT_EQ(edit::read("(2I3)", " 12 x3", {&a, &b}), bad);  // first field good, none stored
    EXPECT_EQ(edit::read("(I3)", "  1", {&x}), edit::kBadItem);
    EXPECT_EQ(edit::read("(F3.1)", "  1", {&a}), edit::kBadItem);
    EXPECT_EQ(edit::read("(A3)", "abc", {&a}), edit::kBadItem);
    EXPECT_EQ(edit::read("(I3)", "  1  2", {&a, &b}), edit::kBadItem);  // one target too many
    EXPECT_EQ(edit::read("(I3)", "  1", {static_cast<std::int32_t*>(nullptr)}), edit::kBadItem);
    EXPECT_EQ(std::vector<double>({double(a), double(b), x}), std::vector<double>(3, -1));
    // Fewer targets than fields: the format ends at the first one without.
    EXPECT_EQ(edit::read("(I3,I3)", "  1xyz", {&a}), ok);
    EXPECT_EQ(a, 1);
}

TEST(FormatListed, LeadingBlankAndNewLineBeforeColumnEighty) {
    const string a78(78, 'a'), a77(77, 'a'), a76(76, 'a'), b100(100, 'b');
    const struct {
        std::vector<edit::ListItem> items;
        string text;
    } cases[] = {
        {{" INVALID CARD TYPE="sv, "X"sv}, "  INVALID CARD TYPE=X\n"},
        {{0, -5, 123456}, " 0 -5 123456\n"},
        {{"count"sv, 7}, " count 7\n"},
        {{}, "\n"},
        {{""sv}, " \n"},
        // A blank and 78 letters is 79 columns: one more would reach 80.
        {{a78, "b"sv}, " " + a78 + "\n b\n"},
        {{a77, "b"sv}, " " + a77 + "b\n"},
        // An integer is its blank and digits: " 1" after 77 letters would take
        // columns 79 and 80; after 76 it ends in column 79.
        {{a77, 1}, " " + a77 + "\n 1\n"},
        {{a76, 1}, " " + a76 + " 1\n"},
        // A piece longer than a line goes whole on a line of its own.
        {{"x"sv, b100, "c"sv}, " x\n " + b100 + "\n c\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(edit::listed(c.items), c.text);
}

}  // namespace
