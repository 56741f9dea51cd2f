#include <corvane/setup/format.h>
#include <corvane/setup/messages.h>
#include <corvane/setup/text.h>

#include <string>

namespace corvane {

void errmsg(std::ostream& out, std::string_view name, std::string_view message) {
    std::string line;
    line += trimmed(name);
    line += " ERROR: ";
    line += trimmed(message);
    line += '\n';
    out << line << std::flush;
}

void errcode(std::ostream& out, std::string_view name, std::int32_t code) {
    std::string line;
    line += trimmed(name);
    line += " ERROR code: ";
    line += edit::write("(I5)", {code});
    line += '\n';
    out << line << std::flush;
}

void warnmsg(std::ostream& out, std::string_view name, std::string_view message) {
    const std::string text =
        edit::listed({edit::ListItem(trimmed(name)), edit::ListItem(std::string_view(" WARNING: ")),
                      edit::ListItem(trimmed(message))});
    out << text << std::flush;
}

}  // namespace corvane
