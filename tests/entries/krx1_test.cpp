// The KRX1 readers against small big-endian files written by hand.
#include <corvane/corvane.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "support/support.h"

namespace {

using cvtest::bytes;
using Ints = std::vector<std::int32_t>;
using Strings = std::vector<std::string>;

class Krx1 : public ::testing::Test {
  protected:
    void put(std::FILE*& handle, const std::string& content) {
        cvtest::put_file(handle, dir / "krx1.lib", content);
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
    put(lib.findex,
        bytes({0x00, 0x00, 0x30, 0x39, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x01,
               0x00, 0x00, 0x01, 0x02, 0x03, 0x04, 0xFF, 0xFF, 0xFF, 0xFE, 0x00, 0x00, 0x00, 0x07,
               0x7F, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x09, 0x00, 0x00, 0x00, 0x50}) +
            std::string(10, '\x01'));  // half a third record
    EXPECT_EQ(index(1), (Ints{0, 12345, 0, 256, 65536, 0x01020304}));
    EXPECT_EQ(index(2), (Ints{0, -2, 7, 2147483647, 9, 80}));
    // Outside the index, or cut off by its end: a failure that leaves the outputs.
    for (std::int32_t k : {0, -3, 3}) EXPECT_EQ(index(k), (Ints{-1, -9, -9, -9, -9, -9})) << k;
}

TEST_F(Krx1, NameRecordsYieldFourTextsAndAdvancePastThem) {
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
    ASSERT_EQ(names(off), 0);  // the longest texts are delivered whole
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
}

TEST_F(Krx1, ReferenceRecordsYieldYearAndFourTextsWhole) {
    const std::string journal = "J. Appl. Crystallogr. Suppl.";  // longer than any code
    std::string content = cvtest::ref_record(87, "AMMIAZ", "58", "123", "Smith, J., Lee, K") +
                          cvtest::ref_record(101, journal, "XXIII-supplement", "A1234-A1299", "Ng");
    // Year codes: 127 means no year; every other code is 1900 plus the code.
    const std::pair<int, int> years[] = {
        {127, 0}, {0, 1900}, {126, 2026}, {128, 2028}, {255, 2155}};
    for (const auto& [code, year] : years) content += bytes({0, 0, 0, 0, code});
    put(lib.freflib, content + bytes({1, 1, 1, 20, 90}) + "JVP" + "Smith");  // 5 of 20 bytes
    std::int32_t off = 0, year = 0;
    ASSERT_EQ(refs(off, year), 0);
    EXPECT_EQ(year, 1987);
    EXPECT_EQ(t, (Strings{"AMMIAZ", "58", "123", "Smith, J., Lee, K"}));
    EXPECT_EQ(off, 5 + 6 + 2 + 3 + 17);
    ASSERT_EQ(refs(off, year), 0);
    EXPECT_EQ(t, (Strings{journal, "XXIII-supplement", "A1234-A1299", "Ng"}));
    for (const auto& [code, expected] : years) {
        ASSERT_EQ(refs(off, year), 0);
        EXPECT_EQ(year, expected) << "year code " << code;
    }
    const std::int32_t last = off;
    year = -5;
    EXPECT_EQ(refs(off, year), -1);
    EXPECT_EQ(off, last + 5 + 3 + 5);
    EXPECT_EQ(year, -5);
    EXPECT_EQ(t, Strings(4, "old"));
}

TEST_F(Krx1, LineRecordsDeliverBigEndianCodesAndIntensitiesAsStored) {
    // Codes 3756 and -31416 with intensities 100 and 255; a record without
    // lines, which leaves the buffers; the largest record, of 255 lines; three
    // lines announced and the intensities missing; no count byte at all.
    std::string content = bytes({2, 0x0E, 0xAC, 0x85, 0x48, 100, 255, 0, 255});
    for (int i = 0; i < 255; ++i) content += bytes({i, 1});
    for (int i = 0; i < 255; ++i) content += bytes({254 - i});
    put(lib.fdilib, content + bytes({3, 0, 1, 0, 2, 0, 3, 50}));
    std::int32_t off = 0, count = -1;
    ASSERT_EQ(lines(off, count), 0);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(off, 7);
    EXPECT_EQ(Ints(codes.begin(), codes.begin() + 5), (Ints{0x0E, 0xAC, 0x85, 0x48, 0xAA}));
    EXPECT_EQ(Ints(ints.begin(), ints.begin() + 3), (Ints{100, 255, 0xBB}));
    ASSERT_EQ(lines(off, count), 0);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(off, 8);
    EXPECT_EQ(codes[0] + ints[0], 0xAA + 0xBB);
    ASSERT_EQ(lines(off, count), 0);
    EXPECT_EQ(count, 255);
    EXPECT_EQ(off, 8 + 1 + 510 + 255);
    EXPECT_EQ(Ints(codes.end() - 2, codes.end()), (Ints{254, 1}));
    EXPECT_EQ(ints[0] + ints[254], 254);
    for (const auto& [from, to] : {std::pair{774, 782}, {782, 782}}) {
        std::int32_t o = from;
        count = -1;
        EXPECT_EQ(lines(o, count), -1) << from;
        EXPECT_EQ(count, 0) << from;  // a failed read has no lines
        EXPECT_EQ(o, to) << from;
        EXPECT_EQ(codes[1] + ints[0], 0xAA + 0xBB) << from;
    }
}

TEST_F(Krx1, BitRecordsHoldWholeWordsWithinTheFileAndTheBuffer) {
    std::string content;  // 6 words: word i holds the byte value i in every byte
    for (int i = 0; i < 6; ++i) content += bytes({i, i, i, i});
    put(lib.fbitmap, content);
    ASSERT_EQ(cv_readbitlib(lib, 3, words, 32), 0);  // one word a record: word 2
    EXPECT_EQ(words[0], 0x02020202u);
    ASSERT_EQ(cv_readbitlib(lib, 2, words, 33), 0);  // two words a record: words 2 and 3
    EXPECT_EQ(words[1], 0x03030303u);
    EXPECT_EQ(cv_readbitlib(lib, 1, words, 128), 0);
    EXPECT_EQ(cv_readbitlib(lib, 0, words, 32), -1);
    EXPECT_EQ(cv_readbitlib(lib, 2, words, 128), -1);  // words 4..7: only 4 and 5 exist
    EXPECT_EQ(cv_readbitlib(lib, 1, words, 129), -1);  // five words do not fit in four
}

}  // namespace
