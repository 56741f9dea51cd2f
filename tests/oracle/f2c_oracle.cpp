#include "f2c_oracle.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <type_traits>

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

// One item to or from do_fio: its address and its size in bytes (for a text,
// its length; an empty text still needs a valid address).
integer transfer(Item& item) {
    ftnint one = 1;
    return std::visit(
        [&](auto& v) {
            if constexpr (std::is_same_v<std::decay_t<decltype(v)>, std::string>) {
                static char empty = ' ';
                return do_fio(&one, v.empty() ? &empty : v.data(), static_cast<ftnlen>(v.size()));
            } else {
                return do_fio(&one, reinterpret_cast<char*>(&v), sizeof v);
            }
        },
        item);
}

// Runs one internal-record transfer: start, every item, end. Errors come back
// as a status, never as an abort.
int run(integer (*start)(icilist*), integer (*end)(), const std::string& format, std::string& unit,
        std::size_t length, std::vector<Item>& items) {
    std::string fmt = format;
    if (unit.empty()) unit.assign(1, ' ');
    icilist io{};
    io.icierr = 1;
    io.iciend = 1;
    io.iciunit = unit.data();
    io.icifmt = fmt.data();
    io.icirlen = static_cast<ftnint>(length);
    io.icirnum = 1;
    integer status = start(&io);
    for (std::size_t i = 0; status == 0 && i < items.size(); ++i) status = transfer(items[i]);
    return static_cast<int>(status == 0 ? end() : status);
}

}  // namespace

Written write(const std::string& format, std::size_t length, const std::vector<Item>& items) {
    std::string unit(length, '#');
    std::vector<Item> copy = items;
    const int status = run(s_wsfi, e_wsfi, format, unit, length, copy);
    return {status, unit.substr(0, length)};
}

int read(const std::string& format, const std::string& record, std::vector<Item>& targets) {
    std::string unit = record;
    return run(s_rsfi, e_rsfi, format, unit, record.size(), targets);
}

std::string listed(const std::vector<ListItem>& items) {
    char path[] = "/tmp/corvane_oracle_XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) return "<no temporary file>";
    close(fd);
    char old[] = "old";
    olist open{};
    open.oerr = 1;
    open.ounit = 77;
    open.ofnm = path;
    open.ofnmlen = static_cast<ftnlen>(sizeof path - 1);
    open.osta = old;
    if (f_open(&open) != 0) {
        std::remove(path);
        return "<open failed>";
    }
    cilist io{};
    io.cierr = 1;
    io.ciunit = 77;
    io.ciend = 1;
    integer status = s_wsle(&io);
    for (std::size_t i = 0; status == 0 && i < items.size(); ++i) {
        ftnint one = 1;
        if (const auto* s = std::get_if<std::string>(&items[i])) {
            ftnint type = 9;  // character
            std::string text = s->empty() ? " " : *s;
            status = do_lio(&type, &one, text.data(), static_cast<ftnlen>(s->size()));
        } else {
            ftnint type = 3;  // integer
            std::int32_t value = std::get<std::int32_t>(items[i]);
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
    return status == 0 ? text.str() : "<write failed>";
}

}  // namespace oracle
