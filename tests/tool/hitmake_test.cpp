// hitmake run as a program on a database written into a temporary directory.
#include "support/support.h"

using namespace cvtest;

TEST(Make, WritesTheListedEntriesOrRefusesAndWritesNothing) {
    TestDb d(64);
    d.put("krx2.dat", "");
    auto r = d.run("hitmake", {"o", "33", "7-12", "5-9", "1", "64"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out + r.err, "11\n");
    EXPECT_EQ(read_file(d.file("o")),
              subfile_bytes(64, {0x00000FF1u, 0x80000001u},
                            {"Starting from full database", "Match by entries 1,5-12,33,64"}));

    const std::string usage = usage_of("hitmake");
    write_file(d.file("keep"), "existing contents");
    const std::pair<Strings, std::string> cases[] = {
        {{"keep"}, "outfile and at least one entry required\n" + usage},  // no start-up
        {{"keep", "x", "3-1", "-3", "1-", "+4", "2", "", "4-5-6"},
         "invalid entry: x\ninvalid entry: 3-1\ninvalid entry: -3\ninvalid entry: 1-\n"
         "invalid entry: +4\ninvalid entry: \ninvalid entry: 4-5-6\n" +
             usage},
        {{"keep", "0", "65", "63-65", "1", "99999999999999999999999"},
         "entry out of range: 0 (the database has 64 entries)\n"
         "entry out of range: 65 (the database has 64 entries)\n"
         "entry out of range: 63-65 (the database has 64 entries)\n"
         "entry out of range: 99999999999999999999999 (the database has 64 entries)\n"},
    };
    for (const auto& [args, err] : cases) {
        r = d.run("hitmake", args, args.size() < 2 ? d.unlocated() : RunOptions{});
        EXPECT_EQ(r.status, 1) << err;
        EXPECT_EQ(r.out + r.err, err);
    }
    EXPECT_EQ(read_file(d.file("keep")), "existing contents");
}
