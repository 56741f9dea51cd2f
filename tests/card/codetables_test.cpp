#include "support/support.h"

using corvane::card::CardFormatter;
using cvtest::rec81;
using Dir = cvtest::TempDir;

namespace {

void write_tables(const Dir& d, const std::string& tag) {
    d.write("stdcodes.tbl", "SI     silicon " + tag + "\nAL     aluminum\n");
    d.write("mineral.tbl", "GAR   garnet               01\n   PYR   pyrope\n");
    d.write("picodes.tbl", "GA5alpha\nLO8lambdaxyzw\nSH2\n");
    d.write("codens.tbl", rec81("               2") + rec81("JACSAT J. Am. Chem. Soc."));
}

// What the opening step found: the first stdcodes line, then the counts.
std::string opened(CardFormatter& f) {
    opentables(f);
    std::string line;
    if (!f.stdcodes.next(line)) line.assign(1, '-');
    line += f.mineral.is_open() ? " M P" : " - P";
    return line + std::to_string(f.picds.npicd) + " C" + std::to_string(f.counts.ncoden);
}

}  // namespace

// The primary directory first, then the secondary; directories need not end
// in "/", and a directory text is a blank-padded field.
TEST(CodeTables, AreLookedForInThePrimaryThenTheSecondaryDirectory) {
    Dir one, two, none;
    write_tables(one, "first");
    write_tables(two, "second");
    const std::string first = "SI     silicon first M P3 C2",
                      second = "SI     silicon second M P3 C2";
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {one.slash(), two.slash(), first},         {none.slash(), two.slash(), second},
        {one.slash() + "   ", two.slash(), first}, {one.bare(), none.bare(), first},
        {none.bare(), two.bare(), second},
    };
    for (const auto& [primary, secondary, want] : cases) {
        std::ostringstream out;
        CardFormatter f(primary, secondary, out);
        EXPECT_EQ(opened(f) + out.str(), want) << primary << " " << secondary;
    }
}

TEST(CodeTables, MissingTablesAreReportedOnceAndTheStepRunsOnce) {
    Dir a, b;
    std::ostringstream out;
    CardFormatter f(a.slash(), b.slash(), out);
    opentables(f);
    write_tables(a, "late");  // too late: nothing is opened or loaded again
    EXPECT_EQ(opened(f), "- - P0 C0");
    EXPECT_EQ(out.str(),
              " unable to open stdcodes.tbl\n unable to open mineral.tbl\n"
              " unable to open picodes.tbl\n unable to open codens.tbl\n");
}

// picodes.tbl: code, length and eight characters a record; at most 50 are
// kept, and loading stops at a record that does not read. A codens.tbl whose
// record 1 holds no count, or that has no record 1, is searched over no
// records.
TEST(CodeTables, RecordsOfPicodesAndCodens) {
    Dir a, b, c, d;
    write_tables(a, "");
    std::string many;
    for (int i = 0; i < 55; ++i)
        many += std::string{char('A' + i / 26), char('a' + i % 26)} + "1x\n";
    b.write("picodes.tbl", many);
    b.write("codens.tbl", rec81("this is no count") + rec81("JACSAT J. Am. Chem. Soc."));
    c.write("picodes.tbl", "GA5alpha\nDGxo\nPM3+/-\n");
    c.write("codens.tbl", "");
    CardFormatter f(a.slash()), g(b.slash()), h(c.slash());
    for (CardFormatter* x : {&f, &g, &h}) opentables(*x);
    EXPECT_EQ(f.picds.picode(1) + f.picds.pitext(1), "GAalpha     ");
    EXPECT_EQ(f.picds.pitext(2) + std::to_string(f.picds.pilen(2)), "lambdaxy  8");
    EXPECT_EQ(f.picds.picode(3) + f.picds.pitext(3), "SH          ");
    EXPECT_EQ(g.picds.npicd, 50);
    EXPECT_EQ(g.picds.picode(50), "Bx");  // the 50th record: i = 49
    EXPECT_EQ(h.picds.npicd, 1);
    std::string jtext;
    EXPECT_EQ(seekx(f, "JACSAT", jtext), 0);
    EXPECT_EQ(g.counts.ncoden + h.counts.ncoden, 0);
    EXPECT_EQ(seekx(g, "JACSAT", jtext) + seekx(h, "JACSAT", jtext), 2);
    // The last record of a direct-access table may lack its line end.
    d.write("d.tbl", rec81("first") + "third");
    corvane::card::DirectTable t;
    ASSERT_TRUE(t.open(d.slash() + "d.tbl"));
    EXPECT_TRUE(t.read(2, jtext) && jtext == "third" + std::string(76, ' '));
    EXPECT_FALSE(t.read(3, jtext) || t.read(0, jtext));
}
