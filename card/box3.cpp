// Box 3: the crystal data, and the error-digit and space-group helpers.
#include <corvane/card/box3.h>
#include <corvane/card/formula.h>
#include <corvane/card/references.h>
#include <corvane/card/utilities.h>
#include <corvane/setup/format.h>
#include <corvane/setup/text.h>

#include <algorithm>
#include <array>
#include <string>

namespace corvane::card {

namespace {

constexpr int kType2 = type_of('2');  // error fields of the cell
constexpr int kType3 = type_of('3');  // space group, Z, densities
constexpr int kType4 = type_of('4');  // space-group addition, second Dx
constexpr int kType5 = type_of('5');  // "M" in column 3: densities to two decimals
constexpr int kTypeG = type_of('G');  // figure of merit

// Crystal system names by the position of the code (type-1 column 79) in
// kXtlabr; entry 0, for any other code, is blank.
constexpr std::string_view kXtlabr = "AMOTHRC";
constexpr std::array<std::string_view, 8> kIcryst = {
    "",           "Triclinic", "Monoclinic",         "Orthorhombic",
    "Tetragonal", "Hexagonal", "Rhombohedral (Hex)", "Cubic"};

const std::string kBlankCard(kCardLen, ' ');

int count(const CardFormatter& fm, int t) {
    return std::clamp(fm.updat2.ncrd(t), 0, fm.updat2.maxcrd(t));
}

// The first card of type t, or a blank card when the record has none.
const std::string& first_or_blank(const CardFormatter& fm, int t) {
    return count(fm, t) > 0 ? fm.card(t, 1) : kBlankCard;
}

// Left-justifies columns first..last of a card in place; returns the
// justified columns.
std::string left_cols(std::string& crd, int first, int last) {
    std::string f = cols(crd, first, last);
    left(f);
    setcols(crd, first, last, f);
    return f;
}

// A copy of a text, left-justified.
std::string left_copy(std::string text) {
    left(text);
    return text;
}

std::string error_digits(const std::string& err_card, bool present, int first, int last) {
    std::string err2(2, ' ');
    if (present) pherr(cols(err_card, first, last), err2);
    return err2;
}

// An axial ratio written with "(F8.4)" and left-justified; with leading_zero,
// a value below 1 gets its zero before the decimal point back.
std::string ratio(float v, bool leading_zero) {
    std::string f = padded(edit::write("(F8.4)", {v}), 8);
    if (leading_zero && f.compare(0, 4, "   .") == 0) f[2] = '0';
    left(f);
    return f;
}

// Axial ratios A and C (8 characters each) from the cell edges a, b, c of
// type-1 columns 1-27: a/b and c/b for triclinic, monoclinic and orthorhombic
// cells, c/a alone for the others. Blank when a is zero or the edges cannot
// be read as numbers.
void axial_ratios(const std::string& first, char code, std::string& ra, std::string& rc) {
    float a = 0.0f;
    float b = 0.0f;
    float c = 0.0f;
    if (edit::read("(3F9.5)", cols(first, 1, 27), {&a, &b, &c}) != edit::kOk) return;
    if (a == 0.0f) return;
    if (b == 0.0f) b = a;
    if (c == 0.0f) c = b;
    if (code == 'A' || code == 'M' || code == 'O') {
        ra = ratio(a / b, true);
        rc = ratio(c / b, true);
    } else {
        rc = ratio(c / a, false);
    }
}

// The melting point (25 characters): columns 1-25 of the first comment card
// of category "MP", its first "$" code expanded.
std::string melting_point(CardFormatter& fm) {
    std::string mp(25, ' ');
    for (int k = 1; k <= count(fm, kTypeComm); ++k) {
        const std::string& crd = fm.card(kTypeComm, k);
        if (cols(crd, 68, 69) != "MP") continue;
        mp = cols(crd, 1, 25);
        const auto dollar = mp.find('$');
        if (dollar != std::string::npos) {
            const int p = static_cast<int>(dollar) + 1;
            std::string t(10, ' ');
            int m = 0;
            pitran(fm, cols(crd, p + 1, p + 2), t, m);
            std::string tail = t.substr(0, static_cast<std::size_t>(std::clamp(m, 0, 10)));
            tail += cols(crd, p + 3, kCardLen);
            setcols(mp, p, 25, tail);
        }
        break;
    }
    return mp;
}

// A density re-edited to two decimals: read with "(F6.3)", written with
// "(F6.2)", left-justified. A text that is not a number under "(F6.3)" is kept
// as it stands, rather than replaced by a value it does not hold.
void two_decimals(std::string& d) {
    float v = 0.0f;
    if (edit::read("(F6.3)", d, {&v}) != edit::kOk) return;
    const std::string out = edit::write("(F6.2)", {v});
    if (out.size() != 6) return;
    d = left_copy(out);
}

// The figure of merit (22 characters): "F(N)=value(first,second)" from the G
// card, its blanks squeezed out; blank without a value in columns 34-38.
std::string figure_of_merit(const std::string& g) {
    std::string fom(22, ' ');
    if (length(cols(g, 34, 38)) == 0) return fom;
    fom = "F(";
    fom += cols(g, 46, 47);
    fom += ")=";
    fom += cols(g, 34, 38);
    fom += '(';
    fom += cols(g, 40, 44);
    fom += ',';
    fom += cols(g, 49, 51);
    fom += ')';
    cmpres(fom);
    return fom;
}

}  // namespace

void pherr(std::string_view field, std::string& err2) {
    err2 = "  ";
    const int n = static_cast<int>(field.size());
    for (int i = 1; i <= n; ++i) {
        const char c = col(field, i);
        if (c != '0' && c != '.' && c != ' ') {
            err2 = cols(field, i, i + 1);
            return;
        }
    }
}

void phspg(std::string_view sgin, std::string& sgout) {
    sgout = padded(padded(sgin, 8), 12);
}

int phbox3(CardFormatter& fm, int /*mode*/, std::string& reftxt) {
    auto& curlin = fm.curcrd.curlin;
    // The cell edges and angles are justified in the card image itself; a
    // record without a type-1 card works on a blank copy.
    std::string blank_first = kBlankCard;
    std::string& first = count(fm, kTypeFirst) > 0 ? fm.card(kTypeFirst, 1) : blank_first;
    const bool has2 = count(fm, kType2) > 0;
    const bool has3 = count(fm, kType3) > 0;
    const bool has4 = count(fm, kType4) > 0;
    const std::string& c2 = first_or_blank(fm, kType2);
    const std::string& c3 = first_or_blank(fm, kType3);
    const std::string& c4 = first_or_blank(fm, kType4);

    const char code = col(first, 79);
    const auto sys = kXtlabr.find(code);
    const std::string system = padded(kIcryst[sys == std::string_view::npos ? 0 : sys + 1], 18);

    std::string sg(12, ' ');
    char sgflag = ' ';
    if (has3) {
        phspg(cols(c3, 1, 8), sg);
        if (col(c3, 9) == 'E') sgflag = 'B';
    }
    const std::string addition = has4 && col(c4, 11) != '*' ? cols(c4, 12, 14) : "   ";

    const std::string a = left_cols(first, 1, 9);
    const std::string b = left_cols(first, 10, 18);
    const std::string c = left_cols(first, 19, 27);
    edit::write(
        "(A18,A12,A3,A1,3(A9,A2),13X)", curlin(10),
        {system, sg, addition, std::string_view(&sgflag, 1), a, error_digits(c2, has2, 1, 9), b,
         error_digits(c2, has2, 10, 18), c, error_digits(c2, has2, 19, 27)});

    std::string ra(8, ' ');
    std::string rc(8, ' ');
    if (fm.cdeqpd.flag != 0 && code != 'X' && code != 'C') axial_ratios(first, code, ra, rc);

    const std::string alpha = left_cols(first, 28, 35);
    const std::string beta = left_cols(first, 36, 43);
    const std::string gamma = left_cols(first, 44, 51);

    std::string z(6, ' ');
    char zflag = ' ';
    if (has3) {
        z = cols(c3, 20, 25);
        const int n = left(z);
        if (col(c3, 26) == 'G') setcols(z, std::min(n + 1, 6), std::min(n + 1, 6), "g");
        if (col(c3, 26) == 'E') zflag = 'B';
    }
    edit::write(
        "(A8,A8,3(A8,A2),A6,A1,A25,2X)", curlin(11),
        {ra, rc, alpha, error_digits(c2, has2, 28, 35), beta, error_digits(c2, has2, 36, 43), gamma,
         error_digits(c2, has2, 44, 51), z, std::string_view(&zflag, 1), melting_point(fm)});

    int r = 0;
    int dropd = 0;
    dorefs(fm, "UC", 0, 1, dropd, reftxt, r);
    if (r > 0) {
        const int w = static_cast<int>(reftxt.size());
        if (r < w) setcols(reftxt, r + 1, w, "");
        curlin(12) = cols(reftxt, 1, 80);
        curlin(13) = cols(reftxt, 81, 160);
    } else {
        curlin(12) = padded(code != 'X' && fm.updat2.ncrd(kTypeRef) > 0 ? "Ibid." : "", 80);
        curlin(13).assign(80, ' ');
    }

    // Dx from the type-3 card, or from the type-4 card unless that one is
    // blank or marked "G"; bracketed only when it comes from a lone type-3 card.
    std::string dx(6, ' ');
    char dxflag = ' ';
    if (has3 && !has4) {
        dx = left_copy(cols(c3, 38, 43));
        if (col(c3, 44) == 'E') dxflag = 'B';
    } else if (has3) {
        const bool use3 = col(c4, 44) == 'G' || length(cols(c4, 38, 43)) == 0 || col(c4, 59) == 'G';
        dx = left_copy(cols(use3 ? c3 : c4, 38, 43));
    }
    std::string dm = has3 ? left_copy(cols(c3, 30, 35)) : std::string(6, ' ');
    if (col(first_or_blank(fm, kType5), 3) == 'M') {
        if (length(dx) > 0) two_decimals(dx);
        if (length(dm) > 0) two_decimals(dm);
    }
    const std::string fom =
        count(fm, kTypeG) > 0 ? figure_of_merit(fm.card(kTypeG, 1)) : std::string(22, ' ');
    edit::write("(A6,A1,A6,A1,A22,44X)", curlin(14),
                {dx, std::string_view(&dxflag, 1), dm, " ", fom});
    return 0;
}

}  // namespace corvane::card
