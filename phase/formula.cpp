#include <corvane/phase/formula.h>

#include <vector>

namespace corvane::phase {
namespace {

constexpr char kDot = '\x01';  // an adduct dot, whichever way it was written

bool is_upper(char c) {
    return c >= 'A' && c <= 'Z';
}
bool is_lower(char c) {
    return c >= 'a' && c <= 'z';
}
bool is_digit(char c) {
    return c >= '0' && c <= '9';
}
bool is_variable(char c) {
    return c == 'x' || c == 'y' || c == 'z' || c == 'n';
}
bool is_open(char c) {
    return c == '(' || c == '[' || c == '{';
}
bool is_close(char c) {
    return c == ')' || c == ']' || c == '}';
}
char opening_of(char close) {
    return close == ')' ? '(' : close == ']' ? '[' : '{';
}

// The formula without its markup and blanks, adduct dots as kDot. A "." is a
// decimal point between digits and an adduct dot anywhere else.
std::string clean(std::string_view text) {
    std::string s;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const auto u = static_cast<unsigned char>(c);
        if (c == '$' || c == '\\') {
            i += 2;  // a symbol or typeface code and its two characters
        } else if (c == '@') {
            ++i;  // a superscript: part of a charge
        } else if (c == '#' || c == '?' || c == ' ' || c == '\t') {
            // a subscript mark, a notation fault mark, a blank
        } else if (c == '!' || c == '*' || u == 0xF9 || u == 0xFA) {
            s += kDot;  // the notation's hydrate dot, a star, the code-page middle dots
        } else if (u == 0xC2 && i + 1 < text.size() &&
                   static_cast<unsigned char>(text[i + 1]) == 0xB7) {
            s += kDot;  // the middle dot in UTF-8
            ++i;
        } else if (c == '.') {
            const bool decimal =
                !s.empty() && is_digit(s.back()) && i + 1 < text.size() && is_digit(text[i + 1]);
            s += decimal ? '.' : kDot;
        } else {
            s += c;
        }
    }
    return s;
}

// "'Xq' is not an element", "unexpected character '='": a message naming a
// piece of the formula (built by appending, which GCC 12 at -O3 does not misread).
std::string naming(std::string_view before, std::string_view what, std::string_view after) {
    std::string m(before);
    m.append(what).append(after);
    return m;
}

struct Amounts {
    std::array<double, kElements + 1> amount{};
    ElementSet elements;

    void add(const Amounts& other, double times) {
        elements |= other.elements;
        for (std::size_t z = 1; z < amount.size(); ++z) amount[z] += other.amount[z] * times;
    }
};

// One level of brackets (or the whole formula): the components met so far
// and the one being read, with the multiplier it takes.
struct Frame {
    char open = 0;
    Amounts done;
    Amounts part;
    double multiplier = 1.0;

    Amounts total() const {
        Amounts t = done;
        t.add(part, multiplier);
        return t;
    }
};

class Parser {
  public:
    explicit Parser(std::string_view text) : s_(clean(text)) {}

    bool run(Composition& out, std::string& error) {
        frames_.push_back(Frame{});
        bool start = true;  // at the start of a component: a number is its multiplier
        while (pos_ < s_.size() && error_.empty()) {
            const char c = s_[pos_];
            if (is_upper(c)) {
                element();
                start = false;
            } else if (is_open(c)) {
                ++pos_;
                frames_.push_back(Frame{c, {}, {}, 1.0});
                start = true;
            } else if (is_close(c)) {
                close(c);
                start = false;
            } else if (c == kDot) {
                ++pos_;
                Frame& f = frames_.back();
                f.done.add(f.part, f.multiplier);
                f.part = Amounts{};
                f.multiplier = 1.0;
                start = true;
            } else if (start && (is_digit(c) || is_variable(c) || c == '.')) {
                frames_.back().multiplier = count();
                start = false;
            } else if (c == ',') {
                ++pos_;
                exact_ = false;  // a shared site
            } else if (c == '+' || c == '-') {
                charge();
            } else if (is_lower(c)) {
                std::size_t end = pos_;
                while (end < s_.size() && (is_lower(s_[end]) || is_upper(s_[end]))) ++end;
                fail(naming("'", std::string_view(s_).substr(pos_, end - pos_),
                            "' is not an element"));
            } else {
                fail(naming("unexpected character '", std::string_view(&c, 1), "'"));
            }
        }
        if (error_.empty() && frames_.size() > 1) {
            fail(naming("unbalanced '", std::string_view(&frames_.back().open, 1), "'"));
        }
        if (error_.empty()) {
            const Amounts all = frames_.front().total();
            if (all.elements.none()) {
                fail("no element");
            } else {
                out = Composition{};
                out.elements = all.elements;
                out.amount = all.amount;
                out.exact = exact_;
            }
        }
        if (!error_.empty()) {
            out = Composition{};
            error = error_;
            return false;
        }
        return true;
    }

  private:
    void fail(std::string message) {
        if (error_.empty()) error_ = std::move(message);
    }
    char at(std::size_t i) const { return i < s_.size() ? s_[i] : '\0'; }

    // A symbol, its count and its charge.
    void element() {
        const char c = s_[pos_];
        const char next = at(pos_ + 1);
        std::string symbol(1, c);
        if (is_lower(next)) {
            const std::string two = symbol + next;
            if (element_number(two) != 0) {
                symbol = two;
            } else if (!is_variable(next)) {
                fail(naming("'", two, "' is not an element"));
                return;
            }
        }
        const int z = element_number(symbol);
        if (z == 0) {
            fail(naming("'", symbol, "' is not an element"));
            return;
        }
        pos_ += symbol.size();
        const double n = count();
        Amounts& part = frames_.back().part;
        part.elements.set(static_cast<std::size_t>(z));
        part.amount[static_cast<std::size_t>(z)] += n;
        charge_after();
    }

    void close(char c) {
        ++pos_;
        if (frames_.size() < 2 || frames_.back().open != opening_of(c)) {
            fail(naming("unbalanced '", std::string_view(&c, 1), "'"));
            return;
        }
        const Amounts inner = frames_.back().total();
        frames_.pop_back();
        const double n = count();
        frames_.back().part.add(inner, n);
        charge_after();
    }

    // Digits with an optional decimal part; false when there are none.
    bool number(double& value) {
        const std::size_t start = pos_;
        double v = 0.0;
        while (is_digit(at(pos_))) v = v * 10.0 + (s_[pos_++] - '0');
        if (at(pos_) == '.' && is_digit(at(pos_ + 1))) {
            ++pos_;
            double scale = 0.1;
            while (is_digit(at(pos_))) {
                v += (s_[pos_++] - '0') * scale;
                scale /= 10.0;
            }
        }
        if (pos_ == start) return false;
        value = v;
        return true;
    }

    // One term of a count: a number, a variable, or a number times a variable
    // ("2x"); a variable counts as 0.
    bool term(double& value) {
        double v = 0.0;
        const bool digits = number(v);
        if (is_variable(at(pos_))) {
            ++pos_;
            exact_ = false;
            value = 0.0;
            return true;
        }
        value = v;
        return digits;
    }

    // Whether a term holding a variable starts at i (after a sign): only then
    // is the sign part of the count rather than a charge.
    bool variable_term_at(std::size_t i) const {
        while (is_digit(at(i)) || at(i) == '.') ++i;
        return is_variable(at(i));
    }

    // The count after a symbol or group, 1 when there is none.
    double count() {
        double value = 0.0;
        if (!term(value)) return 1.0;
        while ((at(pos_) == '-' || at(pos_) == '+') && variable_term_at(pos_ + 1)) {
            const bool minus = s_[pos_++] == '-';
            double t = 0.0;
            term(t);
            value += minus ? -t : t;
        }
        return value;
    }

    // A charge right after a symbol or group: a sign and its digits, or digits
    // and a sign ("+3", "3+": the digits of the latter were read as a count).
    void charge_after() {
        if (at(pos_) == '+' || at(pos_) == '-') charge();
    }
    void charge() {
        ++pos_;
        while (is_digit(at(pos_))) ++pos_;
    }

    std::string s_;
    std::size_t pos_ = 0;
    std::vector<Frame> frames_;
    bool exact_ = true;
    std::string error_;
};

}  // namespace

bool parse_formula(std::string_view text, Composition& out, std::string& error) {
    return Parser(text).run(out, error);
}

}  // namespace corvane::phase
