// The chemical elements by symbol and atomic number, and lists of symbols as
// a user writes them ("Si,O").
#pragma once

#include <bitset>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::phase {

// Elements 1 (H) to 118 (Og).
inline constexpr int kElements = 118;

// A set of elements: bit z for atomic number z (bit 0 unused).
using ElementSet = std::bitset<kElements + 1>;

// The atomic number of a symbol written as the periodic table writes it ("Si",
// "O"; case counts), 0 when it is no element. D and T, the hydrogen isotopes
// that crystal-structure formulas use, count as hydrogen.
int element_number(std::string_view symbol);

// The symbol of atomic number z, empty outside 1 to 118.
std::string_view element_symbol(int z);

// A comma-separated list of element symbols, each written in any case ("Si,O",
// "si,o"); a repeated symbol counts once. Empty and false, with `error` naming
// the fault ("'Xx' is not an element", "empty element in list 'Si,,O'"),
// when one is no element.
bool parse_element_list(std::string_view list, std::vector<int>& out, std::string& error);

// The symbols of a list joined by commas: {14, 8} gives "Si,O".
std::string element_list(const std::vector<int>& elements);

}  // namespace corvane::phase
