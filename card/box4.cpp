// Box 4: the optical data of the record's "OP" comment card and its reference.
#include <corvane/card/box4.h>
#include <corvane/card/formula.h>
#include <corvane/card/references.h>
#include <corvane/card/utilities.h>
#include <corvane/setup/text.h>

#include <algorithm>
#include <string>

namespace corvane::card {

namespace {

// The item tests in the order the items must come: the three index values,
// the sign, 2V. The state is the position of the first test to try.
constexpr std::string_view kTests = "ABQS2";
constexpr int kSign = 3;
constexpr int k2V = 4;

}  // namespace

int phopti(CardFormatter& fm, std::string_view text, std::string& optlin) {
    optlin.assign(kCardLen, ' ');
    scanin(fm, text.substr(0, static_cast<std::size_t>(length(text))), ",");
    int status = 0;
    std::size_t state = 0;
    std::string tok(20, ' ');
    int t = 0;
    for (;;) {
        scaner(fm, tok, t);
        if (t < 0) break;
        if (t <= 2) {
            status = 1;
            continue;
        }
        upper(tok, 1);
        const auto test = kTests.find(tok[0], state);
        if (test == std::string_view::npos) {
            // Out of order or unknown: the sequence starts again at A.
            state = 0;
            status = 1;
            continue;
        }
        if (test < kSign) {
            // "A=", "B=", "Q=": blanks ignored, a value of up to 10 characters.
            t = cmpres(tok);
            state = test + 1;
            if (tok[1] != '=' || t > 12) {
                status = 1;
            } else {
                const int first = 10 * static_cast<int>(test) + 1;
                setcols(optlin, first, first + 9, cols(tok, 3, t));
                if (t == 12) status = 2;
            }
        } else if (test == kSign) {
            t = cmpres(tok);
            upper(tok, 4);
            state = k2V;
            if (t <= 5 || cols(tok, 1, 5) != "SIGN=" || t > 8) {
                status = 1;
            } else {
                setcols(optlin, 31, 33, cols(tok, 6, t));
            }
        } else {
            // "2V=": the last item; nothing after it is read. Its blanks stay.
            upper(tok, 2);
            if (t <= 3 || cols(tok, 1, 3) != "2V=" || (t > 15 && length(cols(tok, 16, t)) > 0)) {
                return 1;
            }
            setcols(optlin, 34, 45, cols(tok, 4, t));
            const auto dollar = cols(optlin, 34, 45).find('$');
            if (dollar != std::string::npos) {
                // Column p of the line holds character p - 30 of the token.
                const int p = 34 + static_cast<int>(dollar);
                std::string r(10, ' ');
                int m = 0;
                pitran(fm, cols(tok, p - 29, p - 28), r, m);
                std::string rest = r.substr(0, static_cast<std::size_t>(std::clamp(m, 0, 10)));
                rest += cols(tok, p - 27, 20);
                setcols(optlin, p, kCardLen, rest);
            }
            return status;
        }
    }
    return status;
}

int phbox4(CardFormatter& fm, int /*mode*/, std::string& reftxt, int& opcard, int& refprt) {
    int status = 0;
    opcard = 0;
    refprt = 0;
    auto& curlin = fm.curcrd.curlin;
    for (int i = 15; i <= 17; ++i) curlin(i).assign(kCardLen, ' ');
    const int ncom = std::clamp(fm.updat2.ncrd(kTypeComm), 0, fm.updat2.maxcrd(kTypeComm));
    if (ncom == 0) return 0;  // no comments: no optical data, and no "OP" reference

    for (int k = 1; k <= ncom; ++k) {
        const std::string& crd = fm.card(kTypeComm, k);
        if (cols(crd, 68, 69) != "OP") continue;
        std::string optlin(kCardLen, ' ');
        const int st = phopti(fm, cols(crd, 1, 67), optlin);
        if (st != 0) {
            status = st;
            // An item not recognised shows no optical values at all.
            if (st != 2) optlin.assign(kCardLen, ' ');
        }
        curlin(15) = optlin;
        opcard = 1;
        break;
    }

    int r = 0;
    int dropd = 0;
    dorefs(fm, "OP", 0, 1, dropd, reftxt, r);
    if (r <= 0) {
        if (opcard == 1) {
            curlin(16) = padded("Ibid.", kCardLen);
            refprt = 1;
        }
    } else if (cols(reftxt, 1, 5) != "Ibid.") {
        const int w = static_cast<int>(reftxt.size());
        if (r < w) setcols(reftxt, r + 1, w, "");
        curlin(16) = cols(reftxt, 1, 80);
        curlin(17) = cols(reftxt, 81, 160);
        refprt = 1;
    }
    return status;
}

}  // namespace corvane::card
