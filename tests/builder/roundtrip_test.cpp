// Card file to builder to readers: every entry of the sample card file, built
// into a database and read back through start-up, the KRX1 and KRX2 readers
// and the bit-library reader, against the values written on its cards.
#include <corvane/builder/build.h>
#include <corvane/corvane.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "tool/testdb.h"

namespace {

using Strings = std::vector<std::string>;

// A line's d-spacing comes back through its angle code. Rounding the code
// moves theta by at most 1/40000 radian, so d by at most d cot(theta) / 40000:
// for the d-spacings below, 2.4324 and less, 1.9e-4.
constexpr float kCodeTolerance = 2.0e-4f;

class RoundTrip : public ::testing::Test {
  protected:
    void SetUp() override {
        std::ostringstream err;
        ASSERT_EQ(corvane::builder::krxbuild(kCards, dir / "db", "", err), 0) << err.str();
        cvtest::ScopedEnv loc("LOGIC_LOC", dir / "db/tarnloc.txt");
        ASSERT_EQ(cvl_init(lib), 0);
    }

    const std::string kCards = std::string(CORVANE_SOURCE_DIR) + "/sample/phases.crd";
    cvtest::TempDir dir;
    corvane::Library lib;
};

TEST_F(RoundTrip, EntriesReadBackAsTheirCardsSayThem) {
    // Periclase, entry 1, and quartz, entry 9, as sample/phases.crd writes
    // them: names, reference, year and (for periclase) every line.
    const struct {
        std::int32_t k, entid;
        Strings names, ref;
        std::int32_t year, nd;
        std::vector<std::pair<float, std::int32_t>> lines;
    } cases[] = {
        {1,
         40829,
         {"Magnesium Oxide", "Periclase, syn", "MgO", "Magnesia"},
         {"NBSCAQ", "1", "37", "Swanson, H.E., Tatge, E."},
         1953,
         9,
         {{2.4324f, 10},
          {2.1065f, 100},
          {1.4895f, 52},
          {1.2703f, 4},
          {1.2162f, 12},
          {1.0533f, 5},
          {0.9665f, 2},
          {0.9421f, 10},
          {0.8600f, 7}}},
        {9,
         461045,
         {"Silicon Oxide", "Quartz, syn", "SiO2", "Silica"},
         {"00GRNT", "", "", "Kern, A., Eysel, W., Univ. Heidelberg, Germany"},
         1993,
         46,
         {}},
    };
    for (const auto& c : cases) {
        std::int32_t entid = 0, nd = 0, year = 0;
        corvane::LineValues<std::int32_t> intensities{};
        corvane::LineValues<float> d{};
        Strings names(4), ref(4);
        ASSERT_EQ(cvl_repkrx1(lib, c.k, entid, nd, intensities, d, names[3], names[2], names[1],
                              names[0], year, ref[0], ref[1], ref[2], ref[3]),
                  0);
        EXPECT_EQ(entid, c.entid);
        EXPECT_EQ(names, c.names);
        EXPECT_EQ(ref, c.ref);
        EXPECT_EQ(year, c.year);
        EXPECT_EQ(nd, c.nd);
        for (std::size_t i = 0; i < c.lines.size(); ++i) {
            EXPECT_NEAR(d[i], c.lines[i].first, kCodeTolerance) << "line " << i + 1;
            EXPECT_EQ(intensities[i], c.lines[i].second) << "line " << i + 1;
        }
    }

    // The nine records of krx2.dat, read from the offsets of their index
    // records, are the card file without its line ends, each ending in the K
    // card that carries its entry number.
    std::string all;
    std::vector<char> buffer(10800);
    for (std::int32_t k = 1; k <= 9; ++k) {
        std::int32_t entid = 0, a = 0, b = 0, c = 0, recoff = 0, nread = 0;
        ASSERT_EQ(cv_readindex(lib, k, entid, a, b, c, recoff), 0);
        ASSERT_EQ(cv_readkrx2(lib, recoff, nread, 10800, buffer, 0), 0);
        const std::string record(buffer.data(), static_cast<std::size_t>(nread));
        EXPECT_EQ(std::stoi(record.substr(record.size() - 8, 6)), entid);
        all += record;
    }
    std::string cards;
    for (const auto& line : cvtest::lines(cvtest::read_file(kCards))) cards += line;
    EXPECT_EQ(all, cards);
}

TEST_F(RoundTrip, BitLibrariesHoldAnEntryInTheBucketsOfItsLines) {
    // Periclase, entry 1: its nine lines have the codes -18527, -16442,
    // -9675, -5355, -3980, 1394, 5476, 6876 and 12984, so the buckets 129,
    // 150, 218, 261, 275, 328, 369, 383 and 444; its three strongest lines
    // (intensities 100, 52 and 12) are the second, third and fifth.
    const std::pair<const char*, std::vector<std::int32_t>> libraries[] = {
        {"dall.lib", {129, 150, 218, 261, 275, 328, 369, 383, 444}},
        {"dtop3.lib", {150, 218, 275}}};
    const std::string db = dir / "db";
    for (const auto& [name, expected] : libraries) {
        ASSERT_EQ(cv_openbitlib(lib, name, db, db), 0) << name;
        std::vector<std::int32_t> buckets;
        std::array<std::uint32_t, 1> word{};  // nine entries: one word a record
        for (std::int32_t k = 1; k <= 629; ++k) {
            ASSERT_EQ(cv_readbitlib(lib, k, word, 9), 0);
            unsigned char b[4];
            std::memcpy(b, word.data(), 4);
            if ((b[3] & 1) != 0) buckets.push_back(k);  // big-endian: bit 0 is in byte 3
        }
        EXPECT_EQ(buckets, expected) << name;
        EXPECT_EQ(cv_readbitlib(lib, 630, word, 9), -1) << name;
        cv_closebitlib(lib);
    }
}

}  // namespace
