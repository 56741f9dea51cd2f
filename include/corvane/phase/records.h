// Results as machine-readable records: tab-separated values, comma-separated
// values and JSON, each record a row of named fields.
//
//   tsv   a header line of the field names, then one line per record, fields
//         separated by tabs; a control character in a text (a tab or a line
//         end would break the columns) is written as a blank
//   csv   the same with commas and CRLF line ends; a field holding a comma,
//         a double quote, a CR or an LF is enclosed in double quotes, a
//         double quote inside doubled (RFC 4180)
//   json  an array with one object per record, one object a line; texts are
//         JSON strings (quotes, backslashes and control characters escaped; a
//         byte that does not belong to valid UTF-8 is taken as Latin-1), an
//         absent value is null
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace corvane::phase {

enum class Format { kText, kTsv, kCsv, kJson };

// "text", "tsv", "csv" or "json"; false for anything else.
bool parse_format(std::string_view name, Format& out);

struct Value {
    enum Kind { kString, kNumber, kNull, kJson };
    Kind kind = kNull;
    std::string text;  // a string, a number as written, or JSON as it stands

    static Value string(std::string_view s) { return {kString, std::string(s)}; }
    static Value number(std::string_view s) { return {kNumber, std::string(s)}; }
    static Value null() { return {kNull, {}}; }
    // Written as it stands in JSON (an array or object built by the caller);
    // tsv and csv take it as a text.
    static Value json(std::string_view s) { return {kJson, std::string(s)}; }
};

// Writes records of the given fields into `out` (appending): tsv, csv or json.
class RecordWriter {
  public:
    RecordWriter(Format format, std::vector<std::string> fields, std::string& out);
    // One value per field, in the fields' order.
    void record(const std::vector<Value>& values);
    // Ends the output (json's closing bracket).
    void finish();

  private:
    Format format_;
    std::vector<std::string> fields_;
    std::string& out_;
    bool first_ = true;
};

// A JSON string literal, quotes included.
std::string json_string(std::string_view text);

// A CSV field, quoted when it must be.
std::string csv_field(std::string_view text);

// A TSV field: control characters as blanks.
std::string tsv_field(std::string_view text);

}  // namespace corvane::phase
