// The library's three message routines. Each writes one message to the stream
// it is given (the library passes Library::messages(), standard error unless
// the caller chose another) and trims its texts with lench, so callers hand
// over whole fixed-length fields.
#pragma once

#include <cstdint>
#include <ostream>
#include <string_view>

namespace corvane {

// "name ERROR: message"
void errmsg(std::ostream& out, std::string_view name, std::string_view message);

// "name ERROR code: " and the code right-aligned in five columns ("*****" when
// it needs more).
void errcode(std::ostream& out, std::string_view name, std::int32_t code);

// " name WARNING: message", laid out as a list-directed record of three pieces
// that wraps before column 80.
void warnmsg(std::ostream& out, std::string_view name, std::string_view message);

}  // namespace corvane
