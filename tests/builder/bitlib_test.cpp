// The d-spacing bit libraries: which lines are an entry's strongest, and where
// an entry's bit lies in the file.
#include <corvane/builder/bitlib.h>

#include "support/support.h"

namespace {

using corvane::builder::DLine;

TEST(BitLibrary, StrongestLinesByIntensityThenLineOrder) {
    // Lines as (intensity, bucket); the buckets tell the lines apart.
    const struct {
        std::vector<std::pair<int, int>> lines;
        std::vector<int> buckets;  // of the strongest, strongest first
    } cases[] = {
        {{{10, 1}, {100, 2}, {52, 3}, {100, 4}, {4, 5}}, {2, 4, 3}},
        {{{7, 1}, {7, 2}, {7, 3}, {7, 4}}, {1, 2, 3}},
        {{{5, 1}, {9, 2}}, {2, 1}},
        {{}, {}},
    };
    for (const auto& c : cases) {
        std::vector<DLine> lines;
        for (const auto& [intensity, bucket] : c.lines) lines.push_back({0, intensity, bucket});
        std::array<DLine, 3> out;
        const std::size_t n = corvane::builder::strongest_lines(lines, out);
        std::vector<int> got;
        for (std::size_t i = 0; i < n; ++i) got.push_back(out[i].bucket);
        EXPECT_EQ(got, c.buckets);
    }
}

TEST(BitLibrary, EntryNIsBitNMinus1OfBigEndianWords) {
    // 33 entries take two words a record. Entry 1 lies in bucket 629, entry
    // 32 in buckets 1 and 2, entry 33 in bucket 1; the others have no lines.
    corvane::builder::DBitLibrary lib;
    for (int n = 1; n <= 33; ++n) {
        std::vector<DLine> lines;
        if (n == 1) lines = {{0, 0, 629}};
        if (n == 32) lines = {{0, 0, 1}, {0, 0, 2}};
        if (n == 33) lines = {{0, 0, 1}};
        lib.add_entry(lines);
    }
    std::string file;
    corvane::builder::StringOut out(file);
    ASSERT_TRUE(lib.write(out));
    std::string expected(629 * 8, '\0');
    expected.replace(0, 8, cvtest::bytes({0x80, 0, 0, 0, 0, 0, 0, 1}));  // bucket 1
    expected.replace(8, 8, cvtest::bytes({0x80, 0, 0, 0, 0, 0, 0, 0}));  // bucket 2
    expected.replace(628 * 8, 8, cvtest::bytes({0, 0, 0, 1, 0, 0, 0, 0}));
    EXPECT_EQ(file, expected);
}

}  // namespace
