#include <corvane/card/formatter.h>
#include <corvane/card/utilities.h>
#include <corvane/setup/text.h>

#include <algorithm>
#include <climits>
#include <cstdint>

namespace corvane::card {
namespace {

// A size or position as an int, clamped to what an int can hold.
int as_int(std::size_t n) {
    return n > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(n);
}

}  // namespace

int length(std::string_view text) {
    const auto last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? 0 : as_int(last + 1);
}

void upper(std::string& text, int n) {
    const int upto = std::min(n, as_int(text.size()));
    for (int i = 1; i <= upto; ++i) {
        char& c = text[static_cast<std::size_t>(i - 1)];
        c = to_upper(c);
    }
}

int left(std::string& text) {
    const int len = as_int(text.size());
    if (col(text, 1) != ' ') return len;
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return 0;
    const int p = as_int(first + 1);
    const int n = len - p + 1;
    text = padded(cols(text, p, len), text.size());
    return n;
}

int digit(char c) {
    return is_digit(c) ? 1 : 0;
}

int cmpres(std::string& text) {
    std::string kept;
    for (char c : text) {
        if (c != ' ') kept.push_back(c);
    }
    const int n = as_int(kept.size());
    text = padded(kept, text.size());
    return n;
}

// Only positions inside the field are looked at: a start before 1 is taken as
// 1 and an end past the field as its last position, so no bound, however
// extreme, makes the walk long or its arithmetic overflow.
int deltsc(std::string& text, int istart, int iend) {
    const int first = std::max(istart, 1);
    const int end = std::min(iend, as_int(text.size()));
    int last = first;
    std::int64_t w = std::int64_t{first} - 1;
    std::int64_t i = first;
    while (i <= end) {
        const char c = col(text, static_cast<int>(i));
        if (c == '\\') {
            i += 3;  // a typeface code: the backslash and two letters
        } else if (c == '#' || c == '@' || c == '|') {
            i += 1;
        } else {
            ++w;
            const int at = static_cast<int>(w);
            setcols(text, at, at, std::string_view(&c, 1));
            ++i;
            if (c != ' ') last = at;
        }
    }
    if (w + 1 <= end) setcols(text, static_cast<int>(w + 1), end, "");
    return last;
}

void altrnt(std::string_view src, std::string& dst, char mark, int n) {
    if (static_cast<std::int64_t>(dst.size()) < 2 * static_cast<std::int64_t>(n)) {
        dst.assign(dst.size(), ' ');
        return;
    }
    for (int i = 1; i <= n; ++i) {
        const char pair[2] = {mark, col(src, i)};
        setcols(dst, 2 * i - 1, 2 * i, std::string_view(pair, 2));
    }
}

// Footnote slots are handed out in the order legend characters are first met
// on the card. A legend character that finds all five slots taken, or a code
// that is no legend character, gets no marker: skip 1, a blank digit and tag.
void trfnch(CardFormatter& fm, std::string_view code, int keep, int& skip, char& digit,
            std::string& tag, int& count) {
    const std::string_view c = trimmed(code);
    if (c == "RESET_ALL") {
        fm.fnotes.exist.fill(0);
        fm.fnotes.refcnt.fill(0);
        fm.fnotes.map.fill(0);
        fm.fnotes.nxtfre = 1;
        return;
    }
    if (c == "RESET_COUNTS") {
        fm.fnotes.refcnt.fill(0);
        return;
    }
    const auto pos = c.size() <= 1 && !code.empty() ? Fnotes::kLegend.find(code.front())
                                                    : std::string_view::npos;
    const int k = pos == std::string_view::npos ? 0 : static_cast<int>(pos) + 1;
    if (k != 0 && fm.fnotes.map(k) == 0 && fm.fnotes.nxtfre <= 5) {
        fm.fnotes.map(k) = fm.fnotes.nxtfre++;
    }
    const int j = k == 0 ? 0 : fm.fnotes.map(k);
    if (j == 0 || (keep == 0 && fm.fnotes.exist(j) == 0)) {
        skip = 1;
        digit = ' ';
        tag = "   ";
        count = 0;
        return;
    }
    digit = Fnotes::kDigits[static_cast<std::size_t>(j - 1)];
    tag = std::string(Fnotes::kTags[static_cast<std::size_t>(j - 1)]);
    fm.fnotes.exist(j) = 1;
    count = ++fm.fnotes.refcnt(j);
    skip = 0;
}

}  // namespace corvane::card
