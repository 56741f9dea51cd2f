// What hitmatch reads and writes: peak lists, records as tsv, csv and json,
// and history records of a ranking.
#include <corvane/phase/history.h>
#include <corvane/phase/peaks.h>
#include <corvane/phase/records.h>

#include "support/support.h"

namespace {

namespace ph = corvane::phase;
using ph::Format;
using ph::Peak;
using ph::Value;

TEST(Peaks, LinesCommentsTwoThetaAndScaledIntensities) {
    // d = lambda / (2 sin(2theta / 2)): 90 degrees at 1.540598 is 1.0893673.
    const struct {
        std::string text;
        ph::PeakOptions options;
        std::vector<std::pair<double, double>> want;
    } cases[] = {
        {"# quartz\n3.3435 200\n\n   4.2553\t32   # the second strongest\r\n1.8179,26\n"
         "2.4567, 18\n+1.5415 1e1\n1.3719\n",  // no intensity: 100
         {},
         {{3.3435, 100}, {4.2553, 16}, {1.8179, 13}, {2.4567, 9}, {1.5415, 5}, {1.3719, 50}}},
        {"90 10\n60 5\n", {true, 1.540598}, {{1.0893673, 100}, {1.540598, 50}}},
    };
    for (const auto& c : cases) {
        std::vector<Peak> peaks;
        std::ostringstream err;
        ASSERT_TRUE(ph::parse_peaks(c.text, "q.txt", c.options, peaks, err)) << err.str();
        EXPECT_EQ(err.str(), "");
        ASSERT_EQ(peaks.size(), c.want.size());
        for (std::size_t i = 0; i < c.want.size(); ++i) {
            EXPECT_NEAR(peaks[i].d, c.want[i].first, 1e-7) << i;
            EXPECT_DOUBLE_EQ(peaks[i].intensity, c.want[i].second) << i;
        }
    }
    const std::pair<const char*, double> wavelengths[] = {
        {"cuka1", 1.540598}, {"CuKa", 1.541874}, {"MoKa1", 0.7093}, {"1.79", 1.79}, {"0", 0},
        {"-1", 0},           {"Cu", 0}};
    for (const auto& [text, value] : wavelengths) {
        double w = -1;
        EXPECT_EQ(ph::parse_wavelength(text, w), value > 0) << text;
        EXPECT_DOUBLE_EQ(w, value > 0 ? value : -1) << text;
    }
}

TEST(Peaks, BadLinesAreRefusedWithTheirNumbers) {
    std::string bad, many;  // the first twenty bad lines, then their number
    for (int i = 0; i < 25; ++i) bad += i < 20 ? "x\n" : "y\n";
    for (std::size_t i = 0; i <= ph::kMaxPeaks; ++i) many += "2.0 1\n";
    std::string bad_err;
    for (int i = 1; i <= 20; ++i)
        bad_err += "p:" + std::to_string(i) + ": d-spacing 'x' is not a positive number\n";
    const struct {
        std::string text;
        bool two_theta;
        std::string err;
    } cases[] = {
        {"3.34 100\nabc 5\n3.1 -2\n2.0 1 7\n0 5\n", false,
         "p:2: d-spacing 'abc' is not a positive number\n"
         "p:3: intensity '-2' is not a positive number\n"
         "p:4: more than two fields (position and intensity)\n"
         "p:5: d-spacing '0' is not a positive number\n"},
        {"180 5\nnan 1\n45 inf\n", true,
         "p:1: two-theta '180' is not an angle below 180 degrees\n"
         "p:2: two-theta 'nan' is not a positive number\n"
         "p:3: intensity 'inf' is not a positive number\n"},
        {"# nothing\n\n", false, "p: no peaks\n"},
        {bad, false, bad_err + "p: 5 more bad lines\n"},
        {many, false, "p: more than 10000 peaks\n"},
    };
    for (const auto& c : cases) {
        std::vector<Peak> peaks = {{1, 1}};
        std::ostringstream err;
        EXPECT_FALSE(ph::parse_peaks(c.text, "p", {c.two_theta, 1.540598}, peaks, err));
        EXPECT_EQ(err.str(), c.err);
        EXPECT_TRUE(peaks.empty());
    }
}

TEST(Peaks, FilesThatCannotBeRead) {
    cvtest::TempDir dir;
    std::vector<Peak> peaks;
    std::ostringstream err;
    EXPECT_FALSE(ph::read_peaks(dir / "none.txt", {}, peaks, err));
    EXPECT_EQ(err.str(), dir / "none.txt" + ": cannot read: No such file or directory\n");
    err.str("");
    EXPECT_FALSE(ph::read_peaks(dir.bare(), {}, peaks, err));  // a directory
    EXPECT_NE(err.str().find(": cannot read: "), std::string::npos);
    dir.write("ok.txt", "2.0 50\n");
    EXPECT_TRUE(ph::read_peaks(dir / "ok.txt", {}, peaks, err));
    EXPECT_EQ(peaks.size(), 1u);
}

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
