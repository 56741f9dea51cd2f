#include <corvane/entries/angles.h>
#include <corvane/entries/byteorder.h>
#include <corvane/phase/entry.h>

#include <algorithm>
#include <array>

namespace corvane::phase {

int read_entry_info(Krx1Reader& rd, std::int32_t entry, EntryInfo& out) {
    std::int32_t entid = 0, namoff = 0, dioff = 0, refoff = 0, recoff = 0;
    if (cv_readindex(rd, entry, entid, namoff, dioff, refoff, recoff) != 0) return -1;
    std::string t1, t2, t3, t4;
    if (cv_readnamlib(rd, namoff, t1, t2, t3, t4) != 0) return -1;
    out.entry = entry;
    out.entid = entid;
    out.name = std::move(t1);
    out.mineral = std::move(t2);
    out.formula = std::move(t3);
    return 0;
}

int read_entry_lines(Krx1Reader& rd, std::int32_t entry, EntryInfo& info,
                     std::vector<Line>& lines) {
    std::int32_t entid = 0, namoff = 0, dioff = 0, refoff = 0, recoff = 0;
    if (cv_readindex(rd, entry, entid, namoff, dioff, refoff, recoff) != 0) return -1;
    std::string t1, t2, t3, t4;
    if (cv_readnamlib(rd, namoff, t1, t2, t3, t4) != 0) return -1;
    std::array<unsigned char, kMaxLines * 2> codes{};
    std::array<unsigned char, kMaxLines> intensities{};
    std::int32_t nd = 0;
    if (cv_readdilib(rd, dioff, codes, intensities, nd) != 0) return -1;
    info = EntryInfo{entry, entid, std::move(t1), std::move(t2), std::move(t3)};
    lines.clear();
    for (std::size_t i = 0; i < static_cast<std::size_t>(std::clamp(nd, 0, kMaxLines)); ++i) {
        const auto half = static_cast<std::int16_t>((codes[2 * i] << 8) | codes[2 * i + 1]);
        std::int32_t code = 0;
        short2long(half, code);
        float d = 0.0f;
        if (krxtod(code, d) != 1) continue;
        lines.push_back({static_cast<double>(d), intensities[i]});
    }
    return 0;
}

}  // namespace corvane::phase
