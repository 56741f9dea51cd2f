// The four code tables: their files and the opening step that finds, loads
// and keeps them.
#include "card/codetables.h"

#include <string>
#include <vector>

#include "card/formatter.h"
#include "setup/fileio.h"
#include "setup/format.h"
#include "setup/text.h"

namespace cv::card {

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

void Formatter::opentables() {
    if (!tables_pending) return;
    tables_pending = false;

    if (!open_first(stdcodes, candidates(dbpath2, dbpath1, "stdcodes.tbl"))) {
        say({"unable to open stdcodes.tbl"});
    }
    if (!open_first(mineral, candidates(dbpath2, dbpath1, "mineral.tbl"))) {
        say({"unable to open mineral.tbl"});
    }

    // picodes.tbl is loaded whole and closed. Only the 50 entries picds has
    // room for are kept; records after the 50th are not read.
    picds.npicd = 0;
    SeqTable picodes;
    if (open_first(picodes, candidates(dbpath2, dbpath1, "picodes.tbl"))) {
        std::string rec;
        while (picds.npicd < Picds::kMax && picodes.next(rec)) {
            std::string code(2, ' ');
            std::int32_t len = 0;
            std::string text(8, ' ');
            if (fmt::read("(a2,i1,a8)", rec, {&code, &len, &text}) != fmt::kOk) break;
            const int i = ++picds.npicd;
            picds.picode(i) = code;
            picds.pilen(i) = len;
            picds.pitext(i) = padded(text, 10);
        }
        picodes.close();
    } else {
        say({"unable to open picodes.tbl"});
    }

    // codens.tbl: record 1 gives the number of records the look-up searches.
    // A record 1 that does not hold a count (or holds a negative one) leaves
    // the table closed and the count 0, so every look-up misses.
    counts.ncoden = 0;
    if (open_first(codens, candidates(dbpath2, dbpath1, "codens.tbl"))) {
        std::string rec;
        std::int32_t n = 0;
        if (codens.read(1, rec) && fmt::read("(6x,i10)", rec, {&n}) == fmt::kOk && n >= 0) {
            counts.ncoden = n;
        } else {
            codens.close();
        }
    } else {
        say({"unable to open codens.tbl"});
    }
}

}  // namespace cv::card
