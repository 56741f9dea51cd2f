#include <corvane/builder/cardfile.h>

#include "support/support.h"

namespace {

using corvane::builder::ByteSource;
using corvane::builder::CardReader;
using namespace cvtest;

// The cards of every sound record, and the messages.
struct Read {
    std::vector<Cards> sound;
    std::string err;
};

Read read_all(ByteSource& source, std::int32_t max_records = 250016, std::size_t buffer = 1 << 20) {
    Read out;
    std::ostringstream err;
    corvane::builder::Reporter rep("t.crd", &err);
    CardReader reader(source, rep, max_records, buffer);
    corvane::builder::CardRecord r;
    while (reader.next(r)) {
        if (!r.sound()) continue;
        Cards cards;
        for (const auto& c : r.cards()) cards.emplace_back(c.text);
        out.sound.push_back(cards);
    }
    out.err = err.str();
    return out;
}

Read read_all(const std::string& text, std::size_t buffer = 1 << 20) {
    corvane::builder::MemorySource source(text);
    return read_all(source, 250016, buffer);
}

TEST(CardReader, EachBrokenRuleIsOneMessageAndDropsItsRecord) {
    // Bytes above 127 are no control characters.
    const Cards two =
        rec("000001", {card('6', {{1, "Ni\xe8vre \x80\xff ~"}}), card('I')}) + rec("000002");
    const auto with = [&](auto edit) {
        Cards c = two;
        edit(c);
        return c;
    };
    const struct {
        Cards cards;
        std::string err;
    } cases[] = {
        {with([](Cards& c) { c[1].pop_back(); }),
         "t.crd:2: record 1, card 2: the card is 79 characters long, not 80\n"},
        {with([](Cards& c) { c[2][79] = 'i'; }),  // the alphabet is matched exactly
         "t.crd:3: record 1, card 3: column 80 holds 'i', which is not a card type of "
         "\"123456789ABCDEFGHIJK+*\"\n"},
        {with([](Cards& c) { c[1][0] = '\x7f'; }),
         "t.crd:2: record 1, card 2 (type 6): column 1 holds a control character (code 127)\n"},
        {with([](Cards& c) { c[2][63] = '\x1f'; }),
         "t.crd:3: record 1, card 3 (type I): column 64 holds a control character (code 31)\n"},
        {with([](Cards& c) { c[4] = card('6'); }),
         "t.crd:5: record 2, card 1 (type 6): a record must start with a type-1 card\n"},
        {with([](Cards& c) { c.insert(c.begin() + 3, 68, card('I')); }),
         "t.crd:71: record 1, card 71 (type I): too many cards of type I (a record holds at "
         "most 68)\n"},
        {with([](Cards& c) { c.insert(c.begin() + 1, 2, card('G')); }),
         "t.crd:3: record 1, card 3 (type G): too many cards of type G (a record holds at most "
         "1)\n"},
        {with([](Cards& c) { c.pop_back(); }),
         "t.crd:5: record 2: the file ends before the record's K card\n"},
    };
    for (const auto& c : cases) {  // the other record is delivered
        const Read r = read_all(file_of(c.cards));
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(r.sound.size(), 1u) << c.err;
    }
    const Read whole = read_all(file_of(two));
    EXPECT_EQ(whole.err, "");
    EXPECT_EQ(whole.sound,
              (std::vector<Cards>{Cards(two.begin(), two.begin() + 4), rec("000002")}));
}

TEST(CardReader, RecordsAcrossTheBufferKeepTheirCards) {
    // In the smallest buffer every record of 90 cards crosses a refill; CRs
    // dropped, no line end needed last; a 100000-character line costs its record.
    std::vector<Cards> records;
    std::string text;
    for (int n = 0; n < 6; ++n) {
        const std::string tag = std::to_string(n);
        records.push_back(rec("00000" + tag, Cards(20, card('B', {{1, "record " + tag}})) +
                                                 Cards(68, card('I', {{1, " 1.0000" + tag}}))));
    }
    for (std::size_t n = 0; n < records.size(); ++n) {
        text += file_of(records[n], n % 2 == 0 ? "\n" : "\r\n");
        if (n == 2) text += card('1') + "\n" + std::string(100000, 'x') + "\r\n" + card('K') + "\n";
    }
    text.pop_back();
    const Read r = read_all(text, CardReader::kMinBuffer);
    EXPECT_EQ(r.err, "t.crd:272: record 4, card 2: the card is 100000 characters long, not 80\n");
    EXPECT_EQ(r.sound, records);
}

struct CountingSource : ByteSource {  // counts what it hands out
    explicit CountingSource(const std::string& t) : text(t) {}
    std::ptrdiff_t read(char* buf, std::size_t n) override {
        n = text.copy(buf, n, given);
        given += n;
        return static_cast<std::ptrdiff_t>(n);
    }
    const std::string& text;
    std::size_t given = 0;
};

TEST(CardReader, StopsAsSoonAsTheRecordLimitIsPassed) {
    // Megabytes of lines after the third record are never read.
    const std::string text =
        file_of(rec("000001") + rec("000002") + rec("000003")) + std::string(4 << 20, '\n');
    CountingSource source(text);
    const Read r = read_all(source, 2);
    EXPECT_EQ(r.err,
              "t.crd:5: record 3: a database holds at most 2 entries; the rest of the file is "
              "not read\n");
    EXPECT_EQ(r.sound.size(), 2u);
    EXPECT_LT(source.given, std::size_t{2} << 20);
}

}  // namespace
