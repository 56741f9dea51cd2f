// The buffered reader over a database larger than its buffers: records read
// in file order, backwards and by jumps, across buffer boundaries, give what
// the files hold, and the same statuses as the calls over the Library.
#include <corvane/corvane.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "entries/krx1_files.h"

namespace {

// Entry k (1-based) of a 3000-entry database: texts of lengths that vary with
// k, so records straddle the readers' buffer boundaries; k lines.
std::string text(int k, int j) {
    return std::string(static_cast<std::size_t>((k * 7 + j * 13) % 200),
                       static_cast<char>('a' + j)) +
           std::to_string(k);
}

TEST(Krx1Reader, AnyOrderOfEntriesGivesTheFilesRecords) {
    constexpr int kEntries = 3000;
    cvtest::TempDir dir;
    corvane::Library lib;
    std::string index, names, lines;
    for (int k = 1; k <= kEntries; ++k) {
        index += cvtest::index_record(k * 10, static_cast<std::int32_t>(names.size()),
                                      static_cast<std::int32_t>(lines.size()), 0, 0);
        names += cvtest::name_record(text(k, 0), text(k, 1), text(k, 2), text(k, 3));
        std::vector<std::pair<std::int32_t, int>> l;
        for (int i = 0; i < k % 256 && i < 255; ++i) l.push_back({i - 100, i});
        lines += cvtest::di_record(l);
    }
    ASSERT_GT(names.size(), std::size_t{3} << 17);  // several buffers long
    cvtest::put_file(lib.findex, dir / "kelpa.ind", index);
    cvtest::put_file(lib.fnamlib, dir / "name.lib", names);
    cvtest::put_file(lib.fdilib, dir / "di.lib", lines);

    std::vector<int> order;
    for (int k = 1; k <= kEntries; ++k) order.push_back(k);     // in file order
    for (int k = kEntries; k >= 1; k -= 7) order.push_back(k);  // backwards
    for (int k = 1; k <= kEntries; k += 997) order.push_back((k * 1543) % kEntries + 1);  // jumps
    order.push_back(kEntries + 1);  // past the index
    corvane::Krx1Reader reader(lib);
    for (int k : order) {
        SCOPED_TRACE(k);
        std::int32_t id = 0, namoff = 0, dioff = 0, refoff = 0, recoff = 0;
        const int status = cv_readindex(reader, k, id, namoff, dioff, refoff, recoff);
        if (k > kEntries) {
            EXPECT_EQ(status, -1);
            continue;
        }
        ASSERT_EQ(status, 0);
        EXPECT_EQ(id, k * 10);
        std::array<std::string, 4> t;
        const std::int32_t start = namoff;
        ASSERT_EQ(cv_readnamlib(reader, namoff, t[0], t[1], t[2], t[3]), 0);
        for (int j = 0; j < 4; ++j) EXPECT_EQ(t[static_cast<std::size_t>(j)], text(k, j));
        EXPECT_EQ(namoff - start, static_cast<std::int32_t>(4 + t[0].size() + t[1].size() +
                                                            t[2].size() + t[3].size()));
        std::int32_t nd = -1;
        corvane::LineValues<std::int32_t> ints{}, codes{};
        std::string name1;
        ASSERT_EQ(cvl_replist(reader, k, id, name1, nd, ints, codes), 0);
        EXPECT_EQ(name1, text(k, 0));
        ASSERT_EQ(nd, k % 256 < 255 ? k % 256 : 255);
        if (nd > 0) {
            EXPECT_EQ(codes[static_cast<std::size_t>(nd - 1)], nd - 101);
            EXPECT_EQ(ints[static_cast<std::size_t>(nd - 1)], nd - 1);
        }
    }
}

}  // namespace

namespace {

// A stream without a descriptor (a memory stream) is read by seeking it.
TEST(Krx1Reader, StreamsWithoutADescriptorAreReadToo) {
    std::string names = cvtest::name_record("Quartz", "", "low", "syn") +
                        cvtest::name_record("Cristobalite", "b", "", "");
    corvane::Library lib;
    lib.fnamlib = fmemopen(names.data(), names.size(), "rb");
    ASSERT_NE(lib.fnamlib, nullptr);
    corvane::Krx1Reader reader(lib);
    std::array<std::string, 4> t;
    std::int32_t off = 4 + 6 + 0 + 3 + 3;  // the second record
    ASSERT_EQ(cv_readnamlib(lib, off, t[0], t[1], t[2], t[3]), 0);
    EXPECT_EQ(t[0] + "|" + t[1], "Cristobalite|b");
    off = 0;
    ASSERT_EQ(cv_readnamlib(reader, off, t[0], t[1], t[2], t[3]), 0);
    EXPECT_EQ(t[0] + "|" + t[2] + "|" + t[3], "Quartz|low|syn");
    EXPECT_EQ(off, 16);
    EXPECT_EQ(cv_readnamlib(reader, off, t[0], t[1], t[2], t[3]), 0);
    EXPECT_EQ(off, static_cast<std::int32_t>(names.size()));
    EXPECT_EQ(cv_readnamlib(reader, off, t[0], t[1], t[2], t[3]), -1);  // at the end
}

}  // namespace
