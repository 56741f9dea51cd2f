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

// cvl_repkrx1's first three steps, the names whole: the index record, the
// name record and the di.lib record, each failure reported with the routine
// name and its status returned.
int summary_head(std::ostream& out, std::string_view routine, Krx1Sources src, std::int32_t entry,
                 std::int32_t& entid, RecordTexts& names, std::int32_t& nd,
                 std::array<unsigned char, kMaxLines * 2>& codes,
                 std::array<unsigned char, kMaxLines>& bytes, IndexRecord& index) {
    if (read_index(src.index, entry, index) != 0) {
        report(out, routine, "readindex for entry ", {entry});
        return -1;
    }
    entid = index.entid;
    if (read_texts(src.names, index.namoff, 4, names) != 0) {
        report(out, routine, "readnamlib for entry ", {entry, entid});
        return -2;
    }
    if (read_lines(src.lines, index.dioff, codes, bytes, nd) != 0) {
        report(out, routine, "readdilib for entry ", {entry, entid});
        return -3;
    }
    return 0;
}

int repkrx1(Library& lib, Krx1Sources src, std::int32_t entry, std::int32_t& entid,
            std::int32_t& nd, LineValues<std::int32_t>& intensities, LineValues<float>& dspacings,
            std::string& name4, std::string& name3, std::string& name2, std::string& name1,
            std::int32_t& year, std::string& journal, std::string& volume, std::string& page,
            std::string& authors) {
    constexpr std::string_view kRoutine = "cvl_RepKRX1";
    IndexRecord index{};
    RecordTexts names;
    std::array<unsigned char, kMaxLines * 2> codes;
    std::array<unsigned char, kMaxLines> bytes;
    const int status =
        summary_head(lib.messages(), kRoutine, src, entry, entid, names, nd, codes, bytes, index);
    if (status == -2 || status == -3) {
        // The names are delivered before the lines are read.
        if (status == -3) {
            name1 = names.text[0];
            name2 = names.text[1];
            name3 = names.text[2];
            name4 = names.text[3];
        }
        return status;
    }
    if (status != 0) return status;
    name1 = names.text[0];
    name2 = names.text[1];
    name3 = names.text[2];
    name4 = names.text[3];
    for (int i = 0; i < nd; ++i) {
        std::int32_t code = 0;
        widen_line(codes, bytes, i, intensities[static_cast<std::size_t>(i)], code);
        // A code that krxtod refuses leaves its slot as the caller had it.
        krxtod(code, dspacings[static_cast<std::size_t>(i)]);
    }
    RecordTexts ref;
    if (read_texts(src.refs, index.refoff, 5, ref) != 0) {
        report(lib.messages(), kRoutine, "readreflib for entry ", {entry, entid});
        return -4;
    }
    year = ref.year_code == 127 ? 0 : 1900 + ref.year_code;  // 127: no year given
    journal = ref.text[0];
    volume = ref.text[1];
    page = ref.text[2];
    authors = ref.text[3];
    return 0;
}

int repdi(Library& lib, Krx1Sources src, std::int32_t entry, std::int32_t& nd,
          LineValues<std::int32_t>& intensities, LineValues<std::int32_t>& codes) {
    constexpr std::string_view kRoutine = "cvRepDI";
    IndexRecord index{};
    if (read_index(src.index, entry, index) != 0) {
        report(lib.messages(), kRoutine, "readindex for entry ", {entry});
        return -1;
    }
    std::array<unsigned char, kMaxLines * 2> code_bytes;
    std::array<unsigned char, kMaxLines> bytes;
    if (read_lines(src.lines, index.dioff, code_bytes, bytes, nd) != 0) {
        report(lib.messages(), kRoutine, "readdilib for entry ", {entry, index.entid});
        return -3;
    }
    for (int i = 0; i < nd; ++i) {
        const auto k = static_cast<std::size_t>(i);
        widen_line(code_bytes, bytes, i, intensities[k], codes[k]);
    }
    return 0;
}

int replist(Library& lib, Krx1Sources src, std::int32_t entry, std::int32_t& entid,
            std::string& name1, std::int32_t& nd, LineValues<std::int32_t>& intensities,
            LineValues<std::int32_t>& codes) {
    IndexRecord index{};
    RecordTexts names;
    std::array<unsigned char, kMaxLines * 2> code_bytes;
    std::array<unsigned char, kMaxLines> bytes;
    const int status = summary_head(lib.messages(), "cvl_RepKRX1", src, entry, entid, names, nd,
                                    code_bytes, bytes, index);
    if (status == -3) name1 = names.text[0];
    if (status != 0) return status;
    name1 = names.text[0];
    // Widened with native conversions (the same values byte2long and
    // short2long give): intensities without sign, codes with.
    for (std::size_t k = 0; k < static_cast<std::size_t>(nd); ++k) {
        intensities[k] = bytes[k];
        codes[k] = big_endian_half(&code_bytes[2 * k]);
    }
    return 0;
}

// The sources of one call over the Library: small buffers, one record each.
struct CallSources {
    explicit CallSources(Library& lib)
        : index(lib.findex, FileWindow::kMinCapacity),
          names(lib.fnamlib, FileWindow::kMinCapacity),
          lines(lib.fdilib, FileWindow::kMinCapacity),
          refs(lib.freflib, FileWindow::kMinCapacity) {}
    FileWindow index, names, lines, refs;
    Krx1Sources sources() { return {index, names, lines, refs}; }
};

}  // namespace

int cvl_repkrx1(Library& lib, std::int32_t entry, std::int32_t& entid, std::int32_t& nd,
                LineValues<std::int32_t>& intensities, LineValues<float>& dspacings,
                std::string& name4, std::string& name3, std::string& name2, std::string& name1,
                std::int32_t& year, std::string& journal, std::string& volume, std::string& page,
                std::string& authors) {
    CallSources src(lib);
    return repkrx1(lib, src.sources(), entry, entid, nd, intensities, dspacings, name4, name3,
                   name2, name1, year, journal, volume, page, authors);
}

int cvl_repkrx1(Krx1Reader& rd, std::int32_t entry, std::int32_t& entid, std::int32_t& nd,
                LineValues<std::int32_t>& intensities, LineValues<float>& dspacings,
                std::string& name4, std::string& name3, std::string& name2, std::string& name1,
                std::int32_t& year, std::string& journal, std::string& volume, std::string& page,
                std::string& authors) {
    return repkrx1(rd.library(), rd.impl().sources(), entry, entid, nd, intensities, dspacings,
                   name4, name3, name2, name1, year, journal, volume, page, authors);
}

int cvrepdi(Library& lib, std::int32_t entry, std::int32_t& nd,
            LineValues<std::int32_t>& intensities, LineValues<std::int32_t>& codes) {
    CallSources src(lib);
    return repdi(lib, src.sources(), entry, nd, intensities, codes);
}

int cvrepdi(Krx1Reader& rd, std::int32_t entry, std::int32_t& nd,
            LineValues<std::int32_t>& intensities, LineValues<std::int32_t>& codes) {
    return repdi(rd.library(), rd.impl().sources(), entry, nd, intensities, codes);
}

int cvl_replist(Library& lib, std::int32_t entry, std::int32_t& entid, std::string& name1,
                std::int32_t& nd, LineValues<std::int32_t>& intensities,
                LineValues<std::int32_t>& codes) {
    CallSources src(lib);
    return replist(lib, src.sources(), entry, entid, name1, nd, intensities, codes);
}

int cvl_replist(Krx1Reader& rd, std::int32_t entry, std::int32_t& entid, std::string& name1,
                std::int32_t& nd, LineValues<std::int32_t>& intensities,
                LineValues<std::int32_t>& codes) {
    return replist(rd.library(), rd.impl().sources(), entry, entid, name1, nd, intensities, codes);
}

}  // namespace corvane
