// The comment text made printable: concom expands its in-line codes ("$" symbol
// codes, space-group symbols between two "`", formulas between two
// backslashes), divcom cuts it into segments of at most 80 characters at "|"
// marks and blanks, and splong finds a break inside a run without a blank.
#pragma once

#include <corvane/card/formatter.h>

namespace corvane::card {

// Expands the codes of comtxt(1:comlen) in place; returns 0.
int concom(CardFormatter& fm);

// Cuts comtxt(1:comlen) into at most 30 segments: ncomsg and comsp.
void divcom(CardFormatter& fm);

// e: the tentative end of a segment from s that would exceed 80 characters;
// moved to the break chosen inside the run.
void splong(CardFormatter& fm, int s, int& e);

}  // namespace corvane::card
