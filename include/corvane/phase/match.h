// Ranking the database against a measured pattern.
//
// The figure of merit of an entry against a measured peak list comes from the
// entry's lines inside the measured range (the d-spacings the peaks span,
// widened by their tolerance, or the range given; lines outside count neither
// for nor against the entry) and the peaks within tolerance of them. A line is
// explained by the peak nearest to it in units of the peaks' tolerances, among
// those within tolerance; a peak may explain several lines. With the entry's
// intensities as weights:
//
//   F  found: the summed intensity of the explained lines over that of all
//      the lines in range, so the strong lines weigh most
//   C  by chance: the same sum had each line been explained with the chance
//      that a line placed at random near it meets a peak, the share of the
//      angle codes within 2% of its d-spacing (and in range) that a peak
//      explains; where the pattern is crowded, lines meet peaks by accident
//   E  explained beyond chance: (F - C) / (1 - C), 0 when F <= C
//   A  alignment: 1 - 0.5 x (the intensity-weighted mean of |d(line) -
//      d(peak)| / tolerance over the explained lines): 1 when every explained
//      line sits on its peak, 0.5 when every one sits at a window's edge
//   I  intensities: how well the peaks' intensities follow the entry's. For
//      each peak that explains lines, L is the summed intensity of its lines
//      (the entry's strongest line 100) and r = peak intensity / L; the scale
//      s is the median of r weighted by L; each peak agrees by min(r, s) /
//      max(r, s), and I is the agreement's mean weighted by L: 1 when every
//      peak stands in the entry's proportions
//   M  measured: the intensity of the peaks that explain a line of the entry
//      over the intensity of all peaks
//
//   score = 100 x E x A x (1 + I) / 2 x M   (0 to 100)
//
// An entry whose score is 0 (no line in range, none explained, or no more
// than chance explains) is not ranked. Ties go to the lower entry number.
//
// A second phase is ranked against the peaks the first leaves unexplained.
// The first phase's scale is the median (the lower of two middle ones), over
// the peaks that explain its lines, of the peak's intensity over the summed
// intensity (the entry's strongest line 100) of the lines it explains; each of
// these peaks loses the scaled intensity of its lines and is kept with what is
// left when that is at least a third of its intensity. Peaks the phase does
// not explain stay whole, and the measured range stays that of the pattern.
#pragma once

#include <corvane/entries/krx1.h>
#include <corvane/hits/tables.h>
#include <corvane/phase/peaks.h>
#include <corvane/phase/window.h>
#include <corvane/setup/library.h>

#include <cstdint>
#include <span>
#include <vector>

namespace corvane::phase {

// A measured pattern made ready for scoring: for every angle code, whether
// its d-spacing is in the measured range and which peak explains it.
class Measurement {
  public:
    // The range is [low, high] when low < high, else the peaks' own range.
    Measurement(std::vector<Peak> peaks, const Tolerance& tol, double low = 0.0, double high = 0.0);

    const std::vector<Peak>& peaks() const { return peaks_; }
    const Tolerance& tolerance() const { return tol_; }
    double low() const { return low_; }
    double high() const { return high_; }
    double total_intensity() const { return total_; }

    // For an angle code: kOutside when its d-spacing (or the code) is outside
    // the measured range, kUnexplained when no peak explains it, else the
    // explaining peak (0-based) with the distance in tolerance units (0 to 1).
    static constexpr std::int32_t kOutside = -2;
    static constexpr std::int32_t kUnexplained = -1;
    // `chance` is the chance that a line there meets a peak by accident.
    std::int32_t peak_of(std::int32_t code, float& offset, float& chance) const;

  private:
    std::vector<Peak> peaks_;
    Tolerance tol_;
    double low_ = 0.0, high_ = 0.0, total_ = 0.0;
    std::vector<std::int32_t> peak_;  // by code - first code
    std::vector<float> offset_;
    std::vector<float> chance_;
};

struct Score {
    double score = 0.0;      // 100 x E x A x (1 + I) / 2 x M
    double found = 0.0;      // F
    double chance = 0.0;     // C
    double explained = 0.0;  // E
    double alignment = 0.0;  // A
    double intensity = 0.0;  // I
    double measured = 0.0;   // M
    int matched = 0;         // the entry's lines in range that a peak explains
    int lines = 0;           // the entry's lines in range
};

// Scores entries one after another, with the room it needs kept between calls.
class Scorer {
  public:
    explicit Scorer(const Measurement& m);
    // An entry's lines as angle codes (sign-extended) with intensities. An
    // entry whose score without I falls below `needed` gets score 0: it could
    // not reach `needed` with it either.
    Score score(std::int32_t nd, std::span<const std::int32_t> intensities,
                std::span<const std::int32_t> codes, double needed = 0.0);
    // For each peak, the summed intensity of the lines of the entry scored last
    // that it explains (0 for the others).
    const std::vector<double>& explained_by_peak() const { return by_peak_; }

  private:
    double intensity_agreement(std::span<const std::int32_t> intensities);

    const Measurement& m_;
    std::vector<std::pair<double, double>> ratios_;  // intensity ratio, weight
    std::vector<double> by_peak_;
    std::vector<char> hit_;  // whether a peak explains a line of the entry
    std::vector<std::size_t> touched_;
};

struct Candidate {
    std::int32_t entry = 0;
    Score score;
};

// The `best` highest-scoring entries of the table `among` (a table over
// dbsize(1) entries), best first, leaving out `exclude`. The di.lib stream
// must be open. 0, or -1 when an entry's lines cannot be read (`failed` is
// that entry, after the reader's message line).
int rank_entries(Library& lib, const Measurement& m, ConstWords among, std::size_t best,
                 std::span<const std::int32_t> exclude, std::vector<Candidate>& out,
                 std::int32_t& failed);

// The peaks an entry leaves unexplained, as described above.
std::vector<Peak> residual_peaks(const Measurement& m, std::int32_t nd,
                                 std::span<const std::int32_t> intensities,
                                 std::span<const std::int32_t> codes);

}  // namespace corvane::phase
