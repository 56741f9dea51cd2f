// The KRX2 record reader. krx2.dat is a stream of 80-byte cards with no line
// ends; a record is the run of cards from its entry's offset through the first
// card with "K" in column 80.
#include <corvane/entries/krx2.h>
#include <corvane/setup/text.h>

#include <cstdint>

#include "entries/krx1io.h"

namespace corvane {

int cv_readkrx2(Library& lib, std::int32_t& offset, std::int32_t& nread, std::int32_t maxlen,
                std::span<char> buffer, std::int32_t volume) {
    constexpr std::int32_t kCard = kCardLen;
    nread = 0;
    if (volume < 0 || volume > 3) return -1;
    std::FILE* stream = lib.fcdrom[volume];
    if (!seek_to(stream, offset)) return -1;
    while (nread < maxlen) {
        // The buffer's own size bounds the record as maxlen does: a card that
        // would not fit whole is never read.
        if (static_cast<std::size_t>(nread) + kCard > buffer.size()) return -2;
        const std::span<char> card = buffer.subspan(static_cast<std::size_t>(nread), kCard);
        if (read_bytes(stream, card.data(), kCard) != kCard) return -1;
        offset += kCard;
        nread += kCard;
        if (col(std::string_view(card.data(), kCard), kCardLen) == kEndCard) return 0;
    }
    return -2;
}

}  // namespace corvane
