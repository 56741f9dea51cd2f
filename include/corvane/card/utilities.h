// Text routines shared by the whole card formatter. Texts are fixed-length,
// blank-padded fields whose declared length is the string's size; positions
// are 1-based and no routine reads or writes outside the field.
#pragma once

#include <string>
#include <string_view>

namespace corvane::card {

class CardFormatter;

// Position of the last non-blank character, 0 for an all-blank field.
int length(std::string_view text);

// Upper-cases "a" to "z" among the first n characters.
void upper(std::string& text, int n);

// Left-justifies the field in place. Returns the length from its first
// non-blank character to the end of the field (trailing blanks count), 0 for a
// blank field; a field that starts non-blank is left as it is.
int left(std::string& text);

// 1 for "0" to "9", else 0.
int digit(char c);

// Squeezes out every blank, blank-filling the end. Returns the characters kept.
int cmpres(std::string& text);

// Removes the markup from positions istart..iend in place: a backslash with
// the two characters after it (a typeface code), and every "#", "@" and "|".
// "$" codes stay. Returns the position of the last non-blank character kept,
// at least istart.
int deltsc(std::string& text, int istart, int iend);

// dst(2i-1) = mark and dst(2i) = src(i) for i = 1..n when dst has room for
// 2n characters (the rest of dst untouched); otherwise dst is blanked.
void altrnt(std::string_view src, std::string& dst, char mark, int n);

// Footnote slot of a legend character of "*$12345", or "RESET_ALL" /
// "RESET_COUNTS", from the formatter's footnote table. tag receives 3
// characters.
void trfnch(CardFormatter& fm, std::string_view code, int keep, int& skip, char& digit,
            std::string& tag, int& count);

}  // namespace corvane::card
