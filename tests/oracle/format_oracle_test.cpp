// Differential test: each kind of format the library uses, run with many
// values from a fixed seed through the format module and through libf2c,
// which implements the same edit descriptors independently. Output records,
// read values and the success or failure of each read must agree. Where the
// two differ on purpose the generators keep away, and tests/setup pins the
// library's side down.
#include <corvane/setup/format.h>
#include <corvane/setup/text.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

// libf2c's internal-file formatted I/O, the oracle. f2c.h comes last: it
// defines abs, min and max as macros, which are undone at once.
// clang-format off
#include <f2c.h>
#undef abs
#undef min
#undef max
// clang-format on

extern "C" {
integer s_wsfi(icilist*);
integer e_wsfi(void);
integer s_rsfi(icilist*);
integer e_rsfi(void);
integer do_fio(ftnint* number, char* ptr, ftnlen len);
}

namespace {

using Item = std::variant<std::string, std::int32_t, float, double>;

// libf2c writes the items into the internal record `unit` (of its length), or
// reads them from it: start, every item (its address and size; for a text its
// length, an empty text still needing a valid address), end. 0 or libf2c's
// error number, never an abort.
int f2c(bool write, std::string format, std::string& unit, std::vector<Item>& items) {
    const auto length = static_cast<ftnint>(unit.size());
    if (unit.empty()) unit.assign(1, ' ');
    icilist io{1, unit.data(), 1, format.data(), length, 1};
    integer status = write ? s_wsfi(&io) : s_rsfi(&io);
    for (std::size_t i = 0; status == 0 && i < items.size(); ++i) {
        ftnint one = 1;
        static char blank = ' ';
        status = std::visit(
            [&](auto& v) {
                if constexpr (std::is_same_v<std::decay_t<decltype(v)>, std::string>) {
                    return do_fio(&one, v.empty() ? &blank : v.data(), ftnlen(v.size()));
                } else {
                    return do_fio(&one, reinterpret_cast<char*>(&v), sizeof v);
                }
            },
            items[i]);
    }
    return static_cast<int>(status == 0 ? (write ? e_wsfi() : e_rsfi()) : status);
}

namespace edit = corvane::edit;
using std::string;

// A format, the columns it reaches with all its items, and its data fields
// worked out by hand as "kind col:width[.decimals]" (width 0: a bare A, as
// long as its item).
struct Field {
    char kind;
    int col, w, d;
};
struct Quoted {
    const char* format;
    int reach;
    const char* layout;
    std::vector<Field> fields() const {
        std::vector<Field> out;
        std::istringstream in(layout);
        for (string f; in >> f;) {
            Field x{f[0], 0, 0, 0};
            std::sscanf(f.c_str() + 1, "%d:%d.%d", &x.col, &x.w, &x.d);
            out.push_back(x);
        }
        return out;
    }
};

const Quoted kQuoted[] = {
    {"(A18,A12,A3,A1,3(A9,A2),13X)", 80,
     "A1:18 A19:12 A31:3 A34:1 A35:9 A44:2 A46:9 A55:2 A57:9 A66:2"},
    {"(F7.4,I3,A1,3I3,A1,1X,A1)", 23, "F1:7.4 I8:3 A11:1 I12:3 I15:3 I18:3 A21:1 A23:1"},
    {"(6X,3(3(F5.2,1X),1X))", 63,
     "F7:5.2 F13:5.2 F19:5.2 F26:5.2 F32:5.2 F38:5.2 F45:5.2 F51:5.2 F57:5.2"},
    {"(T40,F5.3)", 44, "F40:5.3"},
    {"(F8.4)", 8, "F1:8.4"},
    {"(f8.0)", 8, "F1:8.0"},
    {"(I3.0)", 3, "I1:3"},
    {"(6x,i10)", 16, "I7:10"},
    {"(a6,1x,a)", 80, "A1:6 A8:0"},
    // Beyond the library's formats: minimum digits, a field written over an
    // earlier one, fields too narrow for most values.
    {"(I5.3,I4.4)", 9, "I1:5 I6:4"},
    {"(A6,T3,F4.1)", 6, "A1:6 F3:4.1"},
    {"(F3.2,F1.0,F4.0)", 8, "F1:3.2 F4:1.0 F5:4.0"},
};

// Fixed-seed choices, without distribution objects whose results could differ
// between standard libraries.
struct Rng {
    std::mt19937_64 gen;
    int below(int n) { return static_cast<int>(gen() % static_cast<std::uint64_t>(n)); }
    bool chance(int percent) { return below(100) < percent; }
    double unit() { return static_cast<double>(gen() >> 11) * 0x1.0p-53; }
    string text(const string& set, int n) {
        string s;
        for (int i = 0; i < n; ++i) s += set[below(static_cast<int>(set.size()))];
        return s;
    }
};

const string kDigits = "0123456789";
// Printable characters but the comma; the spoilers also leave out the digits.
const string kSpoilers =
    " !\"#$%&'()*+-./:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`abcdefghijklmnopqrstuvwxyz{|}~";
const string kPrintable = kSpoilers + kDigits;

// Values to write: zeros, extremes, half-way cases, values around and far
// beyond what the field shows (an integer up to one digit wider than its field).
Item value(Rng& rng, const Field& f) {
    const double sign = rng.chance(30) ? -1.0 : 1.0;
    if (f.kind == 'I') {
        if (rng.chance(30))
            return std::int32_t{rng.chance(50) ? 0 : rng.chance(50) ? INT32_MAX : INT32_MIN};
        const std::int64_t v = std::stoll(rng.text(kDigits, 1 + rng.below(std::min(f.w + 1, 10))));
        return static_cast<std::int32_t>(sign * static_cast<double>(v > INT32_MAX ? v / 10 : v));
    }
    const int int_digits = std::max(0, f.w - f.d - 1);
    double x = sign * rng.unit() * std::pow(10.0, rng.below(int_digits + 2));
    switch (rng.below(7)) {
        case 0:
            x = rng.chance(50) ? 0.0 : -0.0;
            break;
        case 1:  // half-way at the last decimal
            x = sign *
                (std::floor(rng.unit() * std::pow(10.0, std::min(int_digits + f.d, 8))) + 0.5) /
                std::pow(10.0, f.d);
            break;
        case 2:  // rounds to zero or to one unit
            x = sign * rng.unit() * std::pow(10.0, -f.d);
            break;
        case 3:  // around the largest value the field shows
            x = sign * std::pow(10.0, int_digits) * (0.999 + rng.unit() * 0.002);
            break;
        case 4:  // far too large for any field
            x = sign * std::pow(10.0, 10 + rng.below(280)) * (1 + rng.unit());
    }
    // A float within its range: only finite values agree.
    if (rng.chance(40)) return static_cast<float>(std::fabs(x) < 1e38 ? x : x / 1e270);
    return x;
}

// Fields to read: numbers with stray blanks and signs, sometimes spoiled by a
// character that cannot belong to them, placed anywhere in the field. Ten
// digits begin with 1: beyond 32 bits the two differ on purpose.
string field(Rng& rng, const Field& f, int w) {
    if (f.kind == 'A') return rng.text(kPrintable, w);
    if (rng.chance(10)) return string(w, ' ');
    string s;
    if (f.kind == 'I') {
        s = rng.chance(14) ? "-" : rng.text(kDigits, 1 + rng.below(w));
        if (s.size() >= 10) s[0] = '1';
        if (rng.chance(25)) {
            s.insert(s.begin(), '-');
        } else if (rng.chance(10)) {
            s.insert(s.begin(), '+');
        }
    } else if (rng.chance(4)) {  // shapes the rules below rarely or never make
        static const string odd[] = {"E5",    ".e1", "+e",  "1d",  "-0",  "1. 5",  " - 1",
                                     "1 E 1", "--1", "1--", "\t1", "1/2", "00012", "1e-400"};
        return odd[rng.below(14)].substr(0, static_cast<std::size_t>(w));
    } else {
        if (rng.chance(30)) s += rng.chance(70) ? '-' : '+';
        const int n = rng.below(w);
        string mantissa = rng.text(kDigits, n);
        if (rng.chance(60)) mantissa.insert(rng.below(n + 1), 1, '.');
        s += mantissa;
        if (rng.chance(25)) {  // one exponent digit at most keeps every value within a float
            static const string marks[] = {"E", "e", "D", "d", "E+", "E-", "d-", "+", "-"};
            s += marks[rng.below(9)] + (rng.chance(90) ? rng.text(kDigits, 1) : "");
        }
    }
    for (int n = rng.chance(60) ? 0 : 1 + rng.below(3); n > 0; --n) {
        s.insert(rng.below(static_cast<int>(s.size()) + 1), 1, ' ');
    }
    if (rng.chance(25)) {
        if (s.empty()) s.push_back(' ');
        s[rng.below(static_cast<int>(s.size()))] = rng.text(kSpoilers, 1)[0];
    }
    const auto width = static_cast<std::size_t>(w);
    if (s.size() >= width) return s.substr(0, width);  // the cut may spoil it too
    const auto room = width - s.size();
    const auto lead = rng.chance(50) ? room : rng.below(static_cast<int>(room) + 1);
    return string(lead, ' ') + s + string(room - lead, ' ');
}

// Items on both sides, compared through a text that shows every bit.
string describe(const std::vector<Item>& items) {
    std::ostringstream out;
    out << std::hexfloat;
    for (const auto& it : items) std::visit([&](const auto& v) { out << "'" << v << "' "; }, it);
    return out.str();
}

constexpr int kRounds = 3000;
TEST(FormatOracle, WritesAgreeForEveryQuotedFormat) {
    Rng rng{std::mt19937_64(20240611)};
    for (const Quoted& q : kQuoted) {
        const std::vector<Field> fields = q.fields();
        for (int round = 0; round < kRounds; ++round) {
            // Mostly every item, sometimes fewer: the format then ends early.
            // A bare A is never empty: at the end of the record libf2c
            // refuses that.
            std::vector<Item> items;
            std::vector<edit::Out> ours;
            int reach = q.reach;
            const auto n = rng.chance(80) ? fields.size() : rng.below(int(fields.size()) + 1);
            for (std::size_t k = 0; k < n; ++k) {
                const Field& f = fields[k];
                const int len = f.w == 0 ? 1 + rng.below(76) : rng.below(f.w + 4);
                if (f.kind == 'A' && f.w == 0) reach = f.col - 1 + len;
                items.push_back(f.kind == 'A' ? Item(rng.text(kPrintable, len)) : value(rng, f));
            }
            for (const auto& it : items)
                std::visit([&](const auto& v) { ours.emplace_back(v); }, it);
            const auto length = static_cast<std::size_t>(reach + rng.below(4));
            string want(length, '#'), record(length, '#');
            SCOPED_TRACE(string(q.format) + " " + describe(items));
            ASSERT_EQ(f2c(true, q.format, want, items), 0);
            ASSERT_EQ(edit::write(q.format, record, ours), edit::kOk);
            ASSERT_EQ(record, want);
        }
    }
}

TEST(FormatOracle, ReadsAgreeForEveryQuotedFormat) {
    Rng rng{std::mt19937_64(19770301)};
    int failures = 0, successes = 0, too_large = 0;
    for (const Quoted& q : kQuoted) {
        const std::vector<Field> fields = q.fields();
        for (int round = 0; round < kRounds; ++round) {
            // Skipped columns hold anything; the fields go on top. Sometimes
            // shorter than the format: the rest reads as blanks (not where a
            // format tabs back, a known difference).
            string record = rng.text(kPrintable, q.reach + rng.below(4));
            for (const Field& f : fields) {
                const int w = f.w == 0 ? static_cast<int>(record.size()) - f.col + 1 : f.w;
                if (w > 0) corvane::setcols(record, f.col, f.col + w - 1, field(rng, f, w));
            }
            if (string(q.format).find(",T") == string::npos && rng.chance(15)) {
                record.resize(rng.below(q.reach + 1));
            }
            // Targets with markers; texts shorter than, equal to and longer
            // than their fields; mostly every target, sometimes fewer.
            std::vector<Item> theirs;
            const auto n = rng.chance(85) ? fields.size() : rng.below(int(fields.size()) + 1);
            for (std::size_t k = 0; k < n; ++k) {
                const Field& f = fields[k];
                const int len = std::max(1, (f.w ? f.w : 73) - 3 + rng.below(7));
                theirs.push_back(f.kind == 'A'    ? Item(string(len, '?'))
                                 : f.kind == 'I'  ? Item(std::int32_t{-777})
                                 : rng.chance(50) ? Item(-777.0f)
                                                  : Item(-777.0));
            }
            std::vector<Item> ours = theirs;
            std::vector<edit::In> targets;
            for (auto& t : ours) std::visit([&](auto& v) { targets.emplace_back(&v); }, t);
            const string before = describe(ours);
            string unit = record;
            const int expected = f2c(false, q.format, unit, theirs);
            const int status = edit::read(q.format, record, targets);
            SCOPED_TRACE(string(q.format) + " [" + record + "] libf2c " + std::to_string(expected));
            const bool too_big = std::any_of(theirs.begin(), theirs.end(), [](const Item& it) {
                const auto* f = std::get_if<float>(&it);
                const auto* d = std::get_if<double>(&it);
                return (f != nullptr && std::isinf(*f)) || (d != nullptr && std::isinf(*d));
            });
            // A failure, or a value too large for its target (a known
            // difference): nothing is stored.
            const bool stored = expected == 0 && !too_big;
            successes += stored;
            failures += expected != 0;
            too_large += expected == 0 && too_big;
            ASSERT_EQ(status, stored ? edit::kOk : edit::kBadInput);
            ASSERT_EQ(describe(ours), stored ? describe(theirs) : before);
        }
    }
    // Both outcomes in earnest.
    EXPECT_GT(failures, 2000);
    EXPECT_GT(successes, 15000);
    EXPECT_LT(too_large, 100);
}

}  // namespace

// libf2c carries a main() of its own; this one runs the tests.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
