// Small file helpers shared by the location reader and the open routines.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace corvane {

// Opens name for reading (mode "r" or "rb") when it names a regular file.
// A directory opens for reading on this platform; it is passed over here like a
// name that does not open, so candidate lists go on to their next name.
std::FILE* open_regular(const std::string& name, const char* mode);

// A directory and a file name joined by one "/" (none added when the directory
// already ends in "/"). Names are kept whole, whatever their length.
std::string join_path(std::string_view dir, std::string_view name);

}  // namespace corvane
