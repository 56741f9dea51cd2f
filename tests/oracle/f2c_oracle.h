// A thin C++ face on libf2c's internal-file formatted I/O: the independent
// oracle of the format module's differential test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace oracle {

// An item to write or a target to read into; a text target's size is its
// declared length.
using Item = std::variant<std::string, std::int32_t, float, double>;

struct Written {
    int status;          // 0, or libf2c's error number
    std::string record;  // the record after the write
};

// Writes items into one internal record of the given length.
Written write(const std::string& format, std::size_t length, const std::vector<Item>& items);

// Reads one internal record into targets; returns 0 or libf2c's error number.
int read(const std::string& format, const std::string& record, std::vector<Item>& targets);

}  // namespace oracle
