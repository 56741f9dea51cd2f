// Card file to builder to readers: every entry of the sample card file, built
// into a database and read back through start-up and the KRX1 and KRX2
// readers, against the values written on its cards.
#include <corvane/builder/build.h>
#include <corvane/corvane.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "tool/testdb.h"

namespace {

using Strings = std::vector<std::string>;

// What the cards of one record say, read off sample/phases.crd by hand: the
// entry number (columns 73-78 of the type-1 card); the "P", "M" and "C" names
// and the formula without blanks; journal, volume, page, year and authors; the
// number of lines and the first; the cards of the record through its K card.
struct Entry {
    std::int32_t entid;
    Strings names;  // name texts 1 to 4
    Strings ref;    // journal, volume, page, authors
    std::int32_t year, lines;
    float first_d;
    std::int32_t first_i, cards;
};

// clang-format off
const std::string kNBS = "Swanson, H.E., McMurdie, H.F., Morris, M.C., Evans, E.H.";
const Entry kEntries[] = {
    {40829, {"Magnesium Oxide", "Periclase, syn", "MgO", "Magnesia"},
     {"NBSCAQ", "1", "37", "Swanson, H.E., Tatge, E."}, 1953, 9, 2.4324f, 10, 23},
    {40864, {"Calcium Fluoride", "Fluorite, syn", "CaF2", "Fluorspar"},
     {"NBSCAQ", "1", "69", "Swanson, H.E., Tatge, E."}, 1953, 11, 3.1538f, 94, 26},
    {50586, {"Calcium Carbonate", "Calcite, syn", "CaCO3", "Calcspar"},
     {"NBSCAQ", "2", "51", "Swanson, H.E., Fuyat, R.K."}, 1953, 18, 3.8545f, 12, 28},
    {50628, {"Sodium Chloride", "Halite, syn", "NaCl", "Rock salt"},
     {"NBSCAQ", "2", "41", "Swanson, H.E., Fuyat, R.K."}, 1953, 17, 3.2564f, 13, 28},
    {100173, {"Aluminum Oxide", "Corundum, syn", "Al2O3", "Alumina"},
     {"NBSCAQ", "9", "3", "Swanson, H.E., Cook, M.I., Isaacs, T., Evans, E.H."}, 1960, 18,
     3.4795f, 75, 28},
    {211272, {"Titanium Oxide", "Anatase, syn", "TiO2", "Titania"}, {"NBSMA6", "7", "82", kNBS},
     1969, 18, 3.5171f, 100, 26},
    {211276, {"Titanium Oxide", "Rutile, syn", "TiO2", "Titania"}, {"NBSMA6", "7", "83", kNBS},
     1969, 20, 3.2480f, 100, 27},
    {271402, {"Silicon", "", "Si", ""}, {"NBSMA6", "13", "35",
     "Morris, M.C., McMurdie, H.F., Evans, E.H., Paretzkin, B., Parker, H.S., "
     "Panagiotopoulos, N.C."},
     1976, 11, 3.1355f, 100, 25},
    {461045, {"Silicon Oxide", "Quartz, syn", "SiO2", "Silica"},
     {"00GRNT", "", "", "Kern, A., Eysel, W., Univ. Heidelberg, Germany"}, 1993, 46, 4.2551f, 16,
     37},
};
// clang-format on

// A line's d-spacing comes back through its angle code. Rounding the code
// moves theta by at most 1/40000 radian, so d by at most d cot(theta) / 40000:
// for the largest d of the sample, 4.2551 (sin theta = 0.181), 2.9e-4.
constexpr float kCodeTolerance = 3.0e-4f;

class RoundTrip : public ::testing::Test {
  protected:
    void SetUp() override {
        std::ostringstream err;
        ASSERT_EQ(corvane::krxbuild(kCards, dir / "db", "", err), 0) << err.str();
        cvtest::ScopedEnv loc("LOGIC_LOC", dir / "db/tarnloc.txt");
        ASSERT_EQ(cvl_init(lib), 0);
    }
    int summary(std::int32_t k) {
        names.assign(4, "");
        ref.assign(4, "");
        return cvl_repkrx1(lib, k, entid, nd, intensities, d, names[3], names[2], names[1],
                           names[0], year, ref[0], ref[1], ref[2], ref[3]);
    }

    const std::string kCards = std::string(CORVANE_SOURCE_DIR) + "/sample/phases.crd";
    cvtest::TempDir dir;
    corvane::Library lib;
    std::int32_t entid = 0, nd = 0, year = 0;
    corvane::LineValues<std::int32_t> intensities{};
    corvane::LineValues<float> d{};
    Strings names, ref;
};

TEST_F(RoundTrip, EveryEntryReadsBackAsItsCardsSayIt) {
    ASSERT_EQ(lib.cv_sizes.dbsize(1), 9);
    const Strings file = cvtest::lines(cvtest::read_file(kCards));
    std::size_t first_line = 0;
    std::vector<char> buffer(10800);
    for (std::int32_t k = 1; k <= 9; ++k) {
        const Entry& e = kEntries[k - 1];
        SCOPED_TRACE("entry " + std::to_string(k));
        ASSERT_EQ(summary(k), 0);
        EXPECT_EQ(entid, e.entid);
        EXPECT_EQ(names, e.names);
        EXPECT_EQ(ref, e.ref);
        EXPECT_EQ(year, e.year);
        EXPECT_EQ(nd, e.lines);
        EXPECT_NEAR(d[0], e.first_d, kCodeTolerance);
        EXPECT_EQ(intensities[0], e.first_i);

        // The record file holds the record's cards, without their line ends.
        std::int32_t id = 0, a = 0, b = 0, c = 0, recoff = 0, nread = 0;
        ASSERT_EQ(cv_readindex(lib, k, id, a, b, c, recoff), 0);
        ASSERT_EQ(cv_readkrx2(lib, recoff, nread, 10800, buffer, 0), 0);
        std::string cards;
        for (std::int32_t i = 0; i < e.cards; ++i) cards += file[first_line++].substr(0, 80);
        EXPECT_EQ(std::string(buffer.data(), static_cast<std::size_t>(nread)), cards);
    }
    EXPECT_EQ(first_line, file.size());
    std::int32_t id = 0, a = 0, b = 0, c = 0, r = 0;
    EXPECT_EQ(cv_readindex(lib, 10, id, a, b, c, r), -1);  // past the last entry
}

TEST_F(RoundTrip, EveryLineOfAnEntryKeepsItsOrderDSpacingAndIntensity) {
    // Periclase: the three I cards, three groups each.
    const std::pair<float, std::int32_t> lines[] = {{2.4324f, 10}, {2.1065f, 100}, {1.4895f, 52},
                                                    {1.2703f, 4},  {1.2162f, 12},  {1.0533f, 5},
                                                    {0.9665f, 2},  {0.9421f, 10},  {0.8600f, 7}};
    ASSERT_EQ(summary(1), 0);
    ASSERT_EQ(nd, 9);
    for (std::size_t i = 0; i < 9; ++i) {
        EXPECT_NEAR(d[i], lines[i].first, kCodeTolerance) << "line " << i + 1;
        EXPECT_EQ(intensities[i], lines[i].second) << "line " << i + 1;
    }
    // The raw codes rise as the d-spacings fall (theta grows).
    corvane::LineValues<std::int32_t> codes{};
    ASSERT_EQ(cvrepdi(lib, 1, nd, intensities, codes), 0);
    for (std::size_t i = 1; i < 9; ++i) EXPECT_GT(codes[i], codes[i - 1]);
}

}  // namespace
