#include <corvane/builder/bitlib.h>

#include <algorithm>

namespace corvane::builder {

namespace {

constexpr std::size_t kBlockWords = kDBuckets;  // one word per bucket for 32 entries
constexpr std::int32_t kBits = 32;

}  // namespace

void DBitLibrary::add_entry(std::span<const DLine> lines) {
    const std::int32_t n = entries_++;  // this entry's bit number, from 0
    if (n % kBits == 0) blocks_.resize(blocks_.size() + kBlockWords, 0);
    std::uint32_t* block = blocks_.data() + static_cast<std::size_t>(n / kBits) * kBlockWords;
    const std::uint32_t bit = std::uint32_t{1} << (n % kBits);
    for (const DLine& line : lines) {
        if (line.bucket >= 1 && line.bucket <= kDBuckets) {
            block[static_cast<std::size_t>(line.bucket - 1)] |= bit;
        }
    }
}

std::uint32_t DBitLibrary::word(std::int32_t bucket, std::size_t w) const {
    const std::size_t at = w * kBlockWords + static_cast<std::size_t>(bucket - 1);
    return bucket >= 1 && bucket <= kDBuckets && at < blocks_.size() ? blocks_[at] : 0;
}

bool DBitLibrary::write(OutFile& out) const {
    const std::size_t words = blocks_.size() / kBlockWords;  // (entries + 31) / 32
    std::string record;
    record.reserve(words * 4);
    for (std::int32_t k = 1; k <= kDBuckets; ++k) {
        record.clear();
        for (std::size_t w = 0; w < words; ++w) put_be32(record, word(k, w));
        if (!out.put(record)) return false;
    }
    return true;
}

std::size_t strongest_lines(std::span<const DLine> lines, std::array<DLine, 3>& out) {
    const std::size_t n = std::min(lines.size(), out.size());
    // A stable partial sort keeps equal intensities in line order.
    std::array<std::size_t, 3> best{};
    std::size_t have = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::size_t at = have;
        while (at > 0 && lines[best[at - 1]].intensity < lines[i].intensity) --at;
        if (at >= n) continue;
        for (std::size_t j = std::min(have, n - 1); j > at; --j) best[j] = best[j - 1];
        best[at] = i;
        have = std::min(have + 1, n);
    }
    for (std::size_t i = 0; i < n; ++i) out[i] = lines[best[i]];
    return n;
}

}  // namespace corvane::builder
