// Differential test: every format the library uses, run with many values from
// a fixed seed through the format module and through libf2c, which implements
// the same edit descriptors independently. Output records, read values and the
// success or failure of each read must agree.
//
// Where the two differ on purpose, the generators keep away from the case and
// the KnownDifference tests at the end pin both behaviours down:
// - a comma inside a numeric input field: libf2c ends the field there (a later
//   extension of the descriptors); here it is a character that cannot belong
//   to a number, so the read fails;
// - an integer field whose value does not fit 32 bits: libf2c wraps it into a
//   wrong value; here the read fails;
// - a real field whose value is too large for its target: libf2c stores an
//   infinity; here the read fails;
// - a write past the end of the record: libf2c drops the characters and
//   reports success; here it fails with kOverflow and the record is unchanged;
// - a value that is not finite in an F field: libf2c writes "nan" or "inf";
//   here the field is filled with asterisks like any value that cannot be shown;
// - a Tn back to the left after a field that ran past the end of a short
//   record: libf2c moves back from where its reading stopped, not from the
//   column where the field ended, and so reads the wrong columns; here every
//   field is read from the columns the format gives;
// - list-directed output: libf2c ends a line before an integer when the line
//   length plus the number of digits (not counting the leading blank or the
//   sign) reaches 80, so an integer may end in column 80 or 81; here an integer
//   item is a blank and its digits like any other piece, and the line is ended
//   before it when the piece would reach column 80.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <variant>
#include <vector>

#include "f2c_oracle.h"
#include "setup/format.h"
#include "setup/text.h"

namespace {

namespace fmt = cv::fmt;

// A data descriptor of a format: its kind, first column, width and decimals.
// A bare A has width 0: it takes the length of its item.
struct Field {
    char kind;
    int col;
    int w;
    int d;
};

// A quoted format with its data fields, worked out by hand from the
// descriptors, and the number of columns it reaches when all items are given.
struct Quoted {
    const char* format;
    int reach;
    std::vector<Field> fields;
};

std::vector<Field> run(char kind, int first, int w, int d, int count, int step) {
    std::vector<Field> out;
    for (int i = 0; i < count; ++i) out.push_back({kind, first + i * step, w, d});
    return out;
}

std::vector<Field> operator+(std::vector<Field> a, const std::vector<Field>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const std::vector<Quoted>& quoted() {
    static const std::vector<Quoted> all = {
        {"(A9,A8,A12,A12,A5,A14,A8,12X)",
         80,
         {{'A', 1, 9, 0},
          {'A', 10, 8, 0},
          {'A', 18, 12, 0},
          {'A', 30, 12, 0},
          {'A', 42, 5, 0},
          {'A', 47, 14, 0},
          {'A', 61, 8, 0}}},
        {"(A18,A12,A3,A1,3(A9,A2),13X)",
         80,
         {{'A', 1, 18, 0},
          {'A', 19, 12, 0},
          {'A', 31, 3, 0},
          {'A', 34, 1, 0},
          {'A', 35, 9, 0},
          {'A', 44, 2, 0},
          {'A', 46, 9, 0},
          {'A', 55, 2, 0},
          {'A', 57, 9, 0},
          {'A', 66, 2, 0}}},
        {"(A8,A8,3(A8,A2),A6,A1,A25,2X)",
         80,
         {{'A', 1, 8, 0},
          {'A', 9, 8, 0},
          {'A', 17, 8, 0},
          {'A', 25, 2, 0},
          {'A', 27, 8, 0},
          {'A', 35, 2, 0},
          {'A', 37, 8, 0},
          {'A', 45, 2, 0},
          {'A', 47, 6, 0},
          {'A', 53, 1, 0},
          {'A', 54, 25, 0}}},
        {"(A6,A1,A6,A1,A22,44X)",
         80,
         {{'A', 1, 6, 0}, {'A', 7, 1, 0}, {'A', 8, 6, 0}, {'A', 14, 1, 0}, {'A', 15, 22, 0}}},
        {"(F7.4,I3,A1,3I3,A1,1X,A1)",
         23,
         {{'F', 1, 7, 4},
          {'I', 8, 3, -1},
          {'A', 11, 1, 0},
          {'I', 12, 3, -1},
          {'I', 15, 3, -1},
          {'I', 18, 3, -1},
          {'A', 21, 1, 0},
          {'A', 23, 1, 0}}},
        // Three groups of three F5.2 each followed by a blank, and a blank
        // after each group: fields at 7, 13, 19, then 26, 32, 38, then 45, ...
        {"(6X,3(3(F5.2,1X),1X))", 63,
         run('F', 7, 5, 2, 3, 6) + run('F', 26, 5, 2, 3, 6) + run('F', 45, 5, 2, 3, 6)},
        {"(T7,F9.5)", 15, {{'F', 7, 9, 5}}},
        {"(T40,F5.3)", 44, {{'F', 40, 5, 3}}},
        {"(3F9.5)", 27, run('F', 1, 9, 5, 3, 9)},
        {"(F8.4)", 8, {{'F', 1, 8, 4}}},
        {"(F6.3)", 6, {{'F', 1, 6, 3}}},
        {"(F6.2)", 6, {{'F', 1, 6, 2}}},
        {"(F7.3)", 7, {{'F', 1, 7, 3}}},
        {"(F7.5)", 7, {{'F', 1, 7, 5}}},
        {"(F9.0)", 9, {{'F', 1, 9, 0}}},
        {"(F8.0)", 8, {{'F', 1, 8, 0}}},
        {"(F7.0)", 7, {{'F', 1, 7, 0}}},
        {"(f8.0)", 8, {{'F', 1, 8, 0}}},
        {"(I3.0)", 3, {{'I', 1, 3, 0}}},
        {"(3I3)", 9, run('I', 1, 3, -1, 3, 3)},
        {"(A81)", 81, {{'A', 1, 81, 0}}},
        {"(A6,1X,A71)", 78, {{'A', 1, 6, 0}, {'A', 8, 71, 0}}},
        {"(6x,i10)", 16, {{'I', 7, 10, -1}}},
        {"(a2,i1,a8)", 11, {{'A', 1, 2, 0}, {'I', 3, 1, -1}, {'A', 4, 8, 0}}},
        {"(a6,1x,a)", 80, {{'A', 1, 6, 0}, {'A', 8, 0, 0}}},
        {"(A3,3X,A20,1X,I2)", 29, {{'A', 1, 3, 0}, {'A', 7, 20, 0}, {'I', 28, 2, -1}}},
        {"(3X,A3,3X,A20)", 29, {{'A', 4, 3, 0}, {'A', 10, 20, 0}}},
        // Corners of the descriptors beyond the quoted formats: minimum digit
        // counts, a field written over an earlier one, fields too narrow for
        // most values.
        {"(I5.3,I4.4)", 9, {{'I', 1, 5, 3}, {'I', 6, 4, 4}}},
        {"(A6,T3,F4.1)", 6, {{'A', 1, 6, 0}, {'F', 3, 4, 1}}},
        {"(F3.2,F1.0,F4.0)", 8, {{'F', 1, 3, 2}, {'F', 4, 1, 0}, {'F', 5, 4, 0}}},
    };
    return all;
}

// A deterministic source of choices (a fixed seed, and no distribution
// objects whose results could differ between standard libraries).
class Rng {
  public:
    explicit Rng(std::uint64_t seed) : gen_(seed) {}
    int below(int n) { return static_cast<int>(gen_() % static_cast<std::uint64_t>(n)); }
    bool chance(int percent) { return below(100) < percent; }
    char pick(const std::string& set) {
        return set[static_cast<std::size_t>(below(static_cast<int>(set.size())))];
    }
    double unit() { return static_cast<double>(gen_() >> 11) * 0x1.0p-53; }

  private:
    std::mt19937_64 gen_;
};

const std::string kDigits = "0123456789";

// Printable characters except the comma (see the file comment).
std::string printable() {
    std::string s;
    for (char c = ' '; c <= '~'; ++c) {
        if (c != ',') s += c;
    }
    return s;
}

// Characters that can spoil a numeric field: everything printable but digits
// and the comma.
std::string spoilers() {
    std::string s;
    for (char c : printable()) {
        if (kDigits.find(c) == std::string::npos) s += c;
    }
    return s;
}

std::string random_text(Rng& rng, int length) {
    static const std::string chars = printable();
    std::string s;
    for (int i = 0; i < length; ++i) s += rng.pick(chars);
    return s;
}

// ---------------------------------------------------------------------------
// Values to write
// ---------------------------------------------------------------------------

std::int32_t random_int(Rng& rng, int w) {
    switch (rng.below(6)) {
        case 0:
            return 0;
        case 1:
            return rng.chance(50) ? std::numeric_limits<std::int32_t>::max()
                                  : std::numeric_limits<std::int32_t>::min();
        default: {
            // Up to one digit more than the field holds, so that some overflow.
            const int digits = 1 + rng.below(std::min(w + 1, 10));
            std::int64_t v = 0;
            for (int i = 0; i < digits; ++i) v = v * 10 + rng.below(10);
            if (v > std::numeric_limits<std::int32_t>::max()) v /= 10;
            return static_cast<std::int32_t>(rng.chance(30) ? -v : v);
        }
    }
}

double random_real(Rng& rng, int w, int d) {
    const double sign = rng.chance(30) ? -1.0 : 1.0;
    const int int_digits = std::max(0, w - d - 1);
    switch (rng.below(7)) {
        case 0:
            return rng.chance(50) ? 0.0 : -0.0;
        case 1: {
            // A half-way case at the last decimal: k.5 units of 10^-d.
            const double k = std::floor(rng.unit() * std::pow(10.0, std::min(int_digits + d, 8)));
            return sign * (k + 0.5) / std::pow(10.0, d);
        }
        case 2:
            // Small enough to round to zero (or to one unit) at d decimals.
            return sign * rng.unit() * std::pow(10.0, -d);
        case 3:
            // Around the largest value the field can show.
            return sign * std::pow(10.0, int_digits) * (0.999 + rng.unit() * 0.002);
        case 4:
            // Far too large for any field.
            return sign * std::pow(10.0, 10 + rng.below(280)) * (1 + rng.unit());
        default:
            return sign * rng.unit() * std::pow(10.0, rng.below(int_digits + 2));
    }
}

// ---------------------------------------------------------------------------
// Fields to read
// ---------------------------------------------------------------------------

// Sprinkles blanks into a text (blanks inside numeric fields are ignored).
std::string with_blanks(Rng& rng, std::string s) {
    const int n = rng.chance(60) ? 0 : 1 + rng.below(3);
    for (int i = 0; i < n; ++i) {
        s.insert(static_cast<std::size_t>(rng.below(static_cast<int>(s.size()) + 1)), 1, ' ');
    }
    return s;
}

// Places a text in a field of w columns: right-aligned, left-aligned or in
// between; a text longer than the field is cut (the cut itself may spoil it).
std::string place(Rng& rng, const std::string& s, int w) {
    const auto width = static_cast<std::size_t>(w);
    if (s.size() >= width) return s.substr(0, width);
    const auto room = width - s.size();
    const auto lead =
        rng.chance(50) ? room : static_cast<std::size_t>(rng.below(static_cast<int>(room) + 1));
    return std::string(lead, ' ') + s + std::string(room - lead, ' ');
}

std::string spoil(Rng& rng, std::string s) {
    static const std::string bad = spoilers();
    if (s.empty()) return std::string(1, rng.pick(bad));
    s[static_cast<std::size_t>(rng.below(static_cast<int>(s.size())))] = rng.pick(bad);
    return s;
}

std::string digits(Rng& rng, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += rng.pick(kDigits);
    return s;
}

std::string int_field(Rng& rng, int w) {
    std::string s;
    switch (rng.below(8)) {
        case 0:
            return std::string(static_cast<std::size_t>(w), ' ');
        case 1:
            s = rng.chance(50) ? "-" : "+";
            break;
        default:
            s = (rng.chance(25) ? "-" : rng.chance(10) ? "+" : "") + digits(rng, 1 + rng.below(w));
    }
    s = with_blanks(rng, s);
    if (rng.chance(25)) s = spoil(rng, s);
    s = place(rng, s, w);
    // Keep within 32 bits: beyond them the two differ on purpose.
    std::string bare;
    for (char c : s) {
        if (c != ' ' && c != '+' && c != '-') bare += c;
    }
    const auto first = bare.find_first_not_of('0');
    if (first != std::string::npos && bare.size() - first >= 10 &&
        bare.find_first_not_of(kDigits) == std::string::npos) {
        return place(rng, "1", w);
    }
    return s;
}

std::string real_field(Rng& rng, int w) {
    if (rng.chance(8)) return std::string(static_cast<std::size_t>(w), ' ');
    std::string s;
    if (rng.chance(30)) s += rng.chance(70) ? '-' : '+';
    const int n = rng.below(w);
    std::string mantissa = digits(rng, n);
    if (rng.chance(60)) {
        mantissa.insert(static_cast<std::size_t>(rng.below(n + 1)), 1, '.');
    }
    s += mantissa;
    if (rng.chance(25)) {
        // One exponent digit at most keeps every value within a float.
        static const std::string marks[] = {"E", "e", "D", "d", "E+", "E-", "d-", "+", "-"};
        s += marks[rng.below(9)];
        if (rng.chance(90)) s += rng.pick(kDigits);
    }
    s = with_blanks(rng, s);
    if (rng.chance(25)) s = spoil(rng, s);
    return place(rng, s, w);
}

// ---------------------------------------------------------------------------
// Comparison helpers
// ---------------------------------------------------------------------------

std::string describe(const std::vector<oracle::Item>& items) {
    std::string out;
    for (const auto& it : items) {
        if (const auto* s = std::get_if<std::string>(&it)) {
            out += "'" + *s + "' ";
        } else if (const auto* i = std::get_if<std::int32_t>(&it)) {
            out += std::to_string(*i) + " ";
        } else if (const auto* f = std::get_if<float>(&it)) {
            char b[40];
            std::snprintf(b, sizeof b, "%.9gf ", static_cast<double>(*f));
            out += b;
        } else {
            char b[40];
            std::snprintf(b, sizeof b, "%.17g ", std::get<double>(it));
            out += b;
        }
    }
    return out;
}

std::vector<fmt::Out> as_out(const std::vector<oracle::Item>& items) {
    std::vector<fmt::Out> out;
    for (const auto& it : items) {
        if (const auto* s = std::get_if<std::string>(&it)) {
            out.emplace_back(std::string_view(*s));
        } else if (const auto* i = std::get_if<std::int32_t>(&it)) {
            out.emplace_back(*i);
        } else if (const auto* f = std::get_if<float>(&it)) {
            out.emplace_back(*f);
        } else {
            out.emplace_back(std::get<double>(it));
        }
    }
    return out;
}

std::vector<fmt::In> as_in(std::vector<oracle::Item>& targets) {
    std::vector<fmt::In> out;
    for (auto& t : targets) {
        if (auto* s = std::get_if<std::string>(&t)) {
            out.emplace_back(s);
        } else if (auto* i = std::get_if<std::int32_t>(&t)) {
            out.emplace_back(i);
        } else if (auto* f = std::get_if<float>(&t)) {
            out.emplace_back(f);
        } else {
            out.emplace_back(&std::get<double>(t));
        }
    }
    return out;
}

// Fresh targets for a format's fields, holding marker values.
std::vector<oracle::Item> targets_for(Rng& rng, const std::vector<Field>& fields, std::size_t n) {
    std::vector<oracle::Item> out;
    for (std::size_t i = 0; i < n; ++i) {
        const Field& f = fields[i];
        if (f.kind == 'A') {
            // Declared lengths shorter than, equal to and longer than the field.
            const int base = f.w == 0 ? 73 : f.w;
            const int len = std::max(1, base - 3 + rng.below(7));
            out.emplace_back(std::string(static_cast<std::size_t>(len), '?'));
        } else if (f.kind == 'I') {
            out.emplace_back(std::int32_t{-777});
        } else if (rng.chance(50)) {
            out.emplace_back(-777.0f);
        } else {
            out.emplace_back(-777.0);
        }
    }
    return out;
}

bool has_infinity(const std::vector<oracle::Item>& items) {
    for (const auto& it : items) {
        if (const auto* f = std::get_if<float>(&it); f && std::isinf(*f)) return true;
        if (const auto* g = std::get_if<double>(&it); g && std::isinf(*g)) return true;
    }
    return false;
}

constexpr int kRounds = 1500;

// ---------------------------------------------------------------------------
// The differential tests
// ---------------------------------------------------------------------------

TEST(FormatOracle, WritesAgreeForEveryQuotedFormat) {
    Rng rng(20240611);
    for (const Quoted& q : quoted()) {
        for (int round = 0; round < kRounds; ++round) {
            // Mostly every item, sometimes fewer: the format then ends early.
            const std::size_t n =
                rng.chance(80)
                    ? q.fields.size()
                    : static_cast<std::size_t>(rng.below(static_cast<int>(q.fields.size()) + 1));
            std::vector<oracle::Item> items;
            int bare_len = 0;
            for (std::size_t i = 0; i < n; ++i) {
                const Field& f = q.fields[i];
                if (f.kind == 'A') {
                    const int base = f.w == 0 ? 73 : f.w;
                    // (An empty item for a bare A at the very end of the
                    // record is an error to libf2c; nothing writes one.)
                    const int len = f.w == 0 ? 1 + rng.below(base + 3) : rng.below(base + 4);
                    if (f.w == 0) bare_len = len;
                    items.emplace_back(random_text(rng, len));
                } else if (f.kind == 'I') {
                    items.emplace_back(random_int(rng, f.w));
                } else {
                    const double x = random_real(rng, f.w, f.d);
                    if (rng.chance(40)) {
                        // Within a float's range (only finite values agree).
                        items.emplace_back(static_cast<float>(std::fabs(x) < 1e38 ? x : x / 1e270));
                    } else {
                        items.emplace_back(x);
                    }
                }
            }
            // A record long enough for all of it, sometimes with room to spare.
            const int reach = q.fields.back().w == 0 ? 7 + bare_len : q.reach;
            const auto length = static_cast<std::size_t>(reach + rng.below(4));
            const oracle::Written expected = oracle::write(q.format, length, items);
            ASSERT_EQ(expected.status, 0) << q.format << " " << describe(items);
            std::string record(length, '#');
            const auto out = as_out(items);
            ASSERT_EQ(fmt::write(q.format, record, out), fmt::kOk)
                << q.format << " " << describe(items);
            ASSERT_EQ(record, expected.record) << q.format << " " << describe(items);
        }
    }
}

TEST(FormatOracle, ReadsAgreeForEveryQuotedFormat) {
    Rng rng(19770301);
    int failures = 0;
    int successes = 0;
    int too_large = 0;
    for (const Quoted& q : quoted()) {
        for (int round = 0; round < kRounds; ++round) {
            const std::size_t n =
                rng.chance(85)
                    ? q.fields.size()
                    : static_cast<std::size_t>(rng.below(static_cast<int>(q.fields.size()) + 1));
            // Columns the format skips hold anything; the fields go on top.
            std::string record = random_text(rng, q.reach + rng.below(4));
            for (const Field& f : q.fields) {
                const int w = f.w == 0 ? static_cast<int>(record.size()) - f.col + 1 : f.w;
                if (w <= 0) continue;
                std::string text;
                if (f.kind == 'A') {
                    text = random_text(rng, w);
                } else if (f.kind == 'I') {
                    text = int_field(rng, w);
                } else {
                    text = real_field(rng, w);
                }
                cv::setcols(record, f.col, f.col + w - 1, text);
            }
            // Sometimes a record shorter than the format: the rest reads as
            // blanks (but not where a format tabs back: see the file comment).
            const bool tabs_back = std::string_view(q.format).find(",T") != std::string_view::npos;
            if (!tabs_back && rng.chance(15))
                record.resize(static_cast<std::size_t>(rng.below(q.reach + 1)));

            std::vector<oracle::Item> theirs = targets_for(rng, q.fields, n);
            std::vector<oracle::Item> ours = theirs;
            const std::vector<oracle::Item> before = ours;
            const int expected = oracle::read(q.format, record, theirs);
            const auto in = as_in(ours);
            const int status = fmt::read(q.format, record, in);
            const std::string what = std::string(q.format) + " [" + record + "]";
            if (expected == 0 && has_infinity(theirs)) {
                // Too large for its target: libf2c stores an infinity, this
                // module fails (see the file comment).
                ASSERT_EQ(status, fmt::kBadInput) << what;
                ASSERT_EQ(describe(ours), describe(before)) << what;
                ++too_large;
            } else if (expected != 0) {
                ++failures;
                ASSERT_EQ(status, fmt::kBadInput) << what << " f2c error " << expected;
                // A failed read leaves every target as it was.
                ASSERT_EQ(describe(ours), describe(before)) << what;
            } else {
                ++successes;
                ASSERT_EQ(status, fmt::kOk) << what;
                ASSERT_EQ(describe(ours), describe(theirs)) << what;
            }
        }
    }
    // The generators must exercise both outcomes in earnest.
    EXPECT_GT(failures, 2000);
    EXPECT_GT(successes, 20000);
    EXPECT_LT(too_large, 100);
}

TEST(FormatOracle, ReadsAgreeOnHandPickedNumericFields) {
    // Corners of the input rules, each through both implementations.
    const std::vector<std::string> fields = {
        "",       "-",     "+",      ".",     "-.",    "E5",    "1E",    "1E+",   "1+2",
        "1-2",    "1.5D2", "1.5d2",  "1.5e2", "1.5Q2", "1 2 3", "1.2.3", "1e2e3", "abc",
        "1e 2",   "1.5e",  "Inf",    "NaN",   "1d",    "+e",    "e",     ".e1",   "-0",
        "+-1",    "-+1",   "1--",    "1. 5",  "1d-1",  " - 1",  "1-",    "--1",   "1.e1",
        "0.0005", "00012", "1e-400", "1 E 1", "*",     "1*",    "\t1",   "1/2",   "+.",
    };
    for (const std::string& field : fields) {
        for (const char* format : {"(F8.2)", "(F8.0)", "(I8)"}) {
            std::vector<oracle::Item> theirs = {format[1] == 'I' ? oracle::Item(std::int32_t{-7})
                                                                 : oracle::Item(-7.0)};
            std::vector<oracle::Item> ours = theirs;
            const int expected = oracle::read(format, field, theirs);
            const int status = fmt::read(format, field, as_in(ours));
            if (expected != 0) {
                EXPECT_EQ(status, fmt::kBadInput) << format << " [" << field << "]";
            } else {
                EXPECT_EQ(status, fmt::kOk) << format << " [" << field << "]";
                EXPECT_EQ(describe(ours), describe(theirs)) << format << " [" << field << "]";
            }
        }
    }
}

TEST(FormatOracle, ListedLinesAgree) {
    Rng rng(31415926);
    for (int round = 0; round < 3000; ++round) {
        std::vector<oracle::ListItem> theirs;
        std::vector<fmt::ListItem> ours;
        std::vector<std::string> texts;
        texts.reserve(12);
        // The length of the current line, tracked only to keep integers away
        // from the one place where the two lay them out differently.
        std::size_t line = 0;
        const int n = rng.below(12);
        for (int i = 0; i < n; ++i) {
            if (rng.chance(35)) {
                const std::int32_t v = random_int(rng, 1 + rng.below(10));
                const std::string piece = " " + std::to_string(v);
                const std::size_t digits_only = piece.size() - 1 - (v < 0 ? 1 : 0);
                const bool theirs_wrap = line > 0 && line + digits_only >= 80;
                const bool ours_wrap = line > 0 && line + piece.size() >= 80;
                if (theirs_wrap == ours_wrap) {
                    line = (ours_wrap ? 0 : line) + piece.size();
                    theirs.emplace_back(v);
                    ours.emplace_back(v);
                    continue;
                }
            }
            const int len = rng.chance(10) ? 80 + rng.below(30) : rng.below(40);
            texts.push_back(random_text(rng, len));
            const std::string& t = texts.back();
            if (line > 0 && line + t.size() >= 80) line = 0;
            line += (line == 0 ? 1 : 0) + t.size();
            theirs.emplace_back(t);
            ours.emplace_back(std::string_view(t));
        }
        ASSERT_EQ(fmt::listed(ours), oracle::listed(theirs)) << "round " << round;
    }
}

TEST(FormatOracle, ListedMessagesOfTheLibraryAgree) {
    // The shapes the library writes: warnings (name, " WARNING: ", message)
    // around the wrap point, and card messages with a type character.
    for (int len : {0, 30, 58, 59, 60, 100}) {
        const std::string message(static_cast<std::size_t>(len), 'm');
        EXPECT_EQ(fmt::listed({std::string_view("savebitmap"), std::string_view(" WARNING: "),
                               std::string_view(message)}),
                  oracle::listed({std::string("savebitmap"), std::string(" WARNING: "), message}))
            << len;
    }
    EXPECT_EQ(fmt::listed({std::string_view(" INVALID CARD TYPE="), std::string_view("X")}),
              oracle::listed({std::string(" INVALID CARD TYPE="), std::string("X")}));
    EXPECT_EQ(fmt::listed({0, -5, 123456}), oracle::listed({0, -5, 123456}));
    EXPECT_EQ(fmt::listed({std::string_view("CONTINUED")}),
              oracle::listed({std::string("CONTINUED")}));
    EXPECT_EQ(fmt::listed({}), oracle::listed({}));
}

// ---------------------------------------------------------------------------
// Known, intended differences (see the file comment)
// ---------------------------------------------------------------------------

TEST(FormatOracleKnownDifference, CommaInANumericField) {
    std::vector<oracle::Item> theirs = {-7.0};
    ASSERT_EQ(oracle::read("(F8.2)", "1,2", theirs), 0);
    EXPECT_EQ(std::get<double>(theirs[0]), 0.01);  // libf2c: "1" with two decimals
    double ours = -7;
    EXPECT_EQ(fmt::read("(F8.2)", "1,2", {&ours}), fmt::kBadInput);
    EXPECT_EQ(ours, -7);
}

TEST(FormatOracleKnownDifference, IntegerBeyond32Bits) {
    std::vector<oracle::Item> theirs = {std::int32_t{-7}};
    ASSERT_EQ(oracle::read("(6x,i10)", "      9999999999", theirs), 0);
    EXPECT_NE(std::get<std::int32_t>(theirs[0]), -7);  // some wrapped value
    std::int32_t ours = -7;
    EXPECT_EQ(fmt::read("(6x,i10)", "      9999999999", {&ours}), fmt::kBadInput);
    EXPECT_EQ(ours, -7);
}

TEST(FormatOracleKnownDifference, RealTooLargeForItsTarget) {
    std::vector<oracle::Item> theirs = {-7.0f};
    ASSERT_EQ(oracle::read("(F9.5)", "1.0E+99", theirs), 0);
    EXPECT_TRUE(std::isinf(std::get<float>(theirs[0])));
    float ours = -7;
    EXPECT_EQ(fmt::read("(F9.5)", "1.0E+99", {&ours}), fmt::kBadInput);
    EXPECT_EQ(ours, -7);
}

TEST(FormatOracleKnownDifference, WritePastTheRecordEnd) {
    const oracle::Written theirs = oracle::write("(I5)", 3, {std::int32_t{12345}});
    EXPECT_EQ(theirs.status, 0);  // the digits are lost without a word
    std::string ours = "abc";
    EXPECT_EQ(fmt::write("(I5)", ours, {12345}), fmt::kOverflow);
    EXPECT_EQ(ours, "abc");
}

TEST(FormatOracleKnownDifference, NotFiniteReal) {
    const oracle::Written theirs =
        oracle::write("(F8.2)", 8, {std::numeric_limits<double>::quiet_NaN()});
    EXPECT_EQ(theirs.record.find("*"), std::string::npos);
    EXPECT_EQ(fmt::write("(F8.2)", {std::numeric_limits<double>::quiet_NaN()}), "********");
    EXPECT_EQ(fmt::write("(F8.2)", {-std::numeric_limits<double>::infinity()}), "********");
}

TEST(FormatOracleKnownDifference, TabBackInAShortRecord) {
    // A6 reads columns 1-6 of "a-.2" blank-extended; T3 returns to column 3,
    // where F4.1 finds ".2" and two blanks.
    std::vector<oracle::Item> theirs = {std::string(6, '?'), -7.0};
    EXPECT_NE(oracle::read("(A6,T3,F4.1)", "a-.2", theirs), 0);
    std::string text(6, '?');
    double x = -7;
    EXPECT_EQ(fmt::read("(A6,T3,F4.1)", "a-.2", {&text, &x}), fmt::kOk);
    EXPECT_EQ(text, "a-.2  ");
    EXPECT_EQ(x, 0.2);
}

TEST(FormatOracleKnownDifference, IntegerAtTheEndOfAListedLine) {
    // A line of 71 characters (a blank and 70 letters), then 12345678: as a
    // piece of 9 characters it would reach column 80, so it starts a new line;
    // libf2c counts its 8 digits only and ends the line in column 80.
    const std::string letters(70, 'a');
    EXPECT_EQ(fmt::listed({std::string_view(letters), 12345678}), " " + letters + "\n 12345678\n");
    EXPECT_EQ(oracle::listed({letters, 12345678}), " " + letters + " 12345678\n");
}

}  // namespace

// libf2c carries a main() of its own; this one runs the tests.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
