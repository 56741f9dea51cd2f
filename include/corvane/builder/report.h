// The builder's messages. A fault of the card file is one line on the error
// stream, "FILE:LINE: record R, card C (type T): what is wrong" (the type left
// out when the card has none that can be shown, the card left out when the
// fault is the record's); a fault of the file as a whole is "FILE: what is
// wrong". A failed system call is "PATH: CALL: reason".
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

namespace corvane::builder {

class Reporter {
  public:
    // Messages about the card file fname go to err; with no stream they are
    // only counted.
    Reporter(std::string_view fname, std::ostream* err) : fname_(fname), err_(err) {}

    // A fault of card `card` (from 1) of record `record`, on line `line`;
    // type 0 leaves the type out.
    void card(std::int64_t line, std::int32_t record, int card, char type, std::string_view text);
    // A fault of a record as a whole, reported at line `line`.
    void record(std::int64_t line, std::int32_t record, std::string_view text);
    // A fault of the card file as a whole.
    void file(std::string_view text);

    int faults() const { return faults_; }
    const std::string& fname() const { return fname_; }

  private:
    std::string fname_;
    std::ostream* err_;
    int faults_ = 0;
};

// "PATH: CALL: reason" for the errno value err, one line on out.
void report_errno(std::ostream& out, std::string_view path, std::string_view call, int err);

// A text in single quotes, as the messages quote card fields.
std::string quoted(std::string_view text);

}  // namespace corvane::builder
