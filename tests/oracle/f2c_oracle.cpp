#include "f2c_oracle.h"

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

}  // namespace oracle
