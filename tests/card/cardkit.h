// Forwards to the shared test support (tests/support/support.h) under the
// card tests' names.
#pragma once

#include <corvane/corvane.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "support/support.h"

namespace cardkit {

using corvane::card::CardFormatter;
using cvtest::at;
using cvtest::card;
using cvtest::rec81;
using ScratchDir = cvtest::TempDir;
inline std::string record(const std::vector<std::string>& short_cards) {
    return cvtest::cards(short_cards);
}

}  // namespace cardkit
