// References: one reference card composed into a line of text (authors,
// journal looked up by its CODEN in codens.tbl, volume, page, year), and all
// references of one source gathered with word wrap at column 80.
#pragma once

#include <corvane/card/formatter.h>

#include <string>
#include <string_view>

namespace corvane::card {

// Journal text (71 characters) of a CODEN; returns 0 found, 1 not found.
int seekx(CardFormatter& fm, std::string_view coden, std::string& jtext);

// Composes reference card kref into refout (its size is W); returns 0, or 3
// when the reference has no room within W.
int phref(CardFormatter& fm, int kref, std::string& refout);

// Appends every reference of source refsrc not yet placed on this card to
// reftxt (its size is W). dropd 1 when one could not be composed; nused the
// characters used.
void dorefs(CardFormatter& fm, std::string_view refsrc, int appnd, int wrap, int& dropd,
            std::string& reftxt, int& nused);

}  // namespace corvane::card
