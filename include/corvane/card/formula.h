// Formula notation and "$" symbol codes: phform turns a formula written as
// blank-separated tokens into the card's markup ("#" before a subscript, "@"
// before a superscript, "?" after a bad token); pitran looks one "$" code up,
// piexp expands every code of a text; scanin and scaner are the token scanner.
#pragma once

#include <corvane/card/formatter.h>

#include <string>
#include <string_view>

namespace corvane::card {

// Converts a formula into markup in out (its size is the room). outlen:
// characters written, 0 unless all tokens fitted. status 0 valid, 1 out too
// short, 2 a token broke the notation (2 wins over 1).
void phform(CardFormatter& fm, std::string_view in, std::string& out, int& outlen, int& status);

// text: 10 characters; tlen its display length. A code not in the table gives
// "$" and the code, length 3.
void pitran(CardFormatter& fm, std::string_view code, std::string& text, int& tlen);

// Expands every "$" code of text in place; returns the expanded length.
int piexp(CardFormatter& fm, std::string& text);

// Starts the scanner on text with the given delimiters.
void scanin(CardFormatter& fm, std::string_view text, std::string_view delims);

// The next token: its size is its declared length. toklen -1 when the text is
// exhausted, otherwise the token's full length.
void scaner(CardFormatter& fm, std::string& token, int& toklen);

}  // namespace corvane::card
