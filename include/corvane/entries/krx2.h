// The KRX2 record format and its reader. krx2.dat is a stream of 80-byte cards
// with no line ends; a record is the run of cards from its entry's offset
// through the first card with "K" in column 80. Column 80 of every card holds
// its type code; each type may occur only so many times in one record.
//
// The record format below is the one place that knows the card alphabet, the
// card length, the end card and the per-type limits: the card formatter's
// record model, this reader and the database builder all take them from here.
#pragma once

#include <corvane/setup/library.h>

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace corvane {

// ---- the record format ------------------------------------------------------

inline constexpr int kCardLen = 80;
// The type number t of a card is the 1-based position of its column-80 code
// in this alphabet (1 for "1" ... 20 for "K", 22 for "*").
inline constexpr std::string_view kCardTypes = "123456789ABCDEFGHIJK+*";
inline constexpr int kNumCardTypes = 22;
// The card that ends a record.
inline constexpr char kEndCard = 'K';
// The most cards of each type, by type number (index t - 1), one record holds.
inline constexpr std::array<std::int32_t, kNumCardTypes> kMaxCards = {
    2, 2, 1, 1, 5, 5, 5, 1, 10, 1, 20, 1, 1, 1, 1, 1, 1, 68, 5, 1, 1, 1};
// The most cards a record holds at all: the sum of the limits.
inline constexpr int kMaxRecordCards = 135;

// The type number of a card type code, 0 when the code is not a card type.
// The alphabet is matched exactly: "a" is no type.
constexpr int card_type(char code) {
    const auto p = kCardTypes.find(code);
    return p == std::string_view::npos ? 0 : static_cast<int>(p) + 1;
}

static_assert(kCardTypes.size() == kNumCardTypes);
static_assert(card_type(kEndCard) == 20);
static_assert([] {
    int sum = 0;
    for (const auto n : kMaxCards) sum += n;
    return sum;
}() == kMaxRecordCards);

// ---- the reader ---------------------------------------------------------------

// One KRX2 record from fcdrom[volume] into buffer, card after card. offset
// grows by 80 and nread by 80 for every card read. 0 through its "K" card; -1
// when the stream cannot be positioned or a card is cut off; -2 when maxlen
// (or the buffer's own size) is reached first.
int cv_readkrx2(Library& lib, std::int32_t& offset, std::int32_t& nread, std::int32_t maxlen,
                std::span<char> buffer, std::int32_t volume);

}  // namespace corvane
