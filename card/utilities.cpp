#include <corvane/card/formatter.h>
#include <corvane/card/utilities.h>
#include <corvane/setup/text.h>

#include <algorithm>

namespace corvane::card {

int length(std::string_view text) {
    const auto last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? 0 : static_cast<int>(last) + 1;
}

void upper(std::string& text, int n) {
    const int len = static_cast<int>(text.size());
    for (int i = 1; i <= n && i <= len; ++i) {
        char& c = text[static_cast<std::size_t>(i - 1)];
        c = to_upper(c);
    }
}

int left(std::string& text) {
    const int len = static_cast<int>(text.size());
    if (col(text, 1) != ' ') return len;
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return 0;
    const int p = static_cast<int>(first) + 1;
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
    const int n = static_cast<int>(kept.size());
    text = padded(kept, text.size());
    return n;
}

int deltsc(std::string& text, int istart, int iend) {
    iend = std::min(iend, static_cast<int>(text.size()));
    int last = istart;
    int w = istart - 1;
    int i = istart;
    while (i <= iend) {
        const char c = col(text, i);
        if (c == '\\') {
            i += 3;  // a typeface code: the backslash and two letters
        } else if (c == '#' || c == '@' || c == '|') {
            i += 1;
        } else {
            ++w;
            setcols(text, w, w, std::string_view(&c, 1));
            ++i;
            if (c != ' ') last = w;
        }
    }
    if (w + 1 <= iend) setcols(text, w + 1, iend, "");
    return last;
}

void altrnt(std::string_view src, std::string& dst, char mark, int n) {
    if (static_cast<int>(dst.size()) < 2 * n) {
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
