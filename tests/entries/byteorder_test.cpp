#include <corvane/entries/byteorder.h>
#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(ByteOrder, LittleEndianHostReportsZero) {
    EXPECT_EQ(corvane::get_byte_order(), 0);  // this suite runs on x86-64 and arm64
}

TEST(ByteOrder, NarrowingKeepsLowOrderBitsWithSign) {
    EXPECT_EQ(corvane::long2byte(255), -1);
    EXPECT_EQ(corvane::long2byte(384), -128);  // 0x180: low byte 0x80
    EXPECT_EQ(corvane::long2byte(127), 127);
    EXPECT_EQ(corvane::long2short(65535), -1);
    EXPECT_EQ(corvane::long2short(32768), -32768);
    EXPECT_EQ(corvane::long2short(65536), 0);
    EXPECT_EQ(corvane::long2short(-31416), -31416);
}

TEST(ByteOrder, BytesWidenWithoutSignHalvesWithSign) {
    std::int32_t v = -7;
    corvane::byte2long(static_cast<unsigned char>(255), v);
    EXPECT_EQ(v, 255);
    corvane::short2long(static_cast<std::int16_t>(-31416), v);
    EXPECT_EQ(v, -31416);
    corvane::short2long(static_cast<std::int16_t>(32767), v);
    EXPECT_EQ(v, 32767);
}

}  // namespace
