// The KRX1 readers against small big-endian files written by hand.
#include <corvane/corvane.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "entries/krx1_files.h"

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
        const int rc = cv_readindex(lib, entry, o[0], o[1], o[2], o[3], o[4]);
        o.insert(o.begin(), rc);
        return o;
    }
    // The texts of the name.lib record at off; they start as "old".
    int names(std::int32_t& off, Strings& t) {
        t.assign(4, "old");
        return cv_readnamlib(lib, off, t[0], t[1], t[2], t[3]);
    }
    int refs(std::int32_t& off, std::int32_t& year, Strings& t) {
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
    std::array<unsigned char, 510> codes{};
    std::array<unsigned char, 255> ints{};
    std::array<std::uint32_t, 4> words{};
};

TEST_F(Krx1, IndexRecordsAreTwentyBigEndianBytesInEntryOrder) {
    put(lib.findex,
        bytes({0x00, 0x00, 0x30, 0x39, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x01,
               0x00, 0x00, 0x01, 0x02, 0x03, 0x04, 0xFF, 0xFF, 0xFF, 0xFE, 0x00, 0x00, 0x00, 0x07,
               0x7F, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x09, 0x00, 0x00, 0x00, 0x50}) +
            std::string(10, '\x01'));  // half a third record
    EXPECT_EQ(index(1), (Ints{0, 12345, 0, 256, 65536, 0x01020304}));
    EXPECT_EQ(index(2), (Ints{0, -2, 7, 2147483647, 9, 80}));
    // Outside the index, or cut off by its end: a failure that leaves the outputs.
    for (std::int32_t k : {0, -3, 3, 4}) EXPECT_EQ(index(k), (Ints{-1, -9, -9, -9, -9, -9})) << k;
}

TEST_F(Krx1, EveryReaderFailsOnAnEmptyHandle) {
    std::int32_t off = 0, year = 0, count = 0;
    Strings t;
    EXPECT_EQ(index(1)[0], -1);
    EXPECT_EQ(names(off, t), -1);
    EXPECT_EQ(refs(off, year, t), -1);
    EXPECT_EQ(lines(off, count), -1);
    EXPECT_EQ(cv_readbitlib(lib, 1, words, 32), -1);
    EXPECT_EQ(off, 0);
}

TEST_F(Krx1, NameRecordsYieldFourTextsAndAdvancePastThem) {
    const std::string longest(255, 'n');
    put(lib.fnamlib, "xyz" + bytes({6, 0, 2, 11}) + "Quartzab" + "low, syn Si" +
                         bytes({0, 0, 0, 0}) + bytes({255, 1, 0, 255}) + longest + "m" + longest);
    std::int32_t off = 3;  // after a 3-byte stranger
    Strings t;
    ASSERT_EQ(names(off, t), 0);
    EXPECT_EQ(t, (Strings{"Quartz", "", "ab", "low, syn Si"}));
    EXPECT_EQ(off, 3 + 4 + 6 + 0 + 2 + 11);
    ASSERT_EQ(names(off, t), 0);  // an empty record is its header alone
    EXPECT_EQ(t, (Strings{"", "", "", ""}));
    EXPECT_EQ(off, 26 + 4);
    ASSERT_EQ(names(off, t), 0);  // the longest texts are delivered whole
    EXPECT_EQ(t, (Strings{longest, "m", "", longest}));
    EXPECT_EQ(off, 30 + 4 + 255 + 1 + 255);
}

TEST_F(Krx1, NameRecordCutOffOrUnplacedIsAFailureAndChangesNoText) {
    // Text 2 claims 9 bytes; only 4 remain in the file. The offset advances
    // over the bytes that arrived.
    put(lib.fnamlib, bytes({3, 9, 0, 0}) + "abc" + "defg");
    const Strings untouched(4, "old");
    Strings t;
    for (const auto& [from, to] : {std::pair{0, 11}, {9, 11}, {-4, -4}}) {  // body, header, before
        std::int32_t off = from;
        EXPECT_EQ(names(off, t), -1) << from;
        EXPECT_EQ(off, to) << from;
        EXPECT_EQ(t, untouched) << from;
    }
}

TEST_F(Krx1, ReferenceRecordsYieldYearAndFourTextsWhole) {
    const std::string journal = "J. Appl. Crystallogr. Suppl.";  // longer than any code
    std::string content = bytes({6, 2, 3, 17, 87}) + "AMMIAZ" + "58" + "123" + "Smith, J., Lee, K" +
                          cvtest::ref_record(101, journal, "XXIII-supplement", "A1234-A1299", "Ng");
    // Year codes: 127 means no year; every other code is 1900 plus the code.
    const std::pair<int, int> years[] = {{127, 0},    {0, 1900},   {99, 1999},
                                         {126, 2026}, {128, 2028}, {255, 2155}};
    for (const auto& [code, year] : years) content += bytes({0, 0, 0, 0, code});
    put(lib.freflib, content + bytes({1, 1, 1, 20, 90}) + "JVP" + "Smith");  // 5 of 20 bytes
    std::int32_t off = 0, year = 0;
    Strings t;
    ASSERT_EQ(refs(off, year, t), 0);
    EXPECT_EQ(year, 1987);
    EXPECT_EQ(t, (Strings{"AMMIAZ", "58", "123", "Smith, J., Lee, K"}));
    EXPECT_EQ(off, 5 + 6 + 2 + 3 + 17);
    ASSERT_EQ(refs(off, year, t), 0);
    EXPECT_EQ(year, 2001);
    EXPECT_EQ(t, (Strings{journal, "XXIII-supplement", "A1234-A1299", "Ng"}));
    for (const auto& [code, expected] : years) {
        ASSERT_EQ(refs(off, year, t), 0);
        EXPECT_EQ(year, expected) << "year code " << code;
    }
    // The last record is cut off: a failure that changes no output.
    const std::int32_t last = off;
    year = -5;
    EXPECT_EQ(refs(off, year, t), -1);
    EXPECT_EQ(off, last + 5 + 3 + 5);
    EXPECT_EQ(year, -5);
    EXPECT_EQ(t, Strings(4, "old"));
}

TEST_F(Krx1, LineRecordsDeliverBigEndianCodesAndIntensitiesAsStored) {
    // Codes 3756 and -31416, intensities 100 and 255; then a record without
    // lines, which leaves the buffers; then the largest record, of 255 lines.
    std::string content = bytes({2, 0x0E, 0xAC, 0x85, 0x48, 100, 255, 0, 255});
    for (int i = 0; i < 255; ++i) content += bytes({i, 1});
    for (int i = 0; i < 255; ++i) content += bytes({254 - i});
    put(lib.fdilib, content);
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
    EXPECT_EQ(ints[0], 254);
    EXPECT_EQ(ints[254], 0);
}

TEST_F(Krx1, LineRecordCutOffIsAFailureWithNoLines) {
    // Three lines announced; the intensities are missing. Then no count byte at all.
    put(lib.fdilib, bytes({3, 0, 1, 0, 2, 0, 3, 50}));
    for (const auto& [from, to] : {std::pair{0, 8}, {8, 8}}) {
        std::int32_t off = from, count = -1;
        EXPECT_EQ(lines(off, count), -1) << from;
        EXPECT_EQ(count, 0) << from;
        EXPECT_EQ(off, to) << from;
        EXPECT_EQ(codes[1] + ints[0], 0xAA + 0xBB) << from;
    }
}

TEST_F(Krx1, BitRecordsHoldWholeWordsWithinTheFileAndTheBuffer) {
    // 6 words: word i holds the byte value i in every byte.
    std::string content;
    for (int i = 0; i < 6; ++i) content += bytes({i, i, i, i});
    put(lib.fbitmap, content);
    ASSERT_EQ(cv_readbitlib(lib, 3, words, 32), 0);  // one word a record: word 2
    EXPECT_EQ(words[0], 0x02020202u);
    ASSERT_EQ(cv_readbitlib(lib, 2, words, 33), 0);  // two words a record: words 2 and 3
    EXPECT_EQ(words[0], 0x02020202u);
    EXPECT_EQ(words[1], 0x03030303u);
    EXPECT_EQ(cv_readbitlib(lib, 1, words, 128), 0);
    EXPECT_EQ(cv_readbitlib(lib, 0, words, 32), -1);
    EXPECT_EQ(cv_readbitlib(lib, 2, words, 128), -1);  // words 4..7: only 4 and 5 exist
    EXPECT_EQ(cv_readbitlib(lib, 1, words, 129), -1);  // five words do not fit in four
}

}  // namespace
