// The d-spacing table: one row per distinct d-value of the record's I-card
// lines, its d text given the decimals the value needs at its angle.
#include <corvane/card/dspacing.h>
#include <corvane/card/utilities.h>
#include <corvane/setup/format.h>
#include <corvane/setup/text.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace corvane::card {

namespace {

constexpr int kTypeF = type_of('F');
constexpr int kTypeG = type_of('G');
constexpr int kGroups = 3;       // lines on an I card
constexpr int kGroupWidth = 23;  // columns of a line
constexpr std::string_view kDitto = "  \" ";

// One line of an I card.
struct Line {
    float d = 0;
    std::int32_t inten = 0;
    std::string icode = " ";  // intensity code
    std::int32_t h = 0, k = 0, l = 0;
    std::string hcode = " ";  // h k l code
    std::string dcode = " ";  // d code

    bool no_indices() const { return h == 0 && k == 0 && l == 0; }
};

// The lines of the record's I cards in order, groups without a d-value (or
// that are no line at all) left out.
std::vector<Line> read_lines(const CardFormatter& fm, int ncards) {
    std::vector<Line> lines;
    for (int n = 1; n <= ncards; ++n) {
        const std::string& crd = fm.card(kTypeDsp, n);
        for (int g = 0; g < kGroups; ++g) {
            const std::string group = cols(crd, g * kGroupWidth + 1, (g + 1) * kGroupWidth);
            Line ln;
            if (edit::read("(F7.4,I3,A1,3I3,A1,1X,A1)", group,
                           {&ln.d, &ln.inten, &ln.icode, &ln.h, &ln.k, &ln.l, &ln.hcode,
                            &ln.dcode}) != edit::kOk) {
                continue;
            }
            if (ln.d != 0.0f) lines.push_back(ln);
        }
    }
    return lines;
}

// The 9-character index text of a line, blank for 0 0 0.
std::string indices(const Line& ln) {
    return ln.no_indices() ? std::string(9, ' ') : edit::write("(3I3)", {ln.h, ln.k, ln.l});
}

// d written in 7 columns with nd decimals, left-justified in 8 characters; a
// leading "." gets its zero. shifted tells whether it did.
std::string dtext(float d, int nd, bool& shifted) {
    const char format[] = {'(', 'F', '7', '.', static_cast<char>('0' + nd), ')', '\0'};
    std::string t = edit::write(format, {d});
    left(t);
    shifted = col(t, 1) == '.';
    if (!shifted) return padded(t, 8);
    std::string zero(1, '0');  // appended, not inserted: GCC 12 -O3 false -Wrestrict
    zero += t;
    return padded(zero, 8);
}

bool stars(std::string_view t) {
    return col(t, 1) == '*';
}

// The marker of a footnote code: the slot digit a comment gave its legend
// character, as the table's marker character; blank when no comment did.
char footnote(CardFormatter& fm, char code) {
    int skip = 0;
    char dig = ' ';
    std::string tag(3, ' ');
    int count = 0;
    trfnch(fm, std::string(1, code), 0, skip, dig, tag, count);
    if (skip != 0 || digit(dig) == 0 || dig == '0') return ' ';
    return dspcds[static_cast<std::size_t>(dig - '1')];
}

// Fixed or angle-derived limits: d >= t1 needs 1 decimal, >= t2 2, >= t3 3,
// else 4. Returns 0, or the status of a missing card.
int thresholds(CardFormatter& fm, float& t1, float& t2, float& t3) {
    const int nf = fm.updat2.ncrd(kTypeF);
    const std::string* f = nf > 0 ? &fm.card(kTypeF, 1) : nullptr;
    const bool fixed = fm.updat2.ncrd(kTypeFirst) > 0 && col(fm.card(kTypeFirst, 1), 79) == 'X';
    if (fixed) {
        t1 = 10.0f;
        const bool second = f != nullptr && col(*f, 41) == 'S';
        t2 = second ? 3.0f : 4.5f;
        t3 = second ? 0.0f : 1.8f;
        return 0;
    }
    if (f == nullptr) return 2;
    float lambda = 0;
    if (edit::read("(T7,F9.5)", *f, {&lambda}) != edit::kOk) lambda = 0;
    if (lambda == 0.0f) lambda = 1.5405f;
    if (fm.updat2.ncrd(kTypeG) == 0) return 3;
    float delta = 0;
    if (edit::read("(T40,F5.3)", fm.card(kTypeG, 1), {&delta}) != edit::kOk) delta = 0;
    // r: the 2-theta uncertainty as the angle error in radians of theta.
    const double r = delta == 0.0f ? 0.00087260036 : delta / 114.6;
    const double a = 8.0 / (static_cast<double>(lambda) * lambda);
    // The d at which an angle error of r makes an error e in d.
    const auto limit = [&](double e) {
        const double t = e / r;
        return static_cast<float>(std::sqrt((std::sqrt(2.0 * a * t * t + 1.0) + 1.0) / a));
    };
    t1 = std::max(limit(0.05), 10.0f);
    t2 = limit(0.005);
    t3 = limit(0.0005);
    return 0;
}

}  // namespace

int ndec(float d) {
    const float p = d * 10000.0f;
    if (!std::isfinite(p) || std::fabs(p) >= 9.0e18f) return 1;  // no fraction to show
    const long long v = std::llround(static_cast<double>(p));
    if (v % 1000 == 0) return 1;
    if (v % 100 == 0) return 2;
    if (v % 10 == 0) return 3;
    return 4;
}

// Rows are made line by line; a run of equal d-values makes one row, beyond
// 200 rows lines are left out. The decimals only grow from row to row: a d
// that needs more, or a d text equal to the row before, raises them for all
// later rows.
int phdsp(CardFormatter& fm) {
    Dih& t = fm.dih;
    {
        int skip = 0, count = 0;
        char dig = ' ';
        std::string tag(3, ' ');
        trfnch(fm, "RESET_COUNTS", 0, skip, dig, tag, count);
    }
    const int ncards = std::clamp(fm.updat2.ncrd(kTypeDsp), 0, fm.updat2.maxcrd(kTypeDsp));
    if (ncards == 0) {
        t.ndsp = -1;
        return 1;
    }
    const std::vector<Line> lines = read_lines(fm, ncards);
    const int m = static_cast<int>(lines.size());
    const auto ln = [&](int k) -> const Line& { return lines[static_cast<std::size_t>(k - 1)]; };

    const bool direct =
        fm.updat2.ncrd(kTypeF) > 0 && col(fm.card(kTypeF, 1), 30) == 'D';  // d given directly
    float t1 = 0, t2 = 0, t3 = 0;
    if (!direct) {
        if (const int status = thresholds(fm, t1, t2, t3); status != 0) {
            t.ndsp = -1;
            return status;
        }
    }
    const std::string c1 =
        fm.updat2.ncrd(kTypeFirst) > 0 ? fm.card(kTypeFirst, 1) : std::string(kCardLen, ' ');
    const bool show_c = cols(c1, 73, 74) >= "33";

    for (int r = 1; r <= std::min(m, Dih::kRows); ++r) t.dspi(r) = "    ";
    int nd = 1;
    std::string prev(7, ' ');
    int grp_left = 0;  // rows the running unresolved group still covers
    int row = 1;
    for (int k = 1; k <= m && row <= Dih::kRows; ++k) {
        // Decimals this line needs.
        const float d = ln(k).d;
        if (direct) {
            nd = std::min(4, std::max(nd, ndec(d)));
        } else {
            nd = std::max(nd, d >= t1 ? 1 : d >= t2 ? 2 : d >= t3 ? 3 : 4);
        }

        // Unresolved groups: the first row shows the intensity, the group's
        // other rows the ditto mark.
        std::int32_t inten = ln(k).inten;
        int ditto = 0;
        bool in_group = false;
        if (grp_left > 0 && --grp_left > 0) {
            inten = 0;
            in_group = true;
        }
        if (!in_group && ln(k).icode[0] == 'U') {
            int rows = 1;
            for (int j = k + 1; j <= m && ln(j).icode[0] == 'U' && ln(j).inten == ln(j - 1).inten;
                 ++j) {
                if (ln(j).d != ln(j - 1).d) ++rows;
            }
            grp_left = rows;
            ditto = rows;
        }

        std::string itext = edit::write("(I3.0)", {inten});
        if (itext.size() != 3) itext = "***";
        const char lg = ln(k).icode[0] == 'L' ? '<' : ln(k).icode[0] == 'G' ? '>' : ' ';
        if (lg != ' ') {
            if (itext[1] == ' ') {
                itext[1] = lg;
            } else if (itext[0] == ' ') {
                itext[0] = lg;
            }
        }

        // Equal d-values: one row, the first two index triples in it.
        std::string hkl1 = indices(ln(k));
        std::string hkl2;
        bool bracket_d = false;
        bool bracket_hkl = false;
        if (k < m && ln(k + 1).d == d) {
            if (!ln(k + 1).no_indices()) hkl2 = indices(ln(k + 1));
            bracket_d = ln(k).dcode[0] == 'E';
            bracket_hkl = ln(k).hcode[0] == 'E';
            while (k < m && ln(k + 1).d == d) ++k;
        }

        // Codes of the (last) line.
        const Line& last = ln(k);
        char dmark = ' ';
        const char dc = last.dcode[0];
        if (dc == 'E') {
            bracket_d = true;
        } else if (dc == '$' || (dc >= '1' && dc <= '5')) {
            dmark = footnote(fm, dc);
        }
        char imark = ' ';
        const char ic = last.icode[0];
        if (ic == 'B' || ic == 'N' || ic == 'X') {
            imark = static_cast<char>(ic + ('a' - 'A'));
        } else if (ic >= '1' && ic <= '5') {
            imark = footnote(fm, ic);
        }
        char hmark = ' ';
        switch (last.hcode[0]) {
            case 'C':
                hmark = show_c ? 'c' : ' ';
                break;
            case 'N':
                hmark = 'n';
                break;
            case '*':
                hmark = footnote(fm, '*');
                break;
            case 'E':
                bracket_hkl = true;
                break;
            case 'L':  // the l index is not shown
                setcols(hkl1, 7, 9, "");
                if (!hkl2.empty()) setcols(hkl2, 7, 9, "");
                break;
            default:
                break;
        }

        // d text. A text equal to the row before gets more decimals, as many
        // as it takes while the 7 columns can show them.
        bool shifted = false;
        std::string dt = dtext(d, nd, shifted);
        for (int more = nd + 1; more <= 9 && cols(dt, 1, 7) == prev; ++more) {
            bool sh = false;
            const std::string again = dtext(d, more, sh);
            if (stars(again)) break;
            nd = more;
            dt = again;
            shifted = sh;
        }
        prev = cols(dt, 1, 7);
        std::string dcell = bracket_d ? "[" : " ";
        dcell += dt;
        const char dclose = bracket_d ? ']' : dmark;
        if (dclose != ' ') {
            // The zero before the point gives way to the closing character
            // when the text would fill the cell.
            if (length(dcell) >= 9 && shifted) dcell.erase(1, 1);
            const int end = length(dcell);
            if (end < 9) setcols(dcell, end + 1, end + 1, std::string(1, dclose));
        }
        t.dspd(row) = padded(dcell, 9);

        // Intensity cell; rows a group marked with the ditto mark keep it.
        if (t.dspi(row) != kDitto) {
            if (ditto > 1) {
                t.dspi(row) = itext + " ";
                for (int r = row + 1; r <= std::min(row + ditto - 1, Dih::kRows); ++r) {
                    t.dspi(r) = std::string(kDitto);
                }
            } else {
                t.dspi(row) = itext + imark;
            }
        }

        // h k l cell, centred when it leaves room.
        std::string cell(22, ' ');
        if (bracket_hkl) cell[0] = '[';
        setcols(cell, 2, 10, hkl1);
        if (!hkl2.empty()) {
            setcols(cell, 11, 12, ", ");
            setcols(cell, 13, 21, hkl2);
        }
        const char hclose = bracket_hkl ? ']' : hmark;
        int end = length(cell);
        if (hclose != ' ' && end < 22) setcols(cell, end + 1, end + 1, std::string(1, hclose));
        end = length(cell);
        if (end < 22) {
            const int start = 11 - end / 2;
            cell = padded(
                std::string(static_cast<std::size_t>(start - 1), ' ') + cols(cell, 1, end), 22);
        }
        t.dsphkl(row) = cell;
        ++row;
    }
    t.ndsp = row - 1;
    return 0;
}

}  // namespace corvane::card
