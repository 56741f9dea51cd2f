// Comment codes and segments: the in-line codes of the comment text expanded,
// and the text cut into the segments the layout prints one a line.
#include <corvane/card/box3.h>
#include <corvane/card/formula.h>
#include <corvane/card/segments.h>
#include <corvane/card/utilities.h>
#include <corvane/setup/text.h>

#include <algorithm>
#include <array>
#include <string>

namespace corvane::card {

namespace {

constexpr int kSegMax = 30;     // segments kept
constexpr int kSegWidth = 80;   // characters a segment holds
constexpr int kFormRoom = 300;  // room for one converted formula

// Typeface codes: a backslash and two letters, kept for the layout to drop.
constexpr std::array<std::string_view, 5> kTypefaces = {"BA", "BF", "IT", "OS", "RG"};

// The text being rebuilt, never longer than comtxt: what passes its end is
// dropped.
struct Rebuilt {
    std::string text;
    void add(std::string_view s) {
        const std::size_t room = Comcrd::kTextLen - text.size();
        text.append(s.substr(0, std::min(room, s.size())));
    }
};

}  // namespace

int concom(CardFormatter& fm) {
    Comcrd& cc = fm.comcrd;
    const int n = std::clamp(cc.comlen, 0, Comcrd::kTextLen);
    const std::string old = cols(cc.comtxt, 1, n);
    Rebuilt out;
    bool met = false;  // a code was expanded or dropped
    int i = 1;
    while (i <= n) {
        const char c = col(old, i);
        if (c == '`') {
            // A space-group symbol between two "`"; a lone "`" is dropped.
            met = true;
            const auto close = old.find('`', static_cast<std::size_t>(i));
            if (close == std::string::npos) {
                ++i;
                continue;
            }
            const int j = static_cast<int>(close) + 1;
            if (j > i + 1) {
                std::string sg;
                phspg(cols(old, i + 1, std::min(j - 1, i + 8)), sg);
                out.add(sg.substr(0, static_cast<std::size_t>(length(sg))));
            }
            i = j + 1;
        } else if (c == '$') {
            met = true;
            std::string text;
            int tlen = 0;
            pitran(fm, cols(old, i + 1, i + 2), text, tlen);
            out.add(std::string_view(text).substr(
                0, static_cast<std::size_t>(std::clamp(tlen, 0, 10))));
            i += 3;
        } else if (c == '\\') {
            const std::string code = cols(old, i + 1, i + 2);
            if (i + 2 <= n &&
                std::find(kTypefaces.begin(), kTypefaces.end(), code) != kTypefaces.end()) {
                out.add("\\");
                ++i;
                continue;
            }
            // A formula up to the next backslash; a backslash without one is
            // dropped.
            met = true;
            const auto close = old.find('\\', static_cast<std::size_t>(i));
            if (close == std::string::npos) {
                ++i;
                continue;
            }
            const int j = static_cast<int>(close) + 1;
            const int room =
                std::min<int>(kFormRoom, Comcrd::kTextLen - static_cast<int>(out.text.size()));
            std::string form(static_cast<std::size_t>(room), ' ');
            int outlen = 0;
            int status = 0;
            phform(fm, cols(old, i + 1, j - 1), form, outlen, status);
            if (status == 0) out.add(form.substr(0, static_cast<std::size_t>(outlen)));
            i = j + 1;
        } else {
            out.add(std::string_view(&c, 1));
            ++i;
        }
    }
    if (met) {
        cc.comtxt = padded(out.text, Comcrd::kTextLen);
        cc.comlen = static_cast<std::int32_t>(out.text.size());
    }
    return 0;
}

// A segment ends at a "|" or when it is full; a full segment ends at its last
// blank, or inside a run without one where splong finds a break. The blanks
// after a break are skipped and do not count as the next segment's own.
void divcom(CardFormatter& fm) {
    Comcrd& cc = fm.comcrd;
    const int n = std::clamp(cc.comlen, 0, Comcrd::kTextLen);
    const std::string_view t = cc.comtxt;
    cc.ncomsg = 0;
    int s = 1;
    int c = 0;
    int b = 0;
    bool skip = false;
    for (int i = 1; i <= n; ++i) {
        const char ch = col(t, i);
        if (ch == ' ') {
            if (skip) continue;
            b = i;
        }
        if (skip) {
            skip = false;
            s = i;
            c = 0;
        }
        if (ch != '|') {
            ++c;
            if (c <= kSegWidth && i - s <= kSegWidth - 1) continue;
            if (cc.ncomsg >= kSegMax) return;
            if (b == 0) b = i;
            if (length(cols(t, s, b)) > kSegWidth) splong(fm, s, b);
            cc.comsp(++cc.ncomsg) = s;
            s = b + 1;
            i = b;
            skip = true;
            b = 0;
            c = 0;
        } else {
            if (c == 0) continue;
            if (cc.ncomsg >= kSegMax) return;
            cc.comsp(++cc.ncomsg) = s;
            s = i + 1;
            b = 0;
            c = 0;
            skip = true;
        }
    }
    if (s <= n && cc.ncomsg < kSegMax) cc.comsp(++cc.ncomsg) = s;
}

// Breaks, in order of preference: after a ")" that a capital letter follows,
// before a "(", before a capital letter that follows a character that is no
// capital; else after 80 characters.
void splong(CardFormatter& fm, int s, int& e) {
    const std::string_view t = fm.comcrd.comtxt;
    int end = 0;
    for (int j = e - 1; j >= s + 1 && end == 0; --j) {
        if (col(t, j) == ')' && is_upper(col(t, j + 1))) {
            if (j - s + 1 <= kSegWidth) end = j;
        } else if (col(t, j) == '(' && j - s <= kSegWidth) {
            end = j - 1;
        }
    }
    for (int j = e - 1; j >= s + 1 && end == 0; --j) {
        if (is_upper(col(t, j)) && !is_upper(col(t, j - 1)) && j - s <= kSegWidth) end = j - 1;
    }
    e = end > s ? end : s + kSegWidth - 1;
}

}  // namespace corvane::card
