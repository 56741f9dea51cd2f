// The four element states of a filter, alone and together.
#include <corvane/phase/filter.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using corvane::phase::ElementFilter;

TEST(ElementFilter, EachStateAndTheirCombination) {
    enum { H = 1, C = 6, O = 8, Mg = 12, Si = 14, Ca = 20, Fe = 26, Ni = 28 };
    const auto filter = [](std::vector<int> all, std::vector<int> any, std::vector<int> none,
                           bool only) {
        return ElementFilter{all, any, none, only};
    };
    const struct {
        ElementFilter f;
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
    EXPECT_FALSE(ElementFilter{}.active());
    EXPECT_EQ(filter({Si, O}, {Mg, Fe, Ca}, {Fe, Ni}, true).describe(),
              "all of Si,O; any of Mg,Fe,Ca; none of Fe,Ni; no others");
    EXPECT_EQ(filter({}, {}, {C}, false).describe(), "none of C");
}

}  // namespace
