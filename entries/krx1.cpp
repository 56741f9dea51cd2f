// The KRX1 readers. A record cut off by the end of its file is a failure (-1):
// the offset grows by the bytes that did arrive, and no output receives a
// length or a text that was not read.
#include <corvane/entries/krx1.h>

#include <algorithm>
#include <array>
#include <cstdint>

#include "entries/krx1io.h"

namespace corvane {

int cv_readindex(Library& lib, std::int32_t entry, std::int32_t& entid, std::int32_t& namoff,
                 std::int32_t& dioff, std::int32_t& refoff, std::int32_t& recoff) {
    constexpr int kRecord = 20;
    if (!seek_to(lib.findex, (static_cast<std::int64_t>(entry) - 1) * kRecord)) return -1;
    std::array<unsigned char, kRecord> rec;
    if (read_bytes(lib.findex, rec.data(), kRecord) != kRecord) return -1;
    entid = big_endian_word(&rec[0]);
    namoff = big_endian_word(&rec[4]);
    dioff = big_endian_word(&rec[8]);
    refoff = big_endian_word(&rec[12]);
    recoff = big_endian_word(&rec[16]);
    return 0;
}

int cv_readnamlib(Library& lib, std::int32_t& offset, std::string& text1, std::string& text2,
                  std::string& text3, std::string& text4) {
    if (!seek_to(lib.fnamlib, offset)) return -1;
    std::array<TextField, 4> texts;
    if (!read_texts(lib.fnamlib, offset, 4, texts, nullptr)) return -1;
    text1 = texts[0].view();
    text2 = texts[1].view();
    text3 = texts[2].view();
    text4 = texts[3].view();
    return 0;
}

int cv_readreflib(Library& lib, std::int32_t& offset, std::int32_t& year, std::string& text1,
                  std::string& text2, std::string& text3, std::string& text4) {
    if (!seek_to(lib.freflib, offset)) return -1;
    std::array<TextField, 4> texts;
    unsigned char year_code = 0;
    if (!read_texts(lib.freflib, offset, 5, texts, &year_code)) return -1;
    year = year_code == 127 ? 0 : 1900 + year_code;  // 127: no year given
    text1 = texts[0].view();
    text2 = texts[1].view();
    text3 = texts[2].view();
    text4 = texts[3].view();
    return 0;
}

int cv_readdilib(Library& lib, std::int32_t& offset,
                 std::array<unsigned char, kMaxLines * 2>& codes,
                 std::array<unsigned char, kMaxLines>& intensities, std::int32_t& count) {
    count = 0;
    if (!seek_to(lib.fdilib, offset)) return -1;
    unsigned char n = 0;
    const std::size_t got = read_bytes(lib.fdilib, &n, 1);
    offset += static_cast<std::int32_t>(got);
    if (got != 1) return -1;
    if (n > 0) {
        // Read into local buffers first, so a cut-off record leaves the
        // caller's buffers as they were.
        std::array<unsigned char, kMaxLines * 2> c;
        std::array<unsigned char, kMaxLines> s;
        const std::size_t ncodes = 2u * n;
        const std::size_t got_codes = read_bytes(lib.fdilib, c.data(), ncodes);
        offset += static_cast<std::int32_t>(got_codes);
        if (got_codes != ncodes) return -1;
        const std::size_t got_ints = read_bytes(lib.fdilib, s.data(), n);
        offset += static_cast<std::int32_t>(got_ints);
        if (got_ints != n) return -1;
        std::copy_n(c.begin(), ncodes, codes.begin());
        std::copy_n(s.begin(), n, intensities.begin());
    }
    count = n;
    return 0;
}

int cv_readbitlib(Library& lib, std::int32_t k, std::span<std::uint32_t> words,
                  std::int32_t nbits) {
    if (nbits < 0) return -1;
    const std::int64_t w = (static_cast<std::int64_t>(nbits) + 31) / 32;
    if (static_cast<std::size_t>(w) > words.size()) return -1;
    if (!seek_to(lib.fbitmap, (static_cast<std::int64_t>(k) - 1) * w * 4)) return -1;
    const auto nbytes = static_cast<std::size_t>(w) * 4;
    return read_bytes(lib.fbitmap, words.data(), nbytes) == nbytes ? 0 : -1;
}

}  // namespace corvane
