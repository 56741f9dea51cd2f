#include <corvane/builder/build.h>
#include <corvane/entries/angles.h>
#include <corvane/setup/fileio.h>
#include <corvane/setup/format.h>
#include <corvane/setup/library.h>
#include <corvane/setup/text.h>
#include <stdlib.h>    // mkdtemp, mkstemp
#include <sys/stat.h>  // umask
#include <unistd.h>    // close

#include <cstdio>
#include <filesystem>
#include <limits>
#include <map>
#include <optional>
#include <sstream>
#include <utility>

namespace corvane {

namespace {

namespace fs = std::filesystem;

// The card types in the order of their type numbers, and how many cards of
// each type a record may hold (the record parser's slot runs).
constexpr std::string_view kTypes = "123456789ABCDEFGHIJK+*";
constexpr std::array<int, 22> kMaxCards = {2, 2, 1, 1, 5, 5, 5,  1, 10, 1, 20,
                                           1, 1, 1, 1, 1, 1, 68, 5, 1,  1, 1};
constexpr int kCardLen = 80;
constexpr int kMaxText = 255;    // lengths are stored in one unsigned byte
constexpr int kNoYear = 127;     // ref.lib year code of a reference without a year
constexpr int kLineGroups = 3;   // d-spacing lines on one I card
constexpr int kGroupWidth = 23;  // columns of one d-spacing line
// 68 I cards of three lines stay within the 255 lines that di.lib can count.
static_assert(68 * kLineGroups <= kMaxText);

int type_index(char c) {
    const auto p = kTypes.find(c);
    return p == std::string_view::npos ? -1 : static_cast<int>(p);
}

// A text without its blanks at either end.
std::string stripped(std::string_view s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = s.find_last_not_of(' ');
    return std::string(s.substr(first, last - first + 1));
}

// Columns first..last of a card without surrounding blanks.
std::string field(std::string_view card, int first, int last) {
    return stripped(cols(card, first, last));
}

void put32(std::string& out, std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    out += static_cast<char>((u >> 24) & 0xFF);
    out += static_cast<char>((u >> 16) & 0xFF);
    out += static_cast<char>((u >> 8) & 0xFF);
    out += static_cast<char>(u & 0xFF);
}

void put16(std::string& out, std::int32_t v) {
    const auto u = static_cast<std::uint16_t>(static_cast<std::uint32_t>(v) & 0xFFFF);
    out += static_cast<char>((u >> 8) & 0xFF);
    out += static_cast<char>(u & 0xFF);
}

void put8(std::string& out, int v) {
    out += static_cast<char>(static_cast<unsigned char>(v));
}

struct Card {
    std::string text;
    int line = 0;   // line of the card file
    int index = 0;  // position in its record, from 1
};

struct Record {
    int number = 0;
    std::vector<Card> cards;
    bool sound = true;            // every card 80 characters with a known type
    std::array<int, 22> count{};  // cards of each type
    // The cards of each type, in record order (filled once the record is whole).
    std::array<std::vector<const Card*>, 22> bytype;
};

// Message writer: "FILE:LINE: record R, card C (type T): text".
class Reporter {
  public:
    Reporter(std::string_view fname, std::ostream& err) : fname_(fname), err_(err) {}

    void card(const Record& r, const Card& c, std::string_view text, bool with_type = true) {
        err_ << fname_ << ':' << c.line << ": record " << r.number << ", card " << c.index;
        if (with_type) err_ << " (type " << c.text[kCardLen - 1] << ')';
        err_ << ": " << text << '\n';
        ++faults;
    }
    void record(const Record& r, int line, std::string_view text) {
        err_ << fname_ << ':' << line << ": record " << r.number << ": " << text << '\n';
        ++faults;
    }
    void file(std::string_view text) {
        err_ << fname_ << ": " << text << '\n';
        ++faults;
    }

    int faults = 0;

  private:
    std::string fname_;
    std::ostream& err_;
};

std::string inquotes(std::string_view s) {
    return "'" + std::string(s) + "'";
}

// Splits the card file into records and checks their shape: card length,
// characters, type codes, the first card, the K card and the per-type limits.
std::vector<Record> split_records(std::string_view text, Reporter& rep) {
    std::vector<Record> recs;
    bool open = false;
    int lineno = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        auto end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineno;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        if (!open) {
            recs.emplace_back();
            recs.back().number = static_cast<int>(recs.size());
            open = true;
        }
        Record& r = recs.back();
        r.cards.push_back({std::string(line), lineno, static_cast<int>(r.cards.size()) + 1});
        const Card& c = r.cards.back();

        if (line.size() != kCardLen) {
            rep.card(r, c,
                     "the card is " + std::to_string(line.size()) + " characters long, not 80",
                     false);
            r.sound = false;
            continue;
        }
        const int t = type_index(line[kCardLen - 1]);
        if (t < 0) {
            rep.card(r, c,
                     "column 80 holds " + inquotes(line.substr(kCardLen - 1)) +
                         ", which is not a card type of \"" + std::string(kTypes) + "\"",
                     false);
            r.sound = false;
            continue;
        }
        for (int i = 0; i < kCardLen; ++i) {
            const auto u = static_cast<unsigned char>(line[i]);
            if (u < 32 || u == 127) {
                rep.card(r, c,
                         "column " + std::to_string(i + 1) + " holds a control character (code " +
                             std::to_string(u) + ")");
                r.sound = false;
                break;
            }
        }
        if (c.index == 1 && t != 0) {
            rep.card(r, c, "a record must start with a type-1 card");
        }
        if (r.count[t]++ >= kMaxCards[t]) {
            rep.card(r, c,
                     std::string("too many cards of type ") + kTypes[t] +
                         " (a record holds at most " + std::to_string(kMaxCards[t]) + ")");
        }
        if (kTypes[t] == 'K') open = false;
    }
    if (open) {
        const Record& r = recs.back();
        rep.record(r, r.cards.back().line, "the file ends before the record's K card");
    }
    return recs;
}

// One entry's contents for the KRX1 files.
struct Entry {
    std::int32_t entid = 0;
    std::array<std::string, 4> names;
    std::vector<std::pair<std::int32_t, int>> lines;  // angle code, intensity
    std::string journal, volume, page, authors;
    int year = kNoYear;
    std::size_t firstcard = 0;  // number of cards before the record in krx2.dat
};

bool is_cont(const Card* c) {
    return col(c->text, 70) == 'C';
}

// Name texts 1 to 4 (see the header for the mapping).
void read_names(const Record& r, Entry& e) {
    const auto& names = r.bytype[type_index('6')];
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (col(names[i]->text, 69) != 'P') continue;
        std::string text = field(names[i]->text, 1, 67);
        if (is_cont(names[i]) && i + 1 < names.size()) {
            const std::string next = field(names[i + 1]->text, 1, 67);
            text += (!text.empty() && text.back() == '-') ? next : " " + next;
        }
        e.names[0] = stripped(text);
        break;
    }
    for (const Card* c : names) {
        if (col(c->text, 69) == 'M') {
            e.names[1] = field(c->text, 1, 67);
            break;
        }
    }
    const auto& formulas = r.bytype[type_index('7')];
    if (!formulas.empty()) {
        std::string text = cols(formulas[0]->text, 1, 67);
        if (is_cont(formulas[0]) && formulas.size() > 1) text += cols(formulas[1]->text, 1, 67);
        for (char ch : text) {
            if (ch != ' ') e.names[2] += ch;
        }
    }
    std::string others;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0 && is_cont(names[i - 1])) continue;  // continues the name before it
        if (col(names[i]->text, 69) != 'C') continue;
        std::string name = field(names[i]->text, 1, 67);
        for (std::size_t j = i; is_cont(names[j]) && j + 1 < names.size(); ++j) {
            name += ' ';
            name += field(names[j + 1]->text, 1, 67);
        }
        if (!others.empty()) others += "; ";
        others += stripped(name);
    }
    e.names[3] = others;
}

// The pattern's reference: the first reference card of the blank source, else
// of source "KW", else the first reference card. Continuation cards (those
// after a card marked "C" in column 70) never start a reference.
std::optional<std::size_t> pick_reference(const std::vector<const Card*>& refs) {
    std::optional<std::size_t> blank, kw, first;
    for (std::size_t k = 0; k < refs.size(); ++k) {
        if (k > 0 && is_cont(refs[k - 1])) continue;
        const std::string src = cols(refs[k]->text, 68, 69);
        if (!first) first = k;
        if (src == "  " && !blank) blank = k;
        if (src == "KW" && !kw) kw = k;
    }
    if (blank) return blank;
    if (kw) return kw;
    return first;
}

void read_reference(const Record& r, Entry& e, Reporter& rep) {
    const auto& refs = r.bytype[type_index('9')];
    const auto k = pick_reference(refs);
    if (!k) return;
    const Card* c = refs[*k];
    e.journal = field(c->text, 1, 6);
    e.volume = field(c->text, 7, 10);
    e.page = field(c->text, 11, 15);
    std::string authors = field(c->text, 22, 67);
    // At most two continuation cards make one reference with it.
    for (std::size_t j = *k; j < *k + 2 && is_cont(refs[j]) && j + 1 < refs.size(); ++j) {
        authors += " " + field(refs[j + 1]->text, 22, 67);
    }
    e.authors = stripped(authors);

    const std::string ytext = cols(c->text, 17, 20);
    if (stripped(ytext).empty()) return;
    std::int32_t year = 0;
    if (edit::read("(I4)", ytext, {&year}) != edit::kOk) {
        rep.card(r, *c, "year " + inquotes(stripped(ytext)) + " is not a number");
        return;
    }
    // The year byte holds 1900 + 0..255, and 127 stands for "no year".
    if (year < 1900 || year > 1900 + 255 || year == 1900 + kNoYear) {
        rep.card(r, *c,
                 "year " + std::to_string(year) +
                     " cannot be stored (years 1900 to 2155 are kept, except 2027)");
        return;
    }
    e.year = year - 1900;
}

void read_lines(const Record& r, Entry& e, Reporter& rep) {
    for (const Card* c : r.bytype[type_index('I')]) {
        for (int g = 0; g < kLineGroups; ++g) {
            const int base = g * kGroupWidth;
            const std::string dtext = cols(c->text, base + 1, base + 7);
            const std::string itext = cols(c->text, base + 8, base + 10);
            const std::string hkl = cols(c->text, base + 12, base + 20);
            float d = 0;
            std::int32_t inten = 0;
            std::int32_t h = 0, k = 0, l = 0;
            if (edit::read("(F7.4)", dtext, {&d}) != edit::kOk) {
                rep.card(r, *c, "d-spacing " + inquotes(stripped(dtext)) + " is not a number");
                continue;
            }
            if (d == 0.0f) continue;  // no line in this group
            bool good = true;
            std::int32_t code = 0;
            if (dtokrx(code, d) != 1) {
                rep.card(r, *c, "d-spacing " + inquotes(stripped(dtext)) + " has no angle code");
                good = false;
            }
            if (edit::read("(I3)", itext, {&inten}) != edit::kOk) {
                rep.card(r, *c, "intensity " + inquotes(stripped(itext)) + " is not a number");
                good = false;
            } else if (inten < 0 || inten > 255) {
                rep.card(r, *c, "intensity " + std::to_string(inten) + " is outside 0 to 255");
                good = false;
            }
            if (edit::read("(3I3)", hkl, {&h, &k, &l}) != edit::kOk) {
                rep.card(r, *c, "Miller indices " + inquotes(hkl) + " are not numbers");
                good = false;
            }
            if (good) e.lines.emplace_back(code, static_cast<int>(inten));
        }
    }
}

void check_lengths(const Record& r, const Entry& e, Reporter& rep) {
    static constexpr std::array<std::string_view, 4> kNameTexts = {"chemical name", "mineral name",
                                                                   "formula", "other names"};
    const Card& last = r.cards.back();
    for (std::size_t i = 0; i < e.names.size(); ++i) {
        if (e.names[i].size() > kMaxText) {
            rep.record(r, last.line,
                       "name text " + std::to_string(i + 1) + " (" + std::string(kNameTexts[i]) +
                           ") holds " + std::to_string(e.names[i].size()) +
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
            rep.record(r, last.line,
                       "the " + std::string(what) + " holds " + std::to_string(text->size()) +
                           " characters; ref.lib keeps at most 255");
        }
    }
}

// The entry number of the first type-1 card, columns 73-78.
bool read_entid(const Record& r, Entry& e, Reporter& rep) {
    const Card* c = r.bytype[0].front();
    const std::string num = cols(c->text, 73, 78);
    for (char ch : num) {
        if (ch < '0' || ch > '9') {
            rep.card(r, *c,
                     "entry number " + inquotes(num) + " in columns 73-78 is not six digits");
            return false;
        }
    }
    e.entid = std::stoi(num);
    return true;
}

bool fits32(std::size_t n) {
    return n <= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
}

std::string read_whole(std::FILE* f) {
    std::string out;
    char buf[65536];
    std::size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    return out;
}

// ---- writing ---------------------------------------------------------------

bool write_file(const fs::path& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return (std::fclose(f) == 0) && ok;
}

using FileList = std::vector<std::pair<std::string, std::string>>;

// The permissions a file or directory gets when created the ordinary way:
// temporary names are made private, and are given these before they go public.
fs::perms usual_perms(bool dir) {
    const mode_t mask = umask(0);
    umask(mask);
    return static_cast<fs::perms>((dir ? 0777 : 0666) & ~mask);
}

// A new directory: everything goes into a hidden directory beside it, which is
// renamed into place once complete.
bool write_new(const fs::path& out, const FileList& files, std::ostream& err) {
    std::string tmpl = (out.parent_path() / ("." + out.filename().string() + ".partXXXXXX"));
    if (mkdtemp(tmpl.data()) == nullptr) {
        err << out.string() << ": cannot create a directory beside it\n";
        return false;
    }
    const fs::path tmp = tmpl;
    std::error_code ec;
    fs::permissions(tmp, usual_perms(true), ec);
    bool ok = !ec;
    for (const auto& [name, bytes] : files) {
        if (!write_file(tmp / name, bytes)) {
            err << (out / name).string() << ": cannot be written\n";
            ok = false;
            break;
        }
    }
    if (ok) {
        fs::rename(tmp, out, ec);
        if (ec) {
            err << out.string() << ": cannot be created (" << ec.message() << ")\n";
            ok = false;
        }
    }
    if (!ok) fs::remove_all(tmp, ec);
    return ok;
}

// An existing directory: each file is written under a hidden name beside its
// final one; only when all are written are they renamed over the old files.
bool write_into(const fs::path& out, const FileList& files, std::ostream& err) {
    std::vector<fs::path> temps;
    bool ok = true;
    for (const auto& [name, bytes] : files) {
        std::string tmpl = (out / ("." + name + ".partXXXXXX")).string();
        const int fd = mkstemp(tmpl.data());
        if (fd < 0) {
            err << (out / name).string() << ": cannot be written\n";
            ok = false;
            break;
        }
        close(fd);
        temps.emplace_back(tmpl);
        std::error_code pec;
        fs::permissions(temps.back(), usual_perms(false), pec);
        if (pec || !write_file(temps.back(), bytes)) {
            err << (out / name).string() << ": cannot be written\n";
            ok = false;
            break;
        }
    }
    std::error_code ec;
    for (std::size_t i = 0; ok && i < temps.size(); ++i) {
        fs::rename(temps[i], out / files[i].first, ec);
        if (ec) {
            err << (out / files[i].first).string() << ": cannot be replaced (" << ec.message()
                << ")\n";
            ok = false;
        }
    }
    if (!ok) {
        for (const auto& t : temps) fs::remove(t, ec);
    }
    return ok;
}

}  // namespace

int compose_database(std::string_view text, std::string_view fname, KrxDatabase& db,
                     std::ostream& err) {
    Reporter rep(fname, err);
    std::vector<Record> recs = split_records(text, rep);
    for (Record& r : recs) {
        for (const Card& c : r.cards) {
            const int t = c.text.size() == kCardLen ? type_index(c.text.back()) : -1;
            if (t >= 0) r.bytype[t].push_back(&c);
        }
    }
    if (recs.empty()) {
        rep.file("the card file holds no record");
        return rep.faults;
    }
    if (recs.size() > static_cast<std::size_t>(kMaxEntries)) {
        rep.file("the card file holds " + std::to_string(recs.size()) +
                 " records; a database holds at most " + std::to_string(kMaxEntries));
        return rep.faults;
    }

    std::vector<Entry> entries;
    std::map<std::int32_t, int> seen;  // entry number -> record
    std::size_t ncards = 0;
    for (const Record& r : recs) {
        Entry e;
        e.firstcard = ncards;
        ncards += r.cards.size();
        if (!r.sound || r.bytype[0].empty()) continue;
        if (read_entid(r, e, rep)) {
            const auto [it, fresh] = seen.emplace(e.entid, r.number);
            if (!fresh) {
                rep.card(r, *r.bytype[0].front(),
                         "entry number " + cols(r.bytype[0].front()->text, 73, 78) +
                             " is already used by record " + std::to_string(it->second));
            }
        }
        read_names(r, e);
        read_reference(r, e, rep);
        read_lines(r, e, rep);
        check_lengths(r, e, rep);
        entries.push_back(std::move(e));
    }
    if (rep.faults > 0) return rep.faults;

    if (!fits32(ncards * kCardLen)) {
        rep.file("krx2.dat would pass 2147483647 bytes, the largest offset kelpa.ind can hold");
        return rep.faults;
    }
    db = KrxDatabase{};
    for (const Record& r : recs) {
        for (const Card& c : r.cards) db.krx2 += c.text;
    }
    for (const Entry& e : entries) {
        if (!fits32(db.namelib.size()) || !fits32(db.dilib.size()) || !fits32(db.reflib.size())) {
            rep.file(
                "a library file would pass 2147483647 bytes, the largest offset "
                "kelpa.ind can hold");
            return rep.faults;
        }
        put32(db.kelpa, e.entid);
        put32(db.kelpa, static_cast<std::int32_t>(db.namelib.size()));
        put32(db.kelpa, static_cast<std::int32_t>(db.dilib.size()));
        put32(db.kelpa, static_cast<std::int32_t>(db.reflib.size()));
        put32(db.kelpa, static_cast<std::int32_t>(e.firstcard * kCardLen));

        for (const auto& n : e.names) put8(db.namelib, static_cast<int>(n.size()));
        for (const auto& n : e.names) db.namelib += n;

        put8(db.dilib, static_cast<int>(e.lines.size()));
        for (const auto& ln : e.lines) put16(db.dilib, ln.first);
        for (const auto& ln : e.lines) put8(db.dilib, ln.second);

        for (const auto* t : {&e.journal, &e.volume, &e.page, &e.authors}) {
            put8(db.reflib, static_cast<int>(t->size()));
        }
        put8(db.reflib, e.year);
        db.reflib += e.journal + e.volume + e.page + e.authors;
    }
    db.entries = static_cast<std::int32_t>(entries.size());
    db.sizes = {
        db.entries, static_cast<std::int32_t>(ncards), static_cast<std::int32_t>(db.namelib.size()),
        static_cast<std::int32_t>(db.dilib.size()), static_cast<std::int32_t>(db.reflib.size())};
    return 0;
}

int read_code_tables(const std::string& dir, std::array<std::string, 4>& tables,
                     std::ostream& err) {
    int faults = 0;
    for (std::size_t i = 0; i < kCodeTables.size(); ++i) {
        const std::string path = join_path(dir, kCodeTables[i]);
        std::FILE* f = open_regular(path, "rb");
        if (!f) {
            err << path << ": cannot be read\n";
            ++faults;
            continue;
        }
        tables[i] = read_whole(f);
        std::fclose(f);
    }
    if (faults > 0) return faults;

    // codens.tbl is read by record number: 81-byte records, the first giving
    // the record count in columns 7-16, the keys (columns 1-6) ascending so
    // that the halving search finds them.
    const std::string& codens = tables[3];
    const std::string cpath = join_path(dir, "codens.tbl");
    constexpr std::size_t kRec = 81;
    if (codens.empty() || codens.size() % kRec != 0) {
        err << cpath << ": " << codens.size() << " bytes are not whole records of 81 bytes\n";
        return faults + 1;
    }
    const std::size_t nrec = codens.size() / kRec;
    std::int32_t count = 0;
    if (edit::read("(6x,i10)", codens.substr(0, kRec), {&count}) != edit::kOk ||
        count != static_cast<std::int32_t>(nrec)) {
        err << cpath << ": record 1 must give the record count " << nrec << " in columns 7-16\n";
        ++faults;
    }
    for (std::size_t r = 1; r < nrec; ++r) {
        const std::string prev = codens.substr((r - 1) * kRec, 6);
        const std::string key = codens.substr(r * kRec, 6);
        if (!(prev < key)) {
            err << cpath << ": record " << r + 1 << ": key '" << key << "' does not come after '"
                << prev << "'\n";
            ++faults;
        }
    }

    // picodes.tbl: at most 50 codes, each with a one-digit display length.
    const std::string ppath = join_path(dir, "picodes.tbl");
    std::istringstream pico(tables[2]);
    std::string line;
    int n = 0;
    while (std::getline(pico, line)) {
        ++n;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const char len = col(line, 3);
        if (len < '0' || len > '9') {
            err << ppath << ':' << n << ": column 3 must hold the display length, one digit\n";
            ++faults;
        }
    }
    if (n > 50) {
        err << ppath << ": " << n << " codes; at most 50 are loaded\n";
        ++faults;
    }

    // mineral.tbl: each group line gives in columns 28-29 the number of member
    // lines that follow it.
    const std::string mpath = join_path(dir, "mineral.tbl");
    std::istringstream mineral(tables[1]);
    n = 0;
    int members = 0;
    while (std::getline(mineral, line)) {
        ++n;
        if (members > 0) {
            --members;
            continue;
        }
        std::int32_t count2 = 0;
        if (edit::read("(27X,I2)", line, {&count2}) != edit::kOk || count2 < 0) {
            err << mpath << ':' << n << ": columns 28-29 must hold the number of members\n";
            ++faults;
            continue;
        }
        members = count2;
    }
    if (members > 0) {
        err << mpath << ": the file ends " << members << " member lines early\n";
        ++faults;
    }
    return faults;
}

int krxbuild(const std::string& cardfile, const std::string& outdir, const std::string& tabledir,
             std::ostream& err) {
    std::FILE* f = open_regular(cardfile, "rb");
    if (!f) {
        err << cardfile << ": cannot be read\n";
        return 1;
    }
    const std::string text = read_whole(f);
    std::fclose(f);

    KrxDatabase db;
    int faults = compose_database(text, cardfile, db, err);
    std::string tdir = tabledir;
    if (tdir.empty()) {
        tdir = fs::path(cardfile).parent_path().string();
        if (tdir.empty()) tdir = ".";
    }
    std::array<std::string, 4> tables;
    faults += read_code_tables(tdir, tables, err);
    if (faults > 0) return 1;

    std::error_code ec;
    fs::path out = fs::absolute(outdir, ec).lexically_normal();
    if (!ec && !out.has_filename()) out = out.parent_path();
    if (ec || outdir.empty() || out.empty() || !out.has_filename()) {
        err << (outdir.empty() ? std::string("''") : outdir) << ": not a usable directory name\n";
        return 1;
    }
    const bool exists = fs::exists(out, ec);
    if (exists && !fs::is_directory(out, ec)) {
        err << outdir << ": exists and is not a directory\n";
        return 1;
    }
    fs::path where;
    if (exists) {
        where = fs::canonical(out, ec);
    } else {
        fs::create_directories(out.parent_path(), ec);
        if (!ec) where = fs::canonical(out.parent_path(), ec) / out.filename();
    }
    if (ec) {
        err << outdir << ": cannot be created (" << ec.message() << ")\n";
        return 1;
    }
    // The location file gives the directory as one line of text.
    if (where.string().find_first_of("\n\r") != std::string::npos) {
        err << outdir << ": a line end in the path cannot stand in tarnloc.txt\n";
        return 1;
    }

    FileList files = {{"krx2.dat", db.krx2},
                      {"kelpa.ind", db.kelpa},
                      {"name.lib", db.namelib},
                      {"di.lib", db.dilib},
                      {"ref.lib", db.reflib}};
    std::string sizes;
    for (std::size_t i = 0; i < db.sizes.size(); ++i) {
        sizes += (i ? " " : "") + std::to_string(db.sizes[i]);
    }
    files.emplace_back("pdsize.txt", sizes + "\n");
    for (std::size_t i = 0; i < kCodeTables.size(); ++i) {
        files.emplace_back(std::string(kCodeTables[i]), tables[i]);
    }
    // The three directory lines end in "/": the code tables are found by the
    // directory name with the table name appended directly, and a path that
    // ends in blanks keeps them (the reader strips blanks from the line end).
    const std::string dirline = where.string() + "/\n";
    files.emplace_back("tarnloc.txt", dirline + dirline + dirline);

    const bool ok = exists ? write_into(out, files, err) : write_new(out, files, err);
    return ok ? 0 : 1;
}

}  // namespace corvane
