#include "support/support.h"

using corvane::card::CardFormatter;
using cvtest::at;
using cvtest::card;

namespace {

// Cards in short notation: the type code, then the body ("9Xa, A.").
std::string cards(const std::vector<std::string>& short_cards) {
    std::string r;
    for (const auto& c : short_cards) r += card(std::string_view(c).substr(1), c[0]);
    return r;
}

struct Parse {
    std::ostringstream out;
    CardFormatter f{{}, {}, out};
    int status;
    explicit Parse(const std::string& rec, int len = -1)
        : status(readbf(f, rec, len < 0 ? static_cast<int>(rec.size()) : len)) {}
};

}  // namespace

TEST(Readbf, SortsCardsIntoTheSlotsOfTheirType) {
    // First slots of types 1 ... 9, A ... K, +, * read off the slot table.
    const int first[22] = {1,  3,  5,  6,  7,  12, 17, 22,  23,  33,  34,
                           54, 55, 56, 57, 58, 59, 60, 128, 133, 134, 135};
    std::string dsp = card("1.2345100", 'I');
    at(dsp, 70, "99Q");
    Parse p(cards({"1first", "6name", "9ref one", "9ref two", "B note"}) + dsp + dsp + dsp +
            cards({"Kend"}));
    const int want[22] = {1, 0, 0, 0, 0, 1, 0, 0, 2, 0, 1, 0, 0, 0, 0, 0, 0, 3, 0, 1, 0, 0};
    for (int t = 1; t <= 22; ++t) {
        EXPECT_EQ(p.f.updat2.slot(t, 1), first[t - 1]) << "type " << t;
        EXPECT_EQ(p.f.updat2.ncrd(t), want[t - 1]) << "type " << t;
    }
    EXPECT_EQ(p.status, 0);
    EXPECT_EQ(p.out.str(), "");
    EXPECT_EQ(p.f.update.crdimg(1), card("first", '1'));
    EXPECT_EQ(p.f.update.crdimg(12), card("name", '6'));
    EXPECT_EQ(p.f.update.crdimg(24), card("ref two", '9'));
    EXPECT_EQ(p.f.update.crdimg(34), card(" note", 'B'));
    EXPECT_EQ(p.f.update.crdimg(133), card("end", 'K'));
    // An I slot's columns 70-71 hold its own number, whatever the card held.
    EXPECT_EQ(p.f.update.crdimg(62), at(dsp, 70, "03"));
    EXPECT_EQ(p.f.update.crdimg(127).substr(69, 2), "68");
    // The next record starts its counts afresh; old slots stay as they were.
    EXPECT_EQ(readbf(p.f, cards({"1again", "Kend"}), 160), 0);
    EXPECT_EQ(p.f.updat2.ncrd(9), 0);
    EXPECT_EQ(p.f.update.crdimg(24), card("ref two", '9'));
}

TEST(Readbf, ReportsBadCardsAndGoesOn) {
    std::vector<std::string> dsp69 = {"1first"};
    for (int i = 1; i <= 69; ++i) dsp69.push_back("Iline " + std::to_string(i));
    dsp69.push_back("K");
    const struct {
        std::vector<std::string> cards;
        int len;  // -1: the whole record
        const char* message;
        int status, type, count;  // a count to check afterwards
    } cases[] = {
        // Cards before the first type-1 card are skipped; a bad code is reported.
        {{"9stray", "zodd", "1first", "K"}, -1, "  INVALID CARD TYPE=z\n", 1, 9, 0},
        {{"1first", "alower", "Bnote", "K"}, -1, "  INVALID CARD TYPE=a\n", 1, 11, 1},
        {{"1a", "1b", "1c", "K"}, -1, "  *** TOO MANY CARDS OF TYPE 1\n", 1, 1, 2},
        {dsp69, -1, "  *** TOO MANY CARDS OF TYPE I\n", 1, 18, 68},
        {{"1first", "9ref"}, -1, "  CARD K NOT FOUND IN READBF\n", 1, 9, 1},
        {{"1first", "Kend", "xbad", "9late"}, -1, "", 0, 9, 0},  // nothing after K is read
        // Only whole cards within the length and the buffer are read.
        {{"1first", "9ref", "Kend"}, 200, "  CARD K NOT FOUND IN READBF\n", 1, 9, 1},
        {{"1first", "9ref", "Kend"}, 100000, "", 0, 9, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cards[1] + " " + std::to_string(c.len));
        Parse p(cards(c.cards), c.len);
        EXPECT_EQ(p.status, c.status);
        EXPECT_EQ(p.out.str(), c.message);
        EXPECT_EQ(p.f.updat2.ncrd(c.type), c.count);
        // The 69th I card is dropped: the last I slot keeps the 68th.
        if (c.type == 18) {
            EXPECT_EQ(p.f.update.crdimg(127).substr(0, 8), "line 68 ");
        }
    }
}
