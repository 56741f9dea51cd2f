// The four code tables: their files and the opening step that finds, loads
// and keeps them.
#include <corvane/card/codetables.h>
#include <corvane/card/formatter.h>
#include <corvane/setup/fileio.h>
#include <corvane/setup/format.h>
#include <corvane/setup/text.h>

#include <string>
#include <vector>

namespace corvane::card {

// ---- sequential tables --------------------------------------------------------

bool SeqTable::open(const std::string& name) {
    close();
    f_ = open_regular(name, "r");
    return f_ != nullptr;
}

void SeqTable::close() {
    if (f_ != nullptr) std::fclose(f_);
    f_ = nullptr;
}

void SeqTable::rewind() {
    if (f_ != nullptr) std::rewind(f_);
}

bool SeqTable::next(std::string& rec) {
    rec.clear();
    if (f_ == nullptr) return false;
    int c = 0;
    bool any = false;
    while ((c = std::fgetc(f_)) != EOF) {
        any = true;
        if (c == '\n') break;
        rec.push_back(static_cast<char>(c));
    }
    if (!any) return false;
    if (!rec.empty() && rec.back() == '\r') rec.pop_back();
    return true;
}

// ---- direct-access table ------------------------------------------------------

bool DirectTable::open(const std::string& name) {
    close();
    f_ = open_regular(name, "rb");
    reads_ = 0;
    return f_ != nullptr;
}

void DirectTable::close() {
    if (f_ != nullptr) std::fclose(f_);
    f_ = nullptr;
}

bool DirectTable::read(int r, std::string& rec) {
    if (f_ == nullptr || r < 1) return false;
    const long offset = static_cast<long>(r - 1) * kRecLen;
    if (std::fseek(f_, offset, SEEK_SET) != 0) return false;
    ++reads_;
    rec.assign(kRecLen, ' ');
    const std::size_t got = std::fread(rec.data(), 1, kRecLen, f_);
    if (got == 0) return false;
    // A table whose last line lacks its line end has a short last record.
    for (std::size_t i = got; i < static_cast<std::size_t>(kRecLen); ++i) rec[i] = ' ';
    return true;
}

// ---- the opening step ----------------------------------------------------------

namespace {

// The names a table is looked for under, in order. Each directory is taken up
// to its significant length and the file name appended directly, as the
// database has always formed these names. A directory written without its
// trailing "/" would then name no file, so that directory joined with "/" is
// tried next.
std::vector<std::string> candidates(std::string_view primary, std::string_view secondary,
                                    std::string_view file) {
    std::vector<std::string> names;
    for (std::string_view dir : {primary, secondary}) {
        const std::string_view d = trimmed(dir);
        names.push_back(std::string(d) + std::string(file));
        if (!d.empty() && d.back() != '/') names.push_back(join_path(d, file));
    }
    return names;
}

template <class Table>
bool open_first(Table& table, const std::vector<std::string>& names) {
    for (const auto& name : names) {
        if (table.open(name)) return true;
    }
    return false;
}

}  // namespace

void opentables(CardFormatter& fm) {
    if (!fm.tables_pending) return;
    fm.tables_pending = false;

    if (!open_first(fm.stdcodes, candidates(fm.dbpath2, fm.dbpath1, "stdcodes.tbl"))) {
        fm.say({"unable to open stdcodes.tbl"});
    }
    if (!open_first(fm.mineral, candidates(fm.dbpath2, fm.dbpath1, "mineral.tbl"))) {
        fm.say({"unable to open mineral.tbl"});
    }

    // picodes.tbl is loaded whole and closed. Only the 50 entries picds has
    // room for are kept; records after the 50th are not read.
    fm.picds.npicd = 0;
    SeqTable picodes;
    if (open_first(picodes, candidates(fm.dbpath2, fm.dbpath1, "picodes.tbl"))) {
        std::string rec;
        while (fm.picds.npicd < Picds::kMax && picodes.next(rec)) {
            std::string code(2, ' ');
            std::int32_t len = 0;
            std::string text(8, ' ');
            if (edit::read("(a2,i1,a8)", rec, {&code, &len, &text}) != edit::kOk) break;
            const int i = ++fm.picds.npicd;
            fm.picds.picode(i) = code;
            fm.picds.pilen(i) = len;
            fm.picds.pitext(i) = padded(text, 10);
        }
        picodes.close();
    } else {
        fm.say({"unable to open picodes.tbl"});
    }

    // codens.tbl: record 1 gives the number of records the look-up searches.
    // A record 1 that does not hold a count (or holds a negative one) leaves
    // the table closed and the count 0, so every look-up misses.
    fm.counts.ncoden = 0;
    if (open_first(fm.codens, candidates(fm.dbpath2, fm.dbpath1, "codens.tbl"))) {
        std::string rec;
        std::int32_t n = 0;
        if (fm.codens.read(1, rec) && edit::read("(6x,i10)", rec, {&n}) == edit::kOk && n >= 0) {
            fm.counts.ncoden = n;
        } else {
            fm.codens.close();
        }
    } else {
        fm.say({"unable to open codens.tbl"});
    }
}

}  // namespace corvane::card
