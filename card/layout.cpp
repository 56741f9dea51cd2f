// The card's page: 128-column lines, the boxes on the left and the d-spacing
// table on the right, then the continuation table and the strong lines.
#include <corvane/card/box1.h>
#include <corvane/card/box2.h>
#include <corvane/card/box3.h>
#include <corvane/card/box4.h>
#include <corvane/card/box5.h>
#include <corvane/card/dspacing.h>
#include <corvane/card/layout.h>
#include <corvane/card/utilities.h>
#include <corvane/setup/format.h>
#include <corvane/setup/text.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <ostream>
#include <string>

namespace corvane::card {

namespace {

constexpr int kTypeC = type_of('C');     // the 3 x 3 matrix
constexpr int kTypePlus = type_of('+');  // the strong lines

// The column modes by their position in kModes: the heading of the first
// table column (9 characters) and the number format of its conversion. "D"
// prints the d texts as they stand.
constexpr std::string_view kModes = "12SQD";
struct ModeInfo {
    std::string_view heading;
    std::string_view format;
};
constexpr std::array<ModeInfo, 5> kModeInfo = {{{"  theta  ", "(F7.3)"},
                                                {" 2-theta ", "(F7.3)"},
                                                {" sin2 th ", "(F7.5)"},
                                                {"   Q A   ", "(F7.5)"},
                                                {"   d A   ", ""}}};
constexpr int kModeD = 5;

// The notice in columns 12-36 of the header, followed there by the edition's
// year.
constexpr std::string_view kNotice = "(c) TARN Powder Data ed. ";
static_assert(kNotice.size() == 25);

constexpr int kBoxCols = 88;   // the box area, columns 1-88
constexpr int kBeside = 25;    // table rows beside the boxes
constexpr int kWorkLen = 165;  // the references' work text of boxes 2 to 4

std::string repeat(char c, int n) {
    return std::string(static_cast<std::size_t>(n), c);
}

// The parts one after another (built by appending: GCC 12 at -O3 warns
// falsely on "literal" + std::string).
std::string join(std::initializer_list<std::string_view> parts) {
    std::string s;
    for (const auto part : parts) s += part;
    return s;
}

bool blank(std::string_view t) {
    return t.find_first_not_of(' ') == std::string_view::npos;
}

// ---- the right part of a line: columns 89-128 ----------------------------------

// A table row: d (9), "|", a blank, intensity (4), "|", h k l (22), "|".
std::string cells(const Dih& t, int r) {
    std::string s = padded(t.dspd(r), 9);
    s += "| ";
    s += padded(t.dspi(r), 4);
    s += "|";
    s += padded(t.dsphkl(r), 22);
    s += "|";
    return s;
}

std::string row(const Dih& t, int r) {
    return join({"|", cells(t, r)});
}

std::string separator() {
    return join({"|", repeat('-', 9), "+", repeat('-', 5), "+", repeat('-', 22), "|"});
}

// Empty cells of one group: 9 blanks, "|", 5 blanks, "|", 22 blanks, "|".
std::string empty_group() {
    return join({repeat(' ', 9), "|", repeat(' ', 5), "|", repeat(' ', 22), "|"});
}

std::string empty_cells() {
    return join({"|", empty_group()});
}

// The heading of one table group: mode heading, intensity, h k l.
std::string heading_group(std::string_view heading) {
    std::string s(heading);
    s += "| Int.|         h k l        |";
    return s;
}

// ---- the left part: columns 1-88 -----------------------------------------------

// "| " and the text, cut or blank-padded to the box area.
std::string box(std::string_view text) {
    std::string s = "| ";
    s += text;
    return padded(s, kBoxCols);
}

// A box separator: "|" and 86 "-", column 88 blank.
std::string rule_box() {
    return padded(join({"|", repeat('-', 86)}), kBoxCols);
}

// The space-group text (20 characters) of curlin line 10: the symbol, its
// addition in parentheses, square brackets when column 34 asks for them;
// squeezed, with one blank before the parenthesis.
std::string space_group(const std::string& l10) {
    std::string sg = padded(join({" ", cols(l10, 19, 30)}), 20);
    const std::string add = cols(l10, 31, 33);
    if (!blank(add)) setcols(sg, 15, 20, join({"(", add, ") "}));
    if (col(l10, 34) == 'B') {
        setcols(sg, 1, 1, "[");
        setcols(sg, 20, 20, "]");
    }
    cmpres(sg);
    const auto paren = sg.find('(');
    if (paren != std::string::npos) {
        sg.insert(paren, 1, ' ');
        sg.resize(20);
    }
    return sg;
}

// " " and a value (8 characters in all); bracketed and squeezed when flag is
// "B". Used for Z, Dx and Dm.
std::string bracketed(std::string_view value, char flag) {
    std::string t = padded(join({" ", value}), 8);
    if (flag == 'B') {
        setcols(t, 1, 1, "[");
        setcols(t, 8, 8, "]");
        cmpres(t);
    }
    return t;
}

std::string with_error(std::string_view value, std::string_view err) {
    std::string out(13, ' ');
    adderr(out, value, err);
    return out;
}

// ---- the page ------------------------------------------------------------------

class Page {
  public:
    Page(CardFormatter& fm, int mode) : fm_(fm), mode_(mode) {}

    void put(std::string_view text) {
        std::string s(text);
        s += '\n';
        fm_.page() << s;
    }
    void put(std::string_view left, std::string_view right) {
        std::string s(left);
        s += right;
        put(s);
    }

    // The header: entry number, notice, year, wavelength, quality mark and
    // deleted marker. With the wavelength it follows an empty line; without
    // it, 9 blanks take the wavelength's place.
    void header(bool wavelength) {
        const std::string& l1 = fm_.curcrd.curlin(1);
        const std::string number = cols(l1, 1, 8);
        const std::string mark = cols(l1, 9, 9);
        const std::string_view deleted = col(l1, 10) == 'D' ? "DELETED" : "       ";
        const std::string year = fm_.ret3.dbyear();
        if (wavelength) {
            put("");
            put(edit::write("(A8,3X,A25,A4,4X,A10,F9.5,A11,A1,5X,A7)",
                            {number, kNotice, year, "Radiation:", 2.0f * fm_.cvtsp.halflm,
                             "  Quality: ", mark, deleted}));
        } else {
            put(edit::write("(A8,3X,A25,A4,4X,A10,9X,A11,A1,5X,A7)",
                            {number, kNotice, year, "Radiation:", "  Quality: ", mark, deleted}));
        }
    }

    std::string_view heading() const {
        return kModeInfo[static_cast<std::size_t>(mode_ - 1)].heading;
    }

    void formulas();
    void boxes();
    void comments();
    void continuation();
    void strong_lines();

  private:
    CardFormatter& fm_;
    int mode_;  // position of the shown mode in kModes
};

// The two formula lines: both formulas in their two-line form side by side
// (the second from column 47), or, when either is too wide for that, each on a
// line of its own without the subscript line.
void Page::formulas() {
    const auto& line = fm_.curcrd.curlin;
    std::string text1 = line(2) + cols(line(1), 11, 20);
    std::string text2 = line(3) + cols(line(1), 21, 30);
    std::string up1, lo1, up2, lo2;
    int w1 = shform(text1, up1, lo1);
    int w2 = shform(text2, up2, lo2);
    if (w1 < 1) w1 = 1;  // the lines are blank
    std::string a = box("");
    std::string b = box("");
    if ((w1 > 45 && w2 > 0) || w2 >= 42) {
        w1 = deltsc(text1, 1, 90);
        w2 = deltsc(text2, 1, 90);
        setcols(a, 3, kBoxCols, cols(text1, 1, w1));  // the frame cuts it at 88
        const std::string t2 = cols(text2, 1, std::min(w2, 84));
        setcols(b, 3, 86, repeat(' ', 84 - static_cast<int>(t2.size())) + t2);
    } else {
        setcols(a, 3, 2 + w1, cols(up1, 1, w1));
        setcols(b, 3, 2 + w1, cols(lo1, 1, w1));
        if (w2 >= 1) {
            setcols(a, 47, 46 + w2, cols(up2, 1, w2));
            setcols(b, 47, 46 + w2, cols(lo2, 1, w2));
        }
    }
    put(a, separator());
    put(b, empty_cells());
}

// The 21 lines of boxes 1 to 4 beside table rows 1 to 18.
void Page::boxes() {
    const auto& line = fm_.curcrd.curlin;
    const Dih& t = fm_.dih;
    const std::string& l7 = line(7);
    const std::string& l10 = line(10);
    const std::string& l11 = line(11);
    const std::string& l14 = line(14);
    const std::string& l15 = line(15);

    put(box(""), row(t, 1));
    put(box(line(4)), row(t, 2));
    put(box(line(5)), row(t, 3));
    put(box(line(6)), row(t, 4));
    put(rule_box(), row(t, 5));
    put(box(join({"Rad: ", cols(l7, 1, 9), "  Lambda: ", cols(l7, 10, 17), repeat(' ', 9),
                  "Filter: ", cols(l7, 18, 29), "  d-sp: ", cols(l7, 30, 41)})),
        empty_cells());
    put(box(join({"Cutoff: ", cols(l7, 42, 46), "   Int: ", cols(l7, 47, 60), repeat(' ', 6),
                  "I/Icor: ", cols(l7, 61, 68)})),
        row(t, 6));
    put(box(join({"Ref: ", line(8)})), row(t, 7));
    put(box(line(9)), row(t, 8));
    put(rule_box(), row(t, 9));
    put(box(join({"Sys: ", cols(l10, 1, 18), repeat(' ', 5), "S.G.: ", space_group(l10)})),
        row(t, 10));
    put(box(join({"a: ", with_error(cols(l10, 35, 43), cols(l10, 44, 45)),
                  "  b: ", with_error(cols(l10, 46, 54), cols(l10, 55, 56)),
                  "  c: ", with_error(cols(l10, 57, 65), cols(l10, 66, 67)),
                  "  A: ", cols(l11, 1, 8), "  C: ", cols(l11, 9, 16)})),
        empty_cells());
    put(box(join({"A: ", with_error(cols(l11, 17, 24), cols(l11, 25, 26)),
                  "  B: ", with_error(cols(l11, 27, 34), cols(l11, 35, 36)),
                  "  C: ", with_error(cols(l11, 37, 44), cols(l11, 45, 46)), "  Z: ",
                  bracketed(cols(l11, 47, 52), col(l11, 53)), "  mp: ", cols(l11, 54, 67)})),
        row(t, 11));
    put(box(join({"Ref: ", line(12)})), row(t, 12));
    put(box(line(13)), row(t, 13));
    put(box(join({"Dx: ", bracketed(cols(l14, 1, 6), col(l14, 7)), "  Dm: ",
                  bracketed(cols(l14, 8, 13), col(l14, 14)), "  SS/FOM: ", cols(l14, 15, 36)})),
        row(t, 14));
    put(rule_box(), row(t, 15));
    put(box(join({"ea: ", cols(l15, 1, 10), "  nwB: ", cols(l15, 11, 20), "  ey: ",
                  cols(l15, 21, 30), "  Sign: ", cols(l15, 31, 33), "  2V: ", cols(l15, 34, 45)})),
        empty_cells());
    put(box(join({"Ref: ", line(16)})), row(t, 16));
    put(box(line(17)), row(t, 17));
    put(rule_box(), row(t, 18));
}

// The comment lines: eight beside table rows 19 to 25 (the third beside empty
// cells), then one more, and up to seven further ones while segments remain.
// Text beyond the 16 lines is not printed.
void Page::comments() {
    Comcrd& cc = fm_.comcrd;
    cc.ncomsg = std::clamp(cc.ncomsg, 0, 30);
    cc.comsp(cc.ncomsg + 1) = Comcrd::kTextLen;
    int iseg = 0;
    int more = 0;
    const auto next = [&]() {
        int istart = 0;
        int iend = 0;
        more = nxtcom(fm_, 85, iseg, istart, iend);
        const int last = deltsc(cc.comtxt, istart, iend);
        return box(cols(cc.comtxt, istart, last));
    };
    const Dih& t = fm_.dih;
    put(next(), row(t, 19));
    put(next(), row(t, 20));
    put(next(), empty_cells());
    for (int r = 21; r <= 25; ++r) put(next(), row(t, r));
    put(next(), empty_cells());
    for (int extra = 0; extra < 7 && more == 1; ++extra) put(next(), empty_cells());
}

// Table rows beyond 25, below the card in three columns of up to 20 rows on
// the first page and up to 60 on each further one, each column a multiple of 5
// rows, with an empty line after every fifth row.
void Page::continuation() {
    const Dih& t = fm_.dih;
    const int ndsp = std::min(t.ndsp, Dih::kRows);
    if (ndsp <= kBeside) return;
    put(" ");
    int last = kBeside;
    int off3 = 0;
    int limit = 20;
    const std::string groups_empty = join({"|", empty_group(), empty_group(), empty_group()});
    const std::string dash_group =
        join({repeat('-', 9), "+", repeat('-', 5), "+", repeat('-', 22)});
    for (;;) {
        const int first = last + off3 + 1;
        int per = std::min((ndsp - first + 3) / 3, limit);
        per = (per + 4) / 5 * 5;
        last = std::min(first + per - 1, ndsp);
        const int off2 = per;
        off3 = 2 * per;

        put(repeat('-', 118));
        const std::string head = heading_group(heading());
        put(join({"|", head, head, head}));
        put(join({"|", dash_group, "+", dash_group, "+", dash_group, "|"}));
        for (int j = first; j <= last; ++j) {
            std::string s = join({"|", cells(t, j)});
            if (j + off3 <= ndsp) {
                s += cells(t, j + off2);
                s += cells(t, j + off3);
            } else if (j + off2 > ndsp) {
                s += empty_group();
                s += empty_group();
            } else {
                s += cells(t, j + off2);
                s += empty_group();
            }
            put(s);
            if (j % 5 == 0 && j != last) put(groups_empty);
        }
        put(repeat('-', 118));
        if (ndsp <= last + off3) return;
        limit = 60;
        header(true);
        fm_.page() << edit::listed({"CONTINUED"});
    }
}

// The eight strong lines of the record's + card.
void Page::strong_lines() {
    if (fm_.updat2.ncrd(kTypePlus) != 1) return;
    const std::string& plus = fm_.card(kTypePlus, 1);
    std::string s = "    Strong lines: ";
    for (int i = 0; i < 8; ++i) {
        s += cols(plus, 3 + 7 * i, 9 + 7 * i);
        s += ' ';
    }
    put("");
    put(s);
}

// cdeqpd: 1 when the record's one C card holds the identity matrix. A C card
// whose fields are not numbers holds no matrix.
void identity_flag(CardFormatter& fm) {
    fm.cdeqpd.flag = 0;
    if (fm.updat2.ncrd(kTypeC) != 1) return;
    std::array<float, 9> m{};
    if (edit::read("(6X,3(3(F5.2,1X),1X))", fm.card(kTypeC, 1),
                   {&m[0], &m[1], &m[2], &m[3], &m[4], &m[5], &m[6], &m[7], &m[8]}) != edit::kOk) {
        return;
    }
    for (int i = 0; i < 9; ++i) {
        const float want = i % 4 == 0 ? 1.0f : 0.0f;
        if (m[static_cast<std::size_t>(i)] != want) return;
    }
    fm.cdeqpd.flag = 1;
}

// Runs each piece not yet done on this card, marking it done.
void render(CardFormatter& fm) {
    auto& done = fm.switch_.swdone;
    std::string reftxt(kWorkLen, ' ');
    int opcard = 0;
    int refprt = 0;
    const auto step = [&](int flag, auto&& run) {
        if (done(flag) != 0) return;
        run();
        done(flag) = 1;
    };
    step(5, [&] {
        int skip = 0, count = 0;
        char dig = ' ';
        std::string tag(3, ' ');
        trfnch(fm, "RESET_ALL", 0, skip, dig, tag, count);
    });
    step(1, [&] { phbox1(fm); });
    step(2, [&] { phbox2(fm, 0, reftxt); });
    step(3, [&] { phbox3(fm, 0, reftxt); });
    step(4, [&] { phbox4(fm, 0, reftxt, opcard, refprt); });
    step(7, [&] { phbox5(fm); });
    step(6, [&] { phdsp(fm); });
}

// The d texts of rows 1..ndsp converted to the mode, in place: each is read as
// a number (without its closing bracket or marker when it does not read
// whole), converted and written into characters 2-8; characters 1 and 9 stay.
// A text that no read accepts is left as it stands.
void convert(CardFormatter& fm, int mode) {
    Dih& t = fm.dih;
    const std::string_view format = kModeInfo[static_cast<std::size_t>(mode - 1)].format;
    const char spmode = kModes[static_cast<std::size_t>(mode - 1)];
    for (int i = 1; i <= std::min(t.ndsp, Dih::kRows); ++i) {
        std::string& d = t.dspd(i);
        float v = 0.0f;
        bool ok = edit::read("(F9.0)", d, {&v}) == edit::kOk;
        if (!ok) {
            const int last = length(d);
            if (last > 0) {
                std::string trial = d;
                setcols(trial, last, last, " ");
                ok = col(trial, 1) == '['
                         ? edit::read("(F7.0)", cols(trial, 2, 8), {&v}) == edit::kOk
                         : edit::read("(F8.0)", cols(trial, 1, 8), {&v}) == edit::kOk;
            }
        }
        if (!ok) continue;
        setcols(d, 2, 8, edit::write(format, {dspcvt(spmode, fm.cvtsp.halflm, v)}));
    }
}

}  // namespace

void prtcrd(CardFormatter& fm) {
    // Preparation: every piece rendered anew.
    once(fm);
    fm.picds.piflag = 1;
    identity_flag(fm);
    render(fm);
    Dih& t = fm.dih;
    t.ndsp = std::clamp(t.ndsp, -1, Dih::kRows);
    for (int r = std::max(t.ndsp + 1, 1); r <= kBeside; ++r) {
        t.dspd(r) = repeat(' ', 9);
        t.dspi(r) = repeat(' ', 4);
        t.dsphkl(r) = repeat(' ', 22);
    }

    // The mode; one outside the five is shown as "D" is.
    const auto p = kModes.find(fm.cvtsp.spmode);
    const int mode = p == std::string_view::npos ? kModeD : static_cast<int>(p) + 1;
    const auto saved = t.dspd;
    if (mode != kModeD) {
        fm.switch_.swdone(6) = 0;
        convert(fm, mode);
    }

    Page page(fm, mode);
    page.header(mode <= 3);
    page.put(repeat('-', 127));
    page.put(box(""), join({"|", heading_group(page.heading())}));
    page.formulas();
    page.boxes();
    page.comments();
    page.put(repeat('-', 127));
    page.continuation();
    page.strong_lines();

    if (mode != kModeD) t.dspd = saved;
    once(fm);
}

void adderr(std::string& out, std::string_view value, std::string_view err) {
    if (blank(err)) {
        out = padded(value, out.size());
        return;
    }
    std::string joined(value);
    joined += "(";
    joined += err;
    joined += ")";
    out = padded(joined, out.size());
    cmpres(out);
}

int shform(std::string_view text, std::string& upper, std::string& lower) {
    constexpr int kWidth = 80;
    upper.assign(kWidth, ' ');
    lower.assign(kWidth, ' ');
    int i = 1;
    int k = 0;
    for (;;) {
        ++k;
        if (k > kWidth) return kWidth;
        while (i <= kWidth && col(text, i) == '@') ++i;
        if (i > kWidth) return k - 1;
        const char c = col(text, i);
        if (c == '#') {
            setcols(lower, k, k, std::string(1, col(text, i + 1)));
            i += 2;
        } else if (c == '$') {
            const int end = std::min(k + 2, kWidth);  // a code at the edge is cut there
            setcols(upper, k, end, cols(text, i, i + 2));
            i += 3;
            k += 2;
        } else if (c == ' ') {
            return k - 1;
        } else {
            setcols(upper, k, k, std::string(1, c));
            ++i;
        }
    }
}

int nxtcom(CardFormatter& fm, int maxw, int& iseg, int& istart, int& iend) {
    Comcrd& cc = fm.comcrd;
    const int nseg = std::clamp(cc.ncomsg, 0, 30);
    ++iseg;
    if (iseg < 1 || iseg > nseg) {
        istart = iend = Comcrd::kTextLen;
        setcols(cc.comtxt, Comcrd::kTextLen, Comcrd::kTextLen, " ");
        return 0;
    }
    istart = std::clamp(cc.comsp(iseg), 1, Comcrd::kTextLen);
    iend = std::min({cc.comsp(iseg + 1) - 1, cc.comlen, istart + maxw - 1});
    iend = std::min(iend, Comcrd::kTextLen);
    return 1;
}

float dspcvt(char mode, float halflm, float d) {
    // x / d without a division by zero: infinite, or no number for 0 / 0.
    const auto over = [](float x, float y) {
        if (y != 0.0f) return x / y;
        if (x == 0.0f) return std::numeric_limits<float>::quiet_NaN();
        return std::copysign(std::numeric_limits<float>::infinity(), x);
    };
    switch (mode) {
        case 'Q':
            return over(6.28318f, d);
        case 'D':
            return d;
        case 'S': {
            const float x = over(halflm, d);
            return x * x;
        }
        default: {
            const float x = over(halflm, d);
            if (!(std::fabs(x) <= 1.0f)) return 0.0f;
            const auto theta = static_cast<float>(static_cast<double>(57.29578f) *
                                                  std::asin(static_cast<double>(x)));
            return mode == '2' ? 2.0f * theta : theta;
        }
    }
}

void once(CardFormatter& fm) {
    for (int i = 1; i <= 7; ++i) fm.switch_.swdone(i) = 0;
    for (int k = 1; k <= fm.updat2.maxcrd(kTypeRef); ++k) fm.reftrk.refdon(k) = 0;
}

void retdbs() {}

}  // namespace corvane::card
