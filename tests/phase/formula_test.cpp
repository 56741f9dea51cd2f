// Element symbols and lists, formulas as the database writes them, and the
// element filters over them.
#include <corvane/phase/elements.h>
#include <corvane/phase/filter.h>
#include <corvane/phase/formula.h>

#include "support/support.h"

namespace {

namespace ph = corvane::phase;

TEST(Elements, SymbolsAndLists) {
    const std::pair<const char*, int> symbols[] = {{"He", 2}, {"Og", 118}, {"D", 1}, {"T", 1},
                                                   {"CO", 0}, {"si", 0},   {"", 0},  {"Ooo", 0}};
    for (const auto& [s, z] : symbols) EXPECT_EQ(ph::element_number(s), z) << s;
    EXPECT_EQ(std::string(ph::element_symbol(26)) + std::string(ph::element_symbol(119)), "Fe");

    // Any case; a repeat counts once; D and T are no elements a user filters by.
    const struct {
        const char* list;
        std::vector<int> out;
        const char* error;
    } lists[] = {
        {"si,o,SI", {14, 8}, ""},
        {"Si,Xx", {}, "'Xx' is not an element"},
        {"Si,,O", {}, "empty element in list 'Si,,O'"},
        {"D", {}, "'D' is not an element"},
    };
    for (const auto& c : lists) {
        std::vector<int> out{99};
        std::string error;
        EXPECT_EQ(ph::parse_element_list(c.list, out, error), *c.error == 0) << c.list;
        EXPECT_EQ(out, c.out) << c.list;
        EXPECT_EQ(error, c.error) << c.list;
    }
    EXPECT_EQ(ph::element_list({14, 8}), "Si,O");
}

TEST(Formula, ElementsAndAmountsOrTheFault) {
    const struct {
        const char* formula;
        std::map<int, double> amounts;  // atomic number -> amount
        bool exact;
    } cases[] = {
        {"Ca C O3", {{20, 1}, {6, 1}, {8, 3}}, true},  // blanks of the card
        {"Co", {{27, 1}}, true},                       // cobalt, not C and O
        {"K3[Fe(CN)6]", {{19, 3}, {26, 1}, {6, 6}, {7, 6}}, true},
        {"Ca0.5Sr0.5TiO3", {{20, 0.5}, {38, 0.5}, {22, 1}, {8, 3}}, true},
        {"CuSO4!5H2O", {{29, 1}, {16, 1}, {8, 9}, {1, 10}}, true},  // the hydrate dot
        {"CaSO4*2H2O", {{20, 1}, {16, 1}, {8, 6}, {1, 4}}, true},
        {"CaSO4\u00B72H2O", {{20, 1}, {16, 1}, {8, 6}, {1, 4}}, true},
        {"Fe+3Cl3", {{26, 1}, {17, 3}}, true},  // a charge after a symbol
        {"SO4-2", {{16, 1}, {8, 4}}, true},
        {"Fe@+@3", {{26, 1}}, true},             // superscript markup: a charge
        {"Fe#2O#3", {{26, 2}, {8, 3}}, true},    // subscript markup
        {"$alAl2O3", {{13, 2}, {8, 3}}, true},   // a symbol code
        {"\\itTiO2?", {{22, 1}, {8, 2}}, true},  // a typeface code, a fault mark
        {"D2O", {{1, 2}, {8, 1}}, true},
        {"YBa2Cu3O7-x", {{39, 1}, {56, 2}, {29, 3}, {8, 7}}, false},  // a variable counts as 0
        {"MnOx", {{25, 1}, {8, 0}}, false},
        {"(Mg,Fe)2SiO4", {{12, 2}, {26, 2}, {14, 1}, {8, 4}}, false},  // a shared site
    };
    for (const auto& c : cases) {
        ph::Composition comp;
        std::string error;
        ASSERT_TRUE(ph::parse_formula(c.formula, comp, error)) << c.formula << ": " << error;
        EXPECT_EQ(comp.exact, c.exact) << c.formula;
        EXPECT_EQ(comp.elements.count(), c.amounts.size()) << c.formula;
        for (const auto& [z, n] : c.amounts) {
            const auto i = std::size_t(z);
            EXPECT_TRUE(comp.elements.test(i) && std::abs(comp.amount[i] - n) < 1e-12)
                << c.formula << " " << z << ": " << comp.amount[i];
        }
    }
    const std::pair<const char*, const char*> faults[] = {
        {"SiJ2", "'J' is not an element"},
        {"fe2O3", "'fe' is not an element"},
        {"Ca(OH2", "unbalanced '('"},
        {"CaOH)2", "unbalanced ')'"},
        {"Ca(OH]2", "unbalanced ']'"},
        {"Si=O", "unexpected character '='"},
        {"#2@+", "no element"},
    };
    for (const auto& [formula, message] : faults) {
        ph::Composition comp;
        comp.elements.set(5);
        std::string error;
        EXPECT_FALSE(ph::parse_formula(formula, comp, error)) << formula;
        EXPECT_EQ(error, message) << formula;
        EXPECT_TRUE(comp.elements.none()) << formula;
    }
}

TEST(ElementFilter, EachStateAndTheirCombination) {
    enum { H = 1, C = 6, O = 8, Mg = 12, Si = 14, Ca = 20, Fe = 26, Ni = 28 };
    const auto filter = [](std::vector<int> all, std::vector<int> any, std::vector<int> none,
                           bool only) {
        return ph::ElementFilter{all, any, none, only};
    };
    const struct {
        ph::ElementFilter f;
        const char* formula;
        bool passes;
    } cases[] = {
        {filter({Si, O}, {}, {}, false), "NaAlSi3O8", true},
        {filter({Si, O}, {}, {}, false), "Al2O3", false},  // mandatory: all of them
        {filter({Si, O}, {}, {}, true), "SiO2", true},
        {filter({Si, O}, {}, {}, true), "NaAlSi3O8", false},  // only: nothing else
        {filter({}, {}, {Fe, Ni}, false), "MgO", true},
        {filter({}, {}, {Fe, Ni}, false), "NiO", false},  // discarded: none of them
        {filter({}, {Mg, Fe, Ca}, {}, false), "CaCO3", true},
        {filter({}, {Mg, Fe, Ca}, {}, false), "Al2O3", false},  // at least one of them
        {filter({O}, {Mg, Fe}, {}, true), "(Mg,Fe)2SiO4", false},
        {filter({O, Si}, {Mg, Fe}, {}, true), "(Mg,Fe)2SiO4", true},
        {filter({H}, {}, {}, false), "D2O", true},
        // A formula that cannot be read vouches for nothing, not even an absence.
        {filter({}, {}, {Fe}, false), "Xq2O", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.f.matches_formula(c.formula), c.passes) << c.formula << " " << c.f.describe();
    }
    EXPECT_FALSE(ph::ElementFilter{}.active());
    EXPECT_EQ(filter({Si, O}, {Mg, Fe, Ca}, {Fe, Ni}, true).describe(),
              "all of Si,O; any of Mg,Fe,Ca; none of Fe,Ni; no others");
    EXPECT_EQ(filter({}, {}, {C}, false).describe(), "none of C");
}

}  // namespace
