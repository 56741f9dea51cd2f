// Chemical formulas as the database writes them (name text 3: the formula
// card's tokens with the blanks removed, "CaCO3", "Fe2O3", "Ca(OH)2",
// "CuSO4!5H2O"), read into the elements they hold and their amounts.
//
// What a formula may hold:
//   element symbols   one upper-case letter, or an upper-case and a lower-case
//                     letter that together name an element ("Co" is cobalt,
//                     "CO" carbon and oxygen); D and T count as hydrogen
//   counts            after a symbol or a closing bracket: digits with an
//                     optional decimal part ("O3", "Ca0.5"), a variable x, y, z
//                     or n, or a difference with one ("Fe1-xO", "O7-x")
//   groups            ( ), [ ] and { } with a count after the closing bracket;
//                     a comma inside shares a site ("(Mg,Fe)2SiO4")
//   adducts           "!" (the hydrate dot of the formula notation), "*",
//                     the middle dot, or a "." that is no decimal point, each
//                     followed by an optional multiplier ("CaSO4!2H2O")
//   charges           a sign after a symbol, count or group, with its digits
//                     ("Fe+3", "SO4-2"), or a lone "-"
//   markup            "#" before a subscript and "@" before a superscript
//                     character (a superscript is a charge and is dropped),
//                     "$" with a two-character symbol code, a backslash with a
//                     two-letter typeface code, and "?" (a token the notation
//                     could not convert): all are passed over
#pragma once

#include <corvane/phase/elements.h>

#include <array>
#include <string>
#include <string_view>

namespace corvane::phase {

struct Composition {
    ElementSet elements;                         // every element named
    std::array<double, kElements + 1> amount{};  // atoms per formula unit, by atomic number
    // False when an amount is not fixed by the formula: a variable count (taken
    // as 0 in the amount, so "Fe1-xO" gives Fe 1) or a shared site (each element
    // of "(Mg,Fe)2" is given the whole count).
    bool exact = true;
};

// Reads a formula. False, with `error` saying what is wrong ("'Xq' is not an
// element", "unbalanced ')'", "unexpected character '='", "no element"), when
// it cannot be read; `out` is then empty.
bool parse_formula(std::string_view text, Composition& out, std::string& error);

}  // namespace corvane::phase
