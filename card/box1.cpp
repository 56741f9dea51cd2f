// Box 1: entry number, quality and deleted marks, formulas and names.
#include <corvane/card/box1.h>
#include <corvane/card/formula.h>
#include <corvane/card/utilities.h>
#include <corvane/setup/text.h>

#include <algorithm>
#include <string>

namespace corvane::card {

namespace {

constexpr int kTypeA = type_of('A');  // structure card: the formula prefix
constexpr int kTypeG = type_of('G');  // pattern card: the quality code

// The quality code (G card column 25) by its position in kQcodes gives the
// mark at that position + 1 of kQmarks; any other code gives the blank.
constexpr std::string_view kQcodes = "OSBIC";
constexpr std::string_view kQmarks = " O* iC";

constexpr int kNameLen = 160;  // the chemical name's work field
constexpr int kFormLen = 90;   // a formula text: 80 columns on its line, 10 on line 1

const std::string kBlankCard(kCardLen, ' ');

// Cards of type t in the record, bounded by the type's slots.
int count(const CardFormatter& fm, int t) {
    return std::clamp(fm.updat2.ncrd(t), 0, fm.updat2.maxcrd(t));
}

// The n-th card of type t, or a blank card when the record has fewer: a
// continuation mark on the last card of a type joins a blank card.
const std::string& card_or_blank(const CardFormatter& fm, int t, int n) {
    return n >= 1 && n <= count(fm, t) ? fm.card(t, n) : kBlankCard;
}

// Entry number from the set number (columns 73-74) and the sequence number
// (columns 75-78): "5- 490", "12-490", "12-". The sequence digits start at
// position 4 whatever the set number's width, without their leading zeros.
std::string entry_number(const std::string& first) {
    std::string num(8, ' ');
    if (col(first, 73) == '0') {
        setcols(num, 1, 2, std::string{col(first, 74), '-'});
    } else {
        setcols(num, 1, 3, cols(first, 73, 74) + "-");
    }
    for (int i = 75; i <= 78; ++i) {
        if (col(first, i) != '0') {
            setcols(num, 4, 8, cols(first, i, 78));
            break;
        }
    }
    return num;
}

// The text of formula card k for phform: columns 1-67, followed by one blank
// and columns 1-67 of the next formula card when column 70 is "C".
std::string formula_input(const CardFormatter& fm, int k) {
    const std::string& crd = card_or_blank(fm, kTypeForm, k);
    std::string in = cols(crd, 1, 67);
    if (col(crd, 70) == 'C') {
        in += ' ';
        in += cols(card_or_blank(fm, kTypeForm, k + 1), 1, 67);
    }
    return in;
}

// Looks a "$" code up; the display length is kept within the 10-character text.
std::string pi_text(CardFormatter& fm, std::string_view code) {
    std::string text(10, ' ');
    int m = 0;
    pitran(fm, code, text, m);
    return text.substr(0, static_cast<std::size_t>(std::clamp(m, 0, 10)));
}

// Primary formula into the 90-character field, after the A card's prefix.
// Returns the status contribution (0 or 1).
int primary_formula(CardFormatter& fm, std::string& field) {
    int status = 0;
    const std::string& first = fm.card(kTypeForm, 1);
    const char index = col(first, 69);
    if (index != ' ' && index != 'X' && index != 'A') {
        fm.say({" Invalid Index Code for Primary Formula  "});
        status = 1;
    }

    // Prefix: the A card's columns 11-16 (or the text of the "$" code they
    // hold) and a hyphen; the formula follows it.
    int s = 1;
    const std::string prefix = cols(card_or_blank(fm, kTypeA, 1), 11, 16);
    const int L = length(prefix);
    if (L > 0) {
        std::string head = prefix[0] == '$' ? pi_text(fm, cols(prefix, 2, 3)) : prefix.substr(0, L);
        head += '-';
        s = static_cast<int>(head.size()) + 1;
        setcols(field, 1, s - 1, head);
    }

    std::string out(static_cast<std::size_t>(kFormLen + 1 - s), ' ');
    int outlen = 0;
    int st = 0;
    phform(fm, formula_input(fm, 1), out, outlen, st);
    setcols(field, s, kFormLen, out);
    if (st != 0) {
        fm.say({" Primary formula not in AIDS format"});
        status = 1;
    }
    return status;
}

// The second formula: the first of formula cards 2 on with index code "S",
// or with a blank index code when the primary's is "X". A card that continues
// the card before it is part of that formula, never a formula of its own.
// Returns the status contribution.
int second_formula(CardFormatter& fm, std::string& field) {
    const int nform = count(fm, kTypeForm);
    const char index1 = col(card_or_blank(fm, kTypeForm, 1), 69);
    for (int k = 2; k <= nform; ++k) {
        if (col(fm.card(kTypeForm, k - 1), 70) == 'C') continue;
        const char index = col(fm.card(kTypeForm, k), 69);
        if (index != 'S' && !(index == ' ' && index1 == 'X')) continue;
        int outlen = 0;
        int st = 0;
        phform(fm, formula_input(fm, k), field, outlen, st);
        return st != 0 ? 1 : 0;
    }
    return 0;
}

// Expands the "$" codes of the chemical name's field up to its length L,
// from the first "$" on each round. Stops at a code the table does not know
// (it and later codes stay), or when the text would pass the field's end.
void expand_codes(CardFormatter& fm, std::string& text, int& L) {
    // A table whose texts hold "$" codes again could expand for ever; a name
    // of 160 characters holds at most 53 codes, so 160 rounds are plenty.
    for (int round = 0; round < kNameLen; ++round) {
        const auto found = text.find('$');
        if (found == std::string::npos) return;
        const int k = static_cast<int>(found) + 1;
        const std::string r = pi_text(fm, cols(text, k + 1, k + 2));
        const int m = static_cast<int>(r.size());
        if (m == 3 && r == cols(text, k, k + 2)) return;
        if (L + m - 3 > kNameLen) return;
        text = padded(cols(text, 1, k - 1) + r + cols(text, k + 3, L), kNameLen);
        L = std::max(0, L + m - 3);
    }
}

// The chemical name (lines 4 and 5) from the first name card with role "P".
// Returns the status contribution.
int chemical_name(CardFormatter& fm, std::string& line4, std::string& line5) {
    const int nname = count(fm, kTypeName);
    int p = 0;
    for (int k = 1; k <= nname && p == 0; ++k) {
        if (col(fm.card(kTypeName, k), 69) == 'P') p = k;
    }
    if (p == 0) return 1;

    const std::string& crd = fm.card(kTypeName, p);
    std::string text = padded(cols(crd, 1, 67), kNameLen);
    int L = length(text);
    if (col(crd, 70) == 'C') {
        // A hyphenated word joins its continuation without a blank.
        const std::string& next = card_or_blank(fm, kTypeName, p + 1);
        const int at = L > 0 && col(text, L) == '-' ? L + 1 : L + 2;
        setcols(text, at, at + 66, cols(next, 1, 67));
        L = length(text);
        if (col(next, 70) == 'C') fm.say({" continuat. card"});
    }
    expand_codes(fm, text, L);

    if (L <= kCardLen) {
        line4 = padded(cols(text, 1, L), kCardLen);
        return 0;
    }
    int e1 = 0;
    int s2 = 0;
    fsplit(text, kCardLen + 1, e1, s2);
    if (e1 == 0 || e1 > kCardLen) {
        // No break point: cut after column 80. A hyphen found in position 81
        // would fall off line 4 and be lost: it starts line 5 instead.
        e1 = kCardLen;
        s2 = kCardLen + 1;
    }
    line4 = padded(cols(text, 1, e1), kCardLen);
    if (s2 > 0) line5 = padded(cols(text, s2, L), kCardLen);
    return 0;
}

// The mineral name (line 6) from the first name card with role "M", without
// markup and with its "$" codes expanded. Returns the status contribution: a
// mineral name marked as continued is an error (the continuation is unused).
int mineral_name(CardFormatter& fm, std::string& line6) {
    const int nname = count(fm, kTypeName);
    for (int k = 1; k <= nname; ++k) {
        const std::string& crd = fm.card(kTypeName, k);
        if (col(crd, 69) != 'M') continue;
        line6 = padded(cols(crd, 1, 67), kCardLen);
        deltsc(line6, 1, kCardLen);
        piexp(fm, line6);
        return col(crd, 70) == 'C' ? 1 : 0;
    }
    return 0;
}

}  // namespace

int phbox1(CardFormatter& fm) {
    int status = 0;
    auto& curlin = fm.curcrd.curlin;
    for (int i = 1; i <= 6; ++i) curlin(i).assign(kCardLen, ' ');
    const std::string& first = card_or_blank(fm, kTypeFirst, 1);
    const bool has_lines = count(fm, kTypeDsp) > 0;

    char mark = ' ';
    const char qcode = col(card_or_blank(fm, kTypeG, 1), 25);
    if (count(fm, kTypeG) > 0) {
        const auto pos = kQcodes.find(qcode);
        mark = kQmarks[pos == std::string_view::npos ? 0 : pos + 1];
    }
    if (mark == ' ' && qcode != 'B' && has_lines) fm.say({" Quality Mark not set "});

    std::string& line1 = curlin(1);
    setcols(line1, 1, 8, entry_number(first));
    setcols(line1, 9, 9, std::string(1, mark));
    setcols(line1, 10, 10, col(first, 72) == 'D' ? "D" : " ");

    std::string field(kFormLen, ' ');
    if (count(fm, kTypeForm) > 0) {
        status = std::max(status, primary_formula(fm, field));
    } else {
        if (has_lines) {
            fm.say({" No chemical formula "});
        } else {
            fm.say({" No Chemical Formula (record keeping) "});
        }
        status = 1;
    }
    curlin(2) = cols(field, 1, 80);
    setcols(line1, 11, 20, cols(field, 81, 90));

    field.assign(kFormLen, ' ');
    status = std::max(status, second_formula(fm, field));
    curlin(3) = cols(field, 1, 80);
    setcols(line1, 21, 30, cols(field, 81, 90));

    status = std::max(status, chemical_name(fm, curlin(4), curlin(5)));
    status = std::max(status, mineral_name(fm, curlin(6)));
    return status;
}

// The first line may end no later than pos. A blank beyond the middle of the
// field wins at once; otherwise the later of the last blank and the last
// hyphen up to pos is used. A hyphen stays on the first line.
void fsplit(std::string_view text, int pos, int& end1, int& start2) {
    end1 = 0;
    start2 = 0;
    const int len = static_cast<int>(text.size());
    if (len == 0) return;
    pos = std::clamp(pos, 0, len);

    auto break_at_blank = [&](int i) {
        if (i == pos) {
            start2 = 0;
            for (int j = pos + 1; j <= len; ++j) {
                if (col(text, j) != ' ') {
                    start2 = j;
                    break;
                }
            }
        } else {
            start2 = i + 1;
        }
        for (int j = i - 1; j >= 1; --j) {
            if (col(text, j) != ' ') {
                end1 = j;
                break;
            }
        }
    };

    int b = 0;
    for (int i = pos; i >= 1; --i) {
        if (col(text, i) != ' ') continue;
        if (i * 100 / len > 50 || len <= 10) {
            break_at_blank(i);
            return;
        }
        b = i;
        break;
    }
    for (int j = pos; j >= 1; --j) {
        if (col(text, j) != '-') continue;
        if (b > j) {
            break_at_blank(b);
        } else {
            end1 = j;
            start2 = j + 1;
        }
        return;
    }
    if (b > 0) break_at_blank(b);
}

}  // namespace corvane::card
