// hitlist SUBFILE: loads SUBFILE and prints its history, one line per record
// ("history 1: Starting from full database"), the number of hits ("hits: 3"),
// then one tab-separated line per hit in entry order: rank, entry number,
// identifier, name text 1, and the entry's three strongest lines (the highest
// intensities; of equal ones, the first in the entry's line list), each as its
// d-spacing with four decimals and its intensity. An entry with fewer lines
// has fewer fields; a line whose code has no d-spacing is left out. Control
// characters in a name (a tab would break the columns) are shown as blanks.
//
// Only what is printed is read or computed: the index, the name and the line
// records (not the reference), and the d-spacings of the lines shown.
//
// -format tsv, csv or json gives the hits alone as records of named fields
// (rank, entry, identifier, name and the three lines) for other programs; the
// history and the count are left out. text, the default, is the listing above.
#include <corvane/entries/angles.h>
#include <corvane/entries/reports.h>
#include <corvane/hits/report.h>
#include <corvane/hits/startup.h>
#include <corvane/hits/subfile.h>
#include <corvane/phase/records.h>

#include <array>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/common.h"
#include "cli/tools.h"

namespace corvane::cli {
namespace {

constexpr Tool kHitlist = {"hitlist", "list a subfile's history and hits",
                           "\thitlist [-format text|tsv|csv|json] <subfile>\n"};

// Standard output through one large buffer of its own.
class Output {
  public:
    ~Output() { flush(); }
    void text(std::string_view s) {
        buffer_ += s;
        if (buffer_.size() >= kFlushAt) flush();
    }
    void number(long long v) {
        std::array<char, 24> digits{};
        const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), v).ptr;
        text(std::string_view(digits.data(), static_cast<std::size_t>(end - digits.data())));
    }
    // A d-spacing with four decimals, as "%.4f" writes it.
    void fixed4(float d) {
        std::array<char, 64> digits{};
        const auto end = std::to_chars(digits.data(), digits.data() + digits.size(),
                                       static_cast<double>(d), std::chars_format::fixed, 4)
                             .ptr;
        text(std::string_view(digits.data(), static_cast<std::size_t>(end - digits.data())));
    }
    // True when every byte reached standard output.
    bool flush() {
        if (!buffer_.empty() &&
            std::fwrite(buffer_.data(), 1, buffer_.size(), stdout) != buffer_.size()) {
            ok_ = false;
        }
        buffer_.clear();
        if (std::fflush(stdout) != 0) ok_ = false;
        return ok_;
    }

  private:
    static constexpr std::size_t kFlushAt = std::size_t{1} << 16;
    std::string buffer_;
    bool ok_ = true;
};

bool control(char c) {
    return static_cast<unsigned char>(c) < 32 || c == 127;
}

// The name with every control character shown as a blank.
void printable(Output& out, const std::string& text) {
    bool any = false;
    for (char c : text) any = any || control(c);
    if (!any) {
        out.text(text);
        return;
    }
    std::string shown = text;
    for (char& c : shown) {
        if (control(c)) c = ' ';
    }
    out.text(shown);
}

// The lines in the order they are shown: highest intensity first, of equal
// ones the first in line order.
bool before(const LineValues<std::int32_t>& intensities, int a, int b) {
    const auto ia = intensities[static_cast<std::size_t>(a)];
    const auto ib = intensities[static_cast<std::size_t>(b)];
    return ia > ib || (ia == ib && a < b);
}

// The d-spacing of an angle code, or 0 when krxtod refuses it.
float dspacing(std::int32_t code) {
    float d = 0.0f;
    krxtod(code, d);
    return d;
}

struct Shown {
    float d;
    std::int32_t intensity;
};

// The (up to) three strongest lines with a d-spacing, in the order shown, a
// line whose code has no d-spacing passed over. Only the lines shown are
// decoded: one pass finds the three strongest, and only when one of them has
// no d-spacing are the others taken in order, one pass each.
int strongest(std::int32_t nd, const LineValues<std::int32_t>& intensities,
              const LineValues<std::int32_t>& codes, std::array<Shown, 3>& shown) {
    const int lines = nd < 0 ? 0 : (nd > kMaxLines ? kMaxLines : nd);
    // A line's rank as one number: its intensity (0 to 255), then the earlier
    // line first; 0 for no line.
    auto key = [&](int i) {
        const auto intensity = static_cast<std::uint32_t>(intensities[static_cast<std::size_t>(i)]);
        return (intensity << 8 | static_cast<std::uint32_t>(255 - i)) + 1u;
    };
    std::array<std::uint32_t, 3> best{};  // the three largest keys, largest first
    for (int i = 0; i < lines; ++i) {
        const std::uint32_t k = key(i);
        if (k <= best[2]) continue;
        if (k > best[0]) {
            best = {k, best[0], best[1]};
        } else if (k > best[1]) {
            best = {best[0], k, best[1]};
        } else {
            best[2] = k;
        }
    }
    std::array<int, 3> top{};
    for (std::size_t j = 0; j < 3; ++j) {
        top[j] = best[j] == 0 ? -1 : 255 - static_cast<int>((best[j] - 1u) & 0xFFu);
    }
    std::array<float, 3> d{};
    bool all = true;
    for (std::size_t j = 0; j < 3; ++j) {
        if (top[j] < 0) break;
        d[j] = dspacing(codes[static_cast<std::size_t>(top[j])]);
        all = all && d[j] > 0.0f;
    }
    if (all) {
        int count = 0;
        for (std::size_t j = 0; j < 3 && top[j] >= 0; ++j) {
            shown[j] = {d[j], intensities[static_cast<std::size_t>(top[j])]};
            ++count;
        }
        return count;
    }
    // Some strong line has no d-spacing: walk the lines in order of strength.
    std::array<bool, kMaxLines> taken{};
    int count = 0;
    while (count < 3) {
        int next = -1;
        for (int i = 0; i < lines; ++i) {
            if (!taken[static_cast<std::size_t>(i)] && (next < 0 || before(intensities, i, next))) {
                next = i;
            }
        }
        if (next < 0) break;
        const auto line = static_cast<std::size_t>(next);
        taken[line] = true;
        const float dl = dspacing(codes[line]);
        if (!(dl > 0.0f)) continue;
        shown[static_cast<std::size_t>(count++)] = {dl, intensities[line]};
    }
    return count;
}

// "\t2.0000\t100" for each line shown.
void line_fields(Output& out, const std::array<Shown, 3>& shown, int count) {
    for (std::size_t j = 0; j < static_cast<std::size_t>(count); ++j) {
        out.text("\t");
        out.fixed4(shown[j].d);
        out.text("\t");
        out.number(shown[j].intensity);
    }
}

// A d-spacing with four decimals.
std::string fixed4(float d) {
    std::array<char, 64> digits{};
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(),
                                   static_cast<double>(d), std::chars_format::fixed, 4)
                         .ptr;
    return std::string(digits.data(), end);
}

// The fields of the machine-readable formats: the lines as d1, i1 .. d3, i3
// (tsv and csv) or as one array "lines" of objects (json).
std::vector<std::string> record_fields(phase::Format format) {
    if (format == phase::Format::kJson) return {"rank", "entry", "identifier", "name", "lines"};
    return {"rank", "entry", "identifier", "name", "d1", "i1", "d2", "i2", "d3", "i3"};
}

std::vector<phase::Value> record_values(phase::Format format, int rank, int entry,
                                        std::int32_t entid, const std::string& name,
                                        const std::array<Shown, 3>& shown, int count) {
    using phase::Value;
    std::vector<Value> v = {Value::number(std::to_string(rank)),
                            Value::number(std::to_string(entry)),
                            Value::number(std::to_string(entid)), Value::string(name)};
    if (format == phase::Format::kJson) {
        std::string lines = "[";
        for (std::size_t j = 0; j < static_cast<std::size_t>(count); ++j) {
            if (j > 0) lines += ',';
            lines += "{\"d\":" + fixed4(shown[j].d) +
                     ",\"intensity\":" + std::to_string(shown[j].intensity) + "}";
        }
        v.push_back(Value::json(lines + "]"));
        return v;
    }
    for (std::size_t j = 0; j < 3; ++j) {
        if (j < static_cast<std::size_t>(count)) {
            v.push_back(Value::number(fixed4(shown[j].d)));
            v.push_back(Value::number(std::to_string(shown[j].intensity)));
        } else {
            v.push_back(Value::null());
            v.push_back(Value::null());
        }
    }
    return v;
}

}  // namespace

int hitlist(int argc, char** argv) {
    const auto args = arguments(argc, argv);
    if (const auto status = help_or_version(kHitlist, args)) return *status;
    phase::Format format = phase::Format::kText;
    std::size_t first = 0;
    bool ok = true;
    if (!args.empty() && args[0] == "-format") {
        if (args.size() < 2) {
            std::fputs("missing value for option -format\n", stderr);
            ok = false;
        } else if (!phase::parse_format(args[1], format)) {
            std::fprintf(stderr, "unknown format: %s\n", args[1].c_str());
            ok = false;
        }
        first = 2;
    }
    if (!ok || args.size() != first + 1) {
        usage_error(kHitlist);
        return 1;
    }
    const std::string& subfile = args[first];
    auto lib = std::make_unique<Library>();
    if (!start_database(*lib, kDbIndex | kDbNames | kDbLines)) return 1;
    if (cvl_readbitmap(*lib, terminated(subfile), 4) != 0) {
        std::fprintf(stderr, "error reading subfile %s\n", subfile.c_str());
        return 1;
    }

    Output out;
    const bool text = format == phase::Format::kText;
    if (text) {
        std::array<char, 101> record{};
        for (int i = 1; cvl_rephistory(*lib, i, record) == 1; ++i) {
            out.text("history ");
            out.number(i);
            out.text(": ");
            out.text(record.data());
            out.text("\n");
        }
        out.text("hits: ");
        out.number(cvl_rephits(*lib, 0));
        out.text("\n");
    }
    std::string records;
    std::optional<phase::RecordWriter> writer;
    if (!text) writer.emplace(format, record_fields(format), records);

    // The hits in entry order, read through one reader's buffers.
    Krx1Reader reader(*lib);
    int cur = 0;
    int rank = 0;
    std::string name1;
    LineValues<std::int32_t> intensities{};
    LineValues<std::int32_t> codes{};
    std::array<Shown, 3> shown{};
    for (int k = cvl_nexthit(*lib, cur, rank, 0); k > 0; k = cvl_nexthit(*lib, cur, rank, 0)) {
        cur = k;
        std::int32_t entid = 0, nd = 0;
        if (cvl_replist(reader, k, entid, name1, nd, intensities, codes) != 0) {
            out.flush();
            std::fprintf(stderr, "error reading entry %d\n", k);
            return 1;
        }
        const int count = strongest(nd, intensities, codes, shown);
        if (!text) {
            writer->record(record_values(format, rank, k, entid, name1, shown, count));
            out.text(records);
            records.clear();
            continue;
        }
        out.number(rank);
        out.text("\t");
        out.number(k);
        out.text("\t");
        out.number(entid);
        out.text("\t");
        printable(out, name1);
        line_fields(out, shown, count);
        out.text("\n");
    }
    if (writer) {
        writer->finish();
        out.text(records);
    }
    return out.flush() ? 0 : 1;
}

}  // namespace corvane::cli
