// Formula notation, "$" symbol codes and the token scanner.
#include <corvane/card/formula.h>
#include <corvane/card/utilities.h>
#include <corvane/setup/text.h>

#include <algorithm>
#include <string>

namespace corvane::card {

// ---- token scanner ------------------------------------------------------------

void scanin(CardFormatter& fm, std::string_view text, std::string_view delims) {
    // The scanner holds at most 200 characters of text and 96 delimiters.
    text = text.substr(0, std::min<std::size_t>(text.size(), Scncmn::kTextMax));
    delims = delims.substr(0, std::min<std::size_t>(delims.size(), Scncmn::kDelimMax));
    fm.scncmn.scnpos = 1;
    fm.scncmn.scnndl = static_cast<std::int32_t>(delims.size());
    fm.scncmn.scndlm = padded(delims, Scncmn::kDelimMax);
    fm.scncmn.scnlen = static_cast<std::int32_t>(text.size());
    fm.scncmn.scntxt = padded(text, Scncmn::kTextMax);
}

void scaner(CardFormatter& fm, std::string& token, int& toklen) {
    const std::string_view txt = fm.scncmn.scntxt;
    const std::string_view dlm = std::string_view(fm.scncmn.scndlm).substr(0, fm.scncmn.scnndl);
    int f = fm.scncmn.scnpos;
    while (f <= fm.scncmn.scnlen && col(txt, f) == ' ') ++f;  // blanks are always skipped
    if (f > fm.scncmn.scnlen) {
        fm.scncmn.scnpos = fm.scncmn.scnlen;
        toklen = -1;
        token.assign(token.size(), ' ');
        return;
    }
    int g = f;
    while (g <= fm.scncmn.scnlen && dlm.find(col(txt, g)) == std::string_view::npos) ++g;
    if (g <= fm.scncmn.scnlen) {
        fm.scncmn.scnpos = g + 1;
        toklen = g - f;
    } else {
        fm.scncmn.scnpos = fm.scncmn.scnlen + 1;
        toklen = fm.scncmn.scnlen - f + 1;
    }
    token = padded(toklen < 1 ? std::string() : cols(txt, f, f + toklen - 1), token.size());
}

// ---- formula notation -----------------------------------------------------------

namespace {

// Characters from..to of a token, each marked with "#" (subscript) or "@"
// (superscript). A subscript of more than 20 characters breaks the notation:
// it is given unmarked and followed by "?".
std::string marked(std::string_view tok, int from, int to, char mark, bool& bad) {
    std::string out;
    if (mark == '#' && to - from + 1 > 20) {
        bad = true;
        return cols(tok, from, to) + "?";
    }
    for (int i = from; i <= to; ++i) {
        out.push_back(mark);
        out.push_back(col(tok, i));
    }
    return out;
}

}  // namespace

// Each token is converted into pieces of markup written at position p of out;
// a piece that would pass the end of out stops the conversion (status 1) with
// what was written before it left in place.
void phform(CardFormatter& fm, std::string_view in, std::string& out, int& outlen, int& status) {
    const int room = static_cast<int>(out.size());
    scanin(fm, in, " ");
    status = 0;
    outlen = 0;
    int p = 1;
    bool bad = false;
    out.assign(out.size(), ' ');

    // Writes a piece at p; false when it does not fit.
    auto put = [&](std::string_view piece) {
        const int n = static_cast<int>(piece.size());
        if (p + n - 1 > room) return false;
        if (n > 0) setcols(out, p, p + n - 1, piece);
        p += n;
        return true;
    };

    bool overflow = false;
    std::string tok(20, ' ');  // the scanner keeps 20 characters of a token
    int n = 0;
    for (;;) {
        scaner(fm, tok, n);
        if (n < 0) break;
        if (p > room) {
            overflow = true;
            break;
        }
        // Characters of a token beyond the 20 kept read as blanks.
        const char c = col(tok, 1);
        bool fits = true;
        if (c == '*') {
            fits = put("*") && p <= room;
            if (fits && n > 1) fits = put(marked(tok, 2, n, '#', bad));
        } else if (c == '(' || c == '[' || c == ',' || c == '!' || digit(c) == 1) {
            if (n > 1 && (c == '(' || c == '[' || c == ',')) bad = true;
            fits = put(cols(tok, 1, n));
        } else if (c == '+' || c == '-') {
            fits = (c == '-' && n == 1) ? put("-") : put(marked(tok, 1, n, '@', bad));
        } else if (c == ')' || c == ']') {
            fits = put(std::string(1, c));
            if (fits && n > 1) fits = put(marked(tok, 2, n, '#', bad));
        } else if (!is_upper(c)) {
            bad = true;
            fits = put(cols(tok, 1, n) + "?");
        } else {
            // An element symbol: a capital and, for two-letter symbols, a small
            // letter a-y other than x; the rest of the token is its subscript.
            const char c2 = col(tok, 2);
            int k = 2;
            if (c2 >= 'a' && c2 <= 'y' && c2 != 'x') {
                fits = put(cols(tok, 1, 2));
                k = 3;
            } else {
                fits = put(std::string(1, c));
            }
            if (fits && k <= n) fits = put(marked(tok, k, n, '#', bad));
        }
        if (!fits) {
            overflow = true;
            break;
        }
    }
    if (overflow) {
        status = 1;
    } else {
        outlen = p - 1;
    }
    if (bad) status = 2;
}

// ---- "$" codes --------------------------------------------------------------------

void pitran(CardFormatter& fm, std::string_view code, std::string& text, int& tlen) {
    const std::string key = cols(code, 1, 2);
    for (int i = 1; i <= fm.picds.npicd; ++i) {
        if (fm.picds.picode(i) == key) {
            text = padded(fm.picds.pitext(i), 10);
            tlen = fm.picds.pilen(i);
            return;
        }
    }
    text = padded("$" + key, 10);
    tlen = 3;
}

int piexp(CardFormatter& fm, std::string& text) {
    const int len = static_cast<int>(text.size());
    int L = length(text);
    const int L0 = L;
    int start = 1;
    for (;;) {
        const auto found =
            start <= len ? text.find('$', static_cast<std::size_t>(start - 1)) : std::string::npos;
        if (found == std::string::npos) break;
        const int k = static_cast<int>(found) + 1;
        start = k + 1;
        std::string r;
        int m = 0;
        pitran(fm, cols(text, k + 1, k + 2), r, m);
        m = std::clamp(m, 0, 10);  // a display length never reaches past the 10-character text
        if (L + m - 3 > len) break;
        // The text after the code moves by m - 3; the replacement goes in at k.
        const std::string tail = k + 3 <= L ? cols(text, k + 3, L) : std::string();
        std::string rebuilt =
            cols(text, 1, k - 1) + r.substr(0, static_cast<std::size_t>(m)) + tail;
        text = padded(rebuilt, text.size());
        L = L + m - 3;
    }
    if (L < L0) setcols(text, L + 1, L0, "");
    for (int i = 1; i <= L; ++i) {
        if (col(text, i) == '!') text[static_cast<std::size_t>(i - 1)] = static_cast<char>(249);
    }
    return L;
}

}  // namespace corvane::card
