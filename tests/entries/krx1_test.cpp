// The KRX1 readers against small big-endian files written by hand.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

#include "setup/library.h"
#include "tests/entries/krx1_files.h"

namespace {

using cvtest::bytes;
using cvtest::TempDir;

class Krx1 : public ::testing::Test {
  protected:
    void open_index(const std::string& content) {
        cvtest::write_file(dir / "kelpa.ind", content);
        cvtest::attach(lib.findex, dir / "kelpa.ind");
    }
    void open_names(const std::string& content) {
        cvtest::write_file(dir / "name.lib", content);
        cvtest::attach(lib.fnamlib, dir / "name.lib");
    }
    void open_refs(const std::string& content) {
        cvtest::write_file(dir / "ref.lib", content);
        cvtest::attach(lib.freflib, dir / "ref.lib");
    }
    void open_di(const std::string& content) {
        cvtest::write_file(dir / "di.lib", content);
        cvtest::attach(lib.fdilib, dir / "di.lib");
    }
    void open_bits(const std::string& content) {
        cvtest::write_file(dir / "bits.lib", content);
        cvtest::attach(lib.fbitmap, dir / "bits.lib");
    }

    TempDir dir;
    cv::Library lib;
};

// ---- kelpa.ind ----------------------------------------------------------------

TEST_F(Krx1, IndexRecordsAreTwentyBigEndianBytesInEntryOrder) {
    open_index(bytes({0x00, 0x00, 0x30, 0x39,     // entry 1: identifier 12345
                      0x00, 0x00, 0x00, 0x00,     // name offset 0
                      0x00, 0x00, 0x01, 0x00,     // di offset 256
                      0x00, 0x01, 0x00, 0x00,     // ref offset 65536
                      0x01, 0x02, 0x03, 0x04,     // record offset 0x01020304
                      0xFF, 0xFF, 0xFF, 0xFE,     // entry 2: identifier -2
                      0x00, 0x00, 0x00, 0x07,     //
                      0x7F, 0xFF, 0xFF, 0xFF,     // largest offset
                      0x00, 0x00, 0x00, 0x09,     //
                      0x00, 0x00, 0x00, 0x50}));  // record offset 80
    std::int32_t id = 0, nam = 0, di = 0, ref = 0, rec = 0;
    ASSERT_EQ(lib.cv_readindex(1, id, nam, di, ref, rec), 0);
    EXPECT_EQ(id, 12345);
    EXPECT_EQ(nam, 0);
    EXPECT_EQ(di, 256);
    EXPECT_EQ(ref, 65536);
    EXPECT_EQ(rec, 16909060);

    ASSERT_EQ(lib.cv_readindex(2, id, nam, di, ref, rec), 0);
    EXPECT_EQ(id, -2);
    EXPECT_EQ(nam, 7);
    EXPECT_EQ(di, 2147483647);
    EXPECT_EQ(ref, 9);
    EXPECT_EQ(rec, 80);
}

TEST_F(Krx1, EntriesOutsideTheIndexFailAndLeaveTheOutputs) {
    // One whole record, then half of a second one.
    open_index(cvtest::index_record(1, 2, 3, 4, 5) + std::string(10, '\x01'));
    std::int32_t id = -9, nam = -9, di = -9, ref = -9, rec = -9;
    EXPECT_EQ(lib.cv_readindex(0, id, nam, di, ref, rec), -1);
    EXPECT_EQ(lib.cv_readindex(-3, id, nam, di, ref, rec), -1);
    EXPECT_EQ(lib.cv_readindex(2, id, nam, di, ref, rec), -1);  // cut off
    EXPECT_EQ(lib.cv_readindex(3, id, nam, di, ref, rec), -1);  // past the end
    EXPECT_EQ(id, -9);
    EXPECT_EQ(nam, -9);
    EXPECT_EQ(di, -9);
    EXPECT_EQ(ref, -9);
    EXPECT_EQ(rec, -9);
}

TEST_F(Krx1, EveryReaderFailsOnAnEmptyHandle) {
    std::int32_t id = 0, nam = 0, di = 0, ref = 0, rec = 0, year = 0, count = 0, off = 0;
    std::string a, b, c, d;
    std::array<unsigned char, 510> codes{};
    std::array<unsigned char, 255> ints{};
    std::array<std::uint32_t, 4> words{};
    EXPECT_EQ(lib.cv_readindex(1, id, nam, di, ref, rec), -1);
    EXPECT_EQ(lib.cv_readnamlib(off, a, b, c, d), -1);
    EXPECT_EQ(lib.cv_readreflib(off, year, a, b, c, d), -1);
    EXPECT_EQ(lib.cv_readdilib(off, codes, ints, count), -1);
    EXPECT_EQ(lib.cv_readbitlib(1, words, 32), -1);
    EXPECT_EQ(off, 0);
}

// ---- name.lib -----------------------------------------------------------------

TEST_F(Krx1, NameRecordYieldsFourTextsAndAdvancesPastIt) {
    // A 3-byte stranger first, so the record starts at offset 3.
    open_names("xyz" + bytes({6, 0, 2, 11}) + "Quartzab" + "low, syn Si");
    std::int32_t off = 3;
    std::string t1 = "old", t2 = "old", t3 = "old", t4 = "old";
    ASSERT_EQ(lib.cv_readnamlib(off, t1, t2, t3, t4), 0);
    EXPECT_EQ(t1, "Quartz");
    EXPECT_EQ(t2, "");
    EXPECT_EQ(t3, "ab");
    EXPECT_EQ(t4, "low, syn Si");
    EXPECT_EQ(off, 3 + 4 + 6 + 0 + 2 + 11);
}

TEST_F(Krx1, EmptyNameRecordConsumesItsHeaderOnly) {
    open_names(bytes({0, 0, 0, 0, 5, 5, 5}));
    std::int32_t off = 0;
    std::string t1 = "x", t2 = "x", t3 = "x", t4 = "x";
    ASSERT_EQ(lib.cv_readnamlib(off, t1, t2, t3, t4), 0);
    EXPECT_EQ(off, 4);
    EXPECT_EQ(t1 + t2 + t3 + t4, "");
}

TEST_F(Krx1, LongestTextsAreDeliveredWhole) {
    const std::string longest(255, 'n');
    open_names(bytes({255, 1, 0, 255}) + longest + "m" + longest);
    std::int32_t off = 0;
    std::string t1, t2, t3, t4;
    ASSERT_EQ(lib.cv_readnamlib(off, t1, t2, t3, t4), 0);
    EXPECT_EQ(t1, longest);
    EXPECT_EQ(t2, "m");
    EXPECT_EQ(t4, longest);
    EXPECT_EQ(off, 4 + 255 + 1 + 255);
}

TEST_F(Krx1, NameRecordCutOffIsAFailureAndChangesNoText) {
    // Text 2 claims 9 bytes; only 4 remain in the file.
    open_names(bytes({3, 9, 0, 0}) + "abc" + "defg");
    std::int32_t off = 0;
    std::string t1 = "keep1", t2 = "keep2", t3 = "keep3", t4 = "keep4";
    EXPECT_EQ(lib.cv_readnamlib(off, t1, t2, t3, t4), -1);
    EXPECT_EQ(off, 4 + 3 + 4);  // only the bytes that arrived
    EXPECT_EQ(t1, "keep1");
    EXPECT_EQ(t2, "keep2");
    EXPECT_EQ(t4, "keep4");

    // A header cut off: its missing lengths are never used.
    off = 9;
    EXPECT_EQ(lib.cv_readnamlib(off, t1, t2, t3, t4), -1);
    EXPECT_EQ(off, 11);
    EXPECT_EQ(t1, "keep1");
}

TEST_F(Krx1, NameRecordAtANegativeOffsetFails) {
    open_names(bytes({0, 0, 0, 0}));
    std::int32_t off = -4;
    std::string t1, t2, t3, t4;
    EXPECT_EQ(lib.cv_readnamlib(off, t1, t2, t3, t4), -1);
    EXPECT_EQ(off, -4);
}

// ---- ref.lib ------------------------------------------------------------------

TEST_F(Krx1, ReferenceRecordYieldsYearAndFourTexts) {
    open_refs(bytes({6, 2, 3, 17, 87}) + "AMMIAZ" + "58" + "123" + "Smith, J., Lee, K");
    std::int32_t off = 0, year = 0;
    std::string journal, volume, page, authors;
    ASSERT_EQ(lib.cv_readreflib(off, year, journal, volume, page, authors), 0);
    EXPECT_EQ(year, 1987);
    EXPECT_EQ(journal, "AMMIAZ");  // a full six-character code, nothing cut
    EXPECT_EQ(volume, "58");
    EXPECT_EQ(page, "123");
    EXPECT_EQ(authors, "Smith, J., Lee, K");
    EXPECT_EQ(off, 5 + 6 + 2 + 3 + 17);
}

TEST_F(Krx1, YearCodes) {
    // 127 means no year; every other code is 1900 plus the code.
    const std::array<std::pair<int, int>, 6> cases = {
        {{127, 0}, {0, 1900}, {99, 1999}, {126, 2026}, {128, 2028}, {255, 2155}}};
    std::string content;
    for (const auto& [code, year] : cases) content += bytes({0, 0, 0, 0, code});
    open_refs(content);
    std::int32_t off = 0;
    for (const auto& [code, expected] : cases) {
        std::int32_t year = -1;
        std::string a, b, c, d;
        ASSERT_EQ(lib.cv_readreflib(off, year, a, b, c, d), 0);
        EXPECT_EQ(year, expected) << "year code " << code;
    }
    EXPECT_EQ(off, 30);
}

TEST_F(Krx1, LongReferenceTextsAreDeliveredWhole) {
    const std::string journal = "J. Appl. Crystallogr. Suppl.";  // 28 characters
    const std::string volume = "XXIII-supplement";               // 16
    const std::string page = "A1234-A1299";                      // 11
    open_refs(cvtest::ref_record(101, journal, volume, page, "Ng"));
    std::int32_t off = 0, year = 0;
    std::string j, v, p, a;
    ASSERT_EQ(lib.cv_readreflib(off, year, j, v, p, a), 0);
    EXPECT_EQ(j, journal);
    EXPECT_EQ(v, volume);
    EXPECT_EQ(p, page);
    EXPECT_EQ(a, "Ng");
    EXPECT_EQ(year, 2001);
}

TEST_F(Krx1, ReferenceRecordCutOffIsAFailure) {
    // The author list claims 20 bytes; 5 arrive.
    open_refs(bytes({1, 1, 1, 20, 90}) + "JVP" + "Smith");
    std::int32_t off = 0, year = -5;
    std::string j = "k", v = "k", p = "k", a = "k";
    EXPECT_EQ(lib.cv_readreflib(off, year, j, v, p, a), -1);
    EXPECT_EQ(off, 5 + 3 + 5);
    EXPECT_EQ(year, -5);
    EXPECT_EQ(j + v + p + a, "kkkk");
}

// ---- di.lib -------------------------------------------------------------------

TEST_F(Krx1, LineRecordDeliversBigEndianCodesAndIntensitiesAsStored) {
    open_di(bytes({2,            // two lines
                   0x0E, 0xAC,   // code 3756
                   0x85, 0x48,   // code -31416
                   100, 255}));  // intensities
    std::int32_t off = 0, count = -1;
    std::array<unsigned char, 510> codes{};
    std::array<unsigned char, 255> ints{};
    ASSERT_EQ(lib.cv_readdilib(off, codes, ints, count), 0);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(off, 7);
    EXPECT_EQ(codes[0], 0x0E);
    EXPECT_EQ(codes[1], 0xAC);
    EXPECT_EQ(codes[2], 0x85);
    EXPECT_EQ(codes[3], 0x48);
    EXPECT_EQ(ints[0], 100);
    EXPECT_EQ(ints[1], 255);
}

TEST_F(Krx1, LineRecordWithoutLinesLeavesTheBuffers) {
    open_di(bytes({0, 9, 9, 9}));
    std::int32_t off = 0, count = -1;
    std::array<unsigned char, 510> codes;
    std::array<unsigned char, 255> ints;
    codes.fill(0xAA);
    ints.fill(0xBB);
    ASSERT_EQ(lib.cv_readdilib(off, codes, ints, count), 0);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(off, 1);
    EXPECT_EQ(codes[0], 0xAA);
    EXPECT_EQ(ints[0], 0xBB);
}

TEST_F(Krx1, LargestLineRecordFillsBothBuffers) {
    // 255 lines: 510 code bytes and 255 intensity bytes, 766 in all.
    std::string content = bytes({255});
    for (int i = 0; i < 255; ++i) content += bytes({i, 1});
    for (int i = 0; i < 255; ++i) content += bytes({254 - i});
    open_di(content);
    std::int32_t off = 0, count = 0;
    std::array<unsigned char, 510> codes{};
    std::array<unsigned char, 255> ints{};
    ASSERT_EQ(lib.cv_readdilib(off, codes, ints, count), 0);
    EXPECT_EQ(count, 255);
    EXPECT_EQ(off, 766);
    EXPECT_EQ(codes[508], 254);
    EXPECT_EQ(codes[509], 1);
    EXPECT_EQ(ints[0], 254);
    EXPECT_EQ(ints[254], 0);
}

TEST_F(Krx1, LineRecordCutOffIsAFailureWithNoLines) {
    // Three lines announced; the intensities are missing.
    open_di(bytes({3, 0, 1, 0, 2, 0, 3, 50}));
    std::int32_t off = 0, count = -1;
    std::array<unsigned char, 510> codes;
    std::array<unsigned char, 255> ints;
    codes.fill(0xAA);
    ints.fill(0xBB);
    EXPECT_EQ(lib.cv_readdilib(off, codes, ints, count), -1);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(off, 8);
    EXPECT_EQ(codes[1], 0xAA);
    EXPECT_EQ(ints[0], 0xBB);

    // No count byte at all.
    off = 8;
    count = -1;
    EXPECT_EQ(lib.cv_readdilib(off, codes, ints, count), -1);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(off, 8);
}

// ---- bit library --------------------------------------------------------------

TEST_F(Krx1, BitRecordsHoldWholeWords) {
    // 16 words: word i holds the byte value i in every byte.
    std::string content;
    for (int i = 0; i < 16; ++i) content += bytes({i, i, i, i});
    open_bits(content);
    std::array<std::uint32_t, 4> words{};

    // 32 bits: one word a record; record 3 is word 2.
    ASSERT_EQ(lib.cv_readbitlib(3, words, 32), 0);
    EXPECT_EQ(words[0], 0x02020202u);
    // 33 bits: two words a record; record 3 begins at byte 16 (word 4).
    ASSERT_EQ(lib.cv_readbitlib(3, words, 33), 0);
    EXPECT_EQ(words[0], 0x04040404u);
    EXPECT_EQ(words[1], 0x05050505u);
}

TEST_F(Krx1, BitRecordsOutsideTheFileOrTheBufferFail) {
    open_bits(std::string(24, '\0'));  // six words
    std::array<std::uint32_t, 4> words{};
    EXPECT_EQ(lib.cv_readbitlib(0, words, 32), -1);
    EXPECT_EQ(lib.cv_readbitlib(2, words, 128), -1);  // words 4..7: only 4 and 5 exist
    EXPECT_EQ(lib.cv_readbitlib(1, words, 129), -1);  // five words do not fit in four
    EXPECT_EQ(lib.cv_readbitlib(1, words, 128), 0);
}

}  // namespace
