#include <corvane/builder/report.h>

#include <cstring>

namespace corvane::builder {

void Reporter::card(std::int64_t line, std::int32_t record, int card, char type,
                    std::string_view text) {
    ++faults_;
    if (err_ == nullptr) return;
    *err_ << fname_ << ':' << line << ": record " << record << ", card " << card;
    if (type != 0) *err_ << " (type " << type << ')';
    *err_ << ": " << text << '\n';
}

void Reporter::record(std::int64_t line, std::int32_t record, std::string_view text) {
    ++faults_;
    if (err_ != nullptr)
        *err_ << fname_ << ':' << line << ": record " << record << ": " << text << '\n';
}

void Reporter::file(std::string_view text) {
    ++faults_;
    if (err_ != nullptr) *err_ << fname_ << ": " << text << '\n';
}

void report_errno(std::ostream& out, std::string_view path, std::string_view call, int err) {
    out << path << ": " << call << ": " << std::strerror(err) << '\n';
}

std::string quoted(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out += '\'';
    out += text;
    out += '\'';
    return out;
}

}  // namespace corvane::builder
