// The KRX2 record reader. krx2.dat is a stream of 80-byte cards with no line
// ends; a record is the run of cards from its entry's offset through the first
// card with "K" in column 80.
#include <corvane/entries/krx2.h>
#include <corvane/setup/text.h>

#include <algorithm>
#include <cstdint>

#include "entries/krx1io.h"

namespace corvane {

int cv_readkrx2(Library& lib, std::int32_t& offset, std::int32_t& nread, std::int32_t maxlen,
                std::span<char> buffer, std::int32_t volume) {
    constexpr std::int32_t kCard = kCardLen;
    // Cards are read a buffer-full at a time; a whole record of the most
    // cards a record holds takes one read.
    constexpr std::size_t kBuffer = 16384;
    static_assert(kBuffer >= std::size_t{kMaxRecordCards} * kCardLen);
    nread = 0;
    if (volume < 0 || volume > 3) return -1;
    FileWindow src(lib.fcdrom[static_cast<std::size_t>(volume)], kBuffer);
    // Cards end before byte 2^31 - 1, so the offset advanced over them fits.
    if (!src.placeable(offset, kOffsetEnd)) return -1;
    while (nread < maxlen) {
        // The buffer's own size bounds the record as maxlen does: a card that
        // would not fit whole is never read.
        if (static_cast<std::size_t>(nread) + kCard > buffer.size()) return -2;
        const auto card = src.bytes(offset, kCard, kOffsetEnd);
        if (card.size() != kCard) return -1;
        std::copy(card.begin(), card.end(), buffer.begin() + nread);
        offset += kCard;
        nread += kCard;
        if (col(std::string_view(buffer.data() + nread - kCard, kCard), kCardLen) == kEndCard) {
            return 0;
        }
    }
    return -2;
}

}  // namespace corvane
