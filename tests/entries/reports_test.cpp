// The entry summaries over a three-entry KRX1 database written by hand.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "setup/library.h"
#include "tests/entries/krx1_files.h"

namespace {

using cvtest::bytes;
using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

class Reports : public ::testing::Test {
  protected:
    void SetUp() override {
        // Entry 1: two names, three lines, a reference of 1987.
        const std::string names1 = cvtest::name_record("Silicon", "Si", "", "syn");
        const std::string di1 = bytes({3, 0x00, 0x00,  // code 0
                                       0x27, 0x10,     // code 10000
                                       0xD8, 0xF0,     // code -10000
                                       255, 7, 0});    // intensities
        const std::string ref1 = cvtest::ref_record(87, "ACCRA9", "12", "345", "Lee, K");
        // Entry 2: no lines, no year.
        const std::string names2 = cvtest::name_record("Quartz", "", "", "");
        const std::string di2 = bytes({0});
        const std::string ref2 = cvtest::ref_record(127, "JCPSA6", "1", "2", "Smith, J");
        // Entry 3: its reference offset points past the end of ref.lib.
        const std::string di3 = bytes({1, 0x85, 0x49, 128});  // code -31415

        const auto size = [](const std::string& s) { return static_cast<std::int32_t>(s.size()); };
        const std::int32_t n2 = size(names1), d2 = size(di1), r2 = size(ref1);
        const std::int32_t d3 = d2 + size(di2);
        cvtest::write_file(dir / "kelpa.ind", cvtest::index_record(4711, 0, 0, 0, 0) +
                                                  cvtest::index_record(-42, n2, d2, r2, 80) +
                                                  cvtest::index_record(99, 0, d3, 5000, 160));
        cvtest::write_file(dir / "name.lib", names1 + names2);
        cvtest::write_file(dir / "di.lib", di1 + di2 + di3);
        cvtest::write_file(dir / "ref.lib", ref1 + ref2);
        cvtest::attach(lib.findex, dir / "kelpa.ind");
        cvtest::attach(lib.fnamlib, dir / "name.lib");
        cvtest::attach(lib.fdilib, dir / "di.lib");
        cvtest::attach(lib.freflib, dir / "ref.lib");
        intensities.fill(-1);
        dspacings.fill(-1.0f);
        codes.fill(-1);
    }

    int summary(std::int32_t entry) {
        return lib.cvl_repkrx1(entry, entid, nd, intensities, dspacings, name4, name3, name2, name1,
                               year, journal, volume, page, authors);
    }

    cvtest::TempDir dir;
    cv::Library lib;
    std::int32_t entid = -1, nd = -1, year = -1;
    cv::LineValues<std::int32_t> intensities{};
    cv::LineValues<float> dspacings{};
    cv::LineValues<std::int32_t> codes{};
    std::string name1 = "-", name2 = "-", name3 = "-", name4 = "-";
    std::string journal = "-", volume = "-", page = "-", authors = "-";
};

TEST_F(Reports, SummaryGathersTheWholeEntry) {
    ASSERT_EQ(summary(1), 0);
    EXPECT_EQ(entid, 4711);
    EXPECT_EQ(name1, "Silicon");
    EXPECT_EQ(name2, "Si");
    EXPECT_EQ(name3, "");
    EXPECT_EQ(name4, "syn");
    ASSERT_EQ(nd, 3);
    EXPECT_EQ(intensities[0], 255);
    EXPECT_EQ(intensities[1], 7);
    EXPECT_EQ(intensities[2], 0);
    EXPECT_EQ(dspacings[0], 1.0893674f);  // code 0
    EXPECT_EQ(dspacings[1], 0.8956282f);  // code 10000
    EXPECT_EQ(dspacings[2], 1.5098468f);  // code -10000
    EXPECT_EQ(year, 1987);
    EXPECT_EQ(journal, "ACCRA9");  // all six characters
    EXPECT_EQ(volume, "12");
    EXPECT_EQ(page, "345");
    EXPECT_EQ(authors, "Lee, K");
}

TEST_F(Reports, EntryWithoutLinesStillReadsItsReference) {
    ASSERT_EQ(summary(2), 0);
    EXPECT_EQ(entid, -42);
    EXPECT_EQ(name1, "Quartz");
    EXPECT_EQ(nd, 0);
    EXPECT_EQ(intensities[0], -1);
    EXPECT_EQ(dspacings[0], -1.0f);
    EXPECT_EQ(year, 0);
    EXPECT_EQ(authors, "Smith, J");
}

TEST_F(Reports, LineCodesWidenWithSign) {
    ASSERT_EQ(lib.cvrepdi(1, nd, intensities, codes), 0);
    ASSERT_EQ(nd, 3);
    EXPECT_EQ(codes[0], 0);
    EXPECT_EQ(codes[1], 10000);
    EXPECT_EQ(codes[2], -10000);
    EXPECT_EQ(intensities[0], 255);

    ASSERT_EQ(lib.cvrepdi(3, nd, intensities, codes), 0);
    ASSERT_EQ(nd, 1);
    EXPECT_EQ(codes[0], -31415);
    EXPECT_EQ(intensities[0], 128);

    codes.fill(-1);
    ASSERT_EQ(lib.cvrepdi(2, nd, intensities, codes), 0);
    EXPECT_EQ(nd, 0);
    EXPECT_EQ(codes[0], -1);
}

TEST_F(Reports, IndexFailureNamesTheEntryNumber) {
    CaptureStderr();
    EXPECT_EQ(summary(0), -1);
    EXPECT_EQ(lib.cvrepdi(4, nd, intensities, codes), -1);
    EXPECT_EQ(summary(-7), -1);
    EXPECT_EQ(GetCapturedStderr(),
              "cvl_RepKRX1 ERROR: readindex for entry  0\n"
              "cvRepDI ERROR: readindex for entry  4\n"
              "cvl_RepKRX1 ERROR: readindex for entry  -7\n");
    EXPECT_EQ(entid, -1);
    EXPECT_EQ(name1, "-");
}

TEST_F(Reports, ReferenceFailureKeepsWhatWasReadBefore) {
    CaptureStderr();
    EXPECT_EQ(summary(3), -4);
    EXPECT_EQ(GetCapturedStderr(), "cvl_RepKRX1 ERROR: readreflib for entry  3 99\n");
    // Identifier, names and lines are valid; the reference outputs untouched.
    EXPECT_EQ(entid, 99);
    EXPECT_EQ(name1, "Silicon");
    ASSERT_EQ(nd, 1);
    EXPECT_EQ(dspacings[0], 33222.297f);
    EXPECT_EQ(year, -1);
    EXPECT_EQ(journal, "-");
}

TEST_F(Reports, NameAndLineFailuresNameEntryAndIdentifier) {
    // Entry 1 with its name.lib and di.lib records cut off by the end of file.
    cvtest::write_file(dir / "cut.lib", bytes({200, 0, 0, 0}) + "abc");
    lib.cv_closenamlib();
    cvtest::attach(lib.fnamlib, dir / "cut.lib");
    CaptureStderr();
    EXPECT_EQ(summary(1), -2);
    EXPECT_EQ(GetCapturedStderr(), "cvl_RepKRX1 ERROR: readnamlib for entry  1 4711\n");
    EXPECT_EQ(name1, "-");
    EXPECT_EQ(nd, -1);

    cvtest::write_file(dir / "cutdi.lib", bytes({9, 0, 0}));
    lib.cv_closedilib();
    cvtest::attach(lib.fdilib, dir / "cutdi.lib");
    CaptureStderr();
    EXPECT_EQ(lib.cvrepdi(2, nd, intensities, codes), -3);
    EXPECT_EQ(GetCapturedStderr(), "cvRepDI ERROR: readdilib for entry  2 -42\n");
    EXPECT_EQ(nd, 0);  // a failed line read leaves no lines
    EXPECT_EQ(codes[0], -1);
}

}  // namespace
