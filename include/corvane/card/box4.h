// Box 4 of the card, the optical data: the three refractive-index values,
// the optical sign and 2V, read from the record's "OP" comment card onto
// line 15 of curlin, with the optical data's reference on lines 16 and 17.
#pragma once

#include <corvane/card/formatter.h>

#include <string>
#include <string_view>

namespace corvane::card {

// Renders box 4. mode is not used; reftxt is the work text of the references
// (the layout passes 165 characters). opcard: 1 when an "OP" comment card was
// found; refprt: 1 when lines 16-17 received a reference or "Ibid.". Returns
// 0, or the status of phopti when that was not 0.
int phbox4(CardFormatter& fm, int mode, std::string& reftxt, int& opcard, int& refprt);

// Reads the comma-separated items "A=", "B=", "Q=", "SIGN=" and "2V=" of an
// optical comment (its columns 1-67) into the fields of optlin (80
// characters): columns 1-10, 11-20, 21-30, 31-33 and 34-45. Returns 0 when
// every item was recognised, 1 when one was not, 2 when a value filled its
// 10 columns exactly; the last of these to occur decides.
int phopti(CardFormatter& fm, std::string_view text, std::string& optlin);

}  // namespace corvane::card
