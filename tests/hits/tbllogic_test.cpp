#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "setup/library.h"

namespace {

// A library over n entries whose history holds one record.
std::unique_ptr<cv::Library> library(int n) {
    auto lib = std::make_unique<cv::Library>();
    lib->cv_sizes.dbsize[0] = n;
    lib->cv_history.nhist = 1;
    lib->cv_history.histtx[0] = std::string("first") + std::string(95, ' ');
    return lib;
}

std::string rec(const std::string& text) { return text + std::string(100 - text.size(), ' '); }

}  // namespace

// 40 entries: word 0 holds entries 1..32, the low 8 bits of word 1 entries
// 33..40, its high 24 bits are spare. Current: entries 1-4 and 33; work:
// entries 3-6 and 34, plus a spare bit (bit 31 of word 1) in each.
class TblLogic40 : public testing::Test {
protected:
    void SetUp() override {
        lib = library(40);
        lib->cv_tables.curtbl[0] = 0x0000000Fu;
        lib->cv_tables.curtbl[1] = 0x80000001u;
        lib->cv_tables.wrktbl[0] = 0x0000003Cu;
        lib->cv_tables.wrktbl[1] = 0x80000002u;
        lib->cv_tables.curtbl[2] = 0xFFFFFFFFu;  // beyond the table in use
    }
    std::unique_ptr<cv::Library> lib;
};

TEST_F(TblLogic40, AndKeepsEntriesInBoth) {
    EXPECT_EQ(lib->tbllogic(0, "x"), 3);  // entries 3, 4 and the spare bit
    EXPECT_EQ(lib->cv_tables.curtbl[0], 0x0000000Cu);
    EXPECT_EQ(lib->cv_tables.curtbl[1], 0x80000000u);
    EXPECT_EQ(lib->cv_tables.curtbl[2], 0xFFFFFFFFu);
    EXPECT_EQ(lib->cv_tables.nhits, 3);
    EXPECT_EQ(lib->cv_history.nhist, 2);
    EXPECT_EQ(lib->cv_history.histtx[1], rec("Match by x"));
}

TEST_F(TblLogic40, OrKeepsEntriesInEither) {
    EXPECT_EQ(lib->tbllogic(1, "y"), 9);  // 1-6, 33, 34 and the spare bit
    EXPECT_EQ(lib->cv_tables.curtbl[0], 0x0000003Fu);
    EXPECT_EQ(lib->cv_tables.curtbl[1], 0x80000003u);
    EXPECT_EQ(lib->cv_history.histtx[1], rec("Combine using y"));
}

TEST_F(TblLogic40, RemoveDropsTheWorkTablesEntries) {
    // 1-4,33 without 3-6,34: entries 1, 2, 33. The complement copies the work
    // table's spare bit, so the spare bit both tables hold stays.
    EXPECT_EQ(lib->tbllogic(2, "z"), 4);
    EXPECT_EQ(lib->cv_tables.curtbl[0], 0x00000003u);
    EXPECT_EQ(lib->cv_tables.curtbl[1], 0x80000001u);
    // The work table is left complemented over the 40 entries.
    EXPECT_EQ(lib->cv_tables.wrktbl[0], 0xFFFFFFC3u);
    EXPECT_EQ(lib->cv_tables.wrktbl[1], 0x800000FDu);
    EXPECT_EQ(lib->cv_history.histtx[1], rec("Remove matching z"));
}

TEST_F(TblLogic40, NotKeepsTheWorkTablesEntriesOutsideTheCurrent) {
    // 3-6,34 without 1-4,33: entries 5, 6, 34.
    EXPECT_EQ(lib->tbllogic(3, "w"), 4);  // and the spare bit both tables held
    EXPECT_EQ(lib->cv_tables.curtbl[0], 0x00000030u);
    EXPECT_EQ(lib->cv_tables.curtbl[1], 0x80000002u);
    EXPECT_EQ(lib->cv_tables.wrktbl[0], 0x0000003Cu);  // work table untouched
    EXPECT_EQ(lib->cv_history.histtx[1], rec("Remove entries in table from w"));
}

TEST_F(TblLogic40, OtherCodesOnlyRecount) {
    lib->cv_tables.nhits = 999;
    EXPECT_EQ(lib->tbllogic(5, "v"), 6);  // 1-4, 33 and the spare bit
    EXPECT_EQ(lib->tbllogic(-1, "v"), 6);
    EXPECT_EQ(lib->cv_tables.nhits, 6);
    EXPECT_EQ(lib->cv_tables.curtbl[0], 0x0000000Fu);
    EXPECT_EQ(lib->cv_tables.wrktbl[0], 0x0000003Cu);
    EXPECT_EQ(lib->cv_history.nhist, 1);
}

TEST(TblLogic, WholeWordsWithSixtyFourEntries) {
    auto lib = library(64);
    lib->cv_tables.curtbl[0] = 0xFFFF0000u;
    lib->cv_tables.curtbl[1] = 0x000000FFu;
    lib->cv_tables.wrktbl[0] = 0xFF00FF00u;
    lib->cv_tables.wrktbl[1] = 0xFFFFFFFFu;
    lib->cv_tables.curtbl[2] = 0x1u;
    // -not: the work table's entries outside the current table.
    EXPECT_EQ(lib->tbllogic(3, "t"), 8 + 24);
    EXPECT_EQ(lib->cv_tables.curtbl[0], 0x0000FF00u);
    EXPECT_EQ(lib->cv_tables.curtbl[1], 0xFFFFFF00u);
    EXPECT_EQ(lib->cv_tables.curtbl[2], 0x1u);  // third word not in use
}

TEST(TblLogic, RecordIsCutToOneHundredCharacters) {
    auto lib = library(10);
    const std::string text(120, 'q');
    lib->tbllogic(1, text);
    // "Combine using " is 14 characters; 86 of the text fit.
    EXPECT_EQ(lib->cv_history.histtx[1], "Combine using " + std::string(86, 'q'));
    // Trailing blanks of the text are kept as part of it, then padding follows.
    lib->tbllogic(0, "ab  ");
    EXPECT_EQ(lib->cv_history.histtx[2], rec("Match by ab"));
    EXPECT_EQ(lib->cv_history.nhist, 3);
}

TEST(TblLogic, FullHistoryKeepsItsFirstHundredRecords) {
    auto lib = library(10);
    lib->cv_history.nhist = 100;
    lib->cv_history.histtx[99] = rec("last");
    lib->cv_tables.curtbl[0] = 0x3u;
    lib->cv_tables.wrktbl[0] = 0x4u;
    EXPECT_EQ(lib->tbllogic(1, "more"), 3);  // the tables still merge
    EXPECT_EQ(lib->cv_history.nhist, 100);
    EXPECT_EQ(lib->cv_history.histtx[99], rec("last"));
}
