// The card's page: the rendered boxes on the left (columns 1-88), the first 25
// rows of the d-spacing table on the right (columns 89-128), the comments,
// the rows beyond 25 in a continuation table of three columns, and the strong
// lines. Also the small routines only the page uses.
#pragma once

#include <corvane/card/formatter.h>

#include <string>
#include <string_view>

namespace corvane::card {

// Prints the current (parsed) record as a card on the page sink: runs the box
// routines and the d-spacing table, then writes the page line by line. The
// first table column is shown in the mode of cvtsp.spmode ("1" theta, "2"
// 2-theta, "S" sin2 theta, "Q" Q, "D" d); a mode outside those five is shown
// as "D" is, with the d-values as they stand. dspd is put back before the
// return, so the d texts are there for a later reader.
void prtcrd(CardFormatter& fm);

// out (its size is its declared length) = value, blank-padded; when err is
// not all blank, value + "(" + err + ")" with every blank squeezed out.
void adderr(std::string& out, std::string_view value, std::string_view err);

// The two-line form of a marked-up formula (positions 1-80 of text): upper
// and lower become 80-character lines, a "#x" puts x on the lower line, "@" is
// dropped, a "$" code keeps its three characters on the upper line, and the
// formula ends at its first blank. Returns the number of columns used.
int shform(std::string_view text, std::string& upper, std::string& lower);

// The comment cursor: advances iseg and gives the next comment line as the
// range istart..iend of comtxt, at most maxw characters. Returns 1 while a
// segment was given; after the last, 0 with istart = iend = 1760 and that
// position blanked.
int nxtcom(CardFormatter& fm, int maxw, int& iseg, int& istart, int& iend);

// A d-spacing converted to the column mode: "Q" 6.28318 / d, "D" d itself,
// "S" (halflm / d) squared, otherwise theta in degrees from halflm / d (0 when
// that exceeds 1 in size), doubled for "2".
float dspcvt(char mode, float halflm, float d);

// Clears the per-card done flags swdone(1..7) and the printed flags of the
// reference cards.
void once(CardFormatter& fm);

// Does nothing; kept for the callers that name it.
void retdbs();

}  // namespace corvane::card
