// Fixed-column edit descriptors: reading and writing internal text records
// with format strings such as "(A9,A8,12X)" or "(6X,3(3(F5.2,1X),1X))", and
// list-directed message lines.
//
// Descriptors: A, Aw (text), Iw, Iw.m (integer), Fw.d (real), nX (blanks),
// Tn (continue at column n), repeat counts before a descriptor or a
// parenthesised group, nested groups; upper or lower case.
//
// Output: values are right-aligned and rounded (correct decimal rounding of
// the binary value, ties to even); a value that does not fit fills its field
// with asterisks, and so does a real that is not finite; Iw.m writes at least
// m digits and Iw.0 writes zero as blanks; F output writes no zero before the
// decimal point when there are decimals (0.5 in F8.4 is "   .5000", 0.4 in
// F4.0 is "  0."), and a minus sign only when a digit that is not zero
// remains (-0.00004 in F8.4 is "   .0000"). Aw writes a shorter text after
// blanks and cuts a longer one to its first w characters.
//
// Input: blanks in a numeric field are ignored, an all-blank field reads as
// zero, without a decimal point the last d digits are decimals, an exponent
// (E or D, or just a sign, then digits) is accepted; a character that cannot
// belong to a number, or a value too large for its target, is a read error,
// reported through the result, never by aborting. Aw into a text of length len
// takes the rightmost len characters of the field when w >= len, else the w
// characters left-justified and blank-padded.
//
// Limits: a count or width above 32767, groups nested more than 8 deep inside
// the outer parentheses, or a format that unrolls into more than 65536
// descriptors is refused as kBadFormat; a format whose positions (nX, Tn and
// the fields' widths) reach beyond column 1048576 is refused as kOverflow. All
// are found while the format is parsed, before anything is unrolled, so a
// hostile format costs no more than its own length.
//
// A caller that applies one format to many records parses it once:
//     static const edit::Format f = edit::Format::parse("(F7.4)");
//     edit::read(f, field, {&d});
// The overloads that take the format as a string parse it on every call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace corvane::edit {

// A value to write, in the order the format's data descriptors take them.
using Out = std::variant<std::string_view, std::int32_t, float, double>;

// A variable to read into. A std::string target is a fixed-length text: its
// current size is its declared length (the width of a bare A descriptor).
using In = std::variant<std::string*, std::int32_t*, float*, double*>;

// Status of a read or write: 0 success; otherwise one of these.
enum Status : int {
    kOk = 0,
    kBadFormat = 1,  // the format string cannot be parsed
    kBadItem = 2,    // an item does not suit its descriptor (text for I, number for A, ...)
    kBadInput = 3,   // a field holds a character that cannot belong to its number, or a
                     // value too large for its target
    kOverflow = 4,   // the record is too short for what the format writes, or a field
                     // (or the format itself) reaches beyond column 1048576
};

// The furthest column a format or a field may reach.
inline constexpr std::size_t kMaxColumn = std::size_t{1} << 20;

// A parsed format string: the descriptors unrolled (repeat counts and groups
// written out), ready for any number of reads and writes. A format that could
// not be parsed keeps its status, and every read or write with it returns that
// status. Cheap to move, and safe to share between calls.
class Format {
  public:
    // An unusable format (status kBadFormat).
    Format() = default;
    static Format parse(std::string_view text);

    // kOk, or why the text was refused (kBadFormat or kOverflow).
    int status() const { return status_; }
    bool ok() const { return status_ == kOk; }

    // One unrolled descriptor: 'A', 'I', 'F', 'X' or 'T'. For A, w = 0 means
    // "the item's own length"; for I, d is the minimum digit count (-1 when
    // none is given); for X, w is the number of columns skipped; for T, w is
    // the target column.
    struct Step {
        char kind;
        int w;
        int d;
    };
    const std::vector<Step>& steps() const { return steps_; }
    // The number of data descriptors (A, I, F) among the steps.
    std::size_t data_count() const { return data_count_; }

  private:
    std::vector<Step> steps_;
    std::size_t data_count_ = 0;
    int status_ = kBadFormat;
};

// Writes items into an internal record of fixed length: the record is first
// blank-filled over its current size, then the fields are written; writing past
// its end fails with kOverflow. Items left over when the format ends are an
// error (kBadItem); the format ends early, at the first data descriptor
// without an item. On any failure the record is left as it was.
int write(const Format& format, std::string& record, std::span<const Out> items);
int write(const Format& format, std::string& record, std::initializer_list<Out> items);
int write(std::string_view format, std::string& record, std::span<const Out> items);
int write(std::string_view format, std::string& record, std::initializer_list<Out> items);

// Convenience: the written text itself, as long as the furthest column the
// format reached (trailing nX included). On any failure the result is empty.
std::string write(const Format& format, std::span<const Out> items);
std::string write(const Format& format, std::initializer_list<Out> items);
std::string write(std::string_view format, std::span<const Out> items);
std::string write(std::string_view format, std::initializer_list<Out> items);

// Reads an internal record. The record reads as if blank-extended to whatever
// length the format needs. Every field is read before any target is set, so on
// any failure all targets are left as they were.
int read(const Format& format, std::string_view record, std::span<const In> targets);
int read(const Format& format, std::string_view record, std::initializer_list<In> targets);
int read(std::string_view format, std::string_view record, std::span<const In> targets);
int read(std::string_view format, std::string_view record, std::initializer_list<In> targets);

// List-directed output: one item a piece. A text piece is written as it is; an
// integer piece as a blank followed by its digits. Every line begins with a
// blank; before a piece that would make the line reach column 80 the line is
// ended (unless it is empty). The result ends with a line end.
using ListItem = std::variant<std::string_view, std::int32_t>;
std::string listed(std::span<const ListItem> items);
std::string listed(std::initializer_list<ListItem> items);

}  // namespace corvane::edit
