#include <corvane/setup/text.h>

#include <algorithm>
#include <climits>

namespace corvane {
namespace {

// A length or position as an int, clamped to what an int can hold (a text
// longer than that is measured as INT_MAX characters).
int as_int(std::size_t n) {
    return n > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(n);
}

}  // namespace

int lench(std::string_view text) {
    if (text.empty() || text.front() == '\0') return 0;
    const auto nul = text.find('\0');
    if (nul != std::string_view::npos) {
        // Blanks before the terminator are part of the text.
        return as_int(nul);
    }
    const auto last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? 0 : as_int(last + 1);
}

void press(std::string& text, int& m) {
    const std::size_t len = text.size();
    if (len == 0) {
        m = 1;
        return;
    }
    std::size_t k = text.find_first_not_of(std::string_view(" \0", 2));
    if (k == std::string::npos) k = len - 1;  // the last position, as a 0-based index
    std::string moved = text.substr(k);
    moved.resize(len, ' ');
    text = std::move(moved);
    const auto last = text.find_last_not_of(std::string_view(" \0", 2));
    m = last == std::string::npos ? 1 : as_int(last + 1);
}

std::string_view trimmed(std::string_view text) {
    return text.substr(0, static_cast<std::size_t>(lench(text)));
}

std::string cols(std::string_view text, int first, int last) {
    if (first < 1 || last < first) return {};
    const auto width = static_cast<std::size_t>(last - first + 1);
    std::string out(width, ' ');
    const auto from = static_cast<std::size_t>(first - 1);
    if (from < text.size()) {
        const auto n = std::min(width, text.size() - from);
        out.replace(0, n, text.substr(from, n));
    }
    return out;
}

char col(std::string_view text, int column) {
    if (column < 1 || static_cast<std::size_t>(column) > text.size()) return ' ';
    return text[static_cast<std::size_t>(column - 1)];
}

void setcols(std::string& text, int first, int last, std::string_view value) {
    if (first < 1 || last < first) return;
    if (text.size() < static_cast<std::size_t>(last))
        text.resize(static_cast<std::size_t>(last), ' ');
    text.replace(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(last - first + 1),
                 padded(value, static_cast<std::size_t>(last - first + 1)));
}

std::string padded(std::string_view value, std::size_t n) {
    std::string out(value.substr(0, std::min(n, value.size())));
    out.resize(n, ' ');
    return out;
}

}  // namespace corvane
