// Keeping entries by the elements of their formulas, in the four states of a
// search by elements:
//   all   (mandatory)     every element listed must be in the formula
//   any   (at least one)  at least one of the elements listed must be
//   none  (discarded)     no element listed may be
//   only                  no element but those of `all` and `any` may be
// An entry whose formula is missing or cannot be read holds no element that
// can be vouched for, so it passes no filter.
#pragma once

#include <corvane/hits/tables.h>
#include <corvane/phase/elements.h>
#include <corvane/setup/library.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::phase {

struct ElementFilter {
    std::vector<int> all;  // atomic numbers, in the order given
    std::vector<int> any;
    std::vector<int> none;
    bool only = false;

    // Whether any state is asked for.
    bool active() const { return !all.empty() || !any.empty() || !none.empty() || only; }

    // Whether a formula's elements pass every state asked for.
    bool matches(const ElementSet& elements) const;

    // Whether the formula text (name text 3) can be read and passes.
    bool matches_formula(std::string_view formula) const;

    // What was asked, for a history record: "all of Si,O; no others",
    // "any of Mg,Fe,Ca; none of Fe,Ni". Empty when nothing is.
    std::string describe() const;
};

// The entries of the current table whose formula passes the filter go into
// `hits`, a table over dbsize(1) entries; the others are cleared. The streams
// of kelpa.ind and name.lib must be open. 0, or -1 when an entry's records
// cannot be read (`failed` is then that entry).
int element_search(Library& lib, const ElementFilter& filter, Words hits, std::int32_t& failed);

}  // namespace corvane::phase
