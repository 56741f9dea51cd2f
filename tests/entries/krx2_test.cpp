// The KRX2 record reader against a krx2.dat of hand-made 80-byte cards.
#include "support/support.h"

namespace {

std::string card(int number, char type) {
    return cvtest::card("card " + std::to_string(number), type);
}

std::string record(int cards) {  // cards of type 1, then a K card
    std::string r;
    for (int i = 1; i < cards; ++i) r += card(i, '1');
    return r + card(cards, 'K');
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
    cvtest::put_file(
        lib.fcdrom[0], dir / "krx2.dat",
        record(3) + record(1) + card(1, 'k') + card(2, 'K') + record(135) + record(136));
    expect_read(0, 0, 240, 240);
    EXPECT_EQ(card_read(3), card(3, 'K'));
    expect_read(240, 0, 80, 320);
    expect_read(320, 0, 160, 480);  // a lower-case k does not end it
    expect_read(480, 0, 10800, 11280);
    expect_read(11280, -2, 10800, 22080);
    EXPECT_EQ(card_read(135), card(135, '1'));
    buffer.resize(200);  // room for two whole cards only
    expect_read(0, -2, 160, 160);
}

TEST_F(Krx2, OffsetsOutsideTheFileCardsCutOffAndEmptyVolumesFail) {
    // A cut-off card keeps the whole cards before it.
    cvtest::put_file(lib.fcdrom[2], dir / "krx2.dat",
                     card(1, '1') + card(2, '2') + std::string(40, 'x'));
    expect_read(0, -1, 160, 160, 2);
    EXPECT_EQ(card_read(2), card(2, '2'));
    for (std::int32_t off : {200, 100000, -80}) expect_read(off, -1, 0, off, 2);
    for (std::int32_t volume : {0, 4, -1}) expect_read(0, -1, 0, 0, volume);  // empty or none
}

}  // namespace
