// The fixed-column format module: a format string is parsed into a flat list
// of steps (repeat counts and groups unrolled), which a writer or a reader then
// walks together with the items. The parsed list is an edit::Format, which a
// caller may keep and reuse.
#include <corvane/setup/format.h>
#include <corvane/setup/text.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace corvane::edit {

namespace {

// ---------------------------------------------------------------------------
// Format strings
// ---------------------------------------------------------------------------

using Step = Format::Step;

bool is_data(const Step& s) {
    return s.kind == 'A' || s.kind == 'I' || s.kind == 'F';
}

// Guards against formats that would unroll into absurd sizes or nest without
// end; every format the library uses is far below these.
constexpr int kMaxNumber = 32767;
constexpr std::size_t kMaxSteps = 1 << 16;
constexpr int kMaxDepth = 8;  // groups inside the outer parentheses

class Parser {
  public:
    explicit Parser(std::string_view text) {
        // Blanks carry no meaning inside a format.
        for (char c : text) {
            if (c == ' ') continue;
            src_ += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        }
    }

    std::optional<std::vector<Step>> parse() {
        if (!eat('(')) return std::nullopt;
        std::vector<Step> steps;
        if (!list(steps) || !eat(')') || at_ != src_.size() || too_big_) return std::nullopt;
        return steps;
    }

  private:
    std::string src_;
    std::size_t at_ = 0;
    int depth_ = 0;
    bool too_big_ = false;  // a number beyond kMaxNumber spoils the whole format

    char peek() const { return at_ < src_.size() ? src_[at_] : '\0'; }
    bool eat(char c) {
        if (peek() != c) return false;
        ++at_;
        return true;
    }
    static bool digit(char c) { return c >= '0' && c <= '9'; }

    // An unsigned number, or nullopt when there is none here.
    std::optional<int> number() {
        if (!digit(peek())) return std::nullopt;
        int n = 0;
        while (digit(peek())) {
            n = n * 10 + (src_[at_++] - '0');
            if (n > kMaxNumber) {
                too_big_ = true;
                n = kMaxNumber;
            }
        }
        return n;
    }

    // list := [ item { "," item } ]   (empty only right before ")")
    bool list(std::vector<Step>& out) {
        if (peek() == ')') return true;
        do {
            if (!item(out)) return false;
        } while (eat(','));
        return true;
    }

    // Appends `times` copies of body, refusing before it allocates anything
    // when the result would pass kMaxSteps.
    static bool append(std::vector<Step>& out, const std::vector<Step>& body, int times) {
        const std::size_t more = body.size() * static_cast<std::size_t>(times);
        if (more > kMaxSteps - out.size()) return false;
        out.reserve(out.size() + more);
        for (int i = 0; i < times; ++i) out.insert(out.end(), body.begin(), body.end());
        return true;
    }

    // A parenthesised group, its opening parenthesis already eaten; nested no
    // deeper than kMaxDepth, so the recursion stays shallow whatever the text.
    bool group(std::vector<Step>& body) {
        if (++depth_ > kMaxDepth) return false;
        const bool ok = list(body) && eat(')');
        --depth_;
        return ok;
    }

    // item := [r] "(" list ")" | [r] A[w] | [r] Iw[.m] | [r] Fw.d | [n] X | Tn
    bool item(std::vector<Step>& out) {
        const std::optional<int> repeat = number();
        if (repeat && *repeat == 0) return false;
        const int times = repeat.value_or(1);
        const char c = peek();
        if (c == '\0') return false;
        ++at_;
        std::vector<Step> body;
        switch (c) {
            case '(':
                if (!group(body)) return false;
                break;
            case 'X':
                // The count before X is its width, not a repeat.
                return append(out, {Step{'X', times, 0}}, 1);
            case 'T': {
                if (repeat) return false;
                const auto n = number();
                if (!n || *n == 0) return false;
                body.push_back(Step{'T', *n, 0});
                break;
            }
            case 'A': {
                const auto w = number();
                if (w && *w == 0) return false;
                body.push_back(Step{'A', w.value_or(0), 0});
                break;
            }
            case 'I': {
                const auto w = number();
                if (!w || *w == 0) return false;
                int m = -1;
                if (eat('.')) {
                    const auto mm = number();
                    if (!mm || *mm > *w) return false;
                    m = *mm;
                }
                body.push_back(Step{'I', *w, m});
                break;
            }
            case 'F': {
                const auto w = number();
                if (!w || *w == 0 || !eat('.')) return false;
                const auto d = number();
                if (!d) return false;
                body.push_back(Step{'F', *w, *d});
                break;
            }
            default:
                return false;
        }
        return append(out, body, times);
    }
};

// The furthest column the steps reach (a bare A counted as no columns: its
// width is the item's, checked when it is written or read).
std::size_t reach_of(const std::vector<Step>& steps) {
    std::size_t pos = 0;
    std::size_t reach = 0;
    for (const Step& s : steps) {
        // Every width is at most kMaxNumber and there are at most kMaxSteps
        // steps, so pos cannot overflow.
        pos =
            s.kind == 'T' ? static_cast<std::size_t>(s.w - 1) : pos + static_cast<std::size_t>(s.w);
        reach = std::max(reach, pos);
    }
    return reach;
}

// ---------------------------------------------------------------------------
// Output fields
// ---------------------------------------------------------------------------

std::string stars(int w) {
    return std::string(static_cast<std::size_t>(w), '*');
}

// Right-aligns text in w columns, or asterisks when it does not fit.
std::string right(std::string_view text, int w) {
    const auto width = static_cast<std::size_t>(w);
    if (text.size() > width) return stars(w);
    return std::string(width - text.size(), ' ') + std::string(text);
}

// Iw.m: the digits of |v| (at least m of them), a minus sign when negative.
// Iw.0 writes zero as an all-blank field.
std::string edit_i(std::int32_t v, int w, int m) {
    if (m == 0 && v == 0) return std::string(static_cast<std::size_t>(w), ' ');
    const auto magnitude = static_cast<std::uint32_t>(v < 0 ? -static_cast<std::int64_t>(v) : v);
    std::string digits = std::to_string(magnitude);
    if (m > 0 && digits.size() < static_cast<std::size_t>(m)) {
        digits.insert(0, static_cast<std::size_t>(m) - digits.size(), '0');
    }
    if (v < 0) digits.insert(0, 1, '-');
    return right(digits, w);
}

// Fw.d: |x| correctly rounded to d decimals, with no zero before the decimal
// point when there are decimals (0.5 in F8.4 is "   .5000"); the point is
// always written ("5." in F4.0). A minus sign is written only when a digit
// that is not zero remains, so -0.00004 in F8.4 is "   .0000". A value that is
// not finite cannot be shown and fills the field with asterisks.
std::string edit_f(double x, int w, int d) {
    if (!std::isfinite(x)) return stars(w);
    const bool negative = x < 0;
    const double magnitude = std::fabs(x);
    // The largest double has 309 integer digits; d is bounded by kMaxNumber.
    // The usual few decimals fit a buffer on the stack.
    std::array<char, 400> small;
    std::vector<char> large;
    char* first = small.data();
    std::size_t size = small.size();
    if (static_cast<std::size_t>(d) + 320 > size) {
        large.resize(static_cast<std::size_t>(d) + 320);
        first = large.data();
        size = large.size();
    }
    const auto res = std::to_chars(first, first + size, magnitude, std::chars_format::fixed, d);
    if (res.ec != std::errc()) return stars(w);
    std::string text(first, res.ptr);
    if (d == 0) text += '.';
    if (d > 0 && text.size() >= 2 && text[0] == '0' && text[1] == '.') text.erase(0, 1);
    const bool nonzero = text.find_first_of("123456789") != std::string::npos;
    if (negative && nonzero) text.insert(0, 1, '-');
    return right(text, w);
}

// Aw: a text shorter than w is right-aligned after blanks; a longer one is
// cut to its first w characters. A bare A writes the text as it is.
std::string edit_a(std::string_view text, int w) {
    if (w == 0) return std::string(text);
    const auto width = static_cast<std::size_t>(w);
    if (text.size() >= width) return std::string(text.substr(0, width));
    return std::string(width - text.size(), ' ') + std::string(text);
}

// The text for one data descriptor, or nullopt when the item does not suit it.
std::optional<std::string> edit(const Step& s, const Out& item) {
    switch (s.kind) {
        case 'A':
            if (const auto* t = std::get_if<std::string_view>(&item)) return edit_a(*t, s.w);
            return std::nullopt;
        case 'I':
            if (const auto* v = std::get_if<std::int32_t>(&item)) return edit_i(*v, s.w, s.d);
            return std::nullopt;
        case 'F':
            if (const auto* f = std::get_if<float>(&item)) return edit_f(*f, s.w, s.d);
            if (const auto* g = std::get_if<double>(&item)) return edit_f(*g, s.w, s.d);
            return std::nullopt;
        default:
            return std::nullopt;
    }
}

// Walks the steps over the items into record. With a fixed record, a field
// that would run past its end fails; otherwise the record grows as needed.
// reach receives the furthest column reached (0-based, exclusive).
int run_write(const std::vector<Step>& steps, std::span<const Out> items, std::string& record,
              bool fixed, std::size_t& reach) {
    std::size_t pos = 0;
    std::size_t next = 0;
    reach = 0;
    for (const Step& s : steps) {
        if (s.kind == 'X') {
            pos += static_cast<std::size_t>(s.w);
        } else if (s.kind == 'T') {
            pos = static_cast<std::size_t>(s.w - 1);
        } else {
            // The format ends at the first data descriptor without an item.
            if (next == items.size()) break;
            const auto text = edit(s, items[next++]);
            if (!text) return kBadItem;
            if (pos + text->size() > (fixed ? record.size() : kMaxColumn)) return kOverflow;
            if (!text->empty()) {
                setcols(record, static_cast<int>(pos + 1), static_cast<int>(pos + text->size()),
                        *text);
            }
            pos += text->size();
        }
        reach = std::max(reach, pos);
    }
    return kOk;
}

// ---------------------------------------------------------------------------
// Input fields
// ---------------------------------------------------------------------------

bool blank(char c) {
    return c == ' ';
}

// Iw input: blanks are ignored; an optional sign, then digits. An empty field
// (or a lone sign) is zero. A value outside the 32-bit range is an error.
std::optional<std::int32_t> scan_i(std::string_view field) {
    std::size_t i = 0;
    auto skip = [&] {
        while (i < field.size() && blank(field[i])) ++i;
    };
    skip();
    bool negative = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-')) {
        negative = field[i] == '-';
        ++i;
    }
    std::int64_t v = 0;
    for (skip(); i < field.size(); ++i, skip()) {
        const char c = field[i];
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
        if (v > static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + 1) {
            return std::nullopt;
        }
    }
    if (negative) v = -v;
    if (v > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    return static_cast<std::int32_t>(v);
}

// Fw.d input: blanks are ignored; an optional sign, digits with at most one
// decimal point, then an optional exponent: the letter E or D (either case)
// with an optionally signed number, or a sign followed by a number; an
// exponent must have digits. Without a decimal point the last d digits are
// decimals. A field without digits before its exponent (blank, a lone sign or
// point) is zero. The decimal value is rounded once to a double; a value too
// large for a double is an error.
std::optional<double> scan_f(std::string_view field, int d) {
    std::string digits;
    bool negative = false;
    bool point = false;
    long long after_point = 0;
    std::size_t i = 0;
    auto skip = [&] {
        while (i < field.size() && blank(field[i])) ++i;
    };
    auto at_digit = [&] { return i < field.size() && field[i] >= '0' && field[i] <= '9'; };
    auto at_sign = [&] { return i < field.size() && (field[i] == '+' || field[i] == '-'); };

    skip();
    if (at_sign()) {
        negative = field[i] == '-';
        ++i;
        skip();
    }
    for (; i < field.size(); ++i, skip()) {
        if (at_digit()) {
            digits += field[i];
            if (point) ++after_point;
        } else if (field[i] == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    long long exponent = 0;
    if (i < field.size()) {
        const char c = field[i];
        if (c == 'E' || c == 'e' || c == 'D' || c == 'd') {
            ++i;
            skip();
        } else if (!at_sign()) {
            return std::nullopt;
        }
        bool minus = false;
        if (at_sign()) {
            minus = field[i] == '-';
            ++i;
            skip();
        }
        if (!at_digit()) return std::nullopt;
        for (; at_digit(); ++i, skip()) {
            // Saturate: a field this long can only mean zero or overflow.
            if (exponent < 1000000) exponent = exponent * 10 + (field[i] - '0');
        }
        if (i < field.size()) return std::nullopt;
        if (minus) exponent = -exponent;
    }

    const auto first = digits.find_first_not_of('0');
    if (first == std::string::npos) return 0.0;
    // Decimals: those after the point, or the last d digits when there is none.
    const long long scale = exponent - (point ? after_point : static_cast<long long>(d));
    const std::string text = digits.substr(first) + "e" + std::to_string(scale);
    double value = 0;
    const auto res = std::from_chars(text.data(), text.data() + text.size(), value);
    if (res.ec == std::errc::result_out_of_range) {
        // Too small for a double reads as zero; too large is no number.
        const long long magnitude = static_cast<long long>(digits.size() - first) + scale;
        if (magnitude > 0) return std::nullopt;
        value = 0;
    } else if (res.ec != std::errc() || res.ptr != text.data() + text.size()) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

// A value read for one target, kept until the whole record has been read.
using Value = std::variant<std::string, std::int32_t, float, double>;

// The value of one data descriptor read from field, or an error status.
int scan(const Step& s, std::string_view field, const In& target, Value& out) {
    switch (s.kind) {
        case 'A': {
            const auto* const* t = std::get_if<std::string*>(&target);
            if (!t || !*t) return kBadItem;
            const std::size_t len = (*t)->size();
            // A field at least as wide as the text gives its rightmost
            // characters; a narrower one is left-justified and blank-padded.
            if (field.size() >= len) {
                out = std::string(field.substr(field.size() - len));
            } else {
                out = padded(field, len);
            }
            return kOk;
        }
        case 'I': {
            const auto* const* t = std::get_if<std::int32_t*>(&target);
            if (!t || !*t) return kBadItem;
            const auto v = scan_i(field);
            if (!v) return kBadInput;
            out = *v;
            return kOk;
        }
        case 'F': {
            const bool is_float = std::holds_alternative<float*>(target);
            const bool is_double = std::holds_alternative<double*>(target);
            if ((is_float && !std::get<float*>(target)) ||
                (is_double && !std::get<double*>(target)) || (!is_float && !is_double)) {
                return kBadItem;
            }
            const auto v = scan_f(field, s.d);
            if (!v) return kBadInput;
            if (is_float) {
                if (std::fabs(*v) > static_cast<double>(std::numeric_limits<float>::max())) {
                    return kBadInput;
                }
                out = static_cast<float>(*v);
            } else {
                out = *v;
            }
            return kOk;
        }
        default:
            return kBadItem;
    }
}

void store(const In& target, Value& value) {
    if (auto* const* s = std::get_if<std::string*>(&target)) {
        **s = std::move(std::get<std::string>(value));
    } else if (auto* const* i = std::get_if<std::int32_t*>(&target)) {
        **i = std::get<std::int32_t>(value);
    } else if (auto* const* f = std::get_if<float*>(&target)) {
        **f = std::get<float>(value);
    } else if (auto* const* g = std::get_if<double*>(&target)) {
        **g = std::get<double>(value);
    }
}

}  // namespace

// ---------------------------------------------------------------------------
// Public entry points
// ---------------------------------------------------------------------------

Format Format::parse(std::string_view text) {
    Format f;
    auto steps = Parser(text).parse();
    if (!steps) return f;  // kBadFormat
    if (reach_of(*steps) > kMaxColumn) {
        f.status_ = kOverflow;
        return f;
    }
    f.data_count_ = static_cast<std::size_t>(std::count_if(steps->begin(), steps->end(), is_data));
    f.steps_ = std::move(*steps);
    f.status_ = kOk;
    return f;
}

int write(const Format& format, std::string& record, std::span<const Out> items) {
    if (!format.ok()) return format.status();
    if (items.size() > format.data_count()) return kBadItem;
    // Work on a blank copy so that a failed write leaves the record as it was.
    std::string out(record.size(), ' ');
    std::size_t reach = 0;
    const int status = run_write(format.steps(), items, out, true, reach);
    if (status == kOk) record = std::move(out);
    return status;
}

int write(const Format& format, std::string& record, std::initializer_list<Out> items) {
    return write(format, record, std::span<const Out>(items.begin(), items.size()));
}

int write(std::string_view format, std::string& record, std::span<const Out> items) {
    return write(Format::parse(format), record, items);
}

int write(std::string_view format, std::string& record, std::initializer_list<Out> items) {
    return write(Format::parse(format), record, items);
}

std::string write(const Format& format, std::span<const Out> items) {
    if (!format.ok()) return {};
    if (items.size() > format.data_count()) return {};
    std::string out;
    std::size_t reach = 0;
    if (run_write(format.steps(), items, out, false, reach) != kOk) return {};
    out.resize(reach, ' ');
    return out;
}

std::string write(const Format& format, std::initializer_list<Out> items) {
    return write(format, std::span<const Out>(items.begin(), items.size()));
}

std::string write(std::string_view format, std::span<const Out> items) {
    return write(Format::parse(format), items);
}

std::string write(std::string_view format, std::initializer_list<Out> items) {
    return write(Format::parse(format), items);
}

int read(const Format& format, std::string_view record, std::span<const In> targets) {
    if (!format.ok()) return format.status();
    if (targets.size() > format.data_count()) return kBadItem;
    // Every field is read before any target changes, so a failed read leaves
    // all targets as they were.
    std::vector<Value> values(targets.size());
    std::size_t pos = 0;
    std::size_t next = 0;
    for (const Step& s : format.steps()) {
        if (s.kind == 'X') {
            pos += static_cast<std::size_t>(s.w);
        } else if (s.kind == 'T') {
            pos = static_cast<std::size_t>(s.w - 1);
        } else {
            if (next == targets.size()) break;
            std::size_t w = static_cast<std::size_t>(s.w);
            if (s.kind == 'A' && w == 0) {
                const auto* const* t = std::get_if<std::string*>(&targets[next]);
                if (!t || !*t) return kBadItem;
                w = (*t)->size();
            }
            if (pos + w > kMaxColumn) return kOverflow;
            // Columns beyond the end of the record read as blanks.
            const std::string field =
                w == 0 ? std::string()
                       : cols(record, static_cast<int>(pos + 1), static_cast<int>(pos + w));
            const int status = scan(s, field, targets[next], values[next]);
            if (status != kOk) return status;
            ++next;
            pos += w;
        }
    }
    for (std::size_t i = 0; i < targets.size(); ++i) store(targets[i], values[i]);
    return kOk;
}

int read(const Format& format, std::string_view record, std::initializer_list<In> targets) {
    return read(format, record, std::span<const In>(targets.begin(), targets.size()));
}

int read(std::string_view format, std::string_view record, std::span<const In> targets) {
    return read(Format::parse(format), record, targets);
}

int read(std::string_view format, std::string_view record, std::initializer_list<In> targets) {
    return read(Format::parse(format), record, targets);
}

// List-directed lines. Each line starts with a blank: a text piece at the
// start of a line gets one written before it, and an integer piece carries its
// own. Before a piece that would make the line 80 or more characters long the
// line is ended, unless the line is still empty; so a piece too long for any
// line is written whole on a line of its own.
std::string listed(std::span<const ListItem> items) {
    constexpr std::size_t kWidth = 80;
    std::string out;
    std::string line;
    for (const auto& item : items) {
        std::string piece;
        bool integer = false;
        if (const auto* s = std::get_if<std::string_view>(&item)) {
            piece = std::string(*s);
        } else {
            piece = ' ';
            piece += std::to_string(std::get<std::int32_t>(item));
            integer = true;
        }
        if (!line.empty() && line.size() + piece.size() >= kWidth) {
            out += line;
            out += '\n';
            line.clear();
        }
        if (line.empty() && !integer) line.push_back(' ');
        line += piece;
    }
    out += line;
    out += '\n';
    return out;
}

std::string listed(std::initializer_list<ListItem> items) {
    return listed(std::span<const ListItem>(items.begin(), items.size()));
}

}  // namespace corvane::edit
