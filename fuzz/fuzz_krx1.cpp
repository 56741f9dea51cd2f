// The KRX1 readers over a hostile database: the input is kelpa.ind, name.lib,
// di.lib and ref.lib, separated by "@@@@". Every entry the index holds (and
// the ones around it) is read through every reader, report and search, once
// over the Library and once through a Krx1Reader, in file order and backwards;
// both must give the same statuses, outputs and offsets.
#include <corvane/entries/krx1.h>
#include <corvane/entries/reports.h>
#include <corvane/entries/search.h>
#include <corvane/setup/library.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"

namespace {

using corvane::Krx1Reader;
using corvane::Library;
using corvane::LineValues;

void check(bool ok) {
    if (!ok) __builtin_trap();
}

// One entry through every routine of one kind of caller (a Library or a
// reader); everything it saw, for comparison.
template <typename Via>
std::string visit(Via& via, std::int32_t entry, const corvane::SearchFlags& flags) {
    std::string seen;
    auto note = [&](auto... values) { ((seen += std::to_string(values) + ","), ...); };
    std::int32_t id = 0, namoff = 0, dioff = 0, refoff = 0, recoff = 0;
    const int index = cv_readindex(via, entry, id, namoff, dioff, refoff, recoff);
    note(index, id, namoff, dioff, refoff, recoff);

    std::array<std::string, 4> t;
    std::int32_t off = namoff;
    note(cv_readnamlib(via, off, t[0], t[1], t[2], t[3]), off);
    for (const auto& s : t) seen += s + "|";
    std::int32_t year = 0;
    off = refoff;
    note(cv_readreflib(via, off, year, t[0], t[1], t[2], t[3]), off, year);
    for (const auto& s : t) seen += s + "|";
    std::array<unsigned char, 510> codes{};
    std::array<unsigned char, 255> ints{};
    std::int32_t count = -1;
    off = dioff;
    note(cv_readdilib(via, off, codes, ints, count), off, count);
    seen.append(reinterpret_cast<const char*>(codes.data()), codes.size());

    std::int32_t nd = 0;
    LineValues<std::int32_t> intensities{}, lines{};
    LineValues<float> d{};
    std::array<std::string, 8> r;
    note(cvl_repkrx1(via, entry, id, nd, intensities, d, r[3], r[2], r[1], r[0], year, r[4], r[5],
                     r[6], r[7]),
         id, nd, year);
    for (const auto& s : r) seen += s + "|";
    note(cvrepdi(via, entry, nd, intensities, lines), nd);
    std::string name1;
    note(cvl_replist(via, entry, id, name1, nd, intensities, lines), id, nd);
    seen += name1;
    for (int i = 0; i < nd && i < corvane::kMaxLines; ++i) note(lines[i], intensities[i]);

    const std::vector<std::string> strings = {"a", "Si", "", "QUARTZ"};
    for (const std::int32_t n : {2, -2, 4, -1, 0}) {
        std::int32_t no = namoff, ro = refoff;
        note(cv_srchlibs(via, no, ro, strings, n, flags), no, ro);
    }
    return seen;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto parts = fuzz::split(input, "@@@@", 4);
    Library lib;
    lib.set_messages(fuzz::null_stream());
    lib.findex = fuzz::memory_file(parts[0]);
    lib.fnamlib = fuzz::memory_file(parts[1]);
    lib.fdilib = fuzz::memory_file(parts[2]);
    lib.freflib = fuzz::memory_file(parts[3]);
    lib.fbitmap = fuzz::memory_file(parts[0]);

    corvane::SearchFlags flags{};
    for (std::size_t i = 0; i < flags.size(); ++i) flags[i] = (size >> i) & 1;
    const auto entries = static_cast<std::int32_t>(std::min<std::size_t>(parts[0].size() / 20, 64));
    // What the calls over the Library see of each entry; the reader, walking
    // forwards and then backwards, must see the same.
    std::vector<std::int32_t> order;
    for (std::int32_t k = -1; k <= entries + 1; ++k) order.push_back(k);
    order.push_back(INT32_MAX);
    order.push_back(INT32_MIN);
    std::vector<std::string> expected;
    for (const std::int32_t k : order) expected.push_back(visit(lib, k, flags));
    Krx1Reader reader(lib);
    for (std::size_t i = 0; i < order.size(); ++i)
        check(visit(reader, order[i], flags) == expected[i]);
    for (std::size_t i = order.size(); i-- > 0;)
        check(visit(reader, order[i], flags) == expected[i]);

    std::array<std::uint32_t, 64> words{};
    for (const std::int32_t nbits : {0, 1, 32, 33, 2048, 2049, -1, INT32_MAX}) {
        for (const std::int32_t k : {1, 2, 7, 0, INT32_MAX})
            corvane::cv_readbitlib(lib, k, words, nbits);
    }
    return 0;
}
