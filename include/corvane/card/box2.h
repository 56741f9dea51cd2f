// Box 2 of the card: the experimental conditions (radiation, wavelength,
// filter, the method that gave the d-spacings, cut-off, intensity method,
// I/Icor) on line 7 of curlin and the powder pattern's reference on lines 8
// and 9.
#pragma once

#include <corvane/card/formatter.h>

#include <string>

namespace corvane::card {

// Renders box 2 from the record's F and G cards and its references. mode is
// not used. reftxt is the work text of the references (its size is its
// declared length; the layout passes 165 characters). Returns 0, or 1 when
// the I/Icor value and its qualifier do not fit their 8 characters.
// Left-justifies F columns 33-37 and 43-47 and G columns 12-15 in place.
int phbox2(CardFormatter& fm, int mode, std::string& reftxt);

}  // namespace corvane::card
