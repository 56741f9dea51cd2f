// The fixed-column format module, expectations worked out by hand from the
// edit descriptors' rules: the core rules, the failures, and where the module
// differs from the oracle in tests/oracle on purpose.
#include "support/support.h"

namespace {

namespace edit = corvane::edit;
using namespace std::string_view_literals;
using std::string;
constexpr double kInf = std::numeric_limits<double>::infinity();

// A refused format gives its status from parse() and from every read and
// write, and leaves the record and the targets as they were. Hostile formats
// stay cheap: nesting, unrolled size and the furthest column are bounded.
TEST(Format, RefusedFormats) {
    const string deep_ok = string(9, '(') + "A1" + string(9, ')');  // eight inner groups
    constexpr int bad = edit::kBadFormat, ok = edit::kOk, over = edit::kOverflow;
    // clang-format off
    const std::pair<string, int> cases[] = {
        {"", bad}, {"A5", bad}, {"(A5", bad}, {"(A5))", bad}, {"(Z5)", bad}, {"(F8)", bad},
        {"(I)", bad}, {"(0A5)", bad}, {"(T0,A1)", bad}, {"(I3.4)", bad}, {"(A5,)", bad},
        {"('x')", bad}, {"(99999A1)", bad}, {deep_ok, ok}, {"(" + deep_ok + ")", bad},
        {string(100000, '(') + "A1" + string(100000, ')'), bad},
        {"(32767(2A1))", ok}, {"(32767(2A1),3A1)", bad},  // 65534 descriptors, and 3 more
        {"(32767(32767(32767(32767A1))))", bad},
        {"(32(32767X),32X)", ok}, {"(32(32767X),33X)", over},  // to column 1048576, or 1 past
        {"(2(32767(32767X)))", over},
        {"(31(32767X),T1,32767X,A1)", ok},        // T goes back first: 32768
        {"(32(32767X),T1,I5,T1048576,I1)", bad},  // a column above 32767
        {"(T32767,32(32767X))", over}};
    // clang-format on
    for (const auto& [format, status] : cases) {
        SCOPED_TRACE(format.substr(0, 40));
        const edit::Format f = edit::Format::parse(format);
        EXPECT_EQ(f.status(), status);
        if (status == edit::kOk) continue;
        string record(5, '#'), text(1, '#');
        EXPECT_EQ(edit::write(f, record, {"a"sv}), status);
        EXPECT_EQ(edit::write(format, record, {"a"sv}), status);
        EXPECT_EQ(edit::write(f, {"a"sv}), "");
        EXPECT_EQ(edit::read(f, "abc", {&text}), status);
        EXPECT_EQ(edit::read(format, "abc", {&text}), status);
        EXPECT_EQ(record + text, "######");
    }
    EXPECT_EQ(edit::Format().status(), edit::kBadFormat);
    // A parsed format serves many records.
    const edit::Format f = edit::Format::parse("(I3,1X,A2,F5.2)");
    for (const auto& [record, want] :
         {std::pair{" 12 ab  125", "12 ab 1.250000"}, {"           ", "0    0.000000"}}) {
        std::int32_t i = 99;
        string a(2, '#');
        float x = -1;
        EXPECT_EQ(edit::read(f, record, {&i, &a, &x}), edit::kOk);
        EXPECT_EQ(std::to_string(i) + " " + a + " " + std::to_string(x), want);
    }
    EXPECT_EQ(edit::write(f, {42, "cd"sv, 0.5f}), " 42 cd  .50");
}

TEST(Format, Writes) {
    const std::tuple<const char*, std::vector<edit::Out>, string> cases[] = {
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
    for (const auto& [format, items, text] : cases)
        EXPECT_EQ(edit::write(format, items), text) << format;
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
    const std::pair<std::vector<edit::ListItem>, string> cases[] = {
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
    for (const auto& [items, text] : cases) EXPECT_EQ(edit::listed(items), text);
}

}  // namespace
