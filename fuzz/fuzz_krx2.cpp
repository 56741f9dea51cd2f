// The KRX2 record reader and the card parser: the input is krx2.dat. Its
// records are read one after the other from the start (and from a few odd
// offsets), each with the usual limit of 135 cards or a smaller one the input
// chooses, and every record read is sorted into its card slots by readbf.
#include <corvane/card/formatter.h>
#include <corvane/card/parser.h>
#include <corvane/entries/krx2.h>
#include <corvane/setup/library.h>

#include <cstdint>
#include <cstdio>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    corvane::Library lib;
    lib.set_messages(fuzz::null_stream());
    lib.fcdrom[0] = fuzz::memory_file(input);
    corvane::card::CardFormatter fm({}, {}, fuzz::null_stream());

    const std::int32_t limit = size > 0 && data[0] % 4 == 0 ? (data[0] % 200) : 10800;
    std::vector<char> buffer(10800);
    std::vector<std::int32_t> starts = {0,
                                        1,
                                        79,
                                        static_cast<std::int32_t>(size),
                                        static_cast<std::int32_t>(size) - 80,
                                        -80,
                                        INT32_MAX - 80};
    std::int32_t offset = 0;
    for (int records = 0; records < 64; ++records) {
        std::int32_t nread = -1;
        const std::int32_t from = offset;
        const int status = corvane::cv_readkrx2(lib, offset, nread, limit, buffer, 0);
        if (status < -2 || status > 0 || nread < 0 || nread % 80 != 0 ||
            offset - from != (status == -1 && nread == 0 ? 0 : nread)) {
            __builtin_trap();
        }
        if (nread > 0) {
            corvane::card::readbf(
                fm, std::string_view(buffer.data(), static_cast<std::size_t>(nread)), nread);
        }
        if (status == -1) break;
    }
    for (std::int32_t start : starts) {
        std::int32_t nread = -1;
        corvane::cv_readkrx2(lib, start, nread, limit, buffer, 0);
        if (nread > 0) {
            corvane::card::readbf(
                fm, std::string_view(buffer.data(), static_cast<std::size_t>(nread)), nread);
        }
    }
    return 0;
}
