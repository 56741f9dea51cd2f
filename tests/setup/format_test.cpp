// The fixed-column format module, with expectations worked out by hand from
// the rules of the edit descriptors. tests/oracle compares every format the
// library uses with an independent implementation over many values; the rows
// here pin the core rules, the failures, and the places where the two differ
// on purpose (a comma, an integer beyond 32 bits, a real too large for its
// target, a write past the record end, a real that is not finite, a Tn back
// in a short record, an integer at the end of a listed line).
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
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(Format, RejectsWhatIsNotAFormat) {
    for (const char* f : {"", "A5", "(A5", "(A5))", "(Z5)", "(F8)", "(I)", "(0A5)", "(T0,A1)",
                          "(I3.4)", "(A5,)", "(99999A1)", "('x')"}) {
        string record(10, '#'), text(3, '#');
        EXPECT_EQ(edit::write(f, record, {"a"sv}), edit::kBadFormat) << f;
        EXPECT_EQ(edit::read(f, "abc", {&text}), edit::kBadFormat) << f;
        EXPECT_EQ(record + text, string(13, '#')) << f;
    }
}

TEST(Format, Writes) {
    const struct {
        const char* format;
        std::vector<edit::Out> items;
        string text;
    } cases[] = {
        {"(A5,I5.3)", {"ab"sv, -7}, "   ab -007"},
        {"(I3.0,F8.4,F5.0)",
         {0, -0.5, 0.4},
         "     -.5000   0."},                            // zero as blanks; no 0 before "."
        {"(F5.2,F6.2)", {0.125, 2.675}, "  .12  2.67"},  // ties to even; 2.675 is stored below
        {"(F8.4)", {-0.00004}, "   .0000"},  // a minus sign only before a digit other than zero
        {"(I5,F1.0)", {-12345, 0.0}, "******"},
        {"(F6.2,F4.1)", {std::numeric_limits<double>::quiet_NaN(), -kInf}, "**********"},
        {"(A6,T3,A2)", {"abcdef"sv, "XY"sv}, "abXYef"},  // a field over earlier columns
        {"( a2 , t1,a1)", {"xy"sv, "Z"sv}, "Zy"},
        {"(6X,2(2(F4.1),1X))", {1.0, 0.0, 0.0, 1.0}, "       1.0  .0   .0 1.0 "},
        {"(A2,1X,I3,A2)", {"ab"sv}, "ab "},  // the format ends at the first item missing
    };
    for (const auto& c : cases) EXPECT_EQ(edit::write(c.format, c.items), c.text) << c.format;
}

TEST(Format, FailedWritesLeaveTheRecordAsItWas) {
    string record(8, '#');
    EXPECT_EQ(edit::write("(A2,I3,A2)", record, {"ab"sv}), edit::kOk);
    EXPECT_EQ(record, "ab      ");  // blank-filled first
    record = "abcd";
    EXPECT_EQ(edit::write("(I5)", record, {12345}), edit::kOverflow);
    EXPECT_EQ(edit::write("(I3)", record, {1, 2}), edit::kBadItem);  // one item too many
    EXPECT_EQ(edit::write("(A3)", record, {5}), edit::kBadItem);
    EXPECT_EQ(edit::write("(I3)", record, {1.5}), edit::kBadItem);
    EXPECT_EQ(record, "abcd");
    EXPECT_EQ(edit::write("(32767(32767X),A1)", {"x"sv}), "");  // refused, not grown
}

TEST(Format, ReadsOrStoresNothing) {
    const double m = -1;  // the marker a failed read leaves
    const std::pair<const char*, double> reals[] = {
        {"  35200", 352.0},  // without a point the last two digits are decimals
        {"3 5 2 ", 3.52},   {"  3.5  ", 3.5}, {"-", 0.0}, {"15e1", 1.5}, {"1.5-1", 0.15},
        {"1,2", m},         {"1.2.3", m},     {"Inf", m}, {"1-", m},     {"12a", m},
    };
    for (const auto& [field, value] : reals) {
        double x = m;
        EXPECT_EQ(edit::read("(F7.2)", field, {&x}), value == m ? edit::kBadInput : edit::kOk)
            << field;
        EXPECT_EQ(x, value) << field;
    }
    float f = -1;
    EXPECT_EQ(edit::read("(F9.5)", "1.0E+99", {&f}), edit::kBadInput);  // too large for a float
    std::int32_t a = -1, b = -1;
    EXPECT_EQ(edit::read("(6x,i10)", "      2147483648", {&a}), edit::kBadInput);
    EXPECT_EQ(edit::read("(2I3)", " 12 x3", {&a, &b}), edit::kBadInput);  // the first was good
    EXPECT_EQ(edit::read("(I3)", "  1", {&f}), edit::kBadItem);
    EXPECT_EQ(edit::read("(I3)", "  1  2", {&a, &b}), edit::kBadItem);  // one target too many
    EXPECT_EQ(std::vector<double>({double(a), double(b), double(f)}), std::vector<double>(3, -1));
    // Texts: the rightmost characters, or left-justified; T3 goes back to
    // column 3 of the blank-extended record.
    string t3(3, '?'), t7(7, '?'), t6(6, '?');
    double x = m;
    EXPECT_EQ(edit::read("(A5,T1,A3,T1,A)", "abcde", {&t3, &t7}), edit::kOk);
    EXPECT_EQ(t3 + "|" + t7, "cde|abc    ");
    EXPECT_EQ(edit::read("(A6,T3,F4.1)", "a-.2", {&t6, &x}), edit::kOk);
    EXPECT_EQ(t6 + " " + std::to_string(x), "a-.2   0.200000");
}

TEST(Format, ListedLinesBeginWithABlankAndEndBeforeColumnEighty) {
    const string a78(78, 'a'), a77(77, 'a'), a76(76, 'a'), b100(100, 'b');
    const struct {
        std::vector<edit::ListItem> items;
        string text;
    } cases[] = {
        {{" INVALID CARD TYPE="sv, "X"sv}, "  INVALID CARD TYPE=X\n"},
        {{"count"sv, 0, -5}, " count 0 -5\n"},
        {{}, "\n"},
        // A blank and 78 letters is 79 columns: one more would reach 80.
        {{a78, "b"sv}, " " + a78 + "\n b\n"},
        {{a77, "b"sv}, " " + a77 + "b\n"},
        // An integer is its blank and digits: " 1" after 77 letters would take
        // columns 79 and 80.
        {{a77, 1}, " " + a77 + "\n 1\n"},
        {{a76, 1}, " " + a76 + " 1\n"},
        {{"x"sv, b100, "c"sv}, " x\n " + b100 + "\n c\n"},  // a long piece on a line of its own
    };
    for (const auto& c : cases) EXPECT_EQ(edit::listed(c.items), c.text);
}

}  // namespace
