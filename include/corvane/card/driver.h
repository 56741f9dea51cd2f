// The card formatter's entry point: one full KRX2 record turned into a printed
// card in a named file (or on the page sink for the name "-"), for a chosen
// radiation or column mode; and lines, the line-drawing character set.
#pragma once

#include <corvane/card/formatter.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace corvane::card {

// What krx2fmt did. Only kCardWritten means that the card was written whole;
// each other status follows the message that explains it, except
// kWriteFailed and kInternalFault, which the caller reports.
enum Krx2Status : int {
    kCardWritten = 0,
    kBadCode = 1,        // "Error: ISPACG ... is invalid"
    kBadRecord = 2,      // "Error in READBF"
    kNoOutput = 3,       // "unable to open ... for krx2 output"
    kWriteFailed = 4,    // the card could not be written whole
    kInternalFault = 5,  // a fault of the formatter itself; nothing escapes it
};

// Formats the record (its first ncards cards of 80 characters) into the file
// named by outfil (its first 80 characters, up to a NUL, trailing blanks
// dropped; an existing file is replaced; "-" names the page sink). ispacg:
// its first 20 characters are upper-cased in place and select the mode:
//   "CR", "FE", "CO", "MO", "AG", "CU" (first two characters): 2-theta for
//       that radiation;
//   "D", "Q", "S" (first character): d-spacings, Q, or sin2 theta for the
//       copper wavelength 1.54056 (the code names no wavelength, and without
//       one every sin2 theta would print as zero);
//   otherwise a wavelength in Angstrom read from up to 8 characters: 2-theta
//       for it. A wavelength that does not read as a number, or is not
//       greater than zero, is an invalid code.
// On its first call it opens the code tables. Returns a Krx2Status.
int krx2fmt(CardFormatter& fm, std::string_view record, std::int32_t ncards,
            std::string_view outfil, std::string& ispacg);

// Fills lindrw with the 16 line-drawing characters: the PC code page's when
// characters 32-34 of ret3 are "PC ", otherwise "-", "|", "+" and "=".
void lines(CardFormatter& fm);

}  // namespace corvane::card
