// The text search of one entry's name and reference texts.
//
// The caller takes the entry's name.lib and ref.lib offsets from its index
// record and passes six selector flags: name text 4, name text 1, name text 3,
// name text 2, the author list and the journal code. The reference volume and
// page are read but never searched. Texts of any stored length (0 to 255) are
// read and searched whole, long journal codes, volumes and pages included.
#include <corvane/entries/search.h>
#include <corvane/setup/text.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

#include "entries/krx1io.h"

namespace corvane {
namespace {

// Case folding of the letters A-Z to a-z; every other byte stays itself.
constexpr std::array<unsigned char, 256> make_fold() {
    std::array<unsigned char, 256> t{};
    for (int c = 0; c < 256; ++c) {
        t[static_cast<std::size_t>(c)] = static_cast<unsigned char>(to_lower(static_cast<char>(c)));
    }
    return t;
}
constexpr std::array<unsigned char, 256> kFold = make_fold();

unsigned char fold(char c) {
    return kFold[static_cast<unsigned char>(c)];
}

bool occurs(std::string_view field, std::string_view needle) {
    return strcasestr(field, needle) != std::string_view::npos;
}

// One record's header and texts as cv_srchlibs reads them: the header when the
// record is placed, the texts one by one, each adding to the offset what it
// read. The texts come from one read of the whole body, so a text is "read"
// only when all its bytes arrived.
class Record {
  public:
    Record(FileWindow& src, std::int32_t& offset, int header_len)
        : src_(src), offset_(offset), header_len_(header_len) {}

    bool placeable() const { return src_.placeable(offset_, kOffsetEnd); }

    // Reads the header; false when it is cut off.
    bool header() {
        const auto want = static_cast<std::size_t>(header_len_);
        const auto h = src_.bytes(offset_, want, kOffsetEnd);
        offset_ += static_cast<std::int32_t>(h.size());
        if (h.size() != want) return false;
        std::size_t total = 0;
        for (std::size_t j = 0; j < 4; ++j) {
            len_[j] = h[j];
            total += h[j];
        }
        start_ = offset_;
        body_ = src_.bytes(offset_, total, kOffsetEnd);
        return true;
    }

    // Reads text j (in order, 0 to 3); false when it is cut off.
    bool text(std::size_t j) {
        std::size_t at = static_cast<std::size_t>(offset_ - start_);
        const std::size_t avail = body_.size() - at;
        if (avail < len_[j]) {
            offset_ += static_cast<std::int32_t>(avail);
            return false;
        }
        text_[j] = std::string_view(reinterpret_cast<const char*>(body_.data()) + at, len_[j]);
        offset_ += static_cast<std::int32_t>(len_[j]);
        return true;
    }

    std::string_view operator[](std::size_t j) const { return text_[j]; }

  private:
    FileWindow& src_;
    std::int32_t& offset_;
    int header_len_;
    std::array<std::size_t, 4> len_{};
    std::int32_t start_ = 0;
    std::span<const unsigned char> body_;
    std::array<std::string_view, 4> text_{};
};

int search(FileWindow& names_src, FileWindow& refs_src, std::int32_t& namoff, std::int32_t& refoff,
           std::span<const std::string> strings, std::int32_t count, const SearchFlags& flags) {
    const bool names = flags[kSearchName4] != 0 || flags[kSearchName1] != 0 ||
                       flags[kSearchName3] != 0 || flags[kSearchName2] != 0;
    const bool refs = flags[kSearchAuthors] != 0 || flags[kSearchJournal] != 0;
    Record name(names_src, namoff, 4);  // name texts 1 to 4
    Record ref(refs_src, refoff, 5);    // journal code, volume, page, author list
    if (names && !name.placeable()) return -1;
    if (refs && !ref.placeable()) return -1;

    // A header or text cut off by the end of its file makes the record
    // unreadable; its missing lengths and characters are never used.
    if (names && !name.header()) return -1;
    if (refs && !ref.header()) return -1;

    // Never more strings than the caller handed over.
    const std::int64_t want = count < 0 ? -static_cast<std::int64_t>(count) : count;
    const std::size_t n = want < static_cast<std::int64_t>(strings.size())
                              ? static_cast<std::size_t>(want)
                              : strings.size();
    const auto wanted = strings.first(n);

    // The flag element that selects name text 1, 2, 3, 4.
    constexpr std::array<int, 4> kNameFlag = {kSearchName1, kSearchName2, kSearchName3,
                                              kSearchName4};

    if (count >= 0) {
        // Any of the strings: stop reading at the first that occurs.
        auto any_in = [&](std::string_view field) {
            for (const auto& s : wanted) {
                if (occurs(field, s)) return true;
            }
            return false;
        };
        if (names) {
            for (std::size_t j = 0; j < 4; ++j) {
                if (!name.text(j)) return -1;
                if (flags[static_cast<std::size_t>(kNameFlag[j])] != 0 && any_in(name[j])) {
                    return 1;
                }
            }
        }
        if (!refs) return 0;
        if (!ref.text(0)) return -1;
        if (flags[kSearchJournal] != 0 && any_in(ref[0])) return 1;
        for (std::size_t j = 1; j < 4; ++j) {
            if (!ref.text(j)) return -1;
        }
        if (flags[kSearchAuthors] != 0 && any_in(ref[3])) return 1;
        return 0;
    }

    // All of the strings: read everything selected, then test each string
    // against the selected fields.
    for (std::size_t j = 0; names && j < 4; ++j) {
        if (!name.text(j)) return -1;
    }
    for (std::size_t j = 0; refs && j < 4; ++j) {
        if (!ref.text(j)) return -1;
    }
    const std::array<std::pair<int, std::string_view>, 6> fields = {{
        {kSearchName1, name[0]},
        {kSearchName2, name[1]},
        {kSearchName3, name[2]},
        {kSearchName4, name[3]},
        {kSearchAuthors, ref[3]},
        {kSearchJournal, ref[0]},
    }};
    for (const auto& s : wanted) {
        bool satisfied = false;
        for (const auto& [flag, field] : fields) {
            if (flags[static_cast<std::size_t>(flag)] != 0 && occurs(field, s)) {
                satisfied = true;
                break;
            }
        }
        if (!satisfied) return 0;
    }
    return 1;
}

}  // namespace

std::size_t strcasestr(std::string_view text, std::string_view needle) {
    const std::size_t n = needle.size();
    if (n == 0) return text.size();  // an empty needle is found at the text's end
    if (n > text.size()) return std::string_view::npos;
    const unsigned char first = fold(needle[0]);
    const char* const base = text.data();
    const std::size_t last = text.size() - n;  // the last position a match may start
    for (std::size_t pos = 0; pos <= last; ++pos) {
        if (fold(base[pos]) != first) continue;
        std::size_t i = 1;
        while (i < n && fold(base[pos + i]) == fold(needle[i])) ++i;
        if (i == n) return pos;
    }
    return std::string_view::npos;
}

int cv_srchlibs(Library& lib, std::int32_t& namoff, std::int32_t& refoff,
                std::span<const std::string> strings, std::int32_t count,
                const SearchFlags& flags) {
    FileWindow names(lib.fnamlib, FileWindow::kMinCapacity);
    FileWindow refs(lib.freflib, FileWindow::kMinCapacity);
    return search(names, refs, namoff, refoff, strings, count, flags);
}

int cv_srchlibs(Krx1Reader& rd, std::int32_t& namoff, std::int32_t& refoff,
                std::span<const std::string> strings, std::int32_t count,
                const SearchFlags& flags) {
    auto& impl = rd.impl();
    return search(impl.names, impl.refs, namoff, refoff, strings, count, flags);
}

}  // namespace corvane
