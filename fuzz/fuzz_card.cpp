// The whole card formatter on one record: the parser, the boxes, the
// d-spacing table and the page, for the mode code the input chooses.
//
// Input: the first byte picks the code (below 200: one of kCodes; otherwise
// the next up to 8 bytes are the code as it stands); the rest is the record,
// 80-character cards back to back. A fresh formatter per input, with the
// sample's code tables, keeps every run reproducible. Fails on a status that
// means a fault of the formatter itself and on a card line beyond column 128.
#include <corvane/card/driver.h>
#include <corvane/card/formatter.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

const std::string kCodes[] = {"CU", "CR", "FE", "CO", "MO", "AG", "D",      "Q",
                              "S",  "cu", "1",  "2",  "0",  "",   "1.5406", "x"};

// The sample's code tables, beside this file in the source tree.
std::string tables() {
    std::string here = __FILE__;
    const auto slash = here.rfind("/fuzz/");
    return slash == std::string::npos ? std::string() : here.substr(0, slash) + "/sample/";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const char* bytes = reinterpret_cast<const char*>(data);
    std::size_t at = 1;
    std::string code;
    if (data[0] < 200) {
        code = kCodes[data[0] % std::size(kCodes)];
    } else {
        const std::size_t n = std::min<std::size_t>(8, size - 1);
        code.assign(bytes + 1, n);
        at += n;
    }
    const std::string record(bytes + at, size - at);

    static const std::string dir = tables();
    std::ostringstream messages, page;
    corvane::card::CardFormatter fm(dir, "", messages);
    fm.set_page(page);
    const int status = corvane::card::krx2fmt(
        fm, record, static_cast<std::int32_t>(record.size() / 80), "-", code);
    if (status == corvane::card::kInternalFault) std::abort();

    std::istringstream lines(page.str());
    for (std::string line; std::getline(lines, line);) {
        if (line.size() > 128) std::abort();
    }
    return 0;
}
