#include <corvane/phase/history.h>
#include <corvane/setup/text.h>

#include <charconv>

namespace corvane::phase {
namespace {

std::string ranked_prefix(int phase) {
    return "Ranked phase " + std::to_string(phase) + ": ";
}

}  // namespace

std::string cut_utf8(std::string_view text, std::size_t bytes) {
    if (text.size() <= bytes) return std::string(text);
    std::size_t end = bytes;
    // Back over continuation bytes (10xxxxxx) to the start of the character
    // that does not fit.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return std::string(text.substr(0, end));
}

bool append_history(Library& lib, std::string_view text) {
    auto& h = lib.cv_history;
    if (h.nhist < 0 || h.nhist >= kMaxHistory) return false;
    ++h.nhist;
    h.histtx(h.nhist) = padded(cut_utf8(text, kHistLen), kHistLen);
    return true;
}

bool append_ranking(Library& lib, int phase, std::span<const std::int32_t> entries) {
    const std::string prefix = ranked_prefix(phase);
    std::string record = prefix;
    bool first = true;
    for (std::int32_t e : entries) {
        const std::string number = std::to_string(e);
        if (record.size() + (first ? 0 : 1) + number.size() > static_cast<std::size_t>(kHistLen)) {
            if (!append_history(lib, record)) return false;
            record = prefix;
            first = true;
        }
        if (!first) record += ',';
        record += number;
        first = false;
    }
    return append_history(lib, record);
}

std::vector<std::int32_t> ranking_of(const Library& lib, int phase) {
    const std::string prefix = ranked_prefix(phase);
    std::vector<std::int32_t> out;
    const auto& h = lib.cv_history;
    for (int i = 1; i <= h.nhist && i <= kMaxHistory; ++i) {
        const std::string& r = h.histtx(i);
        if (r.compare(0, prefix.size(), prefix) != 0) continue;
        std::string_view list(r);
        list.remove_prefix(prefix.size());
        while (!list.empty()) {
            std::int32_t e = 0;
            const auto [end, ec] = std::from_chars(list.data(), list.data() + list.size(), e);
            if (ec != std::errc()) break;
            out.push_back(e);
            list.remove_prefix(static_cast<std::size_t>(end - list.data()));
            if (list.empty() || list.front() != ',') break;
            list.remove_prefix(1);
        }
    }
    return out;
}

}  // namespace corvane::phase
