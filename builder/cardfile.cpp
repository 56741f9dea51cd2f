#include <corvane/builder/cardfile.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace corvane::builder {

namespace {

// The first slot of each type's run: the runs of the lower types come first.
constexpr std::array<int, kNumCardTypes> kFirstSlot = [] {
    std::array<int, kNumCardTypes> first{};
    for (int t = 1; t < kNumCardTypes; ++t) first[t] = first[t - 1] + kMaxCards[t - 1];
    return first;
}();

// A line of a sound card is at most 80 characters, a carriage return and the
// line end; a line that grows past that without its end is not kept.
constexpr std::size_t kLongestKept = kCardLen + 1;
// The buffer holds what is kept: a sound record's cards (a record of more than
// 135 cards breaks a limit) with their line ends, and the line being read; so
// there is always room to read more.
static_assert(CardReader::kMinBuffer > kMaxRecordCards * (kLongestKept + 1) + kLongestKept + 1);

// True when one of a card's 80 characters is a control character (codes 0
// to 31, or 127; bytes above 127 are kept), eight characters at a time: in
// (x - 0x20 in every byte) & ~x, a byte's top bit stays set only when some
// byte is below 0x20 (a byte of 128 or more has its own top bit clear in ~x);
// the same test for 0 finds the bytes equal to 127 in x ^ 0x7F.
bool has_control(const char* card) {
    constexpr std::uint64_t kOnes = 0x0101010101010101;
    constexpr std::uint64_t kTops = 0x8080808080808080;
    std::uint64_t found = 0;
    for (int i = 0; i < kCardLen; i += 8) {
        std::uint64_t x = 0;
        std::memcpy(&x, card + i, 8);
        found |= (x - kOnes * 0x20) & ~x & kTops;
        const std::uint64_t del = x ^ (kOnes * 0x7F);
        found |= (del - kOnes) & ~del & kTops;
    }
    return found != 0;
}
static_assert(kCardLen % 8 == 0);

}  // namespace

std::ptrdiff_t MemorySource::read(char* buf, std::size_t n) {
    n = std::min(n, text_.size());
    if (n > 0) std::memcpy(buf, text_.data(), n);
    text_.remove_prefix(n);
    return static_cast<std::ptrdiff_t>(n);
}

// ---- CardRecord -----------------------------------------------------------------

std::span<const Card> CardRecord::of_type(char code) const {
    const int t = card_type(code);
    if (t == 0 || !sound_) return {};
    return {slots_.data() + kFirstSlot[t - 1], static_cast<std::size_t>(count_[t - 1])};
}

void CardRecord::start(std::int32_t number, std::int64_t first_line) {
    number_ = number;
    first_line_ = first_line;
    sound_ = true;
    ncards_ = 0;
    seen_ = 0;
    count_.fill(0);
}

// Only called while the record is sound, so every count is within its limit.
void CardRecord::add(const Card& card, int type) {
    order_[static_cast<std::size_t>(ncards_++)] = card;
    slots_[static_cast<std::size_t>(kFirstSlot[type - 1] + count_[type - 1] - 1)] = card;
}

void CardRecord::drop() {
    sound_ = false;
    ncards_ = 0;
}

void CardRecord::shift(std::ptrdiff_t by) {
    const auto moved = [by](Card& c) {
        c.text = std::string_view(c.text.data() - by, c.text.size());
    };
    for (int i = 0; i < ncards_; ++i) moved(order_[static_cast<std::size_t>(i)]);
    if (!sound_) return;
    for (int t = 0; t < kNumCardTypes; ++t) {
        for (int n = 0; n < count_[t]; ++n)
            moved(slots_[static_cast<std::size_t>(kFirstSlot[t] + n)]);
    }
}

// ---- CardReader -----------------------------------------------------------------

CardReader::CardReader(ByteSource& source, Reporter& rep, std::int32_t max_records,
                       std::size_t buffer_size)
    : source_(source),
      rep_(rep),
      max_records_(max_records),
      capacity_(std::max(buffer_size, kMinBuffer)),
      buf_(new char[capacity_]) {}

// Moves the bytes still needed to the front of the buffer and reads more after
// them. False at the end of the file or after a failed read.
bool CardReader::refill(CardRecord& rec) {
    if (eof_ || read_error_ != 0) return false;
    if (begin_ > 0) {
        std::memmove(buf_.get(), buf_.get() + begin_, end_ - begin_);
        rec.shift(static_cast<std::ptrdiff_t>(begin_));
        pos_ -= begin_;
        end_ -= begin_;
        begin_ = 0;
    }
    for (;;) {
        const std::ptrdiff_t got = source_.read(buf_.get() + end_, capacity_ - end_);
        if (got > 0) {
            end_ += static_cast<std::size_t>(got);
            return true;
        }
        if (got == 0) {
            eof_ = true;
        } else {
            read_error_ = errno != 0 ? errno : EIO;
        }
        return false;
    }
}

bool CardReader::next_line(Line& line, CardRecord& rec) {
    std::uint64_t dropped = 0;  // characters of a long line already passed over
    char last = 0;              // the last of them
    std::size_t scanned = pos_;
    for (;;) {
        const char* base = buf_.get();
        const void* nl = std::memchr(base + scanned, '\n', end_ - scanned);
        const bool at_end = nl == nullptr && eof_;
        if (nl != nullptr || at_end) {
            const std::size_t stop =
                nl != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nl) - base)
                              : end_;
            if (nl == nullptr && stop == pos_ && dropped == 0) return false;  // no more lines
            std::string_view text(base + pos_, stop - pos_);
            pos_ = nl != nullptr ? stop + 1 : stop;
            ++line_;
            const char before = !text.empty() ? text.back() : last;
            line.length = dropped + text.size() - (before == '\r' ? 1 : 0);
            if (dropped == 0 && !text.empty() && text.back() == '\r') text.remove_suffix(1);
            line.text = dropped == 0 ? text : std::string_view();
            return true;
        }
        scanned = end_;
        if (end_ - pos_ > kLongestKept) {
            // Too long for a card: count it, keep nothing of it (nor of its
            // record, which cannot be sound any more).
            dropped += end_ - pos_;
            last = base[end_ - 1];
            rec.drop();
            pos_ = scanned = begin_ = end_;
        }
        const std::size_t offset = scanned - pos_;
        if (!refill(rec)) {
            if (read_error_ != 0) return false;
        }
        scanned = pos_ + offset;
    }
}

bool CardReader::next(CardRecord& rec) {
    begin_ = pos_;
    Line line;
    if (read_error_ != 0 || stopped_ || !next_line(line, rec)) return false;
    if (records_ >= max_records_) {
        rep_.record(line_, records_ + 1,
                    "a database holds at most " + std::to_string(max_records_) +
                        " entries; the rest of the file is not read");
        stopped_ = true;
        return false;
    }
    rec.start(++records_, line_);
    for (;;) {
        if (check_card(line, rec)) return true;
        if (!rec.sound()) begin_ = pos_;
        if (!next_line(line, rec)) {
            if (read_error_ == 0) {
                rep_.record(line_, rec.number(), "the file ends before the record's K card");
            }
            return false;
        }
    }
}

bool CardReader::check_card(const Line& line, CardRecord& rec) {
    const int index = ++rec.seen_;
    const auto report = [&](char type, std::string_view text) {
        rep_.card(line_, rec.number(), index, type, text);
    };
    if (line.length != kCardLen) {
        report(0, "the card is " + std::to_string(line.length) + " characters long, not 80");
        rec.drop();
        return false;
    }
    const std::string_view text = line.text;
    const char code = text[kCardLen - 1];
    const int t = card_type(code);
    if (t == 0) {
        report(0, "column 80 holds " + quoted(text.substr(kCardLen - 1)) +
                      ", which is not a card type of \"" + std::string(kCardTypes) + "\"");
        rec.drop();
        return false;
    }
    bool good = true;
    if (has_control(text.data())) {
        const auto at = std::find_if(text.begin(), text.end(), [](char ch) {
            const auto u = static_cast<unsigned char>(ch);
            return u < 32 || u == 127;
        });
        report(code, "column " + std::to_string(at - text.begin() + 1) +
                         " holds a control character (code " +
                         std::to_string(static_cast<unsigned char>(*at)) + ")");
        good = false;
    }
    if (index == 1 && t != 1) {
        report(code, "a record must start with a type-1 card");
        good = false;
    }
    if (rec.count_[t - 1]++ >= kMaxCards[t - 1]) {
        report(code, std::string("too many cards of type ") + code + " (a record holds at most " +
                         std::to_string(kMaxCards[t - 1]) + ")");
        good = false;
    }
    if (good && rec.sound()) {
        rec.add({text, index}, t);
    } else {
        rec.drop();
    }
    return code == kEndCard;
}

}  // namespace corvane::builder
