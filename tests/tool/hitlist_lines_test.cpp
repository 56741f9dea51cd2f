// hitlist's choice of the three strongest lines, where only the lines shown
// are decoded: lines without a d-spacing among the strongest, and the last of
// 255 lines.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "entries/krx1_files.h"
#include "tool/testdb.h"

namespace {

TEST(HitlistLines, StrongestWithADSpacingInOrderOfStrengthThenLineOrder) {
    // Codes and their d-spacings with four decimals: 0 1.0894, 10000 0.8956,
    // -10000 1.5098, 31416 0.7703; -31416 has none.
    std::vector<std::pair<std::int32_t, int>> many(255, {31416, 7});
    many[0] = {0, 7};
    many[1] = {10000, 7};
    many[254] = {-10000, 8};
    const std::vector<cvtest::KrxEntry> entries = {
        {1,
         {"No d for the two strongest", "", "", ""},
         127,
         {"", "", "", ""},
         {{-31416, 100}, {0, 50}, {-31416, 90}, {10000, 50}, {-10000, 40}, {31416, 40}}},
        {2,
         {"Ties in line order, the last line strongest", "", "", ""},
         127,
         {"", "", "", ""},
         many},
    };
    cvtest::TestDb db(2);
    cvtest::put_entries(db, entries);
    cvtest::write_file(db.file("in.sub"), cvtest::subfile_bytes(2, {0x3u}, {}));
    const auto r = db.run("hitlist", {"in.sub"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "hits: 2\n"
              "1\t1\t1\tNo d for the two strongest\t1.0894\t50\t0.8956\t50\t1.5098\t40\n"
              "2\t2\t2\tTies in line order, the last line strongest\t1.5098\t8\t1.0894\t7\t"
              "0.8956\t7\n");
}

}  // namespace
