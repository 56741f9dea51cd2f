#include <corvane/phase/match.h>

#include <cmath>

#include "support/support.h"

namespace {

using corvane::phase::Measurement;
using corvane::phase::Tolerance;
using Lines = std::vector<std::pair<std::int32_t, std::int32_t>>;  // code, intensity

// Peaks on the d-spacings of codes 0 (1.0893674) and -10000 (1.5098468), each
// +-0.001 A, in the range 0.8 to 1.6 A.
Measurement two_peaks() {
    return {{{1.0893674, 100}, {1.5098468, 50}}, {Tolerance::kAbsolute, 0.001}, 0.8, 1.6};
}

// The chance of meeting a peak of +-0.001 A near d, where the window of d /
// 1.02 to 1.02 d holds 0.039608 d of d-spacings: 0.002 / (0.039608 d).
constexpr double kChance0 = 0.046353;    // d = 1.0893674
constexpr double kChance10k = 0.033444;  // d = 1.5098468

corvane::phase::Score score(const Measurement& m, const Lines& lines) {
    std::vector<std::int32_t> codes, intensities;
    for (const auto& [c, i] : lines) codes.push_back(c), intensities.push_back(i);
    return corvane::phase::Scorer(m).score(std::int32_t(lines.size()), intensities, codes);
}

TEST(FigureOfMerit, HandComputedCases) {
    // Lines at codes 0 and -10000 sit on the peaks; -10008 (1.5103561) is 0.509
    // of a tolerance off; 10000 (0.8956282) meets no peak; 31416 (0.770299) is
    // out of range. Lines of 100 and 100 on peaks of 100 and 50 give the
    // ratios 1 and 0.5, the weighted median 0.5 (the first to reach half the
    // weight), agreements 0.5 and 1, I = 0.75 and the factor (1 + I) / 2.
    const struct {
        Lines lines;
        double found, chance, alignment, intensity, measured, score;
        int matched, in_range;
    } cases[] = {
        // F = 150 / 200; C = (100 x 0.046353 + 50 x 0.033444) / 200 = 0.031538;
        // E = (0.75 - 0.031538) / 0.968462 = 0.74186; M = 150 / 150. A line out
        // of range changes nothing.
        // clang-format off
        {{{0, 100}, {-10000, 50}, {10000, 50}, {31416, 255}}, 0.75, 0.031538, 1, 1, 1, 74.186, 2, 3},
        // clang-format on
        // Everything explained, E = 1, the intensities off: 100 x 0.875.
        {{{0, 100}, {-10000, 100}}, 1, (kChance0 + kChance10k) / 2, 1, 0.75, 1, 87.5, 2, 2},
        // A = 1 - 0.5 x (100 x 0.509) / 200 = 0.87275; 87.275 x 0.875 = 76.366.
        {{{0, 100}, {-10008, 100}}, 1, (kChance0 + kChance10k) / 2, 0.87275, 0.75, 1, 76.366, 2, 2},
        {{{0, 100}}, 1, kChance0, 1, 1, 2.0 / 3.0, 66.667, 1, 1},  // M = 100 / 150
        {{{10000, 50}}, 0, 0, 0, 0, 0, 0, 0, 1},                   // nothing explained
        {{{31416, 50}}, 0, 0, 0, 0, 0, 0, 0, 0},                   // nothing in range
    };
    for (const auto& c : cases) {
        const auto s = score(two_peaks(), c.lines);
        const auto at = ::testing::Message()
                        << "first " << c.lines[0].first << ", " << c.lines.size() << " lines";
        EXPECT_NEAR(s.found, c.found, 1e-9) << at;
        EXPECT_NEAR(s.chance, c.chance, 1e-3) << at;
        EXPECT_NEAR(s.alignment, c.alignment, 1e-3) << at;
        EXPECT_NEAR(s.intensity, c.intensity, 1e-9) << at;
        EXPECT_NEAR(s.measured, c.measured, 1e-9) << at;
        EXPECT_NEAR(s.score, c.score, 0.1) << at;
        EXPECT_EQ(std::pair(s.matched, s.lines), std::pair(c.matched, c.in_range)) << at;
    }
    // Where peaks cover the whole range, a match is no better than chance.
    const Measurement full({{1.0, 100}}, {Tolerance::kAbsolute, 0.01}, 0.995, 1.005);
    EXPECT_EQ(score(full, {{3756, 100}}).score, 0.0);  // code 3756 is d = 1.0
}

TEST(FigureOfMerit, ALineGoesToTheNearestPeakInToleranceUnits) {
    // Code -18 (1.0898578) is 0.490 from the first and 0.510 from the second;
    // code -19 (1.0898851) 0.518 and 0.482. The peaks span 1.0883674 to
    // 1.0913674, so code -100 (1.0921) is out of range.
    const Measurement m({{1.0893674, 100}, {1.0903674, 10}}, {Tolerance::kAbsolute, 0.001});
    float off = 0, chance = 0;
    EXPECT_EQ(m.peak_of(-18, off, chance), 0);
    EXPECT_NEAR(off, 0.4904, 1e-3);
    EXPECT_EQ(m.peak_of(-19, off, chance), 1);
    EXPECT_NEAR(off, 0.4823, 1e-3);
    EXPECT_EQ(m.peak_of(-100, off, chance), Measurement::kOutside);
    EXPECT_EQ(m.peak_of(-40000, off, chance), Measurement::kOutside);
    EXPECT_NEAR(m.low() + m.high(), 1.0883674 + 1.0913674, 1e-9);
}

TEST(FigureOfMerit, TheSecondPhaseGetsWhatTheFirstLeaves) {
    // The entry's lines (strongest 100) explain 100 and 50 of the first two
    // peaks: ratios 1 and 80 / 50 = 1.6, scale 1 (the lower middle). The first
    // peak keeps 0, under a third: gone; the second keeps 30, at least 80 / 3:
    // kept; the third is not explained: whole.
    const Measurement m({{1.0893674, 100}, {1.5098468, 80}, {2.0, 40}},
                        {Tolerance::kAbsolute, 0.001}, 0.8, 2.1);
    const std::vector<std::int32_t> codes = {0, -10000}, intensities = {200, 100};
    const auto left = corvane::phase::residual_peaks(m, 2, intensities, codes);
    ASSERT_EQ(left.size(), 2u);
    EXPECT_EQ(
        std::tuple(left[0].d, std::round(left[0].intensity * 1e6), left[1].d, left[1].intensity),
        std::tuple(1.5098468, 30e6, 2.0, 40.0));
}

TEST(FigureOfMerit, RankingBestFirstTiesToTheLowerEntry) {
    cvtest::TestDb db(5);
    std::vector<cvtest::KrxEntry> entries;
    for (const Lines& l :
         {Lines{{0, 100}, {-10000, 50}, {10000, 50}}, Lines{{0, 100}, {-10008, 100}},
          Lines{{10000, 50}}, Lines{{0, 100}, {-10000, 50}, {10000, 50}, {31416, 255}},
          Lines{{0, 100}}}) {
        entries.push_back({std::int32_t(entries.size() + 1), {}, 127, {}, {l.begin(), l.end()}});
    }
    cvtest::put_entries(db, entries);
    cvtest::ScopedEnv loc("LOGIC_LOC", db.location().string());
    corvane::Library lib;
    ASSERT_EQ(corvane::cvl_init(lib), 0);
    const struct {
        std::size_t best;
        std::vector<std::int32_t> exclude;
        std::uint32_t among;
        std::vector<std::int32_t> ranked;
    } cases[] = {
        {3, {}, 0x1F, {2, 1, 4}},      // 76.4, then 74.2 twice, entry 1 first
        {10, {}, 0x1F, {2, 1, 4, 5}},  // entry 3 scores 0
        {10, {2}, 0x1F, {1, 4, 5}},    // left out
        {10, {}, 0x18, {4, 5}},        // within the table
    };
    for (const auto& c : cases) {
        std::vector<corvane::phase::Candidate> out;
        std::int32_t failed = 0;
        lib.cv_tables.curtbl[0] = c.among;
        ASSERT_EQ(corvane::phase::rank_entries(lib, two_peaks(), lib.cv_tables.curtbl, c.best,
                                               c.exclude, out, failed),
                  0);
        std::vector<std::int32_t> ranked;
        for (const auto& cand : out) ranked.push_back(cand.entry);
        EXPECT_EQ(ranked, c.ranked) << c.best << " " << c.among;
    }
}

}  // namespace
