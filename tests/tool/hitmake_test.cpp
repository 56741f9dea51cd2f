// hitmake run as a program on databases written into temporary directories.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/support.h"

using Strings = std::vector<std::string>;

TEST(Make, WritesTheListedEntriesNamedBySortedMergedRuns) {
    cvtest::TestDb d(64);
    d.put_krx2("");
    const auto r = d.run("hitmake", {"o", "33", "7-12", "5-9", "1", "64"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "11\n");
    EXPECT_EQ(
        cvtest::read_file(d.file("o")),
        cvtest::subfile_bytes(64, {0x00000FF1u, 0x80000001u},
                              {"Starting from full database", "Match by entries 1,5-12,33,64"}));
}

TEST(Make, BadArgumentsWriteNothing) {
    const std::string usage =
        "\nusage:\n\thitmake <outfile> <entry>...\n\t\t(entry numbers, or ranges such as 3-7)\n";
    const std::string required = "outfile and at least one entry required\n";
    cvtest::TestDb d(40);
    d.put_krx2("");
    cvtest::write_file(d.file("keep"), "existing contents");
    const std::pair<Strings, std::string> cases[] = {
        {{}, required + usage},  // start-up is not run
        {{"keep"}, required + usage},
        {{"keep", "x", "3-1", "-3", "1-", "+4", "2", "", "4-5-6"},
         "invalid entry: x\ninvalid entry: 3-1\ninvalid entry: -3\ninvalid entry: 1-\n"
         "invalid entry: +4\ninvalid entry: \ninvalid entry: 4-5-6\n" +
             usage},
        {{"keep", "0", "41", "39-41", "1", "99999999999999999999999"},
         "entry out of range: 0 (the database has 40 entries)\n"
         "entry out of range: 41 (the database has 40 entries)\n"
         "entry out of range: 39-41 (the database has 40 entries)\n"
         "entry out of range: 99999999999999999999999 (the database has 40 entries)\n"},
    };
    for (const auto& [args, err] : cases) {
        const auto r =
            d.run("hitmake", args, args.size() < 2 ? d.unlocated() : cvtest::RunOptions{});
        EXPECT_EQ(r.status, 1) << err;
        EXPECT_EQ(r.out + r.err, err);
    }
    EXPECT_EQ(cvtest::read_file(d.file("keep")), "existing contents");
}
