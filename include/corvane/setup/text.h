// Fixed-length texts and 1-based card columns.
//
// Texts throughout the library are fixed-length fields: blank-padded, or ended
// by a NUL with characters of no meaning after it. The column helpers are the
// one place where the 1-based inclusive column ranges of the record layouts are
// turned into 0-based string indices.
#pragma once

#include <string>
#include <string_view>

namespace corvane {

// Significant length of a fixed-length text: 0 when it is all blanks or begins
// with a NUL; the number of characters before the first NUL (blanks included)
// when it holds one; otherwise the position of its last non-blank character.
int lench(std::string_view text);

// Moves the text left over its leading blanks and NULs, blank-filling the freed
// positions at the end. m receives the position of the last character of the
// moved text that is neither blank nor NUL, or 1 when there is none.
void press(std::string& text, int& m);

// The significant part of a fixed-length text: its first lench(text) characters.
std::string_view trimmed(std::string_view text);

// Columns first..last (1-based, inclusive) of a text. Columns beyond the end of
// the text read as blanks, so a short line behaves like a blank-padded card.
std::string cols(std::string_view text, int first, int last);

// One column (1-based) of a text; a blank beyond its end.
char col(std::string_view text, int column);

// Puts value into columns first..last of text, cut to the range or padded with
// blanks. The text is blank-extended when it is shorter than last.
void setcols(std::string& text, int first, int last, std::string_view value);

// A text of exactly n characters: value cut or blank-padded.
std::string padded(std::string_view value, std::size_t n);

// The plain letters and digits of the record texts, whatever the C locale says.
constexpr bool is_digit(char c) {
    return c >= '0' && c <= '9';
}
constexpr bool is_upper(char c) {
    return c >= 'A' && c <= 'Z';
}
constexpr bool is_lower(char c) {
    return c >= 'a' && c <= 'z';
}
// The letter in the other case; any other character unchanged.
constexpr char to_upper(char c) {
    return is_lower(c) ? static_cast<char>(c - 'a' + 'A') : c;
}
constexpr char to_lower(char c) {
    return is_upper(c) ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace corvane
