// Box 3 of the card, the crystal data, and its two small helpers.
#pragma once

#include <corvane/card/formatter.h>

#include <string>
#include <string_view>

namespace corvane::card {

// Renders box 3 (crystal system, space group, cell, axial ratios, Z, melting
// point, the unit-cell reference, densities and figure of merit) on lines 10
// to 14 of curlin. mode is not used; reftxt is the work text of the references
// (the layout passes 165 characters). Returns 0. Left-justifies the cell edges
// and angles of the first type-1 card in place.
int phbox3(CardFormatter& fm, int mode, std::string& reftxt);

// The two significant digits of an error field: err2 (2 characters) = the two
// characters from the first that is not "0", "." or blank; blank when there is
// none. "0.0012" gives "12", "0.02" gives "2 ".
void pherr(std::string_view field, std::string& err2);

// The space-group field: sgout (12 characters) = sgin (8 characters, cut or
// blank-padded) followed by 4 blanks.
void phspg(std::string_view sgin, std::string& sgout);

}  // namespace corvane::card
