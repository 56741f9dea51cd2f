// The full-card report: loading an entry's KRX2 record into the library's
// buffer, fetching its cards, and printing it through the card formatter.

#include "support/support.h"

using corvane::card::CardFormatter;

namespace {

// An 80-character card holding its number, with its type in column 80.
std::string numbered(int n, char type) {
    return cvtest::card("card " + std::to_string(n), type);
}

// A record of n cards: a type-1 card, an F card (d given directly), I cards,
// and the K card.
std::string record(int n) {
    std::string r = numbered(1, '1') + cvtest::card(std::string(29, ' ') + "D", 'F');
    for (int i = 3; i < n; ++i) r += cvtest::card(" 2.0000100   1  0  0", 'I');
    return r + numbered(n, 'K');
}

class RepKrx2 : public ::testing::Test {
  protected:
    // krx2.dat: entry 1 a record of 12 cards at 0; entry 2 one of 140 cards;
    // entry 3 an offset beyond the file; entry 4 a record cut short after
    // three cards.
    void SetUp() override {
        std::string krx2 = record(12);
        const auto second = static_cast<std::int32_t>(krx2.size());
        std::string long_record;
        for (int i = 1; i < 140; ++i) long_record += numbered(i, '1');
        krx2 += long_record + numbered(140, 'K');
        const auto cut = static_cast<std::int32_t>(krx2.size());
        krx2 += numbered(1, '1') + numbered(2, '1') + numbered(3, '1') + std::string(40, 'x');
        cvtest::put_file(lib.fcdrom[0], dir / "krx2.dat", krx2);
        cvtest::put_file(lib.findex, dir / "kelpa.ind",
                         cvtest::index_record(101, 0, 0, 0, 0) +
                             cvtest::index_record(102, 0, 0, 0, second) +
                             cvtest::index_record(103, 0, 0, 0, 1 << 30) +
                             cvtest::index_record(104, 0, 0, 0, cut));
        lib.set_messages(errors);
    }
    std::int32_t load(std::int32_t entry, const std::string& ispacg = "",
                      const std::string& outfil = "") {
        std::string text = "untouched";
        const std::int32_t n = cvl_repkrx2(lib, fm, entry, 0, text, ispacg, outfil);
        EXPECT_EQ(text, "untouched");
        return n;
    }

    cvtest::TempDir dir;
    corvane::Library lib;
    std::ostringstream errors, messages;
    CardFormatter fm{std::string(CORVANE_SOURCE_DIR) + "/sample/", "", messages};
};

}  // namespace

TEST_F(RepKrx2, LoadThenFetchEachCard) {
    std::string text = "untouched";
    EXPECT_EQ(cvl_repkrx2(lib, fm, 1, 1, text, "", ""), 0);  // nothing loaded yet
    EXPECT_EQ(load(1), 12);
    const std::string want = record(12);
    for (int line = 1; line <= 12; ++line) {
        EXPECT_EQ(cvl_repkrx2(lib, fm, 1, line, text, "", ""), 81);
        EXPECT_EQ(text, want.substr(static_cast<std::size_t>(line - 1) * 80, 80) + '\0');
    }
    // Beyond the record, or a negative line: nothing, text as it was.
    for (const int line : {13, 135, -1, -2147483647 - 1}) {
        text = "untouched";
        EXPECT_EQ(cvl_repkrx2(lib, fm, 1, line, text, "", ""), 0) << line;
        EXPECT_EQ(text, "untouched");
    }
}

// The card count absorbs the reader's failures: the first 135 cards of a
// longer record, none beyond the file, the whole cards before a cut.
TEST_F(RepKrx2, CardCountAbsorbsReadFailures) {
    EXPECT_EQ(load(2), 135);
    std::string text;
    EXPECT_EQ(cvl_repkrx2(lib, fm, 2, 135, text, "", ""), 81);
    EXPECT_EQ(text, numbered(135, '1') + '\0');
    EXPECT_EQ(cvl_repkrx2(lib, fm, 2, 136, text, "", ""), 0);
    EXPECT_EQ(load(3), 0);
    EXPECT_EQ(cvl_repkrx2(lib, fm, 3, 1, text, "", ""), 0);
    EXPECT_EQ(load(4), 3);
    EXPECT_EQ(errors.str(), "");
}

// An entry the index does not hold: -1 and the message; the record loaded
// before stays.
TEST_F(RepKrx2, IndexFailureKeepsThePreviousRecord) {
    EXPECT_EQ(load(1), 12);
    EXPECT_EQ(load(99), -1);
    EXPECT_EQ(errors.str(), "cvl_RepKRX2 ERROR: readindex for entry  99\n");
    std::string text;
    EXPECT_EQ(cvl_repkrx2(lib, fm, 99, 12, text, "", ""), 81);
    EXPECT_EQ(text, numbered(12, 'K') + '\0');
}

// A code prints the card into the file named; a blank code prints nothing.
TEST_F(RepKrx2, CodeFormatsTheCard) {
    const std::string out = dir / "card.txt";
    EXPECT_EQ(load(1, std::string(21, ' '), out), 12);
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_EQ(load(1, "d", out + std::string(81 - out.size(), ' ')), 12);
    const auto lines = cvtest::lines(cvtest::read_file(out));
    ASSERT_GT(lines.size(), 5u);
    EXPECT_EQ(lines[2].substr(88), "|   d A   | Int.|         h k l        |");
    EXPECT_EQ(lines[5].substr(88, 10), "| 2.0     ");
    // A code the formatter refuses: its message, the load still counts.
    messages.str("");
    EXPECT_EQ(load(1, "?", out), 12);
    EXPECT_EQ(messages.str(), " Error: ISPACG ? is invalid\n");
}
