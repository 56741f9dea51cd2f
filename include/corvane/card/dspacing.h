// The card's d-spacing table: the record's I-card lines turned into rows of
// d text, intensity and Miller indices (block dih), with the decimals each
// d-value needs, merged equal d-values, brackets, markers, unresolved groups
// and centred indices.
#pragma once

#include <corvane/card/formatter.h>

#include <string_view>

namespace corvane::card {

// The marker characters of footnote slots 1 to 9 in the table. None can be
// read as part of a number, so a d text followed by its marker still reads
// back as its own value; 6 to 9 are never handed out and stay blank.
inline constexpr std::string_view dspcds = "*+#SP    ";

// Builds dspd, dspi, dsphkl and ndsp. Returns 0 when the table was built,
// 1 without I cards, 2 without the F card, 3 without the G card (then ndsp
// is -1).
int phdsp(CardFormatter& fm);

// The decimals (1 to 4) d shows at a resolution of 0.0001.
int ndec(float d);

}  // namespace corvane::card
