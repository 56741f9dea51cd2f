#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "card/formatter.h"
#include "cardkit.h"

using cardkit::card;
using cardkit::record;
using cv::card::Formatter;

namespace {

struct Parse {
    std::ostringstream out;
    Formatter f{{}, {}, out};
    int status = -1;
    explicit Parse(const std::string& rec, int len = -1) {
        status = f.readbf(rec, len < 0 ? static_cast<int>(rec.size()) : len);
    }
};

}  // namespace

TEST(Readbf, EachTypeOwnsAFixedRunOfSlots) {
    // First slots read off the slot table (types 1 ... 9, A ... K, +, *).
    const int first[22] = {1,  3,  5,  6,  7,  12, 17, 22,  23,  33,  34,
                           54, 55, 56, 57, 58, 59, 60, 128, 133, 134, 135};
    Formatter f;
    for (int t = 1; t <= 22; ++t) EXPECT_EQ(f.updat2.slot(t, 1), first[t - 1]) << "type " << t;
    EXPECT_EQ(f.updat2.slot(18, 68), 127);
}

TEST(Readbf, SortsCardsIntoTheSlotsOfTheirType) {
    std::string dsp = card("1.2345100", 'I');
    cardkit::at(dsp, 70, "99Q");
    Parse p(record({"1first", "6name", "9ref one", "9ref two", "B note"}) + dsp + dsp + dsp +
            record({"Kend"}));
    EXPECT_EQ(p.status, 0);
    EXPECT_EQ(p.out.str(), "");
    EXPECT_EQ(p.f.update.crdimg(1), card("first", '1'));
    EXPECT_EQ(p.f.update.crdimg(12), card("name", '6'));
    EXPECT_EQ(p.f.update.crdimg(24), card("ref two", '9'));
    EXPECT_EQ(p.f.update.crdimg(34), card(" note", 'B'));
    EXPECT_EQ(p.f.update.crdimg(133), card("end", 'K'));
    const int want[22] = {1, 0, 0, 0, 0, 1, 0, 0, 2, 0, 1, 0, 0, 0, 0, 0, 0, 3, 0, 1, 0, 0};
    for (int t = 1; t <= 22; ++t) EXPECT_EQ(p.f.updat2.ncrd(t), want[t - 1]) << "type " << t;
    // An I slot's columns 70-71 hold its own number, whatever the card held.
    std::string third = dsp;
    cardkit::at(third, 70, "03");
    EXPECT_EQ(p.f.update.crdimg(62), third);
    EXPECT_EQ(p.f.update.crdimg(127).substr(69, 2), "68");

    // The next record starts its counts afresh; old slots stay as they were.
    EXPECT_EQ(p.f.readbf(record({"1again", "Kend"}), 160), 0);
    EXPECT_EQ(p.f.updat2.ncrd(9), 0);
    EXPECT_EQ(p.f.update.crdimg(24), card("ref two", '9'));
}

TEST(Readbf, ReportsBadCardsAndGoesOn) {
    const struct {
        std::vector<std::string> cards;
        const char* message;
        int type, count;  // a count to check afterwards
    } cases[] = {
        // Before the first type-1 card cards are skipped; a bad code is reported.
        {{"9stray", "zodd", "1first", "K"}, "  INVALID CARD TYPE=z\n", 9, 0},
        {{"1first", "alower", "Bnote", "K"}, "  INVALID CARD TYPE=a\n", 11, 1},
        {{"1a", "1b", "1c", "K"}, "  *** TOO MANY CARDS OF TYPE 1\n", 1, 2},
        {{"1first", "9ref"}, "  CARD K NOT FOUND IN READBF\n", 9, 1},
    };
    for (const auto& c : cases) {
        Parse p(record(c.cards));
        EXPECT_EQ(p.status, 1) << c.message;
        EXPECT_EQ(p.out.str(), c.message);
        EXPECT_EQ(p.f.updat2.ncrd(c.type), c.count) << c.message;
    }
}

TEST(Readbf, A69thDspCardIsDropped) {
    std::vector<std::string> cards = {"1first"};
    for (int i = 1; i <= 69; ++i) cards.push_back("Iline " + std::to_string(i));
    cards.push_back("K");
    Parse p(record(cards));
    EXPECT_EQ(p.status, 1);
    EXPECT_EQ(p.out.str(), "  *** TOO MANY CARDS OF TYPE I\n");
    EXPECT_EQ(p.f.updat2.ncrd(18), 68);
    EXPECT_EQ(p.f.update.crdimg(127).substr(0, 8), "line 68 ");
    EXPECT_EQ(p.f.updat2.ncrd(20), 1);
}

TEST(Readbf, NothingAfterTheFirstKCardIsLookedAt) {
    Parse p(record({"1first", "Kend", "xbad", "9late"}));
    EXPECT_EQ(p.status, 0);
    EXPECT_EQ(p.out.str(), "");
    EXPECT_EQ(p.f.updat2.ncrd(9), 0);
}

TEST(Readbf, ReadsOnlyWholeCardsWithinTheLengthAndTheBuffer) {
    const std::string rec = record({"1first", "9ref", "Kend"});
    Parse cut(rec, 200);  // the K card is cut short and not seen
    EXPECT_EQ(cut.status, 1);
    EXPECT_EQ(cut.out.str(), "  CARD K NOT FOUND IN READBF\n");
    EXPECT_EQ(cut.f.updat2.ncrd(9), 1);
    Parse beyond(rec, 100000);
    EXPECT_EQ(beyond.status, 0);
}
