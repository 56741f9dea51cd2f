// The subfile reader: the input is a subfile. It is read on its own, then
// loaded into or merged with a library whose table has the size the file
// claims (so the merge runs), and the hits are walked and the history read.
#include <corvane/hits/report.h>
#include <corvane/hits/subfile.h>
#include <corvane/hits/tables.h>
#include <corvane/setup/library.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::FILE* file = fuzz::memory_file(input);
    const std::string path = fuzz::path_of(file);

    std::int32_t n = -1, k = -1;
    std::array<std::uint32_t, corvane::kTableWords> table{};
    std::array<std::string, corvane::kMaxHistory> records;
    const int status = corvane::cv_readmap(path, n, table, k, records, corvane::kHistLen);
    if (status > 0 || status < -5) __builtin_trap();
    if (status == 0 && (n < 0 || n > corvane::kMaxEntries || k < 0 || k > corvane::kMaxHistory)) {
        __builtin_trap();
    }

    corvane::Library lib;
    lib.set_messages(fuzz::null_stream());
    std::int32_t claimed = 0;
    if (size >= 4) std::memcpy(&claimed, data, 4);
    const int entries = claimed >= 0 && claimed <= corvane::kMaxEntries ? claimed : 100;
    lib.cv_sizes.dbsize(1) = entries;
    lib.cv_tables.nhits = corvane::tblset(lib.cv_tables.curtbl, entries);
    lib.cv_history.nhist = 1;
    const int op = static_cast<int>(size % 6);  // 0..3 merge, 4 and 5 load
    corvane::cvl_readbitmap(lib, path, op);
    if (op <= 3) corvane::cvl_readbitmap(lib, path, op);  // the history grows past 100

    if (lib.cv_history.nhist < 0 || lib.cv_history.nhist > corvane::kMaxHistory) __builtin_trap();
    std::array<char, 101> text{};
    for (int i = 1; i <= lib.cv_history.nhist; ++i) {
        if (corvane::cvl_rephistory(lib, i, text) != 1) __builtin_trap();
    }
    int cur = 0, rank = 0;
    for (int steps = 0; steps < 8; ++steps) {
        const int hit = corvane::cvl_nexthit(lib, cur, rank, 0);
        if (hit < 0) break;
        if (hit > entries) __builtin_trap();
        cur = hit;
    }
    cur = -1;
    rank = static_cast<int>(size);
    corvane::cvl_nexthit(lib, cur, rank, 1);
    corvane::cvl_rephits(lib, 0);
    std::fclose(file);
    return 0;
}
