#include <corvane/builder/codetables.h>
#include <corvane/builder/sysfile.h>
#include <corvane/setup/fileio.h>
#include <corvane/setup/format.h>
#include <corvane/setup/text.h>

#include <cstdint>
#include <sstream>

namespace corvane::builder {

namespace {

// codens.tbl is read by record number: 81-byte records, the first giving the
// record count in columns 7-16, the keys (columns 1-6) ascending so that the
// halving search finds them.
int check_codens(const std::string& path, const std::string& codens, std::ostream& err) {
    constexpr std::size_t kRec = 81;
    if (codens.empty() || codens.size() % kRec != 0) {
        err << path << ": " << codens.size() << " bytes are not whole records of 81 bytes\n";
        return 1;
    }
    int faults = 0;
    const std::size_t nrec = codens.size() / kRec;
    std::int32_t count = 0;
    if (edit::read("(6x,i10)", std::string_view(codens).substr(0, kRec), {&count}) != edit::kOk ||
        static_cast<std::size_t>(count) != nrec) {
        err << path << ": record 1 must give the record count " << nrec << " in columns 7-16\n";
        ++faults;
    }
    for (std::size_t r = 1; r < nrec; ++r) {
        const std::string_view prev = std::string_view(codens).substr((r - 1) * kRec, 6);
        const std::string_view key = std::string_view(codens).substr(r * kRec, 6);
        if (!(prev < key)) {
            err << path << ": record " << r + 1 << ": key '" << key << "' does not come after '"
                << prev << "'\n";
            ++faults;
        }
    }
    return faults;
}

// picodes.tbl: at most 50 codes, each with a one-digit display length.
int check_picodes(const std::string& path, const std::string& text, std::ostream& err) {
    int faults = 0;
    std::istringstream in(text);
    std::string line;
    int n = 0;
    while (std::getline(in, line)) {
        ++n;
        const char len = col(line, 3);
        if (len < '0' || len > '9') {
            err << path << ':' << n << ": column 3 must hold the display length, one digit\n";
            ++faults;
        }
    }
    if (n > 50) {
        err << path << ": " << n << " codes; at most 50 are loaded\n";
        ++faults;
    }
    return faults;
}

// mineral.tbl: each group line gives in columns 28-29 the number of member
// lines that follow it.
int check_mineral(const std::string& path, const std::string& text, std::ostream& err) {
    int faults = 0;
    std::istringstream in(text);
    std::string line;
    int n = 0;
    int members = 0;
    while (std::getline(in, line)) {
        ++n;
        if (members > 0) {
            --members;
            continue;
        }
        std::int32_t count = 0;
        if (edit::read("(27X,I2)", line, {&count}) != edit::kOk || count < 0) {
            err << path << ':' << n << ": columns 28-29 must hold the number of members\n";
            ++faults;
            continue;
        }
        members = count;
    }
    if (members > 0) {
        err << path << ": the file ends " << members << " member lines early\n";
        ++faults;
    }
    return faults;
}

}  // namespace

int read_code_tables(const std::string& dir, std::array<std::string, 4>& tables,
                     std::ostream& err) {
    int faults = 0;
    for (std::size_t i = 0; i < kCodeTables.size(); ++i) {
        if (!read_file(join_path(dir, kCodeTables[i]), tables[i], err)) ++faults;
    }
    if (faults > 0) return faults;
    faults += check_codens(join_path(dir, "codens.tbl"), tables[3], err);
    faults += check_picodes(join_path(dir, "picodes.tbl"), tables[2], err);
    faults += check_mineral(join_path(dir, "mineral.tbl"), tables[1], err);
    return faults;
}

}  // namespace corvane::builder
