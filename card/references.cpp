// References: the journal look-up, one reference card composed into a line of
// text, and the references of one source gathered with word wrap.
#include <corvane/card/references.h>
#include <corvane/card/utilities.h>
#include <corvane/setup/format.h>
#include <corvane/setup/text.h>

#include <algorithm>
#include <array>
#include <string>

namespace corvane::card {

namespace {

constexpr std::string_view kNotFound = "***misspelled or not in coden file***";
// Journals whose author lists are never shortened.
constexpr std::array<std::string_view, 4> kWholeAuthors = {"00GRNT", "0PCOMC", "JACGAR", "ACCRA9"};

// Writes value at position at (1-based) of a fixed-length field, cut at the
// field's end: the field never grows.
void place(std::string& field, int at, std::string_view value) {
    const int len = static_cast<int>(field.size());
    const int last = std::min(len, at + static_cast<int>(value.size()) - 1);
    if (at < 1 || last < at) return;
    setcols(field, at, last, value);
}

}  // namespace

// Halving search of the journal table over records 1..ncoden, whose keys
// ascend by character code. A record that cannot be read ends the search as
// not found.
int seekx(CardFormatter& fm, std::string_view coden, std::string& jtext) {
    const std::string key = cols(coden, 1, 6);
    int lo = 1;
    int hi = fm.counts.ncoden;
    std::string rec;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        std::string rkey(6, ' ');
        std::string rtext(71, ' ');
        if (!fm.codens.read(mid, rec) ||
            edit::read("(A6,1X,A71)", rec, {&rkey, &rtext}) != edit::kOk) {
            break;
        }
        jtext = rtext;
        const int cmp = key.compare(rkey);  // by character code, as unsigned bytes
        if (cmp > 0) {
            lo = mid + 1;
        } else if (cmp < 0) {
            hi = mid - 1;
        } else {
            return 0;
        }
    }
    jtext = padded(kNotFound, 71);
    return 1;
}

int phref(CardFormatter& fm, int kref, std::string& refout) {
    const int W = static_cast<int>(refout.size());
    const int nref = fm.updat2.ncrd(kTypeRef);
    // A continuation mark on the record's last reference card continues with
    // a blank card, never with the slot of another card type.
    const std::string blank(kCardLen, ' ');
    auto refcard = [&](int k) -> const std::string& {
        return k >= 1 && k <= nref ? fm.card(kTypeRef, k) : blank;
    };
    const std::string& crd = refcard(kref);
    auto append = [&](int& L, std::string_view s) {
        place(refout, L + 1, s);
        L += static_cast<int>(s.size());
    };

    fm.reftrk.refdon(kref) = 1;
    refout = padded(cols(crd, 22, 67), refout.size());  // the author text
    int L = 46;

    if (col(crd, 70) == 'C') {
        const std::string& next = refcard(kref + 1);
        L = length(cols(crd, 22, 67)) + 1;
        append(L, cols(next, 22, 67));
        if (col(next, 70) == 'C') {
            // A third card ends the reference: a mark on it is not followed.
            L = length(refout) + 1;
            append(L, trimmed(cols(refcard(kref + 2), 22, 67)));
            L = std::min(L, W);
        }
    }

    std::string head = cols(refout, 1, 5);
    upper(head, 5);
    if (head == "IBID.") {
        place(refout, L + 1, std::string(static_cast<std::size_t>(std::max(0, W - L)), ' '));
        return 0;
    }

    L = length(refout);
    const std::string journal = cols(crd, 1, 6);
    if (L > 0 &&
        std::find(kWholeAuthors.begin(), kWholeAuthors.end(), journal) == kWholeAuthors.end()) {
        // Up to the third ".," that ends an author's initials; one that ends
        // " Jr." belongs to the same author.
        int seps = 0;
        int f = 0;
        int t = 0;
        for (int i = 1; i <= L - 1 && seps < 3; ++i) {
            if (cols(refout, i, i + 1) != ".,") continue;
            if (i > 3 && cols(refout, i - 3, i) == " Jr.") continue;
            ++seps;
            if (seps == 1) f = i;
            if (seps == 3) t = i;
        }
        if (seps == 3) {
            place(refout, f + 1, " et al.");
            const auto open = cols(refout, t, L).find('(');
            if (open != std::string::npos) {
                // A bracketed remark after the third author is kept.
                const int q = t + static_cast<int>(open);
                if (col(refout, L) == '.') --L;
                const std::string remark = cols(refout, q, L);
                place(refout, f + 8, " ");
                place(refout, f + 9, remark);
                L = f + 8 + (L - q + 1);
            } else if (digit(col(refout, L - 1)) == 1) {
                // A tail ending in a number: keep it from its last ", ".
                int j = 0;
                for (int i = L - 3; i >= 1; --i) {
                    if (cols(refout, i, i + 1) == ", ") {
                        j = i;
                        break;
                    }
                }
                if (j > 0) {
                    if (col(refout, L) == '.') --L;
                    const std::string tail = cols(refout, j, L);
                    place(refout, f + 8, tail);
                    L = f + 7 + (L - j + 1);
                } else {
                    L = f + 7;
                }
            } else {
                L = f + 7;
            }
        }
    }

    // A final period stays after an initial, after a name ", Xy." and after
    // "et al."; any other is dropped.
    if (L > 3 && col(refout, L) == '.') {
        const bool initial = is_upper(col(refout, L - 1)) && !is_upper(col(refout, L - 2));
        const bool short_name = L > 5 && cols(refout, L - 4, L - 3) == ", " &&
                                is_upper(col(refout, L - 2)) && is_lower(col(refout, L - 1)) &&
                                col(refout, L - 5) != '.';
        const bool et_al = L > 5 && cols(refout, L - 5, L) == "et al.";
        if (!initial && !short_name && !et_al) --L;
    }
    if (L > 0) append(L, col(refout, L) == ',' ? " " : ", ");

    std::string jtext(71, ' ');
    seekx(fm, journal, jtext);
    const int n = std::max(length(jtext), 1);
    if (L + n > W) return 3;
    append(L, cols(jtext, 1, n));
    if (col(refout, L) == ',') --L;

    if (L + 5 > W) return 3;
    append(L, ", ");
    const int M = L;

    std::string vol = cols(crd, 7, 10);
    const int nv = left(vol);
    if (nv > 0) {
        if (L + nv + 7 > W) return 3;
        append(L, cols(vol, 1, nv) + " ");
    }
    std::string page = cols(crd, 11, 15);
    const int np = left(page);
    if (np > 0) {
        if (L + np + 1 > W) return 3;
        append(L, cols(page, 1, np) + " ");
    }
    std::string year = cols(crd, 17, 20);
    const int ny = left(year);
    if (ny > 0) {
        if (L + ny + 2 > W) return 3;
        std::string bracketed = "(";
        bracketed += cols(year, 1, ny);
        bracketed += ')';
        append(L, bracketed);
    }
    if (L == M) L -= 2;  // no volume, page or year: no ", " after the journal

    place(refout, L + 1, std::string(static_cast<std::size_t>(std::max(0, W - L)), ' '));
    return 0;
}

// appnd 0 starts an empty text; any other value continues after the text's
// last non-blank character.
void dorefs(CardFormatter& fm, std::string_view refsrc, int appnd, int wrap, int& dropd,
            std::string& reftxt, int& nused) {
    const int W = static_cast<int>(reftxt.size());
    const std::string src = cols(refsrc, 1, 2);
    dropd = 0;
    nused = appnd == 0 ? 0 : length(reftxt);

    for (int k = 1; k <= fm.updat2.ncrd(kTypeRef); ++k) {
        if (k > 1 && col(fm.card(kTypeRef, k - 1), 70) == 'C') continue;  // a continuation
        if (cols(fm.card(kTypeRef, k), 68, 69) != src) continue;
        if (fm.reftrk.refdon(k) != 0) continue;

        std::string work(320, ' ');
        if (phref(fm, k, work) != 0) {
            fm.reftrk.refdon(k) = 0;
            dropd = 1;
            continue;
        }
        int n = length(work);
        std::string ref = cols(work, 1, n);

        if (wrap != 0 && nused <= 77) {
            // Position a of the reference will fall on column 80 of reftxt.
            int a = 80 - nused;
            if (nused > 0) a -= 2;
            const int end = nused + n + (nused > 0 ? 2 : 0);
            if (end > W) {
                fm.reftrk.refdon(k) = 0;
                continue;
            }
            if (end > 80 && col(ref, a) != ' ') {
                if (col(ref, a + 1) == ' ') {
                    // A word ends on column 80: the next one starts on column 81.
                    std::string rest = cols(ref, a + 1, n);
                    const int m = left(rest);
                    ref = cols(ref, 1, a) + rest;
                    n = a + m;
                    ref.resize(static_cast<std::size_t>(n));
                } else {
                    // A word crosses column 80: move it whole to column 81.
                    int j = a;
                    while (j >= 1 && col(ref, j) != ' ') --j;
                    if (j >= 1) {
                        const int s = a - j;
                        if (n + s > W) {
                            fm.reftrk.refdon(k) = 0;
                            continue;
                        }
                        ref = cols(ref, 1, j) + std::string(static_cast<std::size_t>(s), ' ') +
                              cols(ref, j + 1, n);
                        n += s;
                    } else if (nused > 0) {
                        place(reftxt, nused + 1,
                              std::string(static_cast<std::size_t>(std::max(0, 80 - nused)), ' '));
                        nused = 80;
                    }
                }
            }
        }

        if (nused + n > W || (nused > 0 && nused + n + 2 > W)) {
            fm.reftrk.refdon(k) = 0;
            continue;
        }
        if (nused == 79) {
            place(reftxt, 80, ";");
            nused = 80;
        } else if (nused > 0) {
            place(reftxt, nused + 1, "; ");
            nused += 2;
        }
        place(reftxt, nused + 1, cols(ref, 1, n));
        nused += n;
    }
}

}  // namespace corvane::card
