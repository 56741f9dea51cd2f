// Peak lists: what a line may hold, and the lines that are refused.
#include <corvane/phase/peaks.h>

#include "support/support.h"

namespace {

namespace ph = corvane::phase;
using ph::Peak;

TEST(Peaks, LinesCommentsTwoThetaAndScaledIntensities) {
    // d = lambda / (2 sin(2theta / 2)): 90 degrees at 1.540598 is 1.0893673.
    const struct {
        std::string text;
        ph::PeakOptions options;
        std::vector<std::pair<double, double>> want;
    } cases[] = {
        {"# quartz\n3.3435 200\n\n   4.2553\t32   # the second strongest\r\n1.8179,26\n"
         "2.4567, 18\n+1.5415 1e1\n1.3719\n",  // no intensity: 100
         {},
         {{3.3435, 100}, {4.2553, 16}, {1.8179, 13}, {2.4567, 9}, {1.5415, 5}, {1.3719, 50}}},
        {"90 10\n60 5\n", {true, 1.540598}, {{1.0893673, 100}, {1.540598, 50}}},
    };
    for (const auto& c : cases) {
        std::vector<Peak> peaks;
        std::ostringstream err;
        ASSERT_TRUE(ph::parse_peaks(c.text, "q.txt", c.options, peaks, err)) << err.str();
        EXPECT_EQ(err.str(), "");
        ASSERT_EQ(peaks.size(), c.want.size());
        for (std::size_t i = 0; i < c.want.size(); ++i) {
            EXPECT_NEAR(peaks[i].d, c.want[i].first, 1e-7) << i;
            EXPECT_DOUBLE_EQ(peaks[i].intensity, c.want[i].second) << i;
        }
    }
    const std::pair<const char*, double> wavelengths[] = {
        {"cuka1", 1.540598}, {"CuKa", 1.541874}, {"MoKa1", 0.7093}, {"1.79", 1.79}, {"0", 0},
        {"-1", 0},           {"Cu", 0}};
    for (const auto& [text, value] : wavelengths) {
        double w = -1;
        EXPECT_EQ(ph::parse_wavelength(text, w), value > 0) << text;
        EXPECT_DOUBLE_EQ(w, value > 0 ? value : -1) << text;
    }
}

TEST(Peaks, BadLinesAreRefusedWithTheirNumbers) {
    std::string bad, many;  // the first twenty bad lines, then their number
    for (int i = 0; i < 25; ++i) bad += i < 20 ? "x\n" : "y\n";
    for (std::size_t i = 0; i <= ph::kMaxPeaks; ++i) many += "2.0 1\n";
    std::string bad_err;
    for (int i = 1; i <= 20; ++i)
        bad_err += "p:" + std::to_string(i) + ": d-spacing 'x' is not a positive number\n";
    const struct {
        std::string text;
        bool two_theta;
        std::string err;
    } cases[] = {
        {"3.34 100\nabc 5\n3.1 -2\n2.0 1 7\n0 5\n", false,
         "p:2: d-spacing 'abc' is not a positive number\n"
         "p:3: intensity '-2' is not a positive number\n"
         "p:4: more than two fields (position and intensity)\n"
         "p:5: d-spacing '0' is not a positive number\n"},
        {"180 5\nnan 1\n45 inf\n", true,
         "p:1: two-theta '180' is not an angle below 180 degrees\n"
         "p:2: two-theta 'nan' is not a positive number\n"
         "p:3: intensity 'inf' is not a positive number\n"},
        {"# nothing\n\n", false, "p: no peaks\n"},
        {bad, false, bad_err + "p: 5 more bad lines\n"},
        {many, false, "p: more than 10000 peaks\n"},
    };
    for (const auto& c : cases) {
        std::vector<Peak> peaks = {{1, 1}};
        std::ostringstream err;
        EXPECT_FALSE(ph::parse_peaks(c.text, "p", {c.two_theta, 1.540598}, peaks, err));
        EXPECT_EQ(err.str(), c.err);
        EXPECT_TRUE(peaks.empty());
    }
}

TEST(Peaks, FilesThatCannotBeRead) {
    cvtest::TempDir dir;
    std::vector<Peak> peaks;
    std::ostringstream err;
    EXPECT_FALSE(ph::read_peaks(dir / "none.txt", {}, peaks, err));
    EXPECT_EQ(err.str(), dir / "none.txt" + ": cannot read: No such file or directory\n");
    err.str("");
    EXPECT_FALSE(ph::read_peaks(dir.bare(), {}, peaks, err));  // a directory
    EXPECT_NE(err.str().find(": cannot read: "), std::string::npos);
    dir.write("ok.txt", "2.0 50\n");
    EXPECT_TRUE(ph::read_peaks(dir / "ok.txt", {}, peaks, err));
    EXPECT_EQ(peaks.size(), 1u);
}

}  // namespace
