// The location and sizes files. The first byte chooses what the rest is: even,
// the location file itself (its paths are whatever the input says); odd, the
// sizes file pdsize.txt of a location file naming a scratch directory. Then
// start-up runs on the same files, its messages thrown away.
#include <corvane/hits/startup.h>
#include <corvane/setup/dbloc.h>
#include <corvane/setup/library.h>
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"

namespace {

// A scratch directory for the whole run.
const std::string& scratch() {
    static const std::string dir = [] {
        const char* base = std::getenv("TMPDIR");
        std::string templ =
            std::string(base != nullptr && *base ? base : "/tmp") + "/corvane-fuzz-dbloc-XXXXXX";
        if (mkdtemp(templ.data()) == nullptr) __builtin_trap();
        return templ;
    }();
    return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::string& dir = scratch();
    std::string location;
    if (data[0] % 2 == 0) {
        location = rest;
    } else {
        location = dir + "\n" + dir + "\n" + dir + "\n";
        std::ofstream(dir + "/pdsize.txt", std::ios::binary | std::ios::trunc)
            .write(rest.data(), static_cast<std::streamsize>(rest.size()));
    }
    std::FILE* loc = fuzz::memory_file(location);
    setenv("LOGIC_LOC", fuzz::path_of(loc).c_str(), 1);
    setenv("HOME", dir.c_str(), 1);

    std::string l1, l2, l3;
    std::int32_t s[5] = {};
    const int status = corvane::cv_readdbloc(l1, l2, l3, s[0], s[1], s[2], s[3], s[4]);
    if (status < -4 || status > 0) __builtin_trap();
    // Refused lines never reach the paths: no control character but a tab.
    for (const std::string* line : {&l1, &l2, &l3}) {
        if (line->size() > 4096) __builtin_trap();
        for (const char c : *line) {
            const auto u = static_cast<unsigned char>(c);
            if (status != -1 && ((u < 32 && c != '\t') || u == 127)) __builtin_trap();
        }
    }

    corvane::Library lib;
    lib.set_messages(fuzz::null_stream());
    corvane::cvl_init(lib);
    std::fclose(loc);
    return 0;
}
