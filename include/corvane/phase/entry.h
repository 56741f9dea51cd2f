// What the phase tools show of an entry: its identifier, names and formula,
// and its lines as d-spacings.
#pragma once

#include <corvane/entries/krx1.h>

#include <cstdint>
#include <string>
#include <vector>

namespace corvane::phase {

struct EntryInfo {
    std::int32_t entry = 0;
    std::int32_t entid = 0;
    std::string name;     // name text 1, the chemical name
    std::string mineral;  // name text 2
    std::string formula;  // name text 3
};

struct Line {
    double d = 0.0;
    int intensity = 0;
};

// The entry's identifier and names (index and name.lib). 0, or -1 when a
// record cannot be read.
int read_entry_info(Krx1Reader& rd, std::int32_t entry, EntryInfo& out);

// The same and the entry's lines in stored order, those whose angle code
// has no d-spacing left out (di.lib too). 0, or -1.
int read_entry_lines(Krx1Reader& rd, std::int32_t entry, EntryInfo& info, std::vector<Line>& lines);

}  // namespace corvane::phase
