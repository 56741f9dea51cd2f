// The entry summaries over a three-entry KRX1 database written by hand.
#include "support/support.h"

namespace {

using namespace cvtest;
using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

class Reports : public ::testing::Test {
  protected:
    void SetUp() override {
        // Entry 1: lines of codes 0, 10000 and -10000, a reference of 1987.
        // Entry 2: no lines, no year. Entry 3: code -31415, and a reference
        // offset past the end of ref.lib.
        const std::string names1 = texts_record({"Silicon", "Si", "", "syn"}),
                          di1 = bytes({3, 0x00, 0x00, 0x27, 0x10, 0xD8, 0xF0, 255, 7, 0}),
                          ref1 = texts_record({"ACCRA9", "12", "345", "Lee, K"}, 87);
        const auto n2 = std::int32_t(names1.size()), d2 = std::int32_t(di1.size());
        put_file(lib.findex, dir / "kelpa.ind",
                 index_record(4711, 0, 0, 0, 0) +
                     index_record(-42, n2, d2, std::int32_t(ref1.size()), 80) +
                     index_record(99, 0, d2 + 1, 5000, 160));
        put_file(lib.fnamlib, dir / "name.lib", names1 + texts_record({"Quartz", "", "", ""}));
        put_file(lib.fdilib, dir / "di.lib", di1 + bytes({0, 1, 0x85, 0x49, 128}));
        put_file(lib.freflib, dir / "ref.lib",
                 ref1 + texts_record({"JCPSA6", "1", "2", "Smith, J"}, 127));
        intensities.fill(-1);
        dspacings.fill(-1.0f);
        codes.fill(-1);
    }

    int summary(std::int32_t entry) {
        return cvl_repkrx1(lib, entry, entid, nd, intensities, dspacings, t[3], t[2], t[1], t[0],
                           year, t[4], t[5], t[6], t[7]);
    }
    int lines(std::int32_t entry) { return cvrepdi(lib, entry, nd, intensities, codes); }
    template <typename T>
    static std::vector<T> first(const corvane::LineValues<T>& values, std::size_t n) {
        return std::vector<T>(values.begin(), values.begin() + static_cast<long>(n));
    }

    TempDir dir;
    corvane::Library lib;
    std::int32_t entid = -1, nd = -1, year = -1;
    corvane::LineValues<std::int32_t> intensities{}, codes{};
    corvane::LineValues<float> dspacings{};
    Strings t = Strings(8, "-");  // names 1 to 4, journal, volume, page, authors
};

TEST_F(Reports, SummaryGathersTheWholeEntryAndLineCodesWidenWithSign) {
    ASSERT_EQ(summary(1), 0);
    EXPECT_EQ(entid, 4711);
    EXPECT_EQ(t, (Strings{"Silicon", "Si", "", "syn", "ACCRA9", "12", "345", "Lee, K"}));
    EXPECT_EQ(year, 1987);
    ASSERT_EQ(nd, 3);
    EXPECT_EQ(first(intensities, 4), (std::vector<std::int32_t>{255, 7, 0, -1}));
    EXPECT_EQ(first(dspacings, 4), (std::vector<float>{1.0893674f, 0.8956282f, 1.5098468f, -1}));
    // Without lines the reference is read all the same.
    ASSERT_EQ(summary(2), 0);
    EXPECT_EQ(std::tuple(entid, nd, year), std::tuple(-42, 0, 0));
    EXPECT_EQ(t, (Strings{"Quartz", "", "", "", "JCPSA6", "1", "2", "Smith, J"}));

    ASSERT_EQ(lines(1), 0);
    EXPECT_EQ(first(codes, nd), (std::vector<std::int32_t>{0, 10000, -10000}));
    ASSERT_EQ(lines(3), 0);
    EXPECT_EQ(first(codes, nd), (std::vector<std::int32_t>{-31415}));
    EXPECT_EQ(intensities[0], 128);
    codes.fill(-1);
    ASSERT_EQ(lines(2), 0);
    EXPECT_EQ(std::pair(nd, codes[0]), std::pair(0, -1));
}

// The outputs of the steps before the failing one keep their new values.
TEST_F(Reports, FailuresStopAtTheFailingStep) {
    const auto cut_names = [&] {
        put_file(lib.fnamlib, dir / "cut.lib", bytes({200, 0, 0, 0}) + "abc");
        put_file(lib.fdilib, dir / "cutdi.lib", bytes({9, 0, 0}));
    };
    const struct {
        bool summary;  // cvl_repkrx1, else cvrepdi
        std::int32_t entry;
        int status;
        std::string message;
    } cases[] = {
        {true, 0, -1, "cvl_RepKRX1 ERROR: readindex for entry  0\n"},
        {true, -7, -1, "cvl_RepKRX1 ERROR: readindex for entry  -7\n"},
        {false, 4, -1, "cvRepDI ERROR: readindex for entry  4\n"},
        {true, 3, -4, "cvl_RepKRX1 ERROR: readreflib for entry  3 99\n"},
        {true, 1, -2, "cvl_RepKRX1 ERROR: readnamlib for entry  1 4711\n"},
        {false, 2, -3, "cvRepDI ERROR: readdilib for entry  2 -42\n"},
    };
    for (const auto& c : cases) {
        if (c.status == -2) cut_names();
        t.assign(8, "-");
        entid = nd = year = -1;
        CaptureStderr();
        EXPECT_EQ(c.summary ? summary(c.entry) : lines(c.entry), c.status) << c.message;
        EXPECT_EQ(GetCapturedStderr(), c.message);
        EXPECT_EQ(entid, c.status < -1 && c.summary ? (c.entry == 3 ? 99 : 4711) : -1) << c.message;
        EXPECT_EQ(t[0], c.status == -4 ? "Silicon" : "-") << c.message;
        EXPECT_EQ(nd, c.status == -4 ? 1 : c.status == -3 ? 0 : -1) << c.message;
    }
    EXPECT_EQ(codes[0], -1);  // a failed line read leaves the codes
}

}  // namespace
