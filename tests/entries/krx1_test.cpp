// The KRX1 and KRX2 readers against files written by hand.
#include <fcntl.h>
#include <unistd.h>

#include "support/support.h"

namespace {

using namespace cvtest;
using Ints = std::vector<std::int32_t>;

class Krx1 : public ::testing::Test {
  protected:
    void put(std::FILE*& handle, const std::string& content) {
        put_file(handle, dir / "krx1.lib", content);
    }
    // {status, identifier, the four offsets}; outputs start at -9.
    Ints index(std::int32_t entry) {
        Ints o(5, -9);
        o.insert(o.begin(), cv_readindex(lib, entry, o[0], o[1], o[2], o[3], o[4]));
        return o;
    }
    // Texts start as "old".
    int names(std::int32_t& off) {
        t.assign(4, "old");
        return cv_readnamlib(lib, off, t[0], t[1], t[2], t[3]);
    }
    int refs(std::int32_t& off, std::int32_t& year) {
        t.assign(4, "old");
        return cv_readreflib(lib, off, year, t[0], t[1], t[2], t[3]);
    }
    int lines(std::int32_t& off, std::int32_t& count) {
        codes.fill(0xAA);
        ints.fill(0xBB);
        return cv_readdilib(lib, off, codes, ints, count);
    }
    // A sparse file of 4 GiB holding bytes at `at`, opened into handle.
    void put_sparse(std::FILE*& handle, std::int64_t at, const std::string& bytes) {
        const std::string path = dir / std::to_string(at);
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ASSERT_EQ(ftruncate(fd, std::int64_t{1} << 32), 0);
        ASSERT_EQ(pwrite(fd, bytes.data(), bytes.size(), at), std::ssize(bytes));
        close(fd);
        if (handle != nullptr) std::fclose(handle);
        handle = std::fopen(path.c_str(), "rb");
    }

    cvtest::TempDir dir;
    corvane::Library lib;
    Strings t;
    std::array<unsigned char, 510> codes{};
    std::array<unsigned char, 255> ints{};
    std::array<std::uint32_t, 4> words{};
};

TEST_F(Krx1, IndexRecordsAreTwentyBigEndianBytesInEntryOrder) {
    std::int32_t off = 0, year = 0, count = 0;
    EXPECT_EQ(index(1)[0] + names(off) + refs(off, year) + lines(off, count) +
                  cv_readbitlib(lib, 1, words, 32),
              -5);  // every reader fails on a file not open
    put(lib.findex, bytes({0, 0, 0x30, 0x39, 0, 0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 0, 1, 2, 3, 4}) +
                        index_record(-2, 7, INT_MAX, 9, 80) + std::string(10, '\x01'));
    EXPECT_EQ(index(1), (Ints{0, 12345, 0, 256, 65536, 0x01020304}));
    EXPECT_EQ(index(2), (Ints{0, -2, 7, 2147483647, 9, 80}));
    for (std::int32_t k : {0, -3, 3, INT_MAX, INT_MIN}) {
        EXPECT_EQ(index(k), (Ints{-1, -9, -9, -9, -9, -9})) << k;
    }
}

TEST_F(Krx1, NameAndReferenceRecordsYieldTheirTextsWholeAndAdvancePastThem) {
    const std::string n255(255, 'n');
    put(lib.fnamlib, "xyz" + bytes({6, 0, 2, 11}) + "Quartzab" + "low, syn Si" +
                         bytes({0, 0, 0, 0}) + bytes({255, 1, 0, 255}) + n255 + "m" + n255 +
                         bytes({3, 9, 0, 0}) + "abc" + "defg");  // text 2: 4 of 9 bytes
    std::int32_t off = 3;                                        // after a 3-byte stranger
    ASSERT_EQ(names(off), 0);
    EXPECT_EQ(t, (Strings{"Quartz", "", "ab", "low, syn Si"}));
    EXPECT_EQ(off, 3 + 4 + 6 + 0 + 2 + 11);
    ASSERT_EQ(names(off), 0);  // an empty record is its header alone
    EXPECT_EQ(t, (Strings{"", "", "", ""}));
    EXPECT_EQ(off, 30);
    ASSERT_EQ(names(off), 0);
    EXPECT_EQ(t, (Strings{n255, "m", "", n255}));
    EXPECT_EQ(off, 30 + 4 + 255 + 1 + 255);
    // Cut off by the end of the file, or unplaced: a failure that changes no
    // text; the offset advances over the bytes that arrived.
    for (const auto& [from, to] : {std::pair{545, 556}, {554, 556}, {-4, -4}}) {
        std::int32_t o = from;
        EXPECT_EQ(names(o), -1) << from;
        EXPECT_EQ(o, to) << from;
        EXPECT_EQ(t, Strings(4, "old")) << from;
    }

    // Year codes: 127 means no year; every other code is 1900 plus the code.
    const std::string journal = "J. Appl. Crystallogr. Suppl.";  // longer than any code
    std::string content = texts_record({journal, "XXIII-supplement", "A1234-A1299", "Ng"}, 87);
    const std::pair<int, int> years[] = {{127, 0}, {0, 1900}, {128, 2028}, {255, 2155}};
    for (const auto& [code, year] : years) content += bytes({0, 0, 0, 0, code});
    put(lib.freflib, content + bytes({1, 1, 1, 20, 90}) + "JVP" + "Smith");  // 5 of 20 bytes
    std::int32_t year = 0;
    off = 0;
    ASSERT_EQ(refs(off, year), 0);
    EXPECT_EQ(year, 1987);
    EXPECT_EQ(t, (Strings{journal, "XXIII-supplement", "A1234-A1299", "Ng"}));
    EXPECT_EQ(off, 5 + 28 + 16 + 11 + 2);
    for (const auto& [code, expected] : years) {
        ASSERT_EQ(refs(off, year), 0);
        EXPECT_EQ(year, expected) << "year code " << code;
    }
    const std::int32_t last = off;
    year = -5;
    EXPECT_EQ(refs(off, year), -1);
    EXPECT_EQ(std::pair(off, year), std::pair(last + 5 + 3 + 5, -5));
    EXPECT_EQ(t, Strings(4, "old"));
}

TEST_F(Krx1, LineAndBitRecordsAreDeliveredAsStored) {
    // Codes 3756 and -31416 with intensities 100 and 255; a record without
    // lines, which leaves the buffers; the largest record, of 255 lines; three
    // lines announced and the intensities missing; no count byte at all.
    std::string content = bytes({2, 0x0E, 0xAC, 0x85, 0x48, 100, 255, 0, 255});
    for (int i = 0; i < 255; ++i) content += bytes({i, 1});
    for (int i = 0; i < 255; ++i) content += bytes({254 - i});
    put(lib.fdilib, content + bytes({3, 0, 1, 0, 2, 0, 3, 50}));
    std::int32_t off = 0, count = -1;
    ASSERT_EQ(lines(off, count), 0);
    EXPECT_EQ(std::pair(count, off), std::pair(2, 7));
    EXPECT_EQ(Ints(codes.begin(), codes.begin() + 5), (Ints{0x0E, 0xAC, 0x85, 0x48, 0xAA}));
    EXPECT_EQ(Ints(ints.begin(), ints.begin() + 3), (Ints{100, 255, 0xBB}));
    ASSERT_EQ(lines(off, count), 0);
    EXPECT_EQ(std::pair(count, off), std::pair(0, 8));
    EXPECT_EQ(codes[0] + ints[0], 0xAA + 0xBB);
    ASSERT_EQ(lines(off, count), 0);
    EXPECT_EQ(std::pair(count, off), std::pair(255, 8 + 1 + 510 + 255));
    EXPECT_EQ(Ints(codes.end() - 2, codes.end()), (Ints{254, 1}));
    EXPECT_EQ(ints[0] + ints[254], 254);
    for (const auto& [from, to] : {std::pair{774, 782}, {782, 782}}) {
        std::int32_t o = from;
        count = -1;
        EXPECT_EQ(lines(o, count), -1) << from;
        EXPECT_EQ(std::pair(count, o), std::pair(0, to)) << from;  // a failed read has no lines
        EXPECT_EQ(codes[1] + ints[0], 0xAA + 0xBB) << from;
    }

    content.clear();  // 6 words: word i holds the byte value i in every byte
    for (int i = 0; i < 6; ++i) content += bytes({i, i, i, i});
    put(lib.fbitmap, content);
    // {record, entries, status, last word}: one word a record up to 32 entries;
    // record 2 of 128 entries needs words 4..7, of which only 4 and 5 exist;
    // five words do not fit in four.
    const std::array<std::int64_t, 4> reads[] = {
        {3, 32, 0, 0x02020202}, {2, 33, 0, 0x03030303}, {1, 128, 0, 0x03030303},
        {0, 32, -1, 0},         {2, 128, -1, 0},        {1, 129, -1, 0},
        {INT_MAX, 64, -1, 0},   {INT_MIN, 64, -1, 0},   {1, INT_MAX, -1, 0}};
    for (const auto& [k, n, status, last] : reads) {
        words.fill(0);
        EXPECT_EQ(cv_readbitlib(lib, std::int32_t(k), words, std::int32_t(n)), status) << k << n;
        EXPECT_EQ(words[std::size_t(n - 1) / 32 % 4], status == 0 ? last : 0) << k << n;
    }
}

// Records that would end past byte 2^31 - 1 are cut off there, so an
// advanced offset never overflows; the files are sparse.
TEST_F(Krx1, RecordsAgainstTheEndOfTheOffsetRangeAreCutOff) {
    constexpr std::int32_t top = INT_MAX;
    put_sparse(lib.fnamlib, top - 3, bytes({1, 2, 3, 4}));  // the header's last byte past it
    put_sparse(lib.freflib, top - 7, bytes({1, 2, 0, 0, 90, 'J'}));  // the texts past it
    put_sparse(lib.fdilib, top - 3, bytes({1, 0, 0}));               // the one intensity past it
    put_sparse(lib.fcdrom[0], 0, "x");                               // zeros: no card ends a record
    std::int32_t year = -1, count = -1, n3 = top - 3, r7 = top - 7, d3 = top - 3;
    EXPECT_EQ(names(n3) + refs(r7, year) + lines(d3, count), -3);
    EXPECT_EQ((std::array{n3, r7, d3, count}), (std::array{top, top, top, 0}));
    EXPECT_EQ(t, Strings(4, "old"));
    // The search: a header cut off at the end of the range; a journal code
    // that ends on the last byte in range.
    const Strings j = {"J"};
    std::int32_t namoff = top - 2, refoff = 0;
    EXPECT_EQ(cv_srchlibs(lib, namoff, refoff, j, 1, {1, 1, 1, 1, 0, 0}), -1);
    EXPECT_EQ(namoff, top);
    namoff = 0;
    refoff = top - 7;
    EXPECT_EQ(cv_srchlibs(lib, namoff, refoff, j, 1, {0, 0, 0, 0, 0, 1}), 1);
    EXPECT_EQ(refoff, top - 1);
    // krx2.dat: the last card in range is read, the next is not.
    std::vector<char> buffer(10800);
    std::int32_t nread = -1, off = top - 80;
    EXPECT_EQ(cv_readkrx2(lib, off, nread, 10800, buffer, 0), -1);
    EXPECT_EQ(std::pair(nread, off), std::pair(80, top));
}

// Entry k of a 3000-entry database: texts whose lengths vary with k, so that
// records straddle the buffers, and k lines. In file order, backwards and by
// jumps the buffered reader gives what the files hold, and past the index -1.
TEST(Krx1Reader, AnyOrderOfEntriesGivesTheFilesRecords) {
    constexpr int kEntries = 3000;
    const auto texts = [](int k) {
        Strings t;
        for (int j = 0; j < 4; ++j)
            t.push_back(std::string(std::size_t(k * 7 + j * 13) % 200, char('a' + j)) +
                        std::to_string(k));
        return t;
    };
    TempDir dir;
    corvane::Library lib;
    std::string index, names, lines;
    for (int k = 1; k <= kEntries; ++k) {
        index += index_record(k * 10, std::int32_t(names.size()), std::int32_t(lines.size()), 0, 0);
        names += texts_record(texts(k));
        std::vector<std::pair<std::int32_t, int>> l;
        for (int i = 0; i < std::min(k % 256, 255); ++i) l.push_back({i - 100, i});
        lines += di_record(l);
    }
    ASSERT_GT(names.size(), std::size_t{3} << 17);  // several buffers long
    put_file(lib.findex, dir / "kelpa.ind", index);
    put_file(lib.fnamlib, dir / "name.lib", names);
    put_file(lib.fdilib, dir / "di.lib", lines);
    std::vector<int> order;
    for (int k = 1; k <= kEntries; ++k) order.push_back(k);
    for (int k = kEntries; k >= 1; k -= 7) order.push_back(k);
    for (int k = 1; k <= kEntries; k += 997) order.push_back((k * 1543) % kEntries + 1);
    order.push_back(kEntries + 1);
    corvane::Krx1Reader reader(lib);
    for (int k : order) {
        SCOPED_TRACE(k);
        std::int32_t id = 0, namoff = 0, dioff = 0, refoff = 0, recoff = 0, nd = -1;
        ASSERT_EQ(cv_readindex(reader, k, id, namoff, dioff, refoff, recoff),
                  k > kEntries ? -1 : 0);
        if (k > kEntries) continue;
        EXPECT_EQ(id, k * 10);
        Strings t(4);
        ASSERT_EQ(cv_readnamlib(reader, namoff, t[0], t[1], t[2], t[3]), 0);
        EXPECT_EQ(t, texts(k));
        corvane::LineValues<std::int32_t> ints{}, codes{};
        std::string name1;
        ASSERT_EQ(cvl_replist(reader, k, id, name1, nd, ints, codes), 0);
        EXPECT_EQ(name1, texts(k)[0]);
        ASSERT_EQ(nd, k % 256 < 255 ? k % 256 : 255);
        const auto last = static_cast<std::size_t>(nd > 0 ? nd - 1 : 0);
        EXPECT_EQ(codes[last] * 1000 + ints[last], nd > 0 ? (nd - 101) * 1000 + nd - 1 : 0);
    }
    // A stream without a descriptor (a memory stream) is read by seeking it.
    std::fclose(lib.fnamlib);
    lib.fnamlib = fmemopen(names.data(), names.size(), "rb");
    corvane::Krx1Reader memory(lib);
    Strings t(4);
    std::int32_t off = 0;
    ASSERT_EQ(cv_readnamlib(memory, off, t[0], t[1], t[2], t[3]), 0);
    EXPECT_EQ(t, texts(1));
    off = static_cast<std::int32_t>(names.size());
    EXPECT_EQ(cv_readnamlib(memory, off, t[0], t[1], t[2], t[3]), -1);  // at the end
}

// krx2.dat of hand-made 80-byte cards.
std::string numbered(int number, char type) {  // "card N" in column 1
    return cvtest::card("card " + std::to_string(number), type);
}

std::string krx2_record(int cards) {  // cards of type 1, then a K card
    std::string r;
    for (int i = 1; i < cards; ++i) r += numbered(i, '1');
    return r + numbered(cards, 'K');
}

class Krx2 : public ::testing::Test {
  protected:
    // Reads the record at off: the status, the bytes read, the offset after it.
    void expect_read(std::int32_t off, int status, std::int32_t nread, std::int32_t next,
                     std::int32_t volume = 0) {
        SCOPED_TRACE(testing::Message() << "offset " << off << ", volume " << volume);
        std::int32_t n = -1;
        EXPECT_EQ(cv_readkrx2(lib, off, n, 10800, buffer, volume), status);
        EXPECT_EQ(n, nread);
        EXPECT_EQ(off, next);
    }
    std::string card_read(int k) { return std::string(buffer.data() + (k - 1) * 80, 80); }

    cvtest::TempDir dir;
    corvane::Library lib;
    std::vector<char> buffer = std::vector<char>(10800, '#');
};

TEST_F(Krx2, RecordRunsThroughItsCapitalKCardWithinTheLimitAndTheBuffer) {
    // 135 cards fill the limit exactly; with 136 it is reached before the K card.
    cvtest::put_file(lib.fcdrom[0], dir / "krx2.dat",
                     krx2_record(3) + krx2_record(1) + numbered(1, 'k') + numbered(2, 'K') +
                         krx2_record(135) + krx2_record(136));
    expect_read(0, 0, 240, 240);
    EXPECT_EQ(card_read(3), numbered(3, 'K'));
    expect_read(240, 0, 80, 320);
    expect_read(320, 0, 160, 480);  // a lower-case k does not end it
    expect_read(480, 0, 10800, 11280);
    expect_read(11280, -2, 10800, 22080);
    EXPECT_EQ(card_read(135), numbered(135, '1'));
    buffer.resize(200);  // room for two whole cards only
    expect_read(0, -2, 160, 160);
}

TEST_F(Krx2, OffsetsOutsideTheFileCardsCutOffAndEmptyVolumesFail) {
    // A cut-off card keeps the whole cards before it.
    cvtest::put_file(lib.fcdrom[2], dir / "krx2.dat",
                     numbered(1, '1') + numbered(2, '2') + std::string(40, 'x'));
    expect_read(0, -1, 160, 160, 2);
    EXPECT_EQ(card_read(2), numbered(2, '2'));
    for (std::int32_t off : {200, 100000, -80}) expect_read(off, -1, 0, off, 2);
    for (std::int32_t volume : {0, 4, -1}) expect_read(0, -1, 0, 0, volume);  // empty or none
}

}  // namespace
