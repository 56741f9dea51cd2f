// The four operations on tables with spare bits run end to end in
// tests/tool/hitjoin_test.cpp; here: what only the library shows.
#include <corvane/corvane.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

std::unique_ptr<corvane::Library> library(int n) {
    auto lib = std::make_unique<corvane::Library>();
    lib->cv_sizes.dbsize(1) = n;
    lib->cv_history.nhist = 1;
    return lib;
}

std::string rec(const std::string& text) {
    return text + std::string(100 - text.size(), ' ');
}

}  // namespace

TEST(TblLogic, RemoveLeavesTheWorkTableComplemented) {
    // 40 entries: bits 8..31 of word 1 are spare. Current 1-4 and 33, work 3-6
    // and 34, each with spare bit 31.
    auto lib = library(40);
    auto& t = lib->cv_tables;
    t.curtbl[0] = 0x0000000Fu;
    t.curtbl[1] = 0x80000001u;
    t.wrktbl[0] = 0x0000003Cu;
    t.wrktbl[1] = 0x80000002u;
    t.curtbl[2] = 0xFFFFFFFFu;             // beyond the words in use
    EXPECT_EQ(tbllogic(*lib, 2, "z"), 4);  // entries 1, 2, 33 and the spare bit
    EXPECT_EQ(t.nhits, 4);
    EXPECT_EQ(t.wrktbl[0], 0xFFFFFFC3u);
    EXPECT_EQ(t.wrktbl[1], 0x800000FDu);  // low 8 bits inverted, spare bit kept
    EXPECT_EQ(t.curtbl[2], 0xFFFFFFFFu);
    EXPECT_EQ(lib->cv_history.histtx(2), rec("Remove matching z"));
}

TEST(TblLogic, OtherCodesOnlyRecount) {
    auto lib = library(40);
    lib->cv_tables.curtbl[0] = 0x0000000Fu;
    lib->cv_tables.curtbl[1] = 0x80000001u;
    lib->cv_tables.wrktbl[0] = 0x0000003Cu;
    lib->cv_tables.nhits = 999;
    EXPECT_EQ(tbllogic(*lib, 5, "v"), 6);  // 1-4, 33 and the spare bit
    EXPECT_EQ(tbllogic(*lib, -1, "v"), 6);
    EXPECT_EQ(lib->cv_tables.nhits, 6);
    EXPECT_EQ(lib->cv_tables.curtbl[0], 0x0000000Fu);
    EXPECT_EQ(lib->cv_tables.wrktbl[0], 0x0000003Cu);
    EXPECT_EQ(lib->cv_history.nhist, 1);
}

TEST(TblLogic, RecordIsPrefixAndTextCutOrPaddedToOneHundred) {
    auto lib = library(10);
    tbllogic(*lib, 1, std::string(120, 'q'));
    // "Combine using " is 14 characters; 86 of the text fit.
    EXPECT_EQ(lib->cv_history.histtx(2), "Combine using " + std::string(86, 'q'));
    tbllogic(*lib, 3, "ab  ");
    EXPECT_EQ(lib->cv_history.histtx(3), rec("Remove entries in table from ab"));
    EXPECT_EQ(lib->cv_history.nhist, 3);
}

TEST(TblLogic, FullHistoryKeepsItsFirstHundredRecords) {
    auto lib = library(10);
    lib->cv_history.nhist = 100;
    lib->cv_history.histtx(100) = rec("last");
    lib->cv_tables.curtbl[0] = 0x3u;
    lib->cv_tables.wrktbl[0] = 0x4u;
    EXPECT_EQ(tbllogic(*lib, 1, "more"), 3);  // the tables still merge
    EXPECT_EQ(lib->cv_history.nhist, 100);
    EXPECT_EQ(lib->cv_history.histtx(100), rec("last"));
}
