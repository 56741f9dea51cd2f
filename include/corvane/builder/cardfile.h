// Reading and checking a card file, record by record.
//
// A card file is a text file with one card a line. Every line must hold
// exactly 80 characters (a carriage return before the line end is dropped, so
// files written with CR LF line ends read the same; the last line may lack its
// line end); column 80 holds the card type, one of "123456789ABCDEFGHIJK+*",
// and no column holds a control character. A record starts with a type-1 card
// and ends with its K card; each card type keeps to its per-record limit.
//
// The reader streams: it holds the file in one buffer of fixed size and keeps
// only the record being read, its cards left in place in the buffer. A record
// that breaks one of the rules above is reported and not handed on whole: its
// cards are not kept, so a faulty file of any size is read in the same memory.
#pragma once

#include <corvane/builder/report.h>
#include <corvane/entries/krx2.h>
#include <corvane/setup/library.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace corvane::builder {

// Where the bytes of a card file come from.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // Up to n bytes into buf: the number of bytes read, 0 at the end of the
    // file, -1 on a failed read (errno tells why).
    virtual std::ptrdiff_t read(char* buf, std::size_t n) = 0;
};

// A card file held in memory.
class MemorySource : public ByteSource {
  public:
    explicit MemorySource(std::string_view text) : text_(text) {}
    std::ptrdiff_t read(char* buf, std::size_t n) override;

  private:
    std::string_view text_;
};

// One card of a record: its 80 characters and its place in the record.
struct Card {
    std::string_view text;
    int index = 0;  // from 1
};

// A record of cards as the reader delivers it. The card texts point into the
// reader's buffer: they stay valid until the reader's next call.
class CardRecord {
  public:
    std::int32_t number() const { return number_; }
    // The card file's line of card `index` (from 1).
    std::int64_t line_of(int index) const { return first_line_ + index - 1; }
    std::int64_t last_line() const { return line_of(ncards_); }
    // False when a card broke a rule: the record's cards are then not kept.
    bool sound() const { return sound_; }
    // The cards in record order.
    std::span<const Card> cards() const {
        return {order_.data(), static_cast<std::size_t>(ncards_)};
    }
    // The cards of one type code, in record order; none for a code that is
    // not a card type.
    std::span<const Card> of_type(char code) const;

  private:
    friend class CardReader;
    void start(std::int32_t number, std::int64_t first_line);
    void add(const Card& card, int type);
    void drop();
    void shift(std::ptrdiff_t by);

    std::int32_t number_ = 0;
    std::int64_t first_line_ = 0;
    bool sound_ = true;
    int ncards_ = 0;  // cards kept
    int seen_ = 0;    // cards read
    std::array<Card, kMaxRecordCards> order_{};
    // Each type's run of slots, as the record model lays them out.
    std::array<Card, kMaxRecordCards> slots_{};
    std::array<int, kNumCardTypes> count_{};  // cards read of each type
};

class CardReader {
  public:
    // The smallest buffer: it must hold a whole record of 135 cards of 80
    // characters and their line ends, and one more line.
    static constexpr std::size_t kMinBuffer = 12 * 1024;

    // Reads from source and reports to rep. A file of more than max_records
    // records is refused when the first card of the record after the last
    // allowed one is read.
    CardReader(ByteSource& source, Reporter& rep, std::int32_t max_records = kMaxEntries,
               std::size_t buffer_size = 1 << 20);

    // The next record: true with a record (sound or not), false at the end of
    // the file, after a failed read (see read_error) or once the record limit
    // is passed. A file that ends inside a record reports it and ends.
    bool next(CardRecord& rec);

    // The errno value of a failed read, 0 when every read succeeded.
    int read_error() const { return read_error_; }
    // Records begun so far.
    std::int32_t records() const { return records_; }

  private:
    // One line of the file: its text without the line end (empty when it is
    // too long to keep) and its length in characters.
    struct Line {
        std::string_view text;
        std::uint64_t length = 0;
    };
    bool next_line(Line& line, CardRecord& rec);
    bool refill(CardRecord& rec);
    // Checks one card and keeps it in the record; true when it ends the record.
    bool check_card(const Line& line, CardRecord& rec);

    ByteSource& source_;
    Reporter& rep_;
    std::int32_t max_records_;
    std::size_t capacity_;
    std::unique_ptr<char[]> buf_;
    std::size_t begin_ = 0;  // first byte still needed: the kept record's first card
    std::size_t pos_ = 0;    // first byte not yet read as a line
    std::size_t end_ = 0;    // end of the bytes in the buffer
    bool eof_ = false;
    bool stopped_ = false;  // the record limit was passed
    int read_error_ = 0;
    std::int64_t line_ = 0;  // lines read
    std::int32_t records_ = 0;
};

}  // namespace corvane::builder
