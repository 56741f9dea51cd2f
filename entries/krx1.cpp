// The KRX1 readers: one record of kelpa.ind, name.lib, ref.lib, di.lib or the
// bit library per call, read through the streams that start-up opened.
//
// kelpa.ind holds one 20-byte record per entry: five big-endian signed words,
// the identifier and the byte offsets of the entry's records in name.lib,
// di.lib, ref.lib and krx2.dat. A name record is four length bytes and the four
// texts; a reference record is four length bytes, a year byte and the four
// texts; a di.lib record is a count byte N, N big-endian 16-bit angle codes and
// N intensity bytes. No file has a header and no text a terminator.
//
// A record cut off by the end of its file is a failure (-1): the offset grows
// by the bytes that did arrive, and no output receives a length or a text that
// was not read.
#include <algorithm>
#include <array>
#include <cstdint>

#include "entries/krx1io.h"
#include "setup/library.h"

namespace cv {

int Library::cv_readindex(std::int32_t entry, std::int32_t& entid, std::int32_t& namoff,
                          std::int32_t& dioff, std::int32_t& refoff, std::int32_t& recoff) {
    constexpr int kRecord = 20;
    if (!seek_to(findex, (static_cast<std::int64_t>(entry) - 1) * kRecord)) return -1;
    std::array<unsigned char, kRecord> rec;
    if (read_bytes(findex, rec.data(), kRecord) != kRecord) return -1;
    entid = big_endian_word(&rec[0]);
    namoff = big_endian_word(&rec[4]);
    dioff = big_endian_word(&rec[8]);
    refoff = big_endian_word(&rec[12]);
    recoff = big_endian_word(&rec[16]);
    return 0;
}

int Library::cv_readnamlib(std::int32_t& offset, std::string& text1, std::string& text2,
                           std::string& text3, std::string& text4) {
    if (!seek_to(fnamlib, offset)) return -1;
    std::array<TextField, 4> texts;
    if (!read_texts(fnamlib, offset, 4, texts, nullptr)) return -1;
    text1 = texts[0].view();
    text2 = texts[1].view();
    text3 = texts[2].view();
    text4 = texts[3].view();
    return 0;
}

int Library::cv_readreflib(std::int32_t& offset, std::int32_t& year, std::string& text1,
                           std::string& text2, std::string& text3, std::string& text4) {
    if (!seek_to(freflib, offset)) return -1;
    std::array<TextField, 4> texts;
    unsigned char year_code = 0;
    if (!read_texts(freflib, offset, 5, texts, &year_code)) return -1;
    year = year_code == 127 ? 0 : 1900 + year_code;  // 127: no year given
    text1 = texts[0].view();
    text2 = texts[1].view();
    text3 = texts[2].view();
    text4 = texts[3].view();
    return 0;
}

int Library::cv_readdilib(std::int32_t& offset, std::array<unsigned char, kMaxLines * 2>& codes,
                          std::array<unsigned char, kMaxLines>& intensities, std::int32_t& count) {
    count = 0;
    if (!seek_to(fdilib, offset)) return -1;
    unsigned char n = 0;
    const std::size_t got = read_bytes(fdilib, &n, 1);
    offset += static_cast<std::int32_t>(got);
    if (got != 1) return -1;
    if (n > 0) {
        // Read into local buffers first, so a cut-off record leaves the
        // caller's buffers as they were.
        std::array<unsigned char, kMaxLines * 2> c;
        std::array<unsigned char, kMaxLines> s;
        const std::size_t ncodes = 2u * n;
        const std::size_t got_codes = read_bytes(fdilib, c.data(), ncodes);
        offset += static_cast<std::int32_t>(got_codes);
        if (got_codes != ncodes) return -1;
        const std::size_t got_ints = read_bytes(fdilib, s.data(), n);
        offset += static_cast<std::int32_t>(got_ints);
        if (got_ints != n) return -1;
        std::copy_n(c.begin(), ncodes, codes.begin());
        std::copy_n(s.begin(), n, intensities.begin());
    }
    count = n;
    return 0;
}

int Library::cv_readbitlib(std::int32_t k, std::span<std::uint32_t> words, std::int32_t nbits) {
    if (nbits < 0) return -1;
    const std::int64_t w = (static_cast<std::int64_t>(nbits) + 31) / 32;
    if (static_cast<std::size_t>(w) > words.size()) return -1;
    if (!seek_to(fbitmap, (static_cast<std::int64_t>(k) - 1) * w * 4)) return -1;
    const auto nbytes = static_cast<std::size_t>(w) * 4;
    return read_bytes(fbitmap, words.data(), nbytes) == nbytes ? 0 : -1;
}

}  // namespace cv
