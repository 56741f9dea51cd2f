// Box 2: the experimental conditions and the powder pattern's reference.
#include <corvane/card/box2.h>
#include <corvane/card/references.h>
#include <corvane/card/utilities.h>
#include <corvane/setup/format.h>
#include <corvane/setup/text.h>

#include <algorithm>
#include <string>

namespace corvane::card {

namespace {

constexpr int kTypeF = type_of('F');  // measurement card
constexpr int kTypeG = type_of('G');  // pattern card

constexpr std::string_view kSeeComments =
    "See comments box for primary powder pattern reference.  ";

bool present(const CardFormatter& fm, int t) {
    return fm.updat2.ncrd(t) > 0;
}

// Left-justifies columns first..last of a card in place; returns the length
// from their first non-blank character to column last (0 when blank).
int left_cols(std::string& crd, int first, int last) {
    std::string f = cols(crd, first, last);
    const int n = left(f);
    setcols(crd, first, last, f);
    return n;
}

// A text left-justified in a blank field of width w.
std::string left_in(std::string_view text, std::size_t w) {
    std::string f = padded(text, w);
    left(f);
    return f;
}

// Writes value into field from position at (1-based), cut at the field's end.
void put(std::string& field, int at, std::string_view value) {
    const int last =
        std::min(static_cast<int>(field.size()), at + static_cast<int>(value.size()) - 1);
    if (last >= at) setcols(field, at, last, value);
}

// The filter (12 characters): F columns 23-28 completed by the filter code.
std::string filter(const std::string& f) {
    std::string field = padded(cols(f, 23, 28), 12);
    int n = length(field);
    if (n > 0) ++n;
    switch (col(f, 21)) {
        case 'F':
            if (n == 0) field = padded("Beta", 12);
            break;
        case 'M':
            put(field, n + 1, "Mono.");
            break;
        case 'S':
            put(field, n + 1, "S.S. Det.");
            break;
        default:
            break;
    }
    // A monochromator crystal named in full leaves no room: the word alone.
    if (length(field) > 10 && (field == "Graph Mono. " || field == "Quartz Mono.")) {
        field = padded("Mono.", 12);
    }
    return field;
}

// The camera, the method that gave the d-spacings (12 characters), from the
// camera code and its detail in F columns 43-47.
std::string camera(std::string& f) {
    std::string field(12, ' ');
    switch (col(f, 41)) {
        case 'D':
            field = padded("Diff.", 12);
            break;
        case 'F':
            field = padded("Gandolfi", 12);
            break;
        case 'C':
            field = padded("Calculated", 12);
            break;
        case 'G':
            field = padded("Guinier", 12);
            if (length(cols(f, 43, 47)) > 0) {
                const int d = left_cols(f, 43, 47);
                if (d == 5) {
                    field = "Guin. -";
                    field += cols(f, 43, 47);
                } else {
                    setcols(field, 8, 8, "-");
                    setcols(field, 9, 12, cols(f, 43, 46));
                }
            }
            break;
        case 'S':
            field = padded("D.S.", 12);
            if (length(cols(f, 43, 47)) > 0) {
                setcols(field, 6, 6, "-");
                setcols(field, 7, 12, cols(f, 43, 47));
            }
            break;
        default:
            break;
    }
    return field;
}

std::string intensity_method(char code) {
    switch (code) {
        case 'D':
            return padded("Diffractometer", 14);
        case 'F':
            return padded("Densitometer", 14);
        case 'V':
            return padded("Visual", 14);
        case 'C':
            return padded("Calculated", 14);
        default:
            return std::string(14, ' ');
    }
}

}  // namespace

int phbox2(CardFormatter& fm, int /*mode*/, std::string& reftxt) {
    int status = 0;
    std::string radiation(9, ' ');
    std::string wavelength(8, ' ');
    std::string filt(12, ' ');
    std::string cam(12, ' ');
    std::string cutoff(5, ' ');
    if (present(fm, kTypeF)) {
        std::string& f = fm.card(kTypeF, 1);
        radiation = left_in(cols(f, 1, 5), 9);
        wavelength = left_in(cols(f, 7, 14), 8);
        filt = filter(f);
        cam = camera(f);
        left_cols(f, 33, 37);
        cutoff = cols(f, 33, 37);
    }

    std::string method(14, ' ');
    std::string ricor(8, ' ');
    if (present(fm, kTypeG)) {
        std::string& g = fm.card(kTypeG, 1);
        method = intensity_method(col(g, 1));
        ricor = left_in(cols(g, 5, 10), 8);
        if (length(cols(g, 12, 15)) > 0) {
            // The qualifier follows the value in parentheses, cut at 8.
            left_cols(g, 12, 15);
            const int q = length(cols(g, 12, 15));
            const int v = length(ricor);
            std::string qual = "(";
            qual += cols(g, 12, 11 + q);
            qual += ')';
            put(ricor, v + 1, qual);
            if (v + q + 2 > 8) status = 1;
        }
    }

    edit::write("(A9,A8,A12,A12,A5,A14,A8,12X)", fm.curcrd.curlin(7),
                {radiation, wavelength, filt, cam, cutoff, method, ricor});

    // The pattern's reference: the blank source of this edition (or "CD"),
    // else "KW", else a pointer to the comments box when there are references.
    int r = 0;
    int dropd = 0;
    const std::string dbname = fm.ret3.dbname();
    if (dbname == "KRX2") {
        dorefs(fm, "  ", 0, 1, dropd, reftxt, r);
    } else if (dbname == "CDIF") {
        dorefs(fm, "CD", 0, 1, dropd, reftxt, r);
    }
    if (r == 0) dorefs(fm, "KW", 0, 1, dropd, reftxt, r);
    if (r == 0 && fm.updat2.ncrd(kTypeRef) > 0) {
        put(reftxt, 1, kSeeComments);
        r = static_cast<int>(kSeeComments.size());
    }
    const int w = static_cast<int>(reftxt.size());
    if (r < w) setcols(reftxt, std::max(r, 0) + 1, w, "");
    fm.curcrd.curlin(8) = cols(reftxt, 1, 80);
    fm.curcrd.curlin(9) = cols(reftxt, 81, 160);
    return status;
}

}  // namespace corvane::card
