#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "card/formatter.h"
#include "cardkit.h"

using cardkit::card;
using cardkit::join;
using cv::card::Formatter;

namespace {

// A short, complete record: 1, 6, 9, 9, I, K.
std::vector<std::string> short_record() {
    return {card("first", '1'),   card("name", '6'),    card("ref one", '9'),
            card("ref two", '9'), card("dsp one", 'I'), card("end", 'K')};
}

}  // namespace

TEST(Readbf, EachTypeBeginsAtItsFirstSlot) {
    // First slot of each type, read off the slot table: 1-2, 3-4, 5, 6, 7-11,
    // 12-16, 17-21, 22, 23-32, 33, 34-53, 54 ... 59, 60-127, 128-132, 133, 134, 135.
    const int first[22] = {1,  3,  5,  6,  7,  12, 17, 22,  23,  33,  34,
                           54, 55, 56, 57, 58, 59, 60, 128, 133, 134, 135};
    Formatter f;
    for (int t = 1; t <= 22; ++t) EXPECT_EQ(f.updat2.slot(t, 1), first[t - 1]) << "type " << t;
    EXPECT_EQ(f.updat2.slot(18, 68), 127);
}

TEST(Readbf, CardsGoToTheSlotsOfTheirTypeInOrder) {
    std::ostringstream out;
    Formatter f({}, {}, out);
    const std::string rec = join(short_record());
    EXPECT_EQ(f.readbf(rec, static_cast<int>(rec.size())), 0);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(f.update.crdimg(1), card("first", '1'));
    EXPECT_EQ(f.update.crdimg(12), card("name", '6'));
    EXPECT_EQ(f.update.crdimg(23), card("ref one", '9'));
    EXPECT_EQ(f.update.crdimg(24), card("ref two", '9'));
    EXPECT_EQ(f.update.crdimg(133), card("end", 'K'));
    EXPECT_EQ(f.updat2.ncrd(1), 1);
    EXPECT_EQ(f.updat2.ncrd(6), 1);
    EXPECT_EQ(f.updat2.ncrd(9), 2);
    EXPECT_EQ(f.updat2.ncrd(18), 1);
    EXPECT_EQ(f.updat2.ncrd(20), 1);
    EXPECT_EQ(f.updat2.ncrd(11), 0);
}

TEST(Readbf, DspSlotsCarryTheirOwnNumberInColumns70And71) {
    std::ostringstream out;
    Formatter f({}, {}, out);
    std::vector<std::string> cards = {card("first", '1')};
    for (int i = 0; i < 3; ++i) {
        std::string d = card("1.2345100", 'I');
        cardkit::at(d, 70, "99");
        cardkit::at(d, 72, "Q");
        cards.push_back(d);
    }
    cards.push_back(card("", 'K'));
    const std::string rec = join(cards);
    ASSERT_EQ(f.readbf(rec, static_cast<int>(rec.size())), 0);
    std::string third = card("1.2345100", 'I');
    cardkit::at(third, 70, "03");
    cardkit::at(third, 72, "Q");
    EXPECT_EQ(f.update.crdimg(62), third);
    // Slots past the stored cards are numbered too: slot 127 is the 68th.
    EXPECT_EQ(f.update.crdimg(127).substr(69, 2), "68");
    EXPECT_EQ(f.update.crdimg(60).substr(69, 2), "01");
}

TEST(Readbf, CardsBeforeTheFirstType1CardAreSkipped) {
    std::ostringstream out;
    Formatter f({}, {}, out);
    const std::string rec =
        join({card("stray", '9'), card("odd", 'z'), card("first", '1'), card("", 'K')});
    EXPECT_EQ(f.readbf(rec, static_cast<int>(rec.size())), 1);
    // The stray 9 card is dropped silently; the bad code is reported anyway.
    EXPECT_EQ(out.str(), "  INVALID CARD TYPE=z\n");
    EXPECT_EQ(f.updat2.ncrd(9), 0);
    EXPECT_EQ(f.updat2.ncrd(1), 1);
}

TEST(Readbf, LowerCaseTypeIsInvalidAndParsingGoesOn) {
    std::ostringstream out;
    Formatter f({}, {}, out);
    const std::string rec =
        join({card("first", '1'), card("lower", 'a'), card("comment", 'B'), card("", 'K')});
    EXPECT_EQ(f.readbf(rec, static_cast<int>(rec.size())), 1);
    EXPECT_EQ(out.str(), "  INVALID CARD TYPE=a\n");
    EXPECT_EQ(f.updat2.ncrd(11), 1);
    EXPECT_EQ(f.update.crdimg(34), card("comment", 'B'));
    EXPECT_EQ(f.updat2.ncrd(20), 1);
}

TEST(Readbf, TooManyCardsOfATypeDropsTheExtraOnes) {
    std::ostringstream out;
    Formatter f({}, {}, out);
    std::vector<std::string> cards = {card("first", '1')};
    for (int i = 1; i <= 69; ++i) cards.push_back(card("line " + std::to_string(i), 'I'));
    cards.push_back(card("", 'K'));
    const std::string rec = join(cards);
    EXPECT_EQ(f.readbf(rec, static_cast<int>(rec.size())), 1);
    EXPECT_EQ(out.str(), "  *** TOO MANY CARDS OF TYPE I\n");
    EXPECT_EQ(f.updat2.ncrd(18), 68);
    EXPECT_EQ(f.update.crdimg(127).substr(0, 7), "line 68");
    // The K card after the dropped one is still taken.
    EXPECT_EQ(f.updat2.ncrd(20), 1);
}

TEST(Readbf, ParsingStopsAtTheFirstKCard) {
    std::ostringstream out;
    Formatter f({}, {}, out);
    const std::string rec =
        join({card("first", '1'), card("end", 'K'), card("bad", 'x'), card("late", '9')});
    EXPECT_EQ(f.readbf(rec, static_cast<int>(rec.size())), 0);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(f.updat2.ncrd(9), 0);
}

TEST(Readbf, MissingKCardIsReportedAfterAllCardsAreStored) {
    std::ostringstream out;
    Formatter f({}, {}, out);
    const std::string rec = join({card("first", '1'), card("ref", '9')});
    EXPECT_EQ(f.readbf(rec, static_cast<int>(rec.size())), 1);
    EXPECT_EQ(out.str(), "  CARD K NOT FOUND IN READBF\n");
    EXPECT_EQ(f.updat2.ncrd(9), 1);
    EXPECT_EQ(f.update.crdimg(23), card("ref", '9'));
}

TEST(Readbf, OnlyWholeCardsWithinTheLengthAreRead) {
    std::ostringstream out;
    Formatter f({}, {}, out);
    const std::string rec = join(short_record());
    // 40 characters short of the K card: it is cut off and not seen.
    EXPECT_EQ(f.readbf(rec, static_cast<int>(rec.size()) - 40), 1);
    EXPECT_EQ(out.str(), "  CARD K NOT FOUND IN READBF\n");
    EXPECT_EQ(f.updat2.ncrd(18), 1);
    EXPECT_EQ(f.updat2.ncrd(20), 0);

    // A length beyond the buffer reads only the cards the buffer holds.
    Formatter g({}, {}, out);
    EXPECT_EQ(g.readbf(rec, 100000), 0);
    EXPECT_EQ(g.updat2.ncrd(20), 1);
}

TEST(Readbf, CountsStartAgainButSlotsKeepOlderCards) {
    std::ostringstream out;
    Formatter f({}, {}, out);
    const std::string first = join(short_record());
    ASSERT_EQ(f.readbf(first, static_cast<int>(first.size())), 0);
    const std::string second = join({card("again", '1'), card("", 'K')});
    ASSERT_EQ(f.readbf(second, static_cast<int>(second.size())), 0);
    EXPECT_EQ(f.updat2.ncrd(9), 0);
    EXPECT_EQ(f.updat2.ncrd(1), 1);
    EXPECT_EQ(f.update.crdimg(1), card("again", '1'));
    // Only the counts say which slots are valid.
    EXPECT_EQ(f.update.crdimg(23), card("ref one", '9'));
}

TEST(Readbf, ThirdType1CardIsTooMany) {
    std::ostringstream out;
    Formatter f({}, {}, out);
    const std::string rec = join({card("a", '1'), card("b", '1'), card("c", '1'), card("", 'K')});
    EXPECT_EQ(f.readbf(rec, static_cast<int>(rec.size())), 1);
    EXPECT_EQ(out.str(), "  *** TOO MANY CARDS OF TYPE 1\n");
    EXPECT_EQ(f.update.crdimg(2), card("b", '1'));
    EXPECT_EQ(f.update.crdimg(3).substr(0, 1), " ");
}
