// Hostile offsets and positions: records placed against the end of the 32-bit
// offset range are cut off there, so an advanced offset never overflows; the
// files are sparse, a few bytes of data in more than 2 GiB of holes.
#include <corvane/corvane.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "entries/krx1_files.h"

namespace {

constexpr std::int64_t kBeyond = std::int64_t{1} << 32;  // size of every sparse file

// A sparse file of kBeyond bytes holding `bytes` at `at`, opened into handle.
void put_sparse(std::FILE*& handle, const std::string& path, std::int64_t at,
                const std::string& bytes) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, kBeyond), 0);
    ASSERT_EQ(pwrite(fd, bytes.data(), bytes.size(), at), static_cast<ssize_t>(bytes.size()));
    close(fd);
    if (handle != nullptr) std::fclose(handle);
    handle = std::fopen(path.c_str(), "rb");
    ASSERT_NE(handle, nullptr);
}

TEST(HostileOffsets, RecordsAgainstTheEndOfTheOffsetRangeAreCutOff) {
    cvtest::TempDir dir;
    corvane::Library lib;
    const std::int32_t top = INT32_MAX;
    // A name record whose header would end one byte past the range, and a
    // reference record whose texts would.
    put_sparse(lib.fnamlib, dir / "name.lib", top - 3, cvtest::bytes({1, 2, 3, 4}));
    put_sparse(lib.freflib, dir / "ref.lib", top - 7, cvtest::bytes({1, 2, 0, 0, 90, 'J'}));
    // A line record of one line whose intensity would lie past the range.
    put_sparse(lib.fdilib, dir / "di.lib", top - 3, cvtest::bytes({1, 0, 0}));
    std::vector<std::string> t(4, "old");
    std::int32_t off = top - 3;
    EXPECT_EQ(cv_readnamlib(lib, off, t[0], t[1], t[2], t[3]), -1);
    EXPECT_EQ(off, top);
    std::int32_t year = -1;
    off = top - 7;
    EXPECT_EQ(cv_readreflib(lib, off, year, t[0], t[1], t[2], t[3]), -1);
    EXPECT_EQ(off, top);
    EXPECT_EQ(t, std::vector<std::string>(4, "old"));
    std::array<unsigned char, 510> codes{};
    std::array<unsigned char, 255> ints{};
    std::int32_t count = -1;
    off = top - 3;
    EXPECT_EQ(cv_readdilib(lib, off, codes, ints, count), -1);
    EXPECT_EQ(off, top);
    EXPECT_EQ(count, 0);

    // The search: a header cut off at the end of the range.
    const std::vector<std::string> strings = {"J"};
    std::int32_t namoff = top - 2, refoff = 0;
    EXPECT_EQ(cv_srchlibs(lib, namoff, refoff, strings, 1, {1, 1, 1, 1, 0, 0}), -1);
    EXPECT_EQ(namoff, top);
    namoff = 0;
    refoff = top - 7;
    EXPECT_EQ(cv_srchlibs(lib, namoff, refoff, strings, 1, {0, 0, 0, 0, 0, 1}), 1);
    EXPECT_EQ(refoff, top - 1);  // just after the journal code, the last byte in range
}

TEST(HostileOffsets, CardsAndFarPositions) {
    cvtest::TempDir dir;
    corvane::Library lib;
    const std::int32_t top = INT32_MAX;
    // krx2.dat: zeros, so no card ends a record; the last card in range is
    // read, the next is not.
    put_sparse(lib.fcdrom[0], dir / "krx2.dat", 0, "x");
    std::vector<char> buffer(10800);
    std::int32_t off = top - 80, nread = -1;
    EXPECT_EQ(cv_readkrx2(lib, off, nread, 10800, buffer, 0), -1);
    EXPECT_EQ(nread, 80);
    EXPECT_EQ(off, top);

    // Index entries and bit-library records far past any file.
    put_sparse(lib.findex, dir / "kelpa.ind", 0, "x");
    std::int32_t v[5] = {-9, -9, -9, -9, -9};
    EXPECT_EQ(cv_readindex(lib, top, v[0], v[1], v[2], v[3], v[4]), -1);
    EXPECT_EQ(cv_readindex(lib, INT32_MIN, v[0], v[1], v[2], v[3], v[4]), -1);
    EXPECT_EQ(v[0], -9);
    put_sparse(lib.fbitmap, dir / "bits.lib", 0, "x");
    std::array<std::uint32_t, 2> words{};
    EXPECT_EQ(cv_readbitlib(lib, top, words, 64), -1);
    EXPECT_EQ(cv_readbitlib(lib, INT32_MIN, words, 64), -1);
    EXPECT_EQ(cv_readbitlib(lib, 1, words, INT32_MAX), -1);  // far more words than given
}

}  // namespace
