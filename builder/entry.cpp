#include <corvane/builder/entry.h>
#include <corvane/entries/angles.h>
#include <corvane/setup/format.h>
#include <corvane/setup/text.h>

#include <optional>
#include <string_view>

namespace corvane::builder {

namespace {

constexpr int kLineGroups = 3;                // d-spacing lines on one I card
constexpr int kGroupWidth = 23;               // columns of one d-spacing line
constexpr std::int32_t kLowestCode = -31415;  // the lowest code krxtod decodes
// 68 I cards of three lines stay within the 255 lines di.lib can count.
static_assert(kMaxCards[card_type('I') - 1] * kLineGroups <= 255);

// The layouts read for every record, parsed once.
struct Layouts {
    edit::Format i_card = edit::Format::parse("(3(F7.4,I3,1X,3I3,3X))");
    edit::Format f7_4 = edit::Format::parse("(F7.4)");
    edit::Format i3 = edit::Format::parse("(I3)");
    edit::Format three_i3 = edit::Format::parse("(3I3)");
    edit::Format i4 = edit::Format::parse("(I4)");
};
const Layouts& layouts() {
    static const Layouts l;
    return l;
}

// A text without its blanks at either end.
std::string_view strip(std::string_view s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

void strip_in_place(std::string& s) {
    const std::string_view kept = strip(s);
    if (kept.size() != s.size()) s = std::string(kept);
}

// Appends columns first..last of a card without their surrounding blanks.
void append_field(std::string& out, std::string_view card, int first, int last) {
    const std::string text = cols(card, first, last);
    out += strip(text);
}

bool continued(const Card& c) {
    return col(c.text, 70) == 'C';
}

class Checker {
  public:
    Checker(const CardRecord& rec, Reporter& rep) : rec_(rec), rep_(rep) {}
    void fault(const Card& c, std::string_view text) {
        rep_.card(rec_.line_of(c.index), rec_.number(), c.index, c.text[kCardLen - 1], text);
    }
    void record_fault(std::string_view text) { rep_.record(rec_.last_line(), rec_.number(), text); }

  private:
    const CardRecord& rec_;
    Reporter& rep_;
};

bool read_entid(const CardRecord& rec, Checker& check, EntryFields& e) {
    const Card& c = rec.of_type('1').front();
    const std::string num = cols(c.text, 73, 78);
    std::int32_t value = 0;
    e.entid = -1;
    for (const char ch : num) {
        if (ch < '0' || ch > '9') {
            check.fault(c, "entry number " + quoted(num) + " in columns 73-78 is not six digits");
            return false;
        }
        value = value * 10 + (ch - '0');
    }
    e.entid = value;
    return true;
}

void read_names(const CardRecord& rec, EntryFields& e) {
    const auto names = rec.of_type('6');
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (col(names[i].text, 69) != 'P') continue;
        std::string& text = e.names[0];
        append_field(text, names[i].text, 1, 67);
        if (continued(names[i]) && i + 1 < names.size()) {
            if (text.empty() || text.back() != '-') text += ' ';
            append_field(text, names[i + 1].text, 1, 67);
        }
        strip_in_place(text);
        break;
    }
    for (const Card& c : names) {
        if (col(c.text, 69) == 'M') {
            append_field(e.names[1], c.text, 1, 67);
            break;
        }
    }
    const auto formulas = rec.of_type('7');
    if (!formulas.empty()) {
        std::string text = cols(formulas[0].text, 1, 67);
        if (continued(formulas[0]) && formulas.size() > 1) text += cols(formulas[1].text, 1, 67);
        for (const char ch : text) {
            if (ch != ' ') e.names[2] += ch;
        }
    }
    std::string& others = e.names[3];
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0 && continued(names[i - 1])) continue;  // continues the name before it
        if (col(names[i].text, 69) != 'C') continue;
        if (!others.empty()) others += "; ";
        const std::size_t at = others.size();
        append_field(others, names[i].text, 1, 67);
        for (std::size_t j = i; continued(names[j]) && j + 1 < names.size(); ++j) {
            others += ' ';
            append_field(others, names[j + 1].text, 1, 67);
        }
        // The name without blanks at either end.
        const std::string name = others.substr(at);
        others.resize(at);
        others += strip(name);
    }
}

// The pattern's reference: the first reference card of the blank source, else
// of source "KW", else the first reference card. Continuation cards (those
// after a card marked "C" in column 70) never start a reference.
std::optional<std::size_t> pick_reference(std::span<const Card> refs) {
    std::optional<std::size_t> blank, kw, first;
    for (std::size_t k = 0; k < refs.size(); ++k) {
        if (k > 0 && continued(refs[k - 1])) continue;
        const std::string src = cols(refs[k].text, 68, 69);
        if (!first) first = k;
        if (src == "  " && !blank) blank = k;
        if (src == "KW" && !kw) kw = k;
    }
    if (blank) return blank;
    if (kw) return kw;
    return first;
}

void read_reference(const CardRecord& rec, Checker& check, EntryFields& e) {
    const auto refs = rec.of_type('9');
    const auto k = pick_reference(refs);
    if (!k) return;
    const Card& c = refs[*k];
    append_field(e.journal, c.text, 1, 6);
    append_field(e.volume, c.text, 7, 10);
    append_field(e.page, c.text, 11, 15);
    append_field(e.authors, c.text, 22, 67);
    // At most two continuation cards make one reference with it.
    for (std::size_t j = *k; j < *k + 2 && continued(refs[j]) && j + 1 < refs.size(); ++j) {
        e.authors += ' ';
        append_field(e.authors, refs[j + 1].text, 22, 67);
    }
    strip_in_place(e.authors);

    const std::string ytext = cols(c.text, 17, 20);
    if (strip(ytext).empty()) return;
    std::int32_t year = 0;
    if (edit::read(layouts().i4, ytext, {&year}) != edit::kOk) {
        check.fault(c, "year " + quoted(strip(ytext)) + " is not a number");
        return;
    }
    // The year byte holds 1900 + 0..255, and 127 stands for "no year".
    if (year < 1900 || year > 1900 + 255 || year == 1900 + kNoYear) {
        check.fault(c, "year " + std::to_string(year) +
                           " cannot be stored (years 1900 to 2155 are kept, except 2027)");
        return;
    }
    e.year = year - 1900;
}

// The fields of one d-spacing line as read from its columns.
struct Group {
    float d = 0;
    std::int32_t intensity = 0;
    std::array<std::int32_t, 3> hkl{};
};

// Checks group g of an I card and adds its line. `read` holds the group's
// fields when the whole card could be read at once; otherwise each field is
// read here on its own, so that a field that cannot be read is named.
void add_group(const Card& c, int g, const Group* read, Checker& check, EntryFields& e) {
    const int base = g * kGroupWidth;
    Group grp;
    bool intensity_read = true;
    bool hkl_read = true;
    if (read != nullptr) {
        grp = *read;
    } else {
        const std::string dtext = cols(c.text, base + 1, base + 7);
        if (edit::read(layouts().f7_4, dtext, {&grp.d}) != edit::kOk) {
            check.fault(c, "d-spacing " + quoted(strip(dtext)) + " is not a number");
            return;
        }
        if (grp.d != 0.0f) {
            intensity_read = edit::read(layouts().i3, cols(c.text, base + 8, base + 10),
                                        {&grp.intensity}) == edit::kOk;
            hkl_read = edit::read(layouts().three_i3, cols(c.text, base + 12, base + 20),
                                  {&grp.hkl[0], &grp.hkl[1], &grp.hkl[2]}) == edit::kOk;
        }
    }
    if (grp.d == 0.0f) return;  // no line in this group

    bool good = true;
    std::int32_t code = 0;
    // A code below -31415 (d-spacings of 100000 and above) is one krxtod
    // cannot turn back into a d-spacing: no usable code either.
    if (dtokrx(code, grp.d) != 1 || code < kLowestCode) {
        check.fault(c, "d-spacing " + quoted(strip(cols(c.text, base + 1, base + 7))) +
                           " has no angle code");
        good = false;
    }
    if (!intensity_read) {
        check.fault(c, "intensity " + quoted(strip(cols(c.text, base + 8, base + 10))) +
                           " is not a number");
        good = false;
    } else if (grp.intensity < 0 || grp.intensity > 255) {
        check.fault(c, "intensity " + std::to_string(grp.intensity) + " is outside 0 to 255");
        good = false;
    }
    if (!hkl_read) {
        check.fault(
            c, "Miller indices " + quoted(cols(c.text, base + 12, base + 20)) + " are not numbers");
        good = false;
    }
    if (!good) return;
    DLine line;
    line.code = code;
    line.intensity = grp.intensity;
    (void)dtoind(grp.d, line.bucket, kDBuckets);
    e.lines.push_back(line);
}

void read_lines(const CardRecord& rec, Checker& check, EntryFields& e) {
    for (const Card& c : rec.of_type('I')) {
        std::array<Group, kLineGroups> g;
        const bool whole =
            edit::read(layouts().i_card, c.text,
                       {&g[0].d, &g[0].intensity, &g[0].hkl[0], &g[0].hkl[1], &g[0].hkl[2], &g[1].d,
                        &g[1].intensity, &g[1].hkl[0], &g[1].hkl[1], &g[1].hkl[2], &g[2].d,
                        &g[2].intensity, &g[2].hkl[0], &g[2].hkl[1], &g[2].hkl[2]}) == edit::kOk;
        for (int i = 0; i < kLineGroups; ++i) {
            add_group(c, i, whole ? &g[static_cast<std::size_t>(i)] : nullptr, check, e);
        }
    }
}

void check_lengths(Checker& check, const EntryFields& e) {
    static constexpr std::array<std::string_view, 4> kNameTexts = {"chemical name", "mineral name",
                                                                   "formula", "other names"};
    for (std::size_t i = 0; i < e.names.size(); ++i) {
        if (e.names[i].size() > kMaxText) {
            check.record_fault("name text " + std::to_string(i + 1) + " (" +
                               std::string(kNameTexts[i]) + ") holds " +
                               std::to_string(e.names[i].size()) +
                               " characters; name.lib keeps at most 255");
        }
    }
    const std::array<std::pair<std::string_view, const std::string*>, 4> refs = {
        {{"journal code", &e.journal},
         {"volume", &e.volume},
         {"page", &e.page},
         {"author list", &e.authors}}};
    for (const auto& [what, text] : refs) {
        if (text->size() > kMaxText) {
            check.record_fault("the " + std::string(what) + " holds " +
                               std::to_string(text->size()) +
                               " characters; ref.lib keeps at most 255");
        }
    }
}

}  // namespace

void EntryFields::clear() {
    entid = 0;
    for (auto& n : names) n.clear();
    journal.clear();
    volume.clear();
    page.clear();
    authors.clear();
    year = kNoYear;
    lines.clear();
}

int compose_entry(const CardRecord& rec, Reporter& rep, EntryFields& e) {
    e.clear();
    if (!rec.sound() || rec.of_type('1').empty()) return 0;
    const int before = rep.faults();
    Checker check(rec, rep);
    read_entid(rec, check, e);
    read_names(rec, e);
    read_reference(rec, check, e);
    read_lines(rec, check, e);
    check_lengths(check, e);
    return rep.faults() - before;
}

std::int32_t EntryNumbers::claim(std::int32_t entid, std::int32_t record) {
    if (entid < 0 || entid >= kPages * kPageSize) return 0;
    auto& page = pages_[static_cast<std::size_t>(entid / kPageSize)];
    if (!page) page = std::make_unique<std::int32_t[]>(kPageSize);
    std::int32_t& first = page[static_cast<std::size_t>(entid % kPageSize)];
    if (first != 0) return first;
    first = record;
    return 0;
}

}  // namespace corvane::builder
