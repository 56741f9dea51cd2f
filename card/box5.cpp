// Box 5 of the card, the comments: the record's comment cards by category and
// the sentences derived from its other cards, appended in a fixed order to
// comtxt, then expanded and cut into segments.
#include <corvane/card/box3.h>
#include <corvane/card/box5.h>
#include <corvane/card/formula.h>
#include <corvane/card/references.h>
#include <corvane/card/segments.h>
#include <corvane/card/utilities.h>
#include <corvane/setup/format.h>
#include <corvane/setup/text.h>

#include <algorithm>
#include <array>
#include <initializer_list>
#include <string>

namespace corvane::card {

namespace {

constexpr int kTypeSG = type_of('3');    // space group, Z, densities
constexpr int kTypeSG2 = type_of('4');   // space-group addition, weight, volume
constexpr int kTypeMisc = type_of('5');  // mineral groups, CAS number
constexpr int kTypeA = type_of('A');     // Pearson symbol, structure type
constexpr int kTypeE = type_of('E');     // crystal-data cell
constexpr int kTypeF = type_of('F');     // wavelength, standards
constexpr int kTypeG = type_of('G');     // intensities, R-factor

constexpr int kMaxComments = 20;  // B cards a record holds

// Comment categories by their position: the first ncomty are in use.
constexpr std::array<std::string_view, 30> kCmcode = {
    "CL", "OO", "SM", "PR", "AN", "  ", "AT", "TH", "FF", "SC", "PM", "ST", "HK", "AD", "LN",
    "MP", "OP", "UC", "FN", "PD", "DB", "TM", "  ", "  ", "  ", "  ", "  ", "  ", "  ", "  "};

// Sources of the additional-reference sentences: code, name, and whether the
// sentence starts with "Additional ". Row 0 stands for any code not listed.
struct RefSource {
    std::string_view code, name;
    bool additional;
};
constexpr std::array<RefSource, 13> kRefSources = {{
    {"", "INVALID", false},
    {"OP", "optical data", true},
    {"PD", "powder pattern", true},
    {"UC", "unit cell", true},
    {"ST", "Structure", false},
    {"PM", "Polymorphism", false},
    {"AD", "powder pattern", true},
    {"AN", "Analysis", false},
    {"  ", "Primary pattern", false},
    {"PR", "Preparation", false},
    {"SM", "Sample source", false},
    {"TM", "Temperature", false},
    {"TH", "Thermal parameter", false},
}};
constexpr std::string_view kRfword = " references";  // its first 10: the singular

// The first card of type t, or nullptr when the record has none.
std::string* first(CardFormatter& fm, int t) {
    return fm.updat2.ncrd(t) > 0 ? &fm.card(t, 1) : nullptr;
}

// The B cards of the record, at most the 20 slots hold.
int ncomments(const CardFormatter& fm) {
    return std::clamp(fm.updat2.ncrd(kTypeComm), 0, kMaxComments);
}

bool blank(std::string_view s) {
    return length(s) == 0;
}

// s without its trailing blanks.
std::string trim(std::string_view s) {
    return std::string(s.substr(0, static_cast<std::size_t>(length(s))));
}

// A field left-justified, without its trailing blanks.
std::string value(std::string_view field) {
    std::string v(field);
    left(v);
    return trim(v);
}

// The pieces one after another (appended, never "literal" + std::string).
std::string join(std::initializer_list<std::string_view> pieces) {
    std::string out;
    for (const std::string_view p : pieces) out += p;
    return out;
}

void append(CardFormatter& fm, std::string_view text) {
    concat(fm, text, static_cast<int>(text.size()));
}

// One card of a comment: its text up to the last non-blank and a blank, and a
// second blank after a final ".".
void add_comment_card(CardFormatter& fm, std::string_view text) {
    std::string piece = trim(text);
    piece += ' ';
    if (piece.size() > 1 && piece[piece.size() - 2] == '.') piece += ' ';
    append(fm, piece);
}

// The category index: per category the count and the first card, per card the
// next card of its category. A card that continues the one before it ("C" in
// column 70) is no comment of its own.
void index_comments(CardFormatter& fm) {
    Comcrd& cc = fm.comcrd;
    const int ncomty = std::clamp(cc.ncomty, 0, static_cast<int>(kCmcode.size()));
    cc.comcnt.fill(0);
    cc.comfst.fill(0);
    cc.comnxt.fill(0);
    const int nb = ncomments(fm);
    for (int n = 1; n <= nb; ++n) {
        if (n > 1 && col(fm.card(kTypeComm, n - 1), 70) == 'C') continue;
        const std::string code = cols(fm.card(kTypeComm, n), 68, 69);
        int k = 0;
        for (int i = 1; i <= ncomty && k == 0; ++i) {
            if (kCmcode[static_cast<std::size_t>(i - 1)] == code) k = i;
        }
        if (k == 0) continue;
        ++cc.comcnt(k);
        if (cc.comfst(k) == 0) {
            cc.comfst(k) = n;
        } else {
            int j = cc.comfst(k);
            while (cc.comnxt(j) != 0) j = cc.comnxt(j);
            cc.comnxt(j) = n;
        }
    }
}

// The first comment card of category k, or 0 when k is no category in use or
// has no comment.
int head(const CardFormatter& fm, int k) {
    const Comcrd& cc = fm.comcrd;
    if (k < 1 || k > std::min(cc.ncomty, 30)) return 0;
    return cc.comcnt(k) == 0 ? 0 : cc.comfst(k);
}

std::string groups_sentence(CardFormatter& fm) {
    std::string run;
    const int ng = std::clamp(fm.grpnum.ngroup, 0, 7);
    for (int g = 1; g <= ng; ++g) {
        const std::string& name = fm.mingrp.grpnam(g);
        // A group the table does not hold has no name: it is left out.
        if (blank(name)) continue;
        run += trim(name);
        run += " group";
        if (!blank(fm.mingrp.sgrnam(g))) {
            run += ", ";
            run += trim(fm.mingrp.sgrnam(g));
            run += " subgroup";
        }
        run += ".  ";
    }
    return run;
}

// Other names: name cards after the first marked "C" in column 69, each with
// the cards that continue it.
void other_names(CardFormatter& fm) {
    const int nn = std::clamp(fm.updat2.ncrd(kTypeName), 0, fm.updat2.maxcrd(kTypeName));
    for (int n = 2; n <= nn; ++n) {
        if (col(fm.card(kTypeName, n), 69) != 'C') continue;
        std::string s = "Also called: ";
        s += trim(cols(fm.card(kTypeName, n), 1, 67));
        for (int j = n; j < nn && col(fm.card(kTypeName, j), 70) == 'C'; ++j) {
            s += ' ';
            s += trim(cols(fm.card(kTypeName, j + 1), 1, 67));
        }
        s += ".  ";
        append(fm, s);
    }
}

// Standards named in F columns 50-55, and how they were used (column 57).
void standards(CardFormatter& fm, const std::string& f) {
    const char use = col(f, 57);
    if (use != 'I' && use != 'E') return;  // no other use has a sentence
    if (blank(cols(f, 50, 55))) {
        append(fm, use == 'I' ? "Internal standard used.  " : "External standard used.  ");
        return;
    }
    std::string buf;
    int blen = 0;
    int nstd = 0;
    phstd(fm, buf, cols(f, 50, 55), blen, nstd);
    std::string s = cols(buf, 1, blen);
    s += use == 'I' ? " used as internal standard" : " used as external standard";
    if (nstd > 1) s += 's';
    s += ".  ";
    append(fm, s);
}

void pearson(CardFormatter& fm, std::string& a) {
    if (blank(cols(a, 1, 9)) || col(a, 2) == '?' || cols(a, 3, 9) == "9999.99") return;
    std::string sym = cols(a, 1, 9);
    int n = cmpres(sym);
    setcols(a, 1, 9, sym);
    if (n > 3 && cols(sym, n - 2, n) == ".00") n -= 3;
    const std::string symbol = cols(sym, 1, n);
    std::string s;
    if (col(a, 10) == ' ') {
        s = "PSC: ";
        s += symbol;
        s += ".  ";
    } else if (col(a, 10) == 'E') {
        s = "PSC: [";
        s += symbol;
        s += "].  ";
    } else {
        return;
    }
    append(fm, s);
}

}  // namespace

void concat(CardFormatter& fm, std::string_view text, int n) {
    Comcrd& cc = fm.comcrd;
    n = std::clamp(n, 0, static_cast<int>(text.size()));
    if (n == 0 || cc.comlen < 0 || cc.comlen + n > Comcrd::kTextLen) return;
    setcols(cc.comtxt, cc.comlen + 1, cc.comlen + n, text.substr(0, static_cast<std::size_t>(n)));
    cc.comlen += n;
}

// A comment runs over the cards after its first while their column 70 is not
// blank: 20 cards at most, never past the last B card.
int addall(CardFormatter& fm, int k) {
    const int nb = ncomments(fm);
    int j = head(fm, k);
    if (j == 0) return 1;
    for (; j != 0; j = fm.comcrd.comnxt(j)) {
        for (int c = j; c <= std::min(j + 19, nb); ++c) {
            add_comment_card(fm, cols(fm.card(kTypeComm, c), 1, 67));
            if (col(fm.card(kTypeComm, c), 70) == ' ') break;
        }
    }
    return 0;
}

// Each footnote comment: its mark (the footnote slot's tag for the legend
// character in column 1), its text from column 2 (3 when 2 is blank), the
// cards that continue it up to the last B card, and a "|".
int addfn(CardFormatter& fm, int k) {
    const int nb = ncomments(fm);
    int j = head(fm, k);
    if (j == 0) return 1;
    append(fm, "|");
    for (; j != 0; j = fm.comcrd.comnxt(j)) {
        const std::string& crd = fm.card(kTypeComm, j);
        int skip = 0;
        char dig = ' ';
        std::string tag(3, ' ');
        int count = 0;
        trfnch(fm, cols(crd, 1, 1), 1, skip, dig, tag, count);
        const int start = col(crd, 2) == ' ' ? 3 : 2;
        std::string piece = skip != 0 ? std::string() : trim(tag);
        piece += trim(cols(crd, start, 67));
        piece += ' ';
        append(fm, piece);
        for (int c = j; c < nb && col(fm.card(kTypeComm, c), 70) != ' '; ++c) {
            append(fm, join({trim(cols(fm.card(kTypeComm, c + 1), 1, 67)), " "}));
        }
        append(fm, "|");
    }
    return 0;
}

int addref(CardFormatter& fm) {
    const int nref = std::clamp(fm.updat2.ncrd(kTypeRef), 0, fm.reftrk.refdon.size());
    for (int n = 1; n <= nref; ++n) {
        if (n > 1 && col(fm.card(kTypeRef, n - 1), 70) == 'C') continue;
        if (fm.reftrk.refdon(n) != 0) continue;
        const std::string& crd = fm.card(kTypeRef, n);
        const std::string src = cols(crd, 68, 69);
        if (src == "CO") continue;
        std::string ibid = cols(crd, 22, 26);
        upper(ibid, 5);
        if (ibid == "IBID.") continue;

        std::string text(500, ' ');
        int dropd = 0;
        int r = 0;
        dorefs(fm, src, 0, 0, dropd, text, r);
        if (dropd != 0 || r <= 0) continue;
        std::size_t row = 0;
        for (std::size_t i = 1; i < kRefSources.size() && row == 0; ++i) {
            if (kRefSources[i].code == src) row = i;
        }
        const RefSource& rs = kRefSources[row];
        const std::string collected = cols(text, 1, r);
        std::string s = rs.additional ? "Additional " : "";
        s += rs.name;
        s += collected.find(';') != std::string::npos ? kRfword : kRfword.substr(0, 10);
        s += ": ";
        s += collected;
        s += ".  ";
        append(fm, s);
    }
    return 0;
}

// Group items ("m" and a code) are looked up among the group lines of
// mineral.tbl; a subgroup item ("s") among the member lines that follow the
// line of the group just found.
int minsub(CardFormatter& fm) {
    int status = 0;
    fm.grpnum.ngroup = 0;
    const std::string* c5 = first(fm, kTypeMisc);
    if (c5 == nullptr) return 0;
    bool found = false;    // the last group item was found
    bool sub_done = true;  // and its subgroup was already looked for
    int members = 0;       // member lines after its group line
    for (int item = 0; item < 7; ++item) {
        const std::string it = cols(*c5, 25 + 4 * item, 28 + 4 * item);
        const std::string code = it.substr(1, 3);
        if (it[0] == 'm') {
            const int g = ++fm.grpnum.ngroup;
            fm.mingrp.grpnam(g) = std::string(20, ' ');
            fm.mingrp.sgrnam(g) = std::string(20, ' ');
            found = false;
            fm.mineral.rewind();
            std::string rec;
            while (!found && fm.mineral.next(rec)) {
                std::string gcode(3, ' ');
                std::string gname(20, ' ');
                std::int32_t count = 0;
                if (edit::read("(A3,3X,A20,1X,I2)", rec, {&gcode, &gname, &count}) != edit::kOk) {
                    // A line whose count is no number: its code and name still count.
                    count = 0;
                    if (edit::read("(A3,3X,A20)", rec, {&gcode, &gname}) != edit::kOk) continue;
                }
                if (gcode != code) continue;
                fm.mingrp.grpnam(g) = gname;
                members = count;
                found = true;
            }
            sub_done = false;
            if (!found) status = 1;
        } else if (it[0] == 's') {
            if (fm.grpnum.ngroup == 0 || !found || sub_done) {
                status = 1;
                continue;
            }
            sub_done = true;
            bool hit = false;
            std::string rec;
            for (int m = 1; m <= members && !hit && fm.mineral.next(rec); ++m) {
                std::string mcode(3, ' ');
                std::string mname(20, ' ');
                if (edit::read("(3X,A3,3X,A20)", rec, {&mcode, &mname}) != edit::kOk) continue;
                if (mcode != code) continue;
                fm.mingrp.sgrnam(fm.grpnum.ngroup) = mname;
                hit = true;
            }
            if (!hit) status = 1;
        }
    }
    return status;
}

int phcd(CardFormatter& fm, std::string& buf, int& blen) {
    const std::string e = fm.updat2.ncrd(kTypeE) > 0 ? fm.card(kTypeE, 1) : std::string(80, ' ');
    const std::string* c1 = first(fm, kTypeFirst);
    const char sys = c1 == nullptr ? ' ' : col(*c1, 79);
    const bool amo = sys == 'A' || sys == 'M' || sys == 'O';
    // A value left-justified and taken with the length left gives it.
    const auto v = [&](int a, int b) {
        std::string f = cols(e, a, b);
        const int n = left(f);
        return f.substr(0, static_cast<std::size_t>(n));
    };
    std::string s = "C.D. Cell: a=";
    s += v(1, 8);
    if (amo) s += join({", b=", v(9, 16)});
    if (sys != 'C') s += join({", c=", v(17, 24)});
    const std::array<std::pair<std::string_view, int>, 3> angles = {
        {{", $GA=", 25}, {", $GB=", 32}, {", $GG=", 39}}};
    for (const auto& [label, at] : angles) {
        if (sys == 'A' || (sys == 'M' && cols(e, at, at + 6) != "  90.00")) {
            s += label;
            s += v(at, at + 6);
        }
    }
    if (sys != 'C') {
        s += (sys == 'T' || sys == 'H' || sys == 'R') ? ", c/a=" : ", a/b=";
        s += v(46, 54);
    }
    if (amo) s += join({", c/b=", v(55, 62)});
    if (const std::string* c4 = first(fm, kTypeSG2)) {
        const std::string* c3 = first(fm, kTypeSG);
        const std::string sg4 = cols(*c4, 1, 8);
        if (!blank(sg4) && sg4 != (c3 == nullptr ? std::string(8, ' ') : cols(*c3, 1, 8))) {
            std::string sg;
            phspg(sg4, sg);
            s += ", S.G.=";
            s += trim(sg);
            if (col(*c4, 11) != '*' && !blank(cols(*c4, 12, 14))) {
                s += " (";
                s += value(cols(*c4, 12, 14));
                s += ')';
            }
        }
    }
    s += '.';
    buf = padded(s, 200);
    blen = length(buf);
    return 0;
}

// Each blank-separated code is named by its stdcodes.tbl text (the first one
// capitalised), or stands as it is when the table lacks it.
void phstd(CardFormatter& fm, std::string& buf, std::string_view codes, int& blen, int& nstd) {
    std::string out;
    nstd = 0;
    scanin(fm, cols(codes, 1, 6), " ");
    for (;;) {
        std::string token(6, ' ');
        int toklen = 0;
        scaner(fm, token, toklen);
        if (toklen < 0) break;
        if (++nstd > 1) out += ", ";
        fm.stdcodes.rewind();
        std::string rec;
        bool hit = false;
        while (!hit && fm.stdcodes.next(rec)) {
            std::string code(6, ' ');
            std::string text(73, ' ');
            if (edit::read("(a6,1x,a)", rec, {&code, &text}) != edit::kOk || code != token) {
                continue;
            }
            std::string name = trim(text);
            if (nstd == 1) upper(name, 1);
            out += name;
            hit = true;
        }
        if (!hit) out += trim(token);
    }
    buf = padded(out, 200);
    blen = length(buf);
}

int phbox5(CardFormatter& fm) {
    Comcrd& cc = fm.comcrd;
    cc.comlen = 0;
    index_comments(fm);
    const std::string* g = first(fm, kTypeG);
    std::string* c5 = first(fm, kTypeMisc);
    std::string* a = first(fm, kTypeA);

    if (head(fm, 1) != 0) {
        append(fm, "Color: ");
        addall(fm, 1);
        append(fm, "|");
    }
    if (g != nullptr && col(*g, 3) == 'P') append(fm, "Peak height intensities.  ");
    if (g != nullptr && col(*g, 3) == 'I') append(fm, "Integrated intensities.  ");
    for (const int k : {2, 22, 20, 3}) addall(fm, k);
    if (c5 != nullptr && !blank(cols(*c5, 54, 64))) {
        append(fm, join({"CAS $NO: ", value(cols(*c5, 54, 64)), ".  "}));
    }
    for (const int k : {4, 5, 6, 18}) addall(fm, k);
    if (g != nullptr && !blank(cols(*g, 28, 32))) {
        std::string& gcard = fm.card(kTypeG, 1);
        std::string rf = cols(gcard, 28, 32);
        left(rf);
        setcols(gcard, 28, 32, rf);
        std::string s = col(gcard, 1) == 'C' ? "R-factor: " : "$GS(I#o#b#s)=$PM";
        s += trim(rf);
        s += ".  ";
        append(fm, s);
    }
    for (const int k : {7, 8, 9, 10, 11, 12}) addall(fm, k);
    if (a != nullptr && !blank(cols(*a, 18, 67))) {
        std::string st = trim(cols(*a, 18, 67));
        if (st.back() == '.') st.pop_back();
        st += " type.  ";
        append(fm, st);
    }
    if (c5 != nullptr && col(*c5, 3) == 'M') {
        minsub(fm);
        append(fm, groups_sentence(fm));
    }
    other_names(fm);
    if (fm.cdeqpd.flag == 0 && fm.updat2.ncrd(kTypeE) > 0) {
        std::string buf;
        int blen = 0;
        phcd(fm, buf, blen);
        append(fm, join({cols(buf, 1, blen), "  "}));
    }
    addfn(fm, 13);
    addfn(fm, 19);
    if (const std::string* f = first(fm, kTypeF); f != nullptr && col(*f, 57) != ' ') {
        standards(fm, *f);
    }
    if (const std::string* c1 = first(fm, kTypeFirst)) {
        switch (col(*c1, 67)) {
            case 'S':
                append(fm, "Single-crystal data used.  ");
                break;
            case 'R':
                append(fm, "Unit cell data determined by Rietveld or profile fit analysis.  ");
                break;
            case 'E':
                append(fm, "Unit cell data determined by electron diffraction.  ");
                break;
            default:
                break;
        }
    }
    if (a != nullptr) pearson(fm, *a);
    if (g != nullptr && col(*g, 26) == 'G') {
        append(fm, "See original KRX Card for Graphical diffractometer trace.  ");
    }
    for (const int k : {14, 21, 15}) addall(fm, k);
    addref(fm);
    if (const std::string* c4 = first(fm, kTypeSG2)) {
        if (!blank(cols(*c4, 51, 58)) && col(*c4, 59) != 'G') {
            append(fm, join({"Mwt: ", value(cols(*c4, 51, 58)), ".  "}));
        }
        const std::string vol = cols(*c4, 61, 69);
        if (!blank(vol) && vol != "     0.00") {
            append(fm, join({"Volume[CD]: ", value(vol), ".  "}));
        }
    }
    concom(fm);
    if (cc.comlen == 0) {
        cc.ncomsg = 0;
    } else {
        divcom(fm);
    }
    return 0;
}

}  // namespace corvane::card
