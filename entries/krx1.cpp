// The KRX1 readers. A record cut off by the end of its file is a failure (-1):
// the offset grows by the bytes that did arrive, and no output receives a
// length or a text that was not read.
#include <corvane/entries/krx1.h>

#include <array>
#include <cstdint>

#include "entries/krx1io.h"

namespace corvane {
namespace {

// A call over the Library reads one record: a small buffer suffices.
constexpr std::size_t kCallBuffer = FileWindow::kMinCapacity;
// A reader's buffers, one per file.
constexpr std::size_t kReaderBuffer = std::size_t{128} << 10;

int index_into(FileWindow& src, std::int32_t entry, std::int32_t& entid, std::int32_t& namoff,
               std::int32_t& dioff, std::int32_t& refoff, std::int32_t& recoff) {
    IndexRecord r{};
    if (read_index(src, entry, r) != 0) return -1;
    entid = r.entid;
    namoff = r.namoff;
    dioff = r.dioff;
    refoff = r.refoff;
    recoff = r.recoff;
    return 0;
}

int texts_into(FileWindow& src, std::int32_t& offset, int header_len, std::int32_t* year,
               std::string& text1, std::string& text2, std::string& text3, std::string& text4) {
    RecordTexts r;
    if (read_texts(src, offset, header_len, r) != 0) return -1;
    if (year != nullptr) *year = r.year_code == 127 ? 0 : 1900 + r.year_code;  // 127: no year
    text1 = r.text[0];
    text2 = r.text[1];
    text3 = r.text[2];
    text4 = r.text[3];
    return 0;
}

}  // namespace

Krx1Reader::Krx1Reader(Library& lib)
    : lib_(lib), impl_(std::make_unique<Impl>(lib, kReaderBuffer)) {}

Krx1Reader::~Krx1Reader() = default;

int cv_readindex(Library& lib, std::int32_t entry, std::int32_t& entid, std::int32_t& namoff,
                 std::int32_t& dioff, std::int32_t& refoff, std::int32_t& recoff) {
    FileWindow src(lib.findex, kCallBuffer);
    return index_into(src, entry, entid, namoff, dioff, refoff, recoff);
}

int cv_readindex(Krx1Reader& rd, std::int32_t entry, std::int32_t& entid, std::int32_t& namoff,
                 std::int32_t& dioff, std::int32_t& refoff, std::int32_t& recoff) {
    return index_into(rd.impl().index, entry, entid, namoff, dioff, refoff, recoff);
}

int cv_readnamlib(Library& lib, std::int32_t& offset, std::string& text1, std::string& text2,
                  std::string& text3, std::string& text4) {
    FileWindow src(lib.fnamlib, kCallBuffer);
    return texts_into(src, offset, 4, nullptr, text1, text2, text3, text4);
}

int cv_readnamlib(Krx1Reader& rd, std::int32_t& offset, std::string& text1, std::string& text2,
                  std::string& text3, std::string& text4) {
    return texts_into(rd.impl().names, offset, 4, nullptr, text1, text2, text3, text4);
}

int cv_readreflib(Library& lib, std::int32_t& offset, std::int32_t& year, std::string& text1,
                  std::string& text2, std::string& text3, std::string& text4) {
    FileWindow src(lib.freflib, kCallBuffer);
    return texts_into(src, offset, 5, &year, text1, text2, text3, text4);
}

int cv_readreflib(Krx1Reader& rd, std::int32_t& offset, std::int32_t& year, std::string& text1,
                  std::string& text2, std::string& text3, std::string& text4) {
    return texts_into(rd.impl().refs, offset, 5, &year, text1, text2, text3, text4);
}

int cv_readdilib(Library& lib, std::int32_t& offset,
                 std::array<unsigned char, kMaxLines * 2>& codes,
                 std::array<unsigned char, kMaxLines>& intensities, std::int32_t& count) {
    FileWindow src(lib.fdilib, kCallBuffer);
    return read_lines(src, offset, codes, intensities, count);
}

int cv_readdilib(Krx1Reader& rd, std::int32_t& offset,
                 std::array<unsigned char, kMaxLines * 2>& codes,
                 std::array<unsigned char, kMaxLines>& intensities, std::int32_t& count) {
    return read_lines(rd.impl().lines, offset, codes, intensities, count);
}

int cv_readbitlib(Library& lib, std::int32_t k, std::span<std::uint32_t> words,
                  std::int32_t nbits) {
    if (nbits < 0) return -1;
    const std::int64_t w = (static_cast<std::int64_t>(nbits) + 31) / 32;
    if (static_cast<std::size_t>(w) > words.size()) return -1;
    // At most 2^31 records of at most 2^26 words: the position fits 64 bits.
    const std::int64_t pos = (static_cast<std::int64_t>(k) - 1) * w * 4;
    const auto nbytes = static_cast<std::size_t>(w) * 4;
    FileWindow src(lib.fbitmap, kCallBuffer);
    if (!src.placeable(pos)) return -1;
    return src.copy(pos, words.data(), nbytes) == nbytes ? 0 : -1;
}

}  // namespace corvane
