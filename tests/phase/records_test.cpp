// Records as tsv, csv and json; history records of a ranking.
#include <corvane/phase/history.h>
#include <corvane/phase/records.h>

#include "support/support.h"

namespace {

namespace ph = corvane::phase;
using ph::Format;
using ph::Value;

TEST(Records, QuotingEscapingAndEachFormat) {
    const std::pair<const char*, const char*> json[] = {
        {"a\"b\\c", "\"a\\\"b\\\\c\""},
        {"tab\there\nline\r", "\"tab\\there\\nline\\r\""},
        {"\x01\x7f", "\"\\u0001\\u007f\""},
        {"\xC3\xA9t\xC3\xA9", "\"\xC3\xA9t\xC3\xA9\""},    // UTF-8 stays
        {"\xE9t\xE9", "\"\xC3\xA9t\xC3\xA9\""},            // Latin-1 becomes UTF-8
        {"\xED\xA0\x80", "\"\xC3\xAD\xC2\xA0\xC2\x80\""},  // no surrogates
    };
    for (const auto& [in, out] : json) EXPECT_EQ(ph::json_string(in), out) << in;
    const std::pair<const char*, const char*> csv[] = {
        {"plain", "plain"}, {"say \"hi\"", "\"say \"\"hi\"\"\""}, {"cr\r", "\"cr\r\""}, {"", ""}};
    for (const auto& [in, out] : csv) EXPECT_EQ(ph::csv_field(in), out) << in;
    EXPECT_EQ(ph::tsv_field("a\tb\nc"), "a b c");

    const std::vector<std::vector<Value>> rows = {
        {Value::number("1"), Value::string("Quartz, \"low\""), Value::null()},
        {Value::number("2.5"), Value::string("Si\tO"), Value::json("[1,2]")},
    };
    const std::pair<Format, std::string> cases[] = {
        {Format::kTsv, "n\tname\tx\n1\tQuartz, \"low\"\t\n2.5\tSi O\t[1,2]\n"},
        {Format::kCsv, "n,name,x\r\n1,\"Quartz, \"\"low\"\"\",\r\n2.5,Si\tO,\"[1,2]\"\r\n"},
        {Format::kJson,
         "[\n{\"n\":1,\"name\":\"Quartz, \\\"low\\\"\",\"x\":null},\n"
         "{\"n\":2.5,\"name\":\"Si\\tO\",\"x\":[1,2]}\n]\n"},
    };
    for (const auto& [format, want] : cases) {
        std::string out;
        ph::RecordWriter w(format, {"n", "name", "x"}, out);
        for (const auto& r : rows) w.record(r);
        w.finish();
        EXPECT_EQ(out, want);
    }
    std::string empty;
    ph::RecordWriter(Format::kJson, {"n"}, empty).finish();
    EXPECT_EQ(empty, "[]\n");
    Format f = Format::kText;
    EXPECT_TRUE(ph::parse_format("csv", f));
    EXPECT_EQ(f, Format::kCsv);
    EXPECT_FALSE(ph::parse_format("xml", f));
}

TEST(History, RankingsKeptInRecordsAndReadBack) {
    // "±" is two bytes: a cut never splits it.
    EXPECT_EQ(ph::cut_utf8("ab\u00B1c", 3), "ab");
    EXPECT_EQ(ph::cut_utf8("ab\u00B1c", 4), "ab\u00B1");

    corvane::Library lib;
    lib.cv_history.nhist = 1;
    // "Ranked phase 1: " (16) and 12 entries of six digits with commas (83)
    // fill a record of 100; 30 take three records.
    std::vector<std::int32_t> entries;
    for (int i = 0; i < 30; ++i) entries.push_back(100000 + i);
    ASSERT_TRUE(ph::append_ranking(lib, 1, entries));
    ASSERT_TRUE(ph::append_ranking(lib, 2, std::vector<std::int32_t>{7, 3}));
    EXPECT_EQ(lib.cv_history.nhist, 5);
    EXPECT_EQ(lib.cv_history.histtx(2).substr(0, 30), "Ranked phase 1: 100000,100001,");
    EXPECT_EQ(lib.cv_history.histtx(2).substr(90), "10,100011 ");
    EXPECT_EQ(lib.cv_history.histtx(5), cvtest::record("Ranked phase 2: 7,3"));
    EXPECT_EQ(ph::ranking_of(lib, 1), entries);
    EXPECT_EQ(ph::ranking_of(lib, 2), (std::vector<std::int32_t>{7, 3}));
    EXPECT_TRUE(ph::ranking_of(lib, 3).empty());

    // A full history ends the list.
    lib.cv_history.nhist = 99;
    EXPECT_FALSE(ph::append_ranking(lib, 1, entries));
    EXPECT_EQ(lib.cv_history.nhist, 100);
}

}  // namespace
