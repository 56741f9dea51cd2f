// Where the builder's files go: an output file takes bytes in order. The
// database directory's files are written to disk (see dbdir.h); a database
// composed in memory goes to strings.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace corvane::builder {

class OutFile {
  public:
    virtual ~OutFile() = default;
    // Appends bytes; false when they cannot be written (the file has then
    // reported why).
    virtual bool put(std::string_view bytes) = 0;
};

// An output file held in a string.
class StringOut : public OutFile {
  public:
    explicit StringOut(std::string& text) : text_(text) {}
    bool put(std::string_view bytes) override {
        text_ += bytes;
        return true;
    }

  private:
    std::string& text_;
};

// Bytes put in big-endian order, as every number of the KRX1 files is stored.
inline void put_be32(std::string& out, std::uint32_t v) {
    const char b[4] = {static_cast<char>(v >> 24), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 8), static_cast<char>(v)};
    out.append(b, 4);
}

}  // namespace corvane::builder
