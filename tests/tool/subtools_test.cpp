// hitmake and hitjoin run as programs on databases written into temporary directories.
#include "support/support.h"

using namespace cvtest;

TEST(Join, EachOptionIsItsOperation) {
    // 8 entries: a holds 1-3, b 3-7. a's name, longer than 80 characters, is
    // used whole: the file named by its first 80 is not touched.
    TestDb d(8);
    d.put("krx2.dat", "");
    const std::string a = std::string(85, 'a') + ".sub";
    write_file(d.file(a.substr(0, 80)), "decoy");
    const std::string b = subfile_bytes(8, {0x7Cu}, {"B1"});
    write_file(d.file("b.sub"), b);
    const struct {
        const char *second, *option, *count;
        std::uint32_t word;
        std::string step;
    } cases[] = {
        {"b.sub", "-and", "1\n", 0x04u, "Match by "},
        {"b.sub", "-or", "7\n", 0x7Fu, "Combine using "},
        {"b.sub", "-remove", "2\n", 0x03u, "Remove matching "},
        {"b.sub", "-not", "4\n", 0x78u, "Remove entries in table from "},
        {"self", "-remove", "0\n", 0x00u, "Remove matching "},
    };
    for (const auto& c : cases) {
        write_file(d.file(a), subfile_bytes(8, {0x07u}, {"A1"}));
        const std::string second = std::string(c.second) == "self" ? a : c.second;
        const auto r = d.run("hitjoin", {a, second, c.option});  // names relative to work/
        EXPECT_EQ(r.out + r.err, c.count) << c.option;
        EXPECT_EQ(r.status, 0) << c.option;
        const std::string last = second == a ? "... A1" : "... B1";
        EXPECT_EQ(
            read_file(d.file(a)),
            subfile_bytes(8, {c.word}, {"A1", c.step + "File contents (" + second + ")", last}))
            << c.option;
    }
    EXPECT_EQ(read_file(d.file("b.sub")), b);
    EXPECT_EQ(read_file(d.file(a.substr(0, 80))), "decoy");
}

// Usage errors come before start-up; any failure: status 1, files as they were.
TEST(Join, FailuresChangeNoFile) {
    TestDb d(40);
    d.put("krx2.dat", "");
    const std::string a = subfile_bytes(40, {0x7u, 0x1u}, Strings(12, "A"));
    write_file(d.file("a"), a);
    chmod(d.file("a").c_str(), 0640);
    write_file(d.file("other"), subfile_bytes(41, {1u, 1u}, {"B1"}));
    const std::string b = subfile_bytes(40, {0x8u, 0x0u}, {"B1", "B2"});
    write_file(d.file("b"), b);
    const RunOptions limited{{}, "", 500};  // the result needs 8 + 8 + 1500 bytes
    const std::string usage = usage_of("hitjoin");
    const struct {
        Strings args;
        RunOptions options;
        std::string err;
    } cases[] = {
        {{"a", "b", "-AND"}, {}, "unknown option: -AND\nrequired option missing\n" + usage},
        {{"a", "b"}, d.unlocated(), "required option missing\n" + usage},
        {{"a", "b", "-and", "extra"}, d.unlocated(), usage},
        {{"a", "b", "-bogus"},
         d.unlocated(),  // the option is not examined
         "cvl_init ERROR: Unable to determine the locations of TARN database\n"
         "error initializing the TARN database\n"},
        {{"gone", "b", "-or"},
         {},
         " readbitmap WARNING: unable to open/read file gone\n"
         "readbitmap ERROR code:    -1\nerror reading subfile gone\n"},
        {{"a", "other", "-or"},
         {},
         " readbitmap WARNING: \n bitmap on file other has a different size than current "
         "database\nerror reading subfile other\n"},
        {{"a", "b", "-or"},
         limited,
         " savebitmap WARNING: unable to open/write file a\n"
         "savebitmap ERROR code:    -5\nerror writing subfile a\n"},
    };
    for (const auto& c : cases) {
        const auto r = d.run("hitjoin", c.args, c.options);
        EXPECT_EQ(r.status, 1) << c.err;
        EXPECT_EQ(r.out + r.err, c.err);
        EXPECT_EQ(read_file(d.file("a")), a) << c.err;
    }
    EXPECT_EQ(read_file(d.file("b")), b);
    EXPECT_EQ(mode_of(d.file("a")), 0640u);
    EXPECT_EQ(names_in(d.work()), (Strings{"a", "b", "other"}));
}

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
