#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "card/formatter.h"
#include "cardkit.h"

using cardkit::rec81;
using cardkit::ScratchDir;
using cv::card::DirectTable;
using cv::card::Formatter;

namespace {

void write_tables(const ScratchDir& d, const std::string& tag) {
    d.write("stdcodes.tbl", "SI     silicon " + tag + "\nAL     aluminum\n");
    d.write("mineral.tbl", "GAR   garnet               01\n   PYR   pyrope\n");
    d.write("picodes.tbl", "GA5alpha\nLO8lambdaxyzw\nSH2\n");
    d.write("codens.tbl", rec81("               2") + rec81("JACSAT J. Am. Chem. Soc."));
}

// The tables a formatter opened: the first stdcodes line, then the counts.
std::string found(Formatter& f) {
    std::string line;
    if (!f.stdcodes.next(line)) line = "-";
    return line + (f.mineral.is_open() ? " M" : " -") + " P" + std::to_string(f.picds.npicd) +
           " C" + std::to_string(f.counts.ncoden);
}

}  // namespace

TEST(CodeTables, AreLookedForInThePrimaryThenTheSecondaryDirectory) {
    ScratchDir a, b, c, d;
    write_tables(a, "first");
    write_tables(b, "second");
    write_tables(d, "second");
    std::ostringstream out;
    Formatter both(a.slash(), b.slash(), out), second(c.slash(), d.slash(), out);
    both.opentables();
    second.opentables();
    EXPECT_EQ(found(both), "SI     silicon first M P3 C2");
    EXPECT_EQ(found(second), "SI     silicon second M P3 C2");
    // The directory texts are blank-padded fields, taken up to their length.
    Formatter padded(a.slash() + "   ", b.slash(), out);
    padded.opentables();
    EXPECT_EQ(found(padded), "SI     silicon first M P3 C2");
    EXPECT_EQ(out.str(), "");
}

// Location-file directories need not end in "/": the name formed without a
// separator names no file, and the directory joined with "/" is tried next.
TEST(CodeTables, DirectoriesWithoutATrailingSlashFindTheTables) {
    ScratchDir a, b, c, d;
    write_tables(a, "first");
    write_tables(d, "second");
    std::ostringstream out;
    Formatter f(a.bare(), b.bare(), out), g(c.bare(), d.bare(), out);
    f.opentables();
    g.opentables();
    EXPECT_EQ(found(f), "SI     silicon first M P3 C2");
    EXPECT_EQ(found(g), "SI     silicon second M P3 C2");
    EXPECT_EQ(out.str(), "");
}

TEST(CodeTables, MissingTablesAreReportedOnceAndTheStepRunsOnce) {
    ScratchDir a, b;
    std::ostringstream out;
    Formatter f(a.slash(), b.slash(), out);
    f.opentables();
    write_tables(a, "late");  // too late: nothing is opened or loaded again
    f.opentables();
    EXPECT_EQ(out.str(),
              " unable to open stdcodes.tbl\n unable to open mineral.tbl\n"
              " unable to open picodes.tbl\n unable to open codens.tbl\n");
    EXPECT_EQ(found(f), "- - P0 C0");
}

TEST(CodeTables, PicodesRecordsAreCodeLengthAndEightCharacters) {
    ScratchDir a;
    write_tables(a, "");
    Formatter f(a.slash());
    f.opentables();
    EXPECT_EQ(f.picds.picode(1) + f.picds.pitext(1), "GAalpha     ");
    EXPECT_EQ(f.picds.pilen(2), 8);
    EXPECT_EQ(f.picds.pitext(2), "lambdaxy  ");  // columns 4-11, padded to 10
    EXPECT_EQ(f.picds.picode(3) + f.picds.pitext(3), "SH          ");
}

// Records past the 50 picds has room for are not read; loading stops at a
// record that does not read.
TEST(CodeTables, PicodesKeepsAtMost50AndStopsAtABadRecord) {
    ScratchDir a, b;
    std::string many;
    for (int i = 0; i < 55; ++i)
        many += std::string{char('A' + i / 26), char('a' + i % 26)} + "1x\n";
    a.write("picodes.tbl", many);
    b.write("picodes.tbl", "GA5alpha\nDGxo\nPM3+/-\n");
    Formatter f(a.slash()), g(b.slash());
    f.opentables();
    g.opentables();
    EXPECT_EQ(f.picds.npicd, 50);
    EXPECT_EQ(f.picds.picode(50), "Bx");  // the 50th record: i = 49
    EXPECT_EQ(g.picds.npicd, 1);
}

// A codens.tbl whose record 1 holds no count, or that has no record 1, is
// searched over no records: every journal is unknown.
TEST(CodeTables, CodensWithoutACountSearchesNothing) {
    ScratchDir a, b;
    a.write("codens.tbl", rec81("this is no count") + rec81("JACSAT J. Am. Chem. Soc."));
    b.write("codens.tbl", "");
    for (const auto* dir : {&a, &b}) {
        Formatter f(dir->slash());
        f.opentables();
        std::string jtext;
        EXPECT_EQ(f.counts.ncoden, 0);
        EXPECT_EQ(f.seekx("JACSAT", jtext), 1);
    }
}

// A journal table whose last line lacks its line end still has that record.
TEST(TableFiles, ALastRecordCutShortReadsBlankPadded) {
    ScratchDir a;
    a.write("d.tbl", rec81("first") + "third");
    DirectTable d;
    std::string r;
    ASSERT_TRUE(d.open(a.file("d.tbl")));
    EXPECT_TRUE(d.read(2, r) && r == "third" + std::string(76, ' '));
    EXPECT_FALSE(d.read(3, r));
    EXPECT_FALSE(d.read(0, r));
}
