// The entry summaries: what the KRX1 files hold about one entry, handed back
// as separate fields. These are the routines that turn a reader's failure into
// a message line.
#include <corvane/entries/angles.h>
#include <corvane/entries/byteorder.h>
#include <corvane/entries/reports.h>
#include <corvane/setup/format.h>
#include <corvane/setup/messages.h>
#include <corvane/setup/text.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "entries/krx1io.h"

namespace corvane {
namespace {

// "readindex for entry " and the like, followed by the numbers written
// list-directed (a blank and the digits of each), e.g. "readdilib for entry "
// then " 12 4711". The numbers are kept whole even when they need more than the
// 20 characters of the historical field: two 32-bit numbers need at most 24.
void report(std::ostream& out, std::string_view routine, std::string_view text,
            std::initializer_list<edit::ListItem> numbers) {
    std::string field = edit::listed(numbers);
    if (!field.empty() && field.back() == '\n') field.pop_back();
    std::string message(text);
    message += trimmed(field);
    errmsg(out, routine, message);
}

// Line i of a di.lib record: its intensity byte widened without sign, its
// big-endian code bytes put in host order and widened with sign.
void widen_line(const std::array<unsigned char, kMaxLines * 2>& codes,
                const std::array<unsigned char, kMaxLines>& intensities, int i,
                std::int32_t& intensity, std::int32_t& code) {
    byte2long(intensities[static_cast<std::size_t>(i)], intensity);
    short2long(big_endian_half(&codes[2 * static_cast<std::size_t>(i)]), code);
}

}  // namespace

int cvl_repkrx1(Library& lib, std::int32_t entry, std::int32_t& entid, std::int32_t& nd,
                LineValues<std::int32_t>& intensities, LineValues<float>& dspacings,
                std::string& name4, std::string& name3, std::string& name2, std::string& name1,
                std::int32_t& year, std::string& journal, std::string& volume, std::string& page,
                std::string& authors) {
    constexpr std::string_view kRoutine = "cvl_RepKRX1";
    std::int32_t namoff = 0, dioff = 0, refoff = 0, recoff = 0;
    if (cv_readindex(lib, entry, entid, namoff, dioff, refoff, recoff) != 0) {
        report(lib.messages(), kRoutine, "readindex for entry ", {entry});
        return -1;
    }
    if (cv_readnamlib(lib, namoff, name1, name2, name3, name4) != 0) {
        report(lib.messages(), kRoutine, "readnamlib for entry ", {entry, entid});
        return -2;
    }
    std::array<unsigned char, kMaxLines * 2> codes;
    std::array<unsigned char, kMaxLines> bytes;
    if (cv_readdilib(lib, dioff, codes, bytes, nd) != 0) {
        report(lib.messages(), kRoutine, "readdilib for entry ", {entry, entid});
        return -3;
    }
    for (int i = 0; i < nd; ++i) {
        std::int32_t code = 0;
        widen_line(codes, bytes, i, intensities[static_cast<std::size_t>(i)], code);
        // A code that krxtod refuses leaves its slot as the caller had it.
        krxtod(code, dspacings[static_cast<std::size_t>(i)]);
    }
    if (cv_readreflib(lib, refoff, year, journal, volume, page, authors) != 0) {
        report(lib.messages(), kRoutine, "readreflib for entry ", {entry, entid});
        return -4;
    }
    return 0;
}

int cvrepdi(Library& lib, std::int32_t entry, std::int32_t& nd,
            LineValues<std::int32_t>& intensities, LineValues<std::int32_t>& codes) {
    constexpr std::string_view kRoutine = "cvRepDI";
    std::int32_t entid = 0, namoff = 0, dioff = 0, refoff = 0, recoff = 0;
    if (cv_readindex(lib, entry, entid, namoff, dioff, refoff, recoff) != 0) {
        report(lib.messages(), kRoutine, "readindex for entry ", {entry});
        return -1;
    }
    std::array<unsigned char, kMaxLines * 2> code_bytes;
    std::array<unsigned char, kMaxLines> bytes;
    if (cv_readdilib(lib, dioff, code_bytes, bytes, nd) != 0) {
        report(lib.messages(), kRoutine, "readdilib for entry ", {entry, entid});
        return -3;
    }
    for (int i = 0; i < nd; ++i) {
        const auto k = static_cast<std::size_t>(i);
        widen_line(code_bytes, bytes, i, intensities[k], codes[k]);
    }
    return 0;
}

}  // namespace corvane
