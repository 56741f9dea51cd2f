// The library's own case-blind substring search, used by the text search of
// the KRX1 libraries.
#pragma once

#include <cstddef>
#include <string_view>

namespace cv {

// Position in text of the first occurrence of needle, every one of its
// characters compared without regard to case (A-Z equal to a-z; every other
// byte only to itself), the first character included, so "quartz" finds
// "Quartz". std::string_view::npos when there is none. An empty needle occurs
// at the end of any text.
std::size_t strcasestr(std::string_view text, std::string_view needle);

}  // namespace cv
