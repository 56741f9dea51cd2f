// Box 1 of the card: the entry number, quality and deleted marks, the primary
// and second formulas, the chemical name and the mineral name, written to
// lines 1 to 6 of curlin; and fsplit, the line break of a long name.
#pragma once

#include <corvane/card/formatter.h>

#include <string_view>

namespace corvane::card {

// Renders box 1 from the current record. Returns 0 when the box is complete
// and valid, 1 when a formula, name or mineral-name rule failed; the box is
// rendered in both cases.
int phbox1(CardFormatter& fm);

// Where to break text (its size is its declared length) into two lines, the
// first ending no later than position pos. end1: last character of the first
// line; start2: first character of the second; 0 for none (no break point).
void fsplit(std::string_view text, int pos, int& end1, int& start2);

}  // namespace corvane::card
