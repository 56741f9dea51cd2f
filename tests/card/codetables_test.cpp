#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "card/formatter.h"
#include "cardkit.h"

using cardkit::ScratchDir;
using cv::card::DirectTable;
using cv::card::Formatter;
using cv::card::SeqTable;

namespace {

// 80 characters and a line end: one 81-character record of codens.tbl.
std::string rec81(std::string_view text) {
    std::string r(text);
    r.resize(80, ' ');
    return r + "\n";
}

// Record 1 holds the record count in columns 7-16.
std::string codens_file(int count, const std::vector<std::string>& lines) {
    std::string head = "      ";
    const std::string n = std::to_string(count);
    head += std::string(10 - n.size(), ' ') + n;
    std::string all = rec81(head);
    for (const auto& l : lines) all += rec81(l);
    return all;
}

void write_tables(const ScratchDir& d, std::string_view tag) {
    d.write("stdcodes.tbl", "SI     silicon " + std::string(tag) + "\nAL     aluminum\n");
    d.write("mineral.tbl", "GAR   garnet               02\n   ALM   almandine\n   PYR   pyrope\n");
    d.write("picodes.tbl", "GA5alpha\nDG1o\n");
    d.write("codens.tbl", codens_file(2, {"JACSAT J. Am. Chem. Soc."}));
}

const std::string kAllMissing =
    " unable to open stdcodes.tbl\n"
    " unable to open mineral.tbl\n"
    " unable to open picodes.tbl\n"
    " unable to open codens.tbl\n";

}  // namespace

TEST(CodeTables, AllFourAreOpenedFromThePrimaryDirectory) {
    ScratchDir a, b;
    write_tables(a, "first");
    write_tables(b, "second");
    std::ostringstream out;
    Formatter f(a.slash(), b.slash(), out);
    f.opentables();
    EXPECT_EQ(out.str(), "");
    EXPECT_FALSE(f.tables_pending);
    ASSERT_TRUE(f.stdcodes.is_open());
    std::string line;
    ASSERT_TRUE(f.stdcodes.next(line));
    EXPECT_EQ(line, "SI     silicon first");
    EXPECT_TRUE(f.mineral.is_open());
    EXPECT_TRUE(f.codens.is_open());
    EXPECT_EQ(f.counts.ncoden, 2);
    ASSERT_EQ(f.picds.npicd, 2);
    EXPECT_EQ(f.picds.picode(1), "GA");
    EXPECT_EQ(f.picds.pilen(1), 5);
    EXPECT_EQ(f.picds.pitext(1), "alpha     ");
    EXPECT_EQ(f.picds.picode(2), "DG");
    EXPECT_EQ(f.picds.pilen(2), 1);
    EXPECT_EQ(f.picds.pitext(2), "o         ");
}

TEST(CodeTables, ATableOnlyInTheSecondDirectoryIsFoundThere) {
    ScratchDir a, b;
    write_tables(b, "second");
    std::ostringstream out;
    Formatter f(a.slash(), b.slash(), out);
    f.opentables();
    EXPECT_EQ(out.str(), "");
    std::string line;
    ASSERT_TRUE(f.stdcodes.next(line));
    EXPECT_EQ(line, "SI     silicon second");
    EXPECT_EQ(f.picds.npicd, 2);
    EXPECT_EQ(f.counts.ncoden, 2);
}

// The directories of a location file need not end in "/": the tables are
// found all the same (the name formed without a separator names no file).
TEST(CodeTables, DirectoriesWithoutATrailingSlashFindTheTables) {
    ScratchDir a, b;
    write_tables(a, "first");
    std::ostringstream out;
    Formatter f(a.bare(), b.bare(), out);
    f.opentables();
    EXPECT_EQ(out.str(), "");
    EXPECT_TRUE(f.stdcodes.is_open());
    EXPECT_TRUE(f.mineral.is_open());
    EXPECT_EQ(f.picds.npicd, 2);
    EXPECT_EQ(f.counts.ncoden, 2);

    ScratchDir c, d;
    write_tables(d, "second");
    Formatter g(c.bare(), d.bare(), out);
    g.opentables();
    EXPECT_EQ(out.str(), "");
    std::string line;
    ASSERT_TRUE(g.stdcodes.next(line));
    EXPECT_EQ(line, "SI     silicon second");
}

TEST(CodeTables, DirectoryTextIsTakenUpToItsSignificantLength) {
    ScratchDir a, b;
    write_tables(a, "first");
    std::ostringstream out;
    Formatter f(a.slash() + "   ", b.slash(), out);  // a blank-padded field
    f.opentables();
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(f.picds.npicd, 2);
}

TEST(CodeTables, MissingTablesAreReportedOnceEach) {
    ScratchDir a, b;
    std::ostringstream out;
    Formatter f(a.slash(), b.slash(), out);
    f.opentables();
    EXPECT_EQ(out.str(), kAllMissing);
    EXPECT_EQ(f.picds.npicd, 0);
    EXPECT_EQ(f.counts.ncoden, 0);
    EXPECT_FALSE(f.stdcodes.is_open());
    // The step runs once: no second round of messages.
    f.opentables();
    EXPECT_EQ(out.str(), kAllMissing);
}

TEST(CodeTables, NothingIsReopenedOrReloaded) {
    ScratchDir a, b;
    write_tables(a, "first");
    std::ostringstream out;
    Formatter f(a.slash(), b.slash(), out);
    f.opentables();
    a.write("picodes.tbl", "ZZ3zzz\n");
    a.write("codens.tbl", codens_file(7, {}));
    f.opentables();
    EXPECT_EQ(f.picds.npicd, 2);
    EXPECT_EQ(f.picds.picode(1), "GA");
    EXPECT_EQ(f.counts.ncoden, 2);
}

TEST(CodeTables, PicodesKeepsItsFirst50Records) {
    ScratchDir a, b;
    std::string pic;
    for (int i = 0; i < 55; ++i) {
        pic += std::string{static_cast<char>('A' + i / 26), static_cast<char>('a' + i % 26)};
        pic += "1x\n";
    }
    a.write("picodes.tbl", pic);
    std::ostringstream out;
    Formatter f(a.slash(), b.slash(), out);
    f.opentables();
    EXPECT_EQ(f.picds.npicd, 50);
    EXPECT_EQ(f.picds.picode(50), "Bx");  // record 50: 'A' + 49/26, 'a' + 49%26
}

TEST(CodeTables, PicodesLoadingStopsAtARecordThatDoesNotRead) {
    ScratchDir a, b;
    a.write("picodes.tbl", "GA5alpha\nDGxo\nPM3+/-\n");
    std::ostringstream out;
    Formatter f(a.slash(), b.slash(), out);
    f.opentables();
    EXPECT_EQ(f.picds.npicd, 1);
}

TEST(CodeTables, PicodesTextIsEightColumnsPaddedToTen) {
    ScratchDir a, b;
    a.write("picodes.tbl", "LO8lambdaxyzw\nSH2\n");
    std::ostringstream out;
    Formatter f(a.slash(), b.slash(), out);
    f.opentables();
    ASSERT_EQ(f.picds.npicd, 2);
    EXPECT_EQ(f.picds.pitext(1), "lambdaxy  ");  // columns 4-11 only
    EXPECT_EQ(f.picds.pilen(1), 8);
    EXPECT_EQ(f.picds.picode(2), "SH");  // a short record reads blank-extended
    EXPECT_EQ(f.picds.pitext(2), "          ");
}

TEST(CodeTables, CodensWithoutACountSearchesNothing) {
    ScratchDir a, b;
    a.write("codens.tbl", rec81("this is no count") + rec81("JACSAT J. Am. Chem. Soc."));
    std::ostringstream out;
    Formatter f(a.slash(), b.slash(), out);
    f.opentables();
    EXPECT_EQ(f.counts.ncoden, 0);
    std::string jtext;
    EXPECT_EQ(f.seekx("JACSAT", jtext), 1);

    ScratchDir c;
    c.write("codens.tbl", "");  // no record 1 at all
    Formatter g(c.slash(), b.slash(), out);
    g.opentables();
    EXPECT_EQ(g.counts.ncoden, 0);
    EXPECT_EQ(g.seekx("JACSAT", jtext), 1);
}

TEST(SeqTableFile, ReadsLinesAndRewinds) {
    ScratchDir a;
    a.write("t.tbl", "one\r\ntwo\nthree");
    SeqTable t;
    ASSERT_TRUE(t.open(a.file("t.tbl").string()));
    std::string line;
    ASSERT_TRUE(t.next(line));
    EXPECT_EQ(line, "one");
    ASSERT_TRUE(t.next(line));
    EXPECT_EQ(line, "two");
    ASSERT_TRUE(t.next(line));
    EXPECT_EQ(line, "three");
    EXPECT_FALSE(t.next(line));
    t.rewind();
    ASSERT_TRUE(t.next(line));
    EXPECT_EQ(line, "one");
    EXPECT_FALSE(t.open(a.bare()));  // a directory is no table
    EXPECT_FALSE(t.next(line));
}

TEST(DirectTableFile, RecordRStartsAtByte81TimesRMinus1) {
    ScratchDir a;
    a.write("d.tbl", rec81("first") + rec81("second") + "third");
    DirectTable t;
    ASSERT_TRUE(t.open(a.file("d.tbl").string()));
    std::string r;
    ASSERT_TRUE(t.read(2, r));
    EXPECT_EQ(r.size(), 81u);
    EXPECT_EQ(r.substr(0, 7), "second ");
    EXPECT_EQ(r[80], '\n');
    ASSERT_TRUE(t.read(1, r));
    EXPECT_EQ(r.substr(0, 6), "first ");
    ASSERT_TRUE(t.read(3, r));  // the last line without its line end
    EXPECT_EQ(r, "third" + std::string(76, ' '));
    EXPECT_FALSE(t.read(4, r));
    EXPECT_FALSE(t.read(0, r));
}
