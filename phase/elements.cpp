#include <corvane/phase/elements.h>

#include <algorithm>
#include <array>

namespace corvane::phase {
namespace {

// Index z holds the symbol of atomic number z.
constexpr std::array<std::string_view, kElements + 1> kSymbols = {
    "",   "H",  "He", "Li", "Be", "B",  "C",  "N",  "O",  "F",  "Ne", "Na", "Mg", "Al", "Si",
    "P",  "S",  "Cl", "Ar", "K",  "Ca", "Sc", "Ti", "V",  "Cr", "Mn", "Fe", "Co", "Ni", "Cu",
    "Zn", "Ga", "Ge", "As", "Se", "Br", "Kr", "Rb", "Sr", "Y",  "Zr", "Nb", "Mo", "Tc", "Ru",
    "Rh", "Pd", "Ag", "Cd", "In", "Sn", "Sb", "Te", "I",  "Xe", "Cs", "Ba", "La", "Ce", "Pr",
    "Nd", "Pm", "Sm", "Eu", "Gd", "Tb", "Dy", "Ho", "Er", "Tm", "Yb", "Lu", "Hf", "Ta", "W",
    "Re", "Os", "Ir", "Pt", "Au", "Hg", "Tl", "Pb", "Bi", "Po", "At", "Rn", "Fr", "Ra", "Ac",
    "Th", "Pa", "U",  "Np", "Pu", "Am", "Cm", "Bk", "Cf", "Es", "Fm", "Md", "No", "Lr", "Rf",
    "Db", "Sg", "Bh", "Hs", "Mt", "Ds", "Rg", "Cn", "Nh", "Fl", "Mc", "Lv", "Ts", "Og"};

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

int element_number(std::string_view symbol) {
    if (symbol == "D" || symbol == "T") return 1;
    if (symbol.empty() || symbol.size() > 2) return 0;
    for (int z = 1; z <= kElements; ++z) {
        if (kSymbols[static_cast<std::size_t>(z)] == symbol) return z;
    }
    return 0;
}

std::string_view element_symbol(int z) {
    return z >= 1 && z <= kElements ? kSymbols[static_cast<std::size_t>(z)] : std::string_view{};
}

bool parse_element_list(std::string_view list, std::vector<int>& out, std::string& error) {
    out.clear();
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = list.find(',', start);
        const std::string_view item = list.substr(
            start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
        if (item.empty()) {
            error.assign("empty element in list '").append(list).append("'");
            out.clear();
            return false;
        }
        // Written in any case: the first letter upper case, the rest lower.
        std::string symbol(item);
        for (std::size_t i = 0; i < symbol.size(); ++i) {
            symbol[i] = i == 0 ? upper(symbol[i]) : lower(symbol[i]);
        }
        const int z = symbol == "D" || symbol == "T" ? 0 : element_number(symbol);
        if (z == 0) {
            error.assign(1, '\'').append(item).append("' is not an element");
            out.clear();
            return false;
        }
        if (std::find(out.begin(), out.end(), z) == out.end()) out.push_back(z);
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return true;
}

std::string element_list(const std::vector<int>& elements) {
    std::string out;
    for (int z : elements) {
        if (!out.empty()) out += ',';
        out += element_symbol(z);
    }
    return out;
}

}  // namespace corvane::phase
