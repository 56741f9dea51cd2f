// The KRX2 record reader against a krx2.dat of hand-made 80-byte cards.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "setup/library.h"
#include "tests/entries/krx1_files.h"

namespace {

// One 80-byte card: a number in its first columns, the card type in column 80.
std::string card(int number, char type) {
    std::string c = "card " + std::to_string(number);
    c.resize(79, ' ');
    return c + type;
}

// n cards of type "1" and a final "K" card.
std::string record(int cards) {
    std::string r;
    for (int i = 1; i < cards; ++i) r += card(i, '1');
    return r + card(cards, 'K');
}

class Krx2 : public ::testing::Test {
  protected:
    void open(const std::string& content, int slot = 0) {
        cvtest::write_file(dir / "krx2.dat", content);
        cvtest::attach(lib.fcdrom[static_cast<std::size_t>(slot)], dir / "krx2.dat");
    }
    cvtest::TempDir dir;
    cv::Library lib;
    std::vector<char> buffer = std::vector<char>(10800, '#');
};

TEST_F(Krx2, RecordRunsThroughItsKCard) {
    open(record(3) + record(1));
    std::int32_t off = 0, nread = 0;
    EXPECT_EQ(lib.cv_readkrx2(off, nread, 10800, buffer, 0), 0);
    EXPECT_EQ(nread, 240);
    EXPECT_EQ(off, 240);
    EXPECT_EQ(std::string(buffer.data() + 160, 80), card(3, 'K'));

    // A record of one card.
    EXPECT_EQ(lib.cv_readkrx2(off, nread, 10800, buffer, 0), 0);
    EXPECT_EQ(nread, 80);
    EXPECT_EQ(off, 320);
    EXPECT_EQ(std::string(buffer.data(), 80), card(1, 'K'));
}

TEST_F(Krx2, LowerCaseKDoesNotEndTheRecord) {
    open(card(1, 'k') + card(2, 'K'));
    std::int32_t off = 0, nread = 0;
    EXPECT_EQ(lib.cv_readkrx2(off, nread, 10800, buffer, 0), 0);
    EXPECT_EQ(nread, 160);
}

TEST_F(Krx2, RecordThatExactlyFillsTheLimitIsWhole) {
    open(record(135) + record(136));
    std::int32_t off = 0, nread = 0;
    EXPECT_EQ(lib.cv_readkrx2(off, nread, 10800, buffer, 0), 0);
    EXPECT_EQ(nread, 10800);

    // 136 cards: the limit is reached before the "K" card.
    off = 135 * 80;
    EXPECT_EQ(lib.cv_readkrx2(off, nread, 10800, buffer, 0), -2);
    EXPECT_EQ(nread, 10800);
    EXPECT_EQ(off, 270 * 80);
    EXPECT_EQ(std::string(buffer.data() + 134 * 80, 80), card(135, '1'));
}

TEST_F(Krx2, BufferSmallerThanTheLimitStopsAtItsOwnSize) {
    open(record(5));
    std::vector<char> small(200);  // room for two whole cards only
    std::int32_t off = 0, nread = 0;
    EXPECT_EQ(lib.cv_readkrx2(off, nread, 10800, small, 0), -2);
    EXPECT_EQ(nread, 160);
    EXPECT_EQ(off, 160);
}

TEST_F(Krx2, OffsetAtOrBeyondTheEndFails) {
    open(record(2));
    std::int32_t off = 160, nread = -1;
    EXPECT_EQ(lib.cv_readkrx2(off, nread, 10800, buffer, 0), -1);
    EXPECT_EQ(nread, 0);
    off = 100000;
    EXPECT_EQ(lib.cv_readkrx2(off, nread, 10800, buffer, 0), -1);
    EXPECT_EQ(nread, 0);
    off = -80;
    EXPECT_EQ(lib.cv_readkrx2(off, nread, 10800, buffer, 0), -1);
}

TEST_F(Krx2, CardCutOffKeepsTheWholeCardsBeforeIt) {
    open(card(1, '1') + card(2, '2') + std::string(40, 'x'));
    std::int32_t off = 0, nread = 0;
    EXPECT_EQ(lib.cv_readkrx2(off, nread, 10800, buffer, 0), -1);
    EXPECT_EQ(nread, 160);
    EXPECT_EQ(off, 160);
    EXPECT_EQ(std::string(buffer.data() + 80, 80), card(2, '2'));
}

TEST_F(Krx2, VolumesAreSlotsZeroToThree) {
    open(record(1), 2);
    std::int32_t off = 0, nread = 0;
    EXPECT_EQ(lib.cv_readkrx2(off, nread, 10800, buffer, 2), 0);
    off = 0;
    EXPECT_EQ(lib.cv_readkrx2(off, nread, 10800, buffer, 0), -1);  // empty slot
    EXPECT_EQ(lib.cv_readkrx2(off, nread, 10800, buffer, 4), -1);
    EXPECT_EQ(lib.cv_readkrx2(off, nread, 10800, buffer, -1), -1);
}

}  // namespace
