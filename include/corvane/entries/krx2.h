// The KRX2 record reader. krx2.dat is a stream of 80-byte cards with no line
// ends; a record is the run of cards from its entry's offset through the first
// card with "K" in column 80.
#pragma once

#include <corvane/setup/library.h>

#include <cstdint>
#include <span>

namespace corvane {

// One KRX2 record from fcdrom[volume] into buffer, card after card. offset
// grows by 80 and nread by 80 for every card read. 0 through its "K" card; -1
// when the stream cannot be positioned or a card is cut off; -2 when maxlen
// (or the buffer's own size) is reached first.
int cv_readkrx2(Library& lib, std::int32_t& offset, std::int32_t& nread, std::int32_t maxlen,
                std::span<char> buffer, std::int32_t volume);

}  // namespace corvane
