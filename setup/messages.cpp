#include "setup/messages.h"

#include <cstdio>
#include <string>

#include "setup/format.h"
#include "setup/text.h"

namespace cv {

void errmsg(std::string_view name, std::string_view message) {
    std::string line;
    line += trimmed(name);
    line += " ERROR: ";
    line += trimmed(message);
    line += '\n';
    std::fputs(line.c_str(), stderr);
}

void errcode(std::string_view name, std::int32_t code) {
    std::string line;
    line += trimmed(name);
    line += " ERROR code: ";
    line += fmt::write("(I5)", {code});
    line += '\n';
    std::fputs(line.c_str(), stderr);
}

void warnmsg(std::string_view name, std::string_view message) {
    const std::string text =
        fmt::listed({fmt::ListItem(trimmed(name)), fmt::ListItem(std::string_view(" WARNING: ")),
                     fmt::ListItem(trimmed(message))});
    std::fputs(text.c_str(), stderr);
}

}  // namespace cv
