#include <corvane/entries/angles.h>
#include <corvane/entries/reports.h>
#include <corvane/phase/match.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace corvane::phase {
namespace {

constexpr std::int32_t kFirstCode = -31415;  // the codes krxtod decodes
constexpr std::int32_t kLastCode = 31416;
// A peak the first phase explains keeps what is left of it when that is at
// least this part of its intensity.
constexpr double kKeptPart = 1.0 / 3.0;
// The chance of a line falling on a peak is taken over d-spacings within
// this part of its own.
constexpr double kChanceWindow = 0.02;

// Ranked first: the higher score, then the lower entry number.
bool better(const Candidate& a, const Candidate& b) {
    if (a.score.score != b.score.score) return a.score.score > b.score.score;
    return a.entry < b.entry;
}

}  // namespace

Measurement::Measurement(std::vector<Peak> peaks, const Tolerance& tol, double low, double high)
    : peaks_(std::move(peaks)), tol_(tol) {
    std::sort(peaks_.begin(), peaks_.end(), [](const Peak& a, const Peak& b) { return a.d < b.d; });
    std::vector<double> half(peaks_.size());
    low_ = std::numeric_limits<double>::infinity();
    high_ = -low_;
    for (std::size_t j = 0; j < peaks_.size(); ++j) {
        half[j] = tol_.at(peaks_[j].d);
        low_ = std::min(low_, peaks_[j].d - half[j]);
        high_ = std::max(high_, peaks_[j].d + half[j]);
        total_ += peaks_[j].intensity;
    }
    if (low < high) {
        low_ = low;
        high_ = high;
    }
    const auto codes = static_cast<std::size_t>(kLastCode - kFirstCode + 1);
    peak_.assign(codes, kOutside);
    offset_.assign(codes, 0.0f);
    chance_.assign(codes, 0.0f);
    std::vector<double> d_of(codes, 0.0);  // falling as the code grows
    for (std::int32_t c = kFirstCode; c <= kLastCode; ++c) {
        float x = 0.0f;
        if (krxtod(c, x) != 1) continue;
        const auto at = static_cast<std::size_t>(c - kFirstCode);
        d_of[at] = x;
        if (d_of[at] >= low_ && d_of[at] <= high_) peak_[at] = kUnexplained;
    }
    // Each peak claims the codes within its tolerance that no peak nearer in
    // tolerance units (or as near and of smaller d) has claimed.
    std::vector<double> nearest(codes, 2.0);
    for (std::size_t j = 0; j < peaks_.size(); ++j) {
        std::int32_t first = 0, last = 0;
        if (!window_codes({peaks_[j].d, {Tolerance::kAbsolute, half[j]}}, first, last)) continue;
        for (std::int32_t c = first; c <= last; ++c) {
            const auto at = static_cast<std::size_t>(c - kFirstCode);
            if (peak_[at] == kOutside) continue;
            const double off = std::fabs(d_of[at] - peaks_[j].d) / half[j];
            if (off <= 1.0 && off < nearest[at]) {
                nearest[at] = off;
                peak_[at] = static_cast<std::int32_t>(j);
                offset_[at] = static_cast<float>(off);
            }
        }
    }
    // The chance that a line falls on a peak by accident: the share of the
    // codes within kChanceWindow of its d-spacing (either way, in range) that a
    // peak explains.
    std::vector<std::size_t> explained(codes + 1, 0), in_range(codes + 1, 0);
    for (std::size_t at = 0; at < codes; ++at) {
        explained[at + 1] = explained[at] + (peak_[at] >= 0 ? 1 : 0);
        in_range[at + 1] = in_range[at] + (peak_[at] != kOutside ? 1 : 0);
    }
    std::size_t a = 0, b = 0;  // the window [a, b) of codes
    for (std::size_t at = 0; at < codes; ++at) {
        if (peak_[at] == kOutside) continue;
        const double x = d_of[at];
        while (a < at && d_of[a] > x * (1.0 + kChanceWindow)) ++a;
        b = std::max(b, at + 1);
        while (b < codes && d_of[b] >= x / (1.0 + kChanceWindow)) ++b;
        const auto all = in_range[b] - in_range[a];
        chance_[at] = all > 0
                          ? static_cast<float>(static_cast<double>(explained[b] - explained[a]) /
                                               static_cast<double>(all))
                          : 0.0f;
    }
}

std::int32_t Measurement::peak_of(std::int32_t code, float& offset, float& chance) const {
    if (code < kFirstCode || code > kLastCode) return kOutside;
    const auto at = static_cast<std::size_t>(code - kFirstCode);
    offset = offset_[at];
    chance = chance_[at];
    return peak_[at];
}

Scorer::Scorer(const Measurement& m)
    : m_(m), by_peak_(m.peaks().size(), 0.0), hit_(m.peaks().size(), 0) {
    touched_.reserve(m.peaks().size());
}

Score Scorer::score(std::int32_t nd, std::span<const std::int32_t> intensities,
                    std::span<const std::int32_t> codes, double needed) {
    for (std::size_t j : touched_) {
        by_peak_[j] = 0.0;
        hit_[j] = 0;
    }
    touched_.clear();
    Score s;
    double in_range = 0.0, matched = 0.0, off_sum = 0.0, by_chance = 0.0;
    const auto n =
        std::min({static_cast<std::size_t>(std::max(nd, 0)), intensities.size(), codes.size()});
    for (std::size_t i = 0; i < n; ++i) {
        float off = 0.0f, chance = 0.0f;
        const std::int32_t p = m_.peak_of(codes[i], off, chance);
        if (p == Measurement::kOutside) continue;
        const double w = intensities[i];
        ++s.lines;
        in_range += w;
        by_chance += w * chance;
        if (p < 0) continue;
        ++s.matched;
        matched += w;
        off_sum += w * off;
        const auto j = static_cast<std::size_t>(p);
        if (!hit_[j]) {
            hit_[j] = 1;
            touched_.push_back(j);
        }
        by_peak_[j] += w;
    }
    if (matched > 0.0 && in_range > 0.0 && m_.total_intensity() > 0.0) {
        double covered = 0.0;
        for (std::size_t j : touched_) covered += m_.peaks()[j].intensity;
        const double found = matched / in_range;
        const double expected = by_chance / in_range;
        s.found = found;
        s.chance = expected;
        s.explained = expected < 1.0 ? std::max(0.0, (found - expected) / (1.0 - expected)) : 0.0;
        s.alignment = 1.0 - 0.5 * off_sum / matched;
        s.measured = covered / m_.total_intensity();
        // The intensity factor is at most 1: an entry that cannot reach
        // `needed` without it is not worth its cost.
        const double without = 100.0 * s.explained * s.alignment * s.measured;
        if (without > 0.0 && without >= needed) {
            s.intensity = intensity_agreement(intensities.first(n));
            s.score = without * (1.0 + s.intensity) / 2.0;
        }
    }
    return s;
}

double Scorer::intensity_agreement(std::span<const std::int32_t> intensities) {
    double strongest = 0.0;
    for (const auto v : intensities) strongest = std::max(strongest, static_cast<double>(v));
    if (!(strongest > 0.0)) return 0.0;
    // Each explaining peak: the summed intensity of its lines (strongest line
    // 100), and the peak's intensity over it.
    ratios_.clear();
    double total = 0.0;
    for (std::size_t j : touched_) {
        const double lines = by_peak_[j] * 100.0 / strongest;
        if (!(lines > 0.0)) continue;
        ratios_.push_back({m_.peaks()[j].intensity / lines, lines});
        total += lines;
    }
    if (ratios_.empty()) return 0.0;
    // The scale: the median of the ratios, weighted by the lines' intensity.
    std::sort(ratios_.begin(), ratios_.end());
    double scale = ratios_.back().first;
    double seen = 0.0;
    for (const auto& [ratio, weight] : ratios_) {
        seen += weight;
        if (seen >= total / 2.0) {
            scale = ratio;
            break;
        }
    }
    // Each peak agrees by the smaller of measured and scaled intensity over
    // the larger.
    double agree = 0.0;
    for (const auto& [ratio, weight] : ratios_) {
        agree += weight * std::min(ratio, scale) / std::max(ratio, scale);
    }
    return agree / total;
}

int rank_entries(Library& lib, const Measurement& m, ConstWords among, std::size_t best,
                 std::span<const std::int32_t> exclude, std::vector<Candidate>& out,
                 std::int32_t& failed) {
    out.clear();
    const std::int32_t n = lib.cv_sizes.dbsize(1);
    Scorer scorer(m);
    Krx1Reader reader(lib);
    std::int32_t nd = 0;
    LineValues<std::int32_t> intensities{};
    LineValues<std::int32_t> codes{};
    // A heap of the best so far, the worst of them on top.
    std::vector<Candidate> heap;
    for (std::int32_t k = tblnextbit(among, 1, n, 1); k > 0 && best > 0;
         k = k < n ? tblnextbit(among, k + 1, n, 1) : -1) {
        if (std::find(exclude.begin(), exclude.end(), k) != exclude.end()) continue;
        if (cvrepdi(reader, k, nd, intensities, codes) != 0) {
            failed = k;
            return -1;
        }
        // Once the list is full, an entry must beat its worst to enter it.
        const double needed = heap.size() < best ? 0.0 : heap.front().score.score;
        const Candidate c{k, scorer.score(nd, intensities, codes, needed)};
        if (!(c.score.score > 0.0)) continue;
        if (heap.size() < best) {
            heap.push_back(c);
            std::push_heap(heap.begin(), heap.end(), better);
        } else if (better(c, heap.front())) {
            std::pop_heap(heap.begin(), heap.end(), better);
            heap.back() = c;
            std::push_heap(heap.begin(), heap.end(), better);
        }
    }
    std::sort_heap(heap.begin(), heap.end(), better);
    out = std::move(heap);
    return 0;
}

std::vector<Peak> residual_peaks(const Measurement& m, std::int32_t nd,
                                 std::span<const std::int32_t> intensities,
                                 std::span<const std::int32_t> codes) {
    Scorer scorer(m);
    scorer.score(nd, intensities, codes);
    const auto& by_peak = scorer.explained_by_peak();
    const auto n =
        std::min({static_cast<std::size_t>(std::max(nd, 0)), intensities.size(), codes.size()});
    double strongest = 0.0;
    for (std::size_t i = 0; i < n; ++i) strongest = std::max(strongest, double(intensities[i]));
    const auto& peaks = m.peaks();
    std::vector<double> ratios;
    for (std::size_t j = 0; j < peaks.size(); ++j) {
        if (by_peak[j] > 0.0)
            ratios.push_back(peaks[j].intensity * strongest / (100.0 * by_peak[j]));
    }
    double scale = 0.0;
    if (!ratios.empty()) {
        const auto mid = ratios.begin() + static_cast<long>((ratios.size() - 1) / 2);
        std::nth_element(ratios.begin(), mid, ratios.end());
        scale = *mid;
    }
    std::vector<Peak> left;
    for (std::size_t j = 0; j < peaks.size(); ++j) {
        if (!(by_peak[j] > 0.0)) {
            left.push_back(peaks[j]);
            continue;
        }
        const double rest = peaks[j].intensity - scale * 100.0 * by_peak[j] / strongest;
        if (rest >= kKeptPart * peaks[j].intensity) left.push_back({peaks[j].d, rest});
    }
    return left;
}

}  // namespace corvane::phase
