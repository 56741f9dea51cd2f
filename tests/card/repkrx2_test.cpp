// The full-card report: loading an entry's KRX2 record into the library's
// buffer, fetching its cards, and printing it through the card formatter.

#include "support/support.h"

using namespace cvtest;
using corvane::card::CardFormatter;

namespace {

// An 80-character card holding its number, with its type in column 80.
std::string numbered(int n, char type) {
    return card("card " + std::to_string(n), type);
}

class RepKrx2 : public ::testing::Test {
  protected:
    // krx2.dat: entry 1 a record of 12 cards at 0 (d given directly, I cards);
    // entry 2 one of 140 cards; entry 3 an offset beyond the file; entry 4 a
    // record cut short after three cards.
    void SetUp() override {
        first = numbered(1, '1') + card(std::string(29, ' ') + "D", 'F');
        for (int i = 3; i < 12; ++i) first += card(" 2.0000100   1  0  0", 'I');
        first += numbered(12, 'K');
        std::string krx2 = first;
        for (int i = 1; i < 140; ++i) krx2 += numbered(i, '1');
        krx2 += numbered(140, 'K');
        const auto cut = static_cast<std::int32_t>(krx2.size());
        krx2 += numbered(1, '1') + numbered(2, '1') + numbered(3, '1') + std::string(40, 'x');
        put_file(lib.fcdrom[0], dir / "krx2.dat", krx2);
        put_file(lib.findex, dir / "kelpa.ind",
                 index_record(101, 0, 0, 0, 0) + index_record(102, 0, 0, 0, 960) +
                     index_record(103, 0, 0, 0, 1 << 30) + index_record(104, 0, 0, 0, cut));
        lib.set_messages(errors);
    }
    // Loads (line 0) or fetches a line; "untouched" unless a card was given.
    std::string call(std::int32_t entry, int line, const std::string& ispacg = "",
                     const std::string& outfil = "") {
        std::string text = "untouched";
        const std::int32_t n = cvl_repkrx2(lib, fm, entry, line, text, ispacg, outfil);
        return std::to_string(n) + " " + text;
    }

    TempDir dir;
    corvane::Library lib;
    std::ostringstream errors, messages;
    CardFormatter fm{std::string(CORVANE_SOURCE_DIR) + "/sample/", "", messages};
    std::string first;
};

}  // namespace

// Lines of the record loaded last, each with a NUL; nothing beyond it. The
// card count absorbs the reader's failures: the first 135 cards of a longer
// record, none beyond the file, the whole cards before a cut. An entry the
// index does not hold is -1 and a message, the record loaded before stays.
TEST_F(RepKrx2, LoadThenFetchEachCard) {
    EXPECT_EQ(call(1, 1), "0 untouched");  // nothing loaded yet
    EXPECT_EQ(call(1, 0), "12 untouched");
    for (int line = 1; line <= 12; ++line) {
        EXPECT_EQ(call(1, line), "81 " + first.substr((line - 1) * 80u, 80) + '\0');
    }
    for (const int line : {13, 135, -1, INT_MIN}) EXPECT_EQ(call(1, line), "0 untouched") << line;
    EXPECT_EQ(call(2, 0), "135 untouched");
    EXPECT_EQ(call(2, 135), "81 " + numbered(135, '1') + '\0');
    EXPECT_EQ(call(2, 136), "0 untouched");
    EXPECT_EQ(call(3, 0), "0 untouched");
    EXPECT_EQ(call(3, 1), "0 untouched");
    EXPECT_EQ(call(4, 0), "3 untouched");
    EXPECT_EQ(errors.str(), "");
    EXPECT_EQ(call(1, 0), "12 untouched");
    EXPECT_EQ(call(99, 0), "-1 untouched");
    EXPECT_EQ(errors.str(), "cvl_RepKRX2 ERROR: readindex for entry  99\n");
    EXPECT_EQ(call(99, 12), "81 " + numbered(12, 'K') + '\0');
}

// A code prints the card into the file named; a blank code prints nothing; a
// code the formatter refuses gives its message, the load still counts.
TEST_F(RepKrx2, CodeFormatsTheCard) {
    const std::string out = dir / "card.txt";
    EXPECT_EQ(call(1, 0, std::string(21, ' '), out), "12 untouched");
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_EQ(call(1, 0, "d", out + std::string(81 - out.size(), ' ')), "12 untouched");
    const auto page = lines(read_file(out));
    ASSERT_GT(page.size(), 5u);
    EXPECT_EQ(page[2].substr(88), "|   d A   | Int.|         h k l        |");
    EXPECT_EQ(page[5].substr(88, 10), "| 2.0     ");
    messages.str("");
    EXPECT_EQ(call(1, 0, "?", out), "12 untouched");
    EXPECT_EQ(messages.str(), " Error: ISPACG ? is invalid\n");
}
