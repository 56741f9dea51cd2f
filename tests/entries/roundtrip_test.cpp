// Card file to builder to readers: every entry of the sample card file, built
// into a database and read back through start-up and the KRX1 and KRX2
// readers, against the values written on its cards.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "entries/dbbuild.h"
#include "setup/library.h"
#include "tests/tool/testdb.h"

namespace {

const std::string kCards = std::string(CORVANE_SOURCE_DIR) + "/sample/phases.crd";

// What the cards of one record say, read off sample/phases.crd by hand.
struct Entry {
    std::int32_t entid;  // columns 73-78 of the type-1 card
    const char* name1;   // the "P" name card
    const char* name2;   // the "M" name card
    const char* name3;   // the formula card, blanks removed
    const char* name4;   // the "C" name cards
    const char* journal;
    const char* volume;
    const char* page;
    std::int32_t year;
    const char* authors;
    std::int32_t lines;  // d-spacing groups of the I cards
    float first_d;       // the first line
    std::int32_t first_i;
    std::int32_t cards;  // cards of the record, through its K card
};

const std::array<Entry, 9> kEntries = {{
    {40829, "Magnesium Oxide", "Periclase, syn", "MgO", "Magnesia", "NBSCAQ", "1", "37", 1953,
     "Swanson, H.E., Tatge, E.", 9, 2.4324f, 10, 23},
    {40864, "Calcium Fluoride", "Fluorite, syn", "CaF2", "Fluorspar", "NBSCAQ", "1", "69", 1953,
     "Swanson, H.E., Tatge, E.", 11, 3.1538f, 94, 24},
    {50586, "Calcium Carbonate", "Calcite, syn", "CaCO3", "Calcspar", "NBSCAQ", "2", "51", 1953,
     "Swanson, H.E., Fuyat, R.K.", 18, 3.8545f, 12, 25},
    {50628, "Sodium Chloride", "Halite, syn", "NaCl", "Rock salt", "NBSCAQ", "2", "41", 1953,
     "Swanson, H.E., Fuyat, R.K.", 17, 3.2564f, 13, 27},
    {100173, "Aluminum Oxide", "Corundum, syn", "Al2O3", "Alumina", "NBSCAQ", "9", "3", 1960,
     "Swanson, H.E., Cook, M.I., Isaacs, T., Evans, E.H.", 18, 3.4795f, 75, 27},
    {211272, "Titanium Oxide", "Anatase, syn", "TiO2", "Titania", "NBSMA6", "7", "82", 1969,
     "Swanson, H.E., McMurdie, H.F., Morris, M.C., Evans, E.H.", 18, 3.5171f, 100, 26},
    {211276, "Titanium Oxide", "Rutile, syn", "TiO2", "Titania", "NBSMA6", "7", "83", 1969,
     "Swanson, H.E., McMurdie, H.F., Morris, M.C., Evans, E.H.", 20, 3.2480f, 100, 27},
    {271402, "Silicon", "", "Si", "", "NBSMA6", "13", "35", 1976,
     "Morris, M.C., McMurdie, H.F., Evans, E.H., Paretzkin, B., Parker, H.S., "
     "Panagiotopoulos, N.C.",
     11, 3.1355f, 100, 25},
    {461045, "Silicon Oxide", "Quartz, syn", "SiO2", "Silica", "00GRNT", "", "", 1993,
     "Kern, A., Eysel, W., Univ. Heidelberg, Germany", 20, 4.2551f, 16, 26},
}};

// A line's d-spacing comes back through its angle code. Rounding the code
// moves theta by at most 1/40000 radian, so d by at most d cot(theta) / 40000:
// for the largest d of the sample, 4.2551 (sin theta = 0.181), 2.9e-4.
constexpr float kCodeTolerance = 3.0e-4f;

class RoundTrip : public ::testing::Test {
  protected:
    void SetUp() override {
        std::ostringstream err;
        ASSERT_EQ(cv::krxbuild(kCards, dir / "db", "", err), 0) << err.str();
        cvtest::ScopedEnv loc("LOGIC_LOC", dir / "db/tarnloc.txt");
        ASSERT_EQ(lib.cvl_init(), 0);
    }
    cvtest::TempDir dir;
    cv::Library lib;
};

TEST_F(RoundTrip, EveryEntryReadsBackAsItsCardsSayIt) {
    ASSERT_EQ(lib.cv_sizes.dbsize[0], 9);
    for (std::size_t i = 0; i < kEntries.size(); ++i) {
        const Entry& e = kEntries[i];
        const auto k = static_cast<std::int32_t>(i + 1);
        SCOPED_TRACE("entry " + std::to_string(k));
        std::int32_t entid = 0, nd = 0, year = 0;
        cv::LineValues<std::int32_t> intensities{};
        cv::LineValues<float> d{};
        std::string n1, n2, n3, n4, journal, volume, page, authors;
        ASSERT_EQ(lib.cvl_repkrx1(k, entid, nd, intensities, d, n4, n3, n2, n1, year, journal,
                                  volume, page, authors),
                  0);
        EXPECT_EQ(entid, e.entid);
        EXPECT_EQ(n1, e.name1);
        EXPECT_EQ(n2, e.name2);
        EXPECT_EQ(n3, e.name3);
        EXPECT_EQ(n4, e.name4);
        EXPECT_EQ(journal, e.journal);
        EXPECT_EQ(volume, e.volume);
        EXPECT_EQ(page, e.page);
        EXPECT_EQ(year, e.year);
        EXPECT_EQ(authors, e.authors);
        EXPECT_EQ(nd, e.lines);
        EXPECT_NEAR(d[0], e.first_d, kCodeTolerance);
        EXPECT_EQ(intensities[0], e.first_i);
    }
    // Past the last entry the index has no record.
    std::int32_t id = 0, a = 0, b = 0, c = 0, r = 0;
    EXPECT_EQ(lib.cv_readindex(10, id, a, b, c, r), -1);
}

TEST_F(RoundTrip, EveryLineOfAnEntryKeepsItsOrderDSpacingAndIntensity) {
    // Periclase: the three I cards, three groups each.
    const std::array<std::pair<float, std::int32_t>, 9> lines = {{{2.4324f, 10},
                                                                  {2.1065f, 100},
                                                                  {1.4895f, 52},
                                                                  {1.2703f, 4},
                                                                  {1.2162f, 12},
                                                                  {1.0533f, 5},
                                                                  {0.9665f, 2},
                                                                  {0.9421f, 10},
                                                                  {0.8600f, 7}}};
    std::int32_t entid = 0, nd = 0, year = 0;
    cv::LineValues<std::int32_t> intensities{};
    cv::LineValues<float> d{};
    std::string n1, n2, n3, n4, journal, volume, page, authors;
    ASSERT_EQ(lib.cvl_repkrx1(1, entid, nd, intensities, d, n4, n3, n2, n1, year, journal, volume,
                              page, authors),
              0);
    ASSERT_EQ(nd, 9);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_NEAR(d[i], lines[i].first, kCodeTolerance) << "line " << i + 1;
        EXPECT_EQ(intensities[i], lines[i].second) << "line " << i + 1;
    }
    // The raw codes rise as the d-spacings fall (theta grows).
    cv::LineValues<std::int32_t> codes{};
    ASSERT_EQ(lib.cvrepdi(1, nd, intensities, codes), 0);
    for (std::size_t i = 1; i < lines.size(); ++i) EXPECT_GT(codes[i], codes[i - 1]);
}

TEST_F(RoundTrip, EveryRecordReadsBackWholeFromTheRecordFile) {
    const std::vector<std::string> file = cvtest::lines(cvtest::read_file(kCards));
    std::size_t first_line = 0;
    std::vector<char> buffer(10800);
    for (std::size_t i = 0; i < kEntries.size(); ++i) {
        const auto k = static_cast<std::int32_t>(i + 1);
        SCOPED_TRACE("entry " + std::to_string(k));
        std::int32_t id = 0, a = 0, b = 0, c = 0, recoff = 0, nread = 0;
        ASSERT_EQ(lib.cv_readindex(k, id, a, b, c, recoff), 0);
        ASSERT_EQ(lib.cv_readkrx2(recoff, nread, 10800, buffer, 0), 0);
        ASSERT_EQ(nread, kEntries[i].cards * 80);
        for (std::int32_t card = 0; card < kEntries[i].cards; ++card) {
            const std::string& line = file[first_line + static_cast<std::size_t>(card)];
            EXPECT_EQ(std::string(buffer.data() + card * 80, 80), line.substr(0, 80));
        }
        first_line += static_cast<std::size_t>(kEntries[i].cards);
    }
    EXPECT_EQ(first_line, file.size());
}

}  // namespace
