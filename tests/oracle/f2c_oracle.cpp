#include "f2c_oracle.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

// clang-format off
// f2c.h comes after the standard headers: it defines abs, min and max as
// macros, which are undone at once.
#include <f2c.h>
#undef abs
#undef min
#undef max
#undef dabs
#undef dmin
#undef dmax
// clang-format on

extern "C" {
integer s_wsfi(icilist*);
integer e_wsfi(void);
integer s_rsfi(icilist*);
integer e_rsfi(void);
integer do_fio(ftnint* number, char* ptr, ftnlen len);
integer s_wsle(cilist*);
integer e_wsle(void);
integer do_lio(ftnint* type, ftnint* number, char* ptr, ftnlen len);
integer f_open(olist*);
integer f_clos(cllist*);
}

namespace oracle {

namespace {

// libf2c's type codes for list-directed items.
constexpr ftnint kTypeInteger = 3;
constexpr ftnint kTypeCharacter = 9;

// One item to or from do_fio: its address and its size in bytes (for a text,
// its length).
integer transfer(Item& item) {
    ftnint one = 1;
    if (auto* s = std::get_if<std::string>(&item)) {
        // do_fio wants a valid address even for an empty text.
        static char empty = ' ';
        char* p = s->empty() ? &empty : s->data();
        return do_fio(&one, p, static_cast<ftnlen>(s->size()));
    }
    if (auto* i = std::get_if<std::int32_t>(&item)) {
        return do_fio(&one, reinterpret_cast<char*>(i), sizeof *i);
    }
    if (auto* f = std::get_if<float>(&item)) {
        return do_fio(&one, reinterpret_cast<char*>(f), sizeof *f);
    }
    auto& d = std::get<double>(item);
    return do_fio(&one, reinterpret_cast<char*>(&d), sizeof d);
}

}  // namespace

Written write(const std::string& format, std::size_t length, const std::vector<Item>& items) {
    Written out{0, std::string(length, '#')};
    std::string fmt = format;
    std::string unit = length == 0 ? std::string(1, ' ') : out.record;
    icilist io{};
    io.icierr = 1;  // errors come back as a status, never as an abort
    io.iciend = 1;
    io.iciunit = unit.data();
    io.icifmt = fmt.data();
    io.icirlen = static_cast<ftnint>(length);
    io.icirnum = 1;
    std::vector<Item> copy = items;
    integer status = s_wsfi(&io);
    for (std::size_t i = 0; status == 0 && i < copy.size(); ++i) status = transfer(copy[i]);
    if (status == 0) status = e_wsfi();
    out.status = static_cast<int>(status);
    out.record = unit.substr(0, length);
    return out;
}

int read(const std::string& format, const std::string& record, std::vector<Item>& targets) {
    std::string fmt = format;
    std::string unit = record.empty() ? std::string(1, ' ') : record;
    icilist io{};
    io.icierr = 1;
    io.iciend = 1;
    io.iciunit = unit.data();
    io.icifmt = fmt.data();
    io.icirlen = static_cast<ftnint>(record.size());
    io.icirnum = 1;
    integer status = s_rsfi(&io);
    for (std::size_t i = 0; status == 0 && i < targets.size(); ++i) status = transfer(targets[i]);
    if (status == 0) status = e_rsfi();
    return static_cast<int>(status);
}

std::string listed(const std::vector<ListItem>& items) {
    char path[] = "/tmp/corvane_oracle_XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) return "<no temporary file>";
    close(fd);
    char status_text[] = "old";
    olist open{};
    open.oerr = 1;
    open.ounit = 77;
    open.ofnm = path;
    open.ofnmlen = static_cast<ftnlen>(sizeof path - 1);
    open.osta = status_text;
    if (f_open(&open) != 0) {
        std::remove(path);
        return "<open failed>";
    }
    cilist io{};
    io.cierr = 1;
    io.ciunit = 77;
    io.ciend = 1;
    integer status = s_wsle(&io);
    for (const auto& item : items) {
        if (status != 0) break;
        ftnint one = 1;
        if (const auto* s = std::get_if<std::string>(&item)) {
            ftnint type = kTypeCharacter;
            std::string text = s->empty() ? std::string(1, ' ') : *s;
            status = do_lio(&type, &one, text.data(), static_cast<ftnlen>(s->size()));
        } else {
            ftnint type = kTypeInteger;
            std::int32_t value = std::get<std::int32_t>(item);
            status = do_lio(&type, &one, reinterpret_cast<char*>(&value), sizeof value);
        }
    }
    if (status == 0) status = e_wsle();
    cllist close_unit{};
    close_unit.cerr = 1;
    close_unit.cunit = 77;
    f_clos(&close_unit);
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::remove(path);
    if (status != 0) return "<write failed>";
    return text.str();
}

}  // namespace oracle
