#include <corvane/entries/krx1.h>
#include <corvane/phase/filter.h>
#include <corvane/phase/formula.h>

namespace corvane::phase {

bool ElementFilter::matches(const ElementSet& elements) const {
    const auto has = [&](int z) { return elements.test(static_cast<std::size_t>(z)); };
    for (int z : all) {
        if (!has(z)) return false;
    }
    for (int z : none) {
        if (has(z)) return false;
    }
    if (!any.empty()) {
        bool found = false;
        for (int z : any) found = found || has(z);
        if (!found) return false;
    }
    if (only) {
        ElementSet allowed;
        for (int z : all) allowed.set(static_cast<std::size_t>(z));
        for (int z : any) allowed.set(static_cast<std::size_t>(z));
        if ((elements & ~allowed).any()) return false;
    }
    return true;
}

bool ElementFilter::matches_formula(std::string_view formula) const {
    Composition c;
    std::string error;
    return parse_formula(formula, c, error) && matches(c.elements);
}

std::string ElementFilter::describe() const {
    std::string out;
    const auto part = [&](std::string_view what, const std::vector<int>& list) {
        if (list.empty()) return;
        if (!out.empty()) out += "; ";
        out += what;
        out += element_list(list);
    };
    part("all of ", all);
    part("any of ", any);
    part("none of ", none);
    if (only) out += out.empty() ? "no others" : "; no others";
    return out;
}

int element_search(Library& lib, const ElementFilter& filter, Words hits, std::int32_t& failed) {
    const std::int32_t n = lib.cv_sizes.dbsize(1);
    tblcopy(lib.cv_tables.curtbl, hits, n);
    Krx1Reader reader(lib);
    std::string t1, t2, formula, t4;
    for (std::int32_t k = tblnextbit(hits, 1, n, 1); k > 0;
         k = k < n ? tblnextbit(hits, k + 1, n, 1) : -1) {
        std::int32_t entid = 0, namoff = 0, dioff = 0, refoff = 0, recoff = 0;
        if (cv_readindex(reader, k, entid, namoff, dioff, refoff, recoff) != 0 ||
            cv_readnamlib(reader, namoff, t1, t2, formula, t4) != 0) {
            failed = k;
            return -1;
        }
        if (!filter.matches_formula(formula)) tblbitset(hits, k, n, 0);
    }
    return 0;
}

}  // namespace corvane::phase
