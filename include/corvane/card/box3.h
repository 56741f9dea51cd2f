// Box 3 of the card, the crystal data, and its two small helpers.
#pragma once

#include <string>
#include <string_view>

namespace corvane::card {

// The space-group field: sgout (12 characters) = sgin (8 characters, cut or
// blank-padded) followed by 4 blanks.
void phspg(std::string_view sgin, std::string& sgout);

}  // namespace corvane::card
