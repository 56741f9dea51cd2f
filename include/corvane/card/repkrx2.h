// The full-card report: an entry's whole KRX2 record loaded into the
// library's record buffer (Library::cv_krx2rec), optionally printed as a card,
// and its raw cards handed back one at a time.
#pragma once

#include <corvane/card/formatter.h>
#include <corvane/setup/library.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace corvane {

// line 0 loads the record of entry: returns the number of cards loaded (0
// when none could be read), or -1 when the entry's index record cannot be read
// ("readindex for entry N" under "cvl_RepKRX2"; the record loaded before stays).
// When the first 21 characters of ispacg are not all blank (a NUL ends them),
// the record is then printed with the card formatter into the file named by
// outfil; what the formatter reports is not examined here.
// line 1..nlines fetches that card: text = its 80 characters and a NUL (81
// characters), result 81. Any other line (beyond the record, or negative)
// returns 0 and leaves text as it was.
std::int32_t cvl_repkrx2(Library& lib, card::CardFormatter& fm, std::int32_t entry,
                         std::int32_t line, std::string& text, std::string_view ispacg,
                         std::string_view outfil);

}  // namespace corvane
