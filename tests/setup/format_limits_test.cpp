// The parsed, reusable format and the limits that keep a hostile format cheap:
// counts, nesting depth, unrolled size and the furthest column reached.
#include <corvane/setup/format.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

namespace edit = corvane::edit;
using namespace std::string_view_literals;
using std::string;

TEST(FormatObject, ParsedOnceUsedForManyRecords) {
    const edit::Format f = edit::Format::parse("(I3,1X,A2,F5.2)");
    ASSERT_TRUE(f.ok());
    struct Row {
        const char* record;
        std::int32_t i;
        const char* a;
        float x;
    };
    for (const Row& row : std::vector<Row>{{" 12 ab  125", 12, "ab", 1.25f},
                                           {"-7  xy3.5  ", -7, "xy", 3.5f},
                                           {"           ", 0, "  ", 0.0f}}) {
        std::int32_t i = 99;
        string a(2, '#');
        float x = -1;
        EXPECT_EQ(edit::read(f, row.record, {&i, &a, &x}), edit::kOk) << row.record;
        EXPECT_EQ(i, row.i);
        EXPECT_EQ(a, row.a);
        EXPECT_EQ(x, row.x);
    }
    EXPECT_EQ(edit::write(f, {42, "cd"sv, 0.5f}), " 42 cd  .50");
    string record(12, '#');
    EXPECT_EQ(edit::write(f, record, {-1, "e"sv, 10.0}), edit::kOk);
    EXPECT_EQ(record, " -1  e10.00 ");
}

// Every refused format gives its status from parse() and from each read and
// write, and leaves the record and the targets as they were.
TEST(FormatObject, RefusedFormatsKeepTheirStatus) {
    struct Case {
        string format;
        int status;
    };
    const string deep_ok = string(9, '(') + "A1" + string(9, ')');
    const string too_deep = string(10, '(') + "A1" + string(10, ')');
    const string very_deep = string(100000, '(') + "A1" + string(100000, ')');
    const std::vector<Case> cases = {
        {"(A1", edit::kBadFormat},
        {deep_ok, edit::kOk},  // eight groups inside the outer parentheses
        {too_deep, edit::kBadFormat},
        {very_deep, edit::kBadFormat},
        {"(32767(2A1))", edit::kOk},  // 65534 descriptors
        {"(32767(2A1),3A1)", edit::kBadFormat},
        {"(32767(3A1))", edit::kBadFormat},
        {"(32767(32767(32767(32767A1))))", edit::kBadFormat},
        {"(32(32767X),32X)", edit::kOk},  // reaches column 1048576 exactly
        {"(32(32767X),33X)", edit::kOverflow},
        {"(2(32767(32767X)))", edit::kOverflow},
        {"(31(32767X),T1,32767X,A1)", edit::kOk},  // T goes back first: 32768
        {"(32(32767X),T1,32767X,F2.0)", edit::kOk},
        {"(32(32767X),T1,I5,T1048576,I1)", edit::kBadFormat},  // a column above 32767
        {"(T32767,32(32767X))", edit::kOverflow},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format.substr(0, 40));
        const edit::Format f = edit::Format::parse(c.format);
        EXPECT_EQ(f.status(), c.status);
        if (c.status == edit::kOk) continue;
        string record(5, '#');
        EXPECT_EQ(edit::write(f, record, {"a"sv}), c.status);
        EXPECT_EQ(record, "#####");
        EXPECT_EQ(edit::write(c.format, record, {"a"sv}), c.status);
        EXPECT_EQ(edit::write(f, {"a"sv}), "");
        string text(1, '#');
        EXPECT_EQ(edit::read(f, "abc", {&text}), c.status);
        EXPECT_EQ(edit::read(c.format, "abc", {&text}), c.status);
        EXPECT_EQ(text, "#");
    }
    EXPECT_EQ(edit::Format().status(), edit::kBadFormat);
}

}  // namespace
