// --help, --version and usage errors of every tool, where no database is found.
#include "support/support.h"

TEST(Tools, HelpVersionAndUsageErrors) {
    const struct {
        std::string tool;
        cvtest::Strings bad_args;  // a usage error
        std::string fault;         // the line before the usage
    } cases[] = {
        {"hitmake", {"out.sub", "x"}, "invalid entry: x\n"},
        {"hitfind", {"out.sub"}, "outfile and at least one search string required\n"},
        {"hitlist", {}, ""},
        {"krxbuild", {"cards.crd"}, ""},
        {"hitcard", {"x"}, "invalid entry number: x\n"},
        {"hitmatch", {"-format", "xml", "p.txt"}, "unknown format: xml\n"},
        {"hitplot", {"-o", "f.svg"}, "at least one entry required\n"},
    };
    const cvtest::TestDb db(1);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tool);
        const auto bad = db.run(c.tool, c.bad_args, db.unlocated());
        EXPECT_EQ(bad.status, 1);
        EXPECT_EQ(bad.out, "");
        ASSERT_EQ(bad.err.rfind(c.fault + "\nusage:\n\t" + c.tool + " ", 0), 0u) << bad.err;
        const std::string usage = bad.err.substr(c.fault.size() + 1);  // from "usage:"

        // --help: the tool's name and what it does, a blank line, the same usage.
        const auto help = db.run(c.tool, {"--help"}, db.unlocated());
        EXPECT_EQ(help.status, 0);
        EXPECT_EQ(help.err, "");
        EXPECT_EQ(help.out.rfind(c.tool + ": ", 0), 0u) << help.out;
        EXPECT_EQ(help.out.substr(help.out.find('\n')), "\n\n" + usage);

        const auto version = db.run(c.tool, {"--version"}, db.unlocated());
        EXPECT_EQ(version.status, 0);
        EXPECT_EQ(version.out + version.err, c.tool + " (corvane) 0.4.0\n");
    }

    // hitjoin takes exactly three arguments: both are usage errors.
    for (const char* option : {"--help", "--version"}) {
        const auto r = db.run("hitjoin", {option}, db.unlocated());
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.rfind("required option missing\n\nusage:\n\thitjoin ", 0), 0u) << r.err;
    }
}
