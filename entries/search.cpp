// The text search of one entry's name and reference texts.
//
// The caller takes the entry's name.lib and ref.lib offsets from its index
// record and passes six selector flags: name text 4, name text 1, name text 3,
// name text 2, the author list and the journal code. The reference volume and
// page are read but never searched. Every text lands in a 256-byte working
// field, room for any stored length, so long journal codes, volumes and pages
// are read and searched whole.
#include <corvane/entries/search.h>
#include <corvane/setup/text.h>

#include <array>
#include <cstdint>
#include <string>
#include <utility>

#include "entries/krx1io.h"

namespace corvane {
namespace {

bool occurs(std::string_view field, std::string_view needle) {
    return strcasestr(field, needle) != std::string_view::npos;
}

}  // namespace

std::size_t strcasestr(std::string_view text, std::string_view needle) {
    const std::size_t n = needle.size();
    if (n == 0) return text.size();  // an empty needle is found at the text's end
    if (n > text.size()) return std::string_view::npos;
    for (std::size_t pos = 0; pos + n <= text.size(); ++pos) {
        std::size_t i = 0;
        while (i < n && to_lower(text[pos + i]) == to_lower(needle[i])) ++i;
        if (i == n) return pos;
    }
    return std::string_view::npos;
}

int cv_srchlibs(Library& lib, std::int32_t& namoff, std::int32_t& refoff,
                std::span<const std::string> strings, std::int32_t count,
                const SearchFlags& flags) {
    const bool names = flags[kSearchName4] != 0 || flags[kSearchName1] != 0 ||
                       flags[kSearchName3] != 0 || flags[kSearchName2] != 0;
    const bool refs = flags[kSearchAuthors] != 0 || flags[kSearchJournal] != 0;
    if (names && !seek_to(lib.fnamlib, namoff)) return -1;
    if (refs && !seek_to(lib.freflib, refoff)) return -1;

    std::array<unsigned char, 5> name_header{};
    std::array<unsigned char, 5> ref_header{};
    // A header or text cut off by the end of its file makes the record
    // unreadable; its missing lengths and characters are never used.
    if (names && !read_header(lib.fnamlib, namoff, 4, name_header)) return -1;
    if (refs && !read_header(lib.freflib, refoff, 5, ref_header)) return -1;

    // Never more strings than the caller handed over.
    const std::int64_t want = count < 0 ? -static_cast<std::int64_t>(count) : count;
    const std::size_t n = want < static_cast<std::int64_t>(strings.size())
                              ? static_cast<std::size_t>(want)
                              : strings.size();
    const auto wanted = strings.first(n);

    std::array<TextField, 4> name;  // name texts 1 to 4
    std::array<TextField, 4> ref;   // journal code, volume, page, author list
    // The flag element that selects name text 1, 2, 3, 4.
    constexpr std::array<int, 4> kNameFlag = {kSearchName1, kSearchName2, kSearchName3,
                                              kSearchName4};

    if (count >= 0) {
        // Any of the strings: stop reading at the first that occurs.
        auto any_in = [&](const TextField& field) {
            for (const auto& s : wanted) {
                if (occurs(field.view(), s)) return true;
            }
            return false;
        };
        if (names) {
            for (int j = 0; j < 4; ++j) {
                if (!read_text(lib.fnamlib, namoff, name_header[j], name[j])) return -1;
                if (flags[kNameFlag[j]] != 0 && any_in(name[j])) return 1;
            }
        }
        if (!refs) return 0;
        if (!read_text(lib.freflib, refoff, ref_header[0], ref[0])) return -1;
        if (flags[kSearchJournal] != 0 && any_in(ref[0])) return 1;
        for (int j = 1; j < 4; ++j) {
            if (!read_text(lib.freflib, refoff, ref_header[j], ref[j])) return -1;
        }
        if (flags[kSearchAuthors] != 0 && any_in(ref[3])) return 1;
        return 0;
    }

    // All of the strings: read everything selected, then test each string
    // against the selected fields.
    if (names) {
        for (int j = 0; j < 4; ++j) {
            if (!read_text(lib.fnamlib, namoff, name_header[j], name[j])) return -1;
        }
    }
    if (refs) {
        for (int j = 0; j < 4; ++j) {
            if (!read_text(lib.freflib, refoff, ref_header[j], ref[j])) return -1;
        }
    }
    const std::array<std::pair<int, const TextField*>, 6> fields = {{
        {kSearchName1, &name[0]},
        {kSearchName2, &name[1]},
        {kSearchName3, &name[2]},
        {kSearchName4, &name[3]},
        {kSearchAuthors, &ref[3]},
        {kSearchJournal, &ref[0]},
    }};
    for (const auto& s : wanted) {
        bool satisfied = false;
        for (const auto& [flag, field] : fields) {
            if (flags[flag] != 0 && occurs(field->view(), s)) {
                satisfied = true;
                break;
            }
        }
        if (!satisfied) return 0;
    }
    return 1;
}

}  // namespace corvane
