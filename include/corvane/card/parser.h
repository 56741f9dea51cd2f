// The card parser: sorts a record's 80-character cards by their card type
// (column 80) into the slots of the record model and checks the per-type limits.
#pragma once

#include <corvane/card/formatter.h>

#include <cstdint>
#include <string_view>

namespace corvane::card {

// Sorts the cards of record (reclen characters, reclen / 80 whole cards) into
// their slots. Returns 0 when the record was taken whole, 1 when any error was
// reported.
int readbf(CardFormatter& fm, std::string_view record, std::int32_t reclen);

}  // namespace corvane::card
