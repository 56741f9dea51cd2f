// Peak lists: what a line may hold, and the lines that are refused.
#include <corvane/phase/peaks.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/support.h"

namespace {

using corvane::phase::Peak;
using corvane::phase::PeakOptions;

TEST(Peaks, LinesCommentsAndScaledIntensities) {
    const std::string text =
        "# quartz\n"
        "3.3435 200\n"
        "\n"
        "   4.2553\t32   # the second strongest\r\n"
        "1.8179,26\n"
        "2.4567, 18\n"
        "+1.5415 1e1\n"
        "1.3719\n";  // no intensity: 100
    std::vector<Peak> peaks;
    std::ostringstream err;
    ASSERT_TRUE(corvane::phase::parse_peaks(text, "q.txt", {}, peaks, err)) << err.str();
    EXPECT_EQ(err.str(), "");
    const std::vector<std::pair<double, double>> want = {{3.3435, 100}, {4.2553, 16}, {1.8179, 13},
                                                         {2.4567, 9},   {1.5415, 5},  {1.3719, 50}};
    ASSERT_EQ(peaks.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_DOUBLE_EQ(peaks[i].d, want[i].first) << i;
        EXPECT_DOUBLE_EQ(peaks[i].intensity, want[i].second) << i;
    }
}

TEST(Peaks, TwoThetaAtAWavelength) {
    // d = lambda / (2 sin(2theta / 2)): 90 degrees at 1.540598 gives
    // 1.540598 / (2 sin 45 deg) = 1.0893673; 60 degrees at 2.0 gives 2.0.
    std::vector<Peak> peaks;
    std::ostringstream err;
    ASSERT_TRUE(corvane::phase::parse_peaks("90 10\n", "p", {true, 1.540598}, peaks, err));
    EXPECT_NEAR(peaks[0].d, 1.0893673, 1e-7);
    ASSERT_TRUE(corvane::phase::parse_peaks("60 10\n", "p", {true, 2.0}, peaks, err));
    EXPECT_NEAR(peaks[0].d, 2.0, 1e-12);

    const std::pair<const char*, double> wavelengths[] = {{"CuKa1", 1.540598}, {"cuka1", 1.540598},
                                                          {"CuKa", 1.541874},  {"MoKa1", 0.7093},
                                                          {"1.79", 1.79},      {"0", 0},
                                                          {"-1", 0},           {"Cu", 0}};
    for (const auto& [text, value] : wavelengths) {
        double w = 0;
        EXPECT_EQ(corvane::phase::parse_wavelength(text, w), value > 0) << text;
        if (value > 0) {
            EXPECT_DOUBLE_EQ(w, value) << text;
        }
    }
}

TEST(Peaks, BadLinesAreRefusedWithTheirNumbers) {
    const struct {
        const char* text;
        bool two_theta;
        const char* err;
    } cases[] = {
        {"3.34 100\nabc 5\n3.1 -2\n2.0 1 7\n0 5\n", false,
         "p:2: d-spacing 'abc' is not a positive number\n"
         "p:3: intensity '-2' is not a positive number\n"
         "p:4: more than two fields (position and intensity)\n"
         "p:5: d-spacing '0' is not a positive number\n"},
        {"180 5\n45 0\n", true,
         "p:1: two-theta '180' is not an angle below 180 degrees\n"
         "p:2: intensity '0' is not a positive number\n"},
        {"nan 1\n3.0 inf\n", false,
         "p:1: d-spacing 'nan' is not a positive number\n"
         "p:2: intensity 'inf' is not a positive number\n"},
        {"# nothing\n\n", false, "p: no peaks\n"},
    };
    for (const auto& c : cases) {
        std::vector<Peak> peaks = {{1, 1}};
        std::ostringstream err;
        EXPECT_FALSE(corvane::phase::parse_peaks(c.text, "p", {c.two_theta, 1.540598}, peaks, err));
        EXPECT_EQ(err.str(), c.err);
        EXPECT_TRUE(peaks.empty());
    }
    // Many bad lines: the first twenty, then their number; too many peaks.
    std::string bad, many;
    for (int i = 0; i < 25; ++i) bad += "x\n";
    for (std::size_t i = 0; i <= corvane::phase::kMaxPeaks; ++i) many += "2.0 1\n";
    std::vector<Peak> peaks;
    std::ostringstream err;
    EXPECT_FALSE(corvane::phase::parse_peaks(bad, "p", {}, peaks, err));
    EXPECT_EQ(cvtest::lines(err.str()).size(), 21u);
    EXPECT_EQ(cvtest::lines(err.str()).back(), "p: 5 more bad lines");
    err.str("");
    EXPECT_FALSE(corvane::phase::parse_peaks(many, "p", {}, peaks, err));
    EXPECT_EQ(err.str(), "p: more than 10000 peaks\n");
}

TEST(Peaks, FilesThatCannotBeRead) {
    cvtest::TempDir dir;
    std::vector<Peak> peaks;
    std::ostringstream err;
    EXPECT_FALSE(corvane::phase::read_peaks(dir / "none.txt", {}, peaks, err));
    EXPECT_EQ(err.str(), dir / "none.txt" + ": cannot read: No such file or directory\n");
    err.str("");
    EXPECT_FALSE(corvane::phase::read_peaks(dir.bare(), {}, peaks, err));  // a directory
    EXPECT_NE(err.str().find(": cannot read: "), std::string::npos);
    dir.write("ok.txt", "2.0 50\n");
    EXPECT_TRUE(corvane::phase::read_peaks(dir / "ok.txt", {}, peaks, err));
    EXPECT_EQ(peaks.size(), 1u);
}

}  // namespace
