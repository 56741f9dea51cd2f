// The full-card report: the one place where the card formatter meets the
// KRX2 record reader.
#include <corvane/card/driver.h>
#include <corvane/card/repkrx2.h>
#include <corvane/entries/krx1.h>
#include <corvane/entries/krx2.h>
#include <corvane/setup/format.h>
#include <corvane/setup/messages.h>
#include <corvane/setup/text.h>

#include <algorithm>
#include <span>
#include <string>

namespace corvane {

std::int32_t cvl_repkrx2(Library& lib, card::CardFormatter& fm, std::int32_t entry,
                         std::int32_t line, std::string& text, std::string_view ispacg,
                         std::string_view outfil) {
    constexpr int kCard = 80;
    CvKrx2Record& rec = lib.cv_krx2rec;
    if (line != 0) {
        if (line < 0 || line > rec.nlines) return 0;
        const auto first = static_cast<std::size_t>(line - 1) * kCard;
        text.assign(rec.buffer.data() + first, kCard);
        text += '\0';
        return kCard + 1;
    }

    std::int32_t entid = 0, namoff = 0, dioff = 0, refoff = 0, recoff = 0;
    if (cv_readindex(lib, entry, entid, namoff, dioff, refoff, recoff) != 0) {
        // The entry number written list-directed: a blank and its digits.
        std::string field = edit::listed({entry});
        if (!field.empty() && field.back() == '\n') field.pop_back();
        std::string message = "readindex for entry ";
        message += trimmed(field);
        errmsg(lib.messages(), "cvl_RepKRX2", message);
        return -1;
    }
    // Whatever the reader's status, the whole cards it stored are the record:
    // none when it could not be positioned, those before a failed read, the
    // first 135 of a longer record.
    std::int32_t nread = 0;
    cv_readkrx2(lib, recoff, nread, CvKrx2Record::kBufLen, std::span<char>(rec.buffer), 0);
    rec.nlines = std::clamp(nread, 0, CvKrx2Record::kBufLen) / kCard;

    const std::string_view code = ispacg.substr(0, std::min<std::size_t>(ispacg.size(), 21));
    if (lench(code) > 0) {
        std::string ispacg20(code.substr(0, code.find('\0')));
        card::krx2fmt(
            fm, std::string_view(rec.buffer.data(), static_cast<std::size_t>(rec.nlines) * kCard),
            rec.nlines, outfil, ispacg20);
    }
    return rec.nlines;
}

}  // namespace corvane
