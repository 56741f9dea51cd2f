#include <corvane/phase/records.h>

#include <array>

namespace corvane::phase {
namespace {

bool control(unsigned char c) {
    return c < 32 || c == 127;
}

// The length of the valid UTF-8 sequence at s[i], or 0 when there is none.
std::size_t utf8_length(std::string_view s, std::size_t i) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = b(i);
    std::size_t n = 0;
    unsigned char lo = 0x80, hi = 0xBF;  // the allowed range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        if (c == 0xE0) lo = 0xA0;
        if (c == 0xED) hi = 0x9F;  // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        if (c == 0xF0) lo = 0x90;
        if (c == 0xF4) hi = 0x8F;
    } else {
        return 0;
    }
    if (i + n > s.size()) return 0;
    if (b(i + 1) < lo || b(i + 1) > hi) return 0;
    for (std::size_t k = 2; k < n; ++k) {
        if (b(i + k) < 0x80 || b(i + k) > 0xBF) return 0;
    }
    return n;
}

}  // namespace

bool parse_format(std::string_view name, Format& out) {
    static constexpr std::array<std::pair<std::string_view, Format>, 4> kNames = {{
        {"text", Format::kText},
        {"tsv", Format::kTsv},
        {"csv", Format::kCsv},
        {"json", Format::kJson},
    }};
    for (const auto& [n, f] : kNames) {
        if (n == name) {
            out = f;
            return true;
        }
    }
    return false;
}

std::string json_string(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string s = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            s += '\\';
            s += static_cast<char>(c);
        } else if (c == '\n') {
            s += "\\n";
        } else if (c == '\r') {
            s += "\\r";
        } else if (c == '\t') {
            s += "\\t";
        } else if (control(c)) {
            s += "\\u00";
            s += kHex[c >> 4];
            s += kHex[c & 15];
        } else if (c >= 0x80) {
            const std::size_t n = utf8_length(text, i);
            if (n > 0) {
                s.append(text.substr(i, n));
                i += n;
                continue;
            }
            // Latin-1: U+0080 to U+00FF in two bytes.
            s += static_cast<char>(0xC0 | (c >> 6));
            s += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            s += static_cast<char>(c);
        }
        ++i;
    }
    s += '"';
    return s;
}

std::string csv_field(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string s = "\"";
    for (char c : text) {
        if (c == '"') s += '"';
        s += c;
    }
    s += '"';
    return s;
}

std::string tsv_field(std::string_view text) {
    std::string s(text);
    for (char& c : s) {
        if (control(static_cast<unsigned char>(c))) c = ' ';
    }
    return s;
}

RecordWriter::RecordWriter(Format format, std::vector<std::string> fields, std::string& out)
    : format_(format), fields_(std::move(fields)), out_(out) {
    if (format_ == Format::kJson) {
        out_ += "[";
        return;
    }
    const char sep = format_ == Format::kCsv ? ',' : '\t';
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        if (i > 0) out_ += sep;
        out_ += format_ == Format::kCsv ? csv_field(fields_[i]) : tsv_field(fields_[i]);
    }
    out_ += format_ == Format::kCsv ? "\r\n" : "\n";
}

void RecordWriter::record(const std::vector<Value>& values) {
    if (format_ == Format::kJson) {
        out_ += first_ ? "\n{" : ",\n{";
        for (std::size_t i = 0; i < fields_.size(); ++i) {
            if (i > 0) out_ += ',';
            out_ += json_string(fields_[i]);
            out_ += ':';
            const Value v = i < values.size() ? values[i] : Value::null();
            switch (v.kind) {
                case Value::kString:
                    out_ += json_string(v.text);
                    break;
                case Value::kNumber:
                case Value::kJson:
                    out_ += v.text;
                    break;
                case Value::kNull:
                    out_ += "null";
                    break;
            }
        }
        out_ += '}';
        first_ = false;
        return;
    }
    const bool csv = format_ == Format::kCsv;
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        if (i > 0) out_ += csv ? ',' : '\t';
        const std::string text = i < values.size() ? values[i].text : std::string();
        out_ += csv ? csv_field(text) : tsv_field(text);
    }
    out_ += csv ? "\r\n" : "\n";
    first_ = false;
}

void RecordWriter::finish() {
    if (format_ == Format::kJson) out_ += first_ ? "]\n" : "\n]\n";
}

}  // namespace corvane::phase
