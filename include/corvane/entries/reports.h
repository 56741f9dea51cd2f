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
int cvl_repkrx1(Krx1Reader& rd, std::int32_t entry, std::int32_t& entid, std::int32_t& nd,
                LineValues<std::int32_t>& intensities, LineValues<float>& dspacings,
                std::string& name4, std::string& name3, std::string& name2, std::string& name1,
                std::int32_t& year, std::string& journal, std::string& volume, std::string& page,
                std::string& authors);

// The lines alone, as raw angle codes (sign-extended) with intensities: 0, or
// -1 index, -3 lines.
int cvrepdi(Library& lib, std::int32_t entry, std::int32_t& nd,
            LineValues<std::int32_t>& intensities, LineValues<std::int32_t>& codes);
int cvrepdi(Krx1Reader& rd, std::int32_t entry, std::int32_t& nd,
            LineValues<std::int32_t>& intensities, LineValues<std::int32_t>& codes);

// What a listing of hits shows of an entry: cvl_repkrx1's first three steps,
// with its statuses (0, or -1 index, -2 names, -3 lines) and its message lines
// ("cvl_RepKRX1"), but without the reference (ref.lib is not read) and without
// decoding the lines: the identifier, name text 1 (after a -3 too, as
// cvl_repkrx1 delivers it), and the lines as angle codes (sign-extended) with
// intensities, so a caller decodes only the lines it shows.
int cvl_replist(Library& lib, std::int32_t entry, std::int32_t& entid, std::string& name1,
                std::int32_t& nd, LineValues<std::int32_t>& intensities,
                LineValues<std::int32_t>& codes);
int cvl_replist(Krx1Reader& rd, std::int32_t entry, std::int32_t& entid, std::string& name1,
                std::int32_t& nd, LineValues<std::int32_t>& intensities,
                LineValues<std::int32_t>& codes);

}  // namespace corvane
