// The entry summaries: what the KRX1 files hold about one entry, handed back
// as separate fields. These are the routines that turn a reader's failure into
// a message line ("cvl_RepKRX1" / "cvRepDI").
#pragma once

#include <corvane/entries/krx1.h>
#include <corvane/setup/library.h>

#include <cstdint>
#include <string>

namespace corvane {

// 0, or -1 index, -2 names, -3 lines, -4 reference, after an error line. The
// name texts stand in reverse order (name1 is the first text of the record);
// every text output holds its whole stored text.
int cvl_repkrx1(Library& lib, std::int32_t entry, std::int32_t& entid, std::int32_t& nd,
                LineValues<std::int32_t>& intensities, LineValues<float>& dspacings,
                std::string& name4, std::string& name3, std::string& name2, std::string& name1,
                std::int32_t& year, std::string& journal, std::string& volume, std::string& page,
                std::string& authors);

// The lines alone, as raw angle codes (sign-extended) with intensities: 0, or
// -1 index, -3 lines.
int cvrepdi(Library& lib, std::int32_t entry, std::int32_t& nd,
            LineValues<std::int32_t>& intensities, LineValues<std::int32_t>& codes);

}  // namespace corvane
