// The four code tables a database directory carries, copied from a table
// directory after their layouts are checked (sample/README.md describes them):
// codens.tbl in whole records of 81 bytes, the first giving the record count
// in columns 7-16, the keys ascending; picodes.tbl at most 50 codes, each with
// a one-digit display length in column 3; mineral.tbl group lines each giving
// in columns 28-29 the number of member lines that follow.
#pragma once

#include <array>
#include <ostream>
#include <string>
#include <string_view>

namespace corvane::builder {

inline constexpr std::array<std::string_view, 4> kCodeTables = {"stdcodes.tbl", "mineral.tbl",
                                                                "picodes.tbl", "codens.tbl"};

// Reads the four tables of directory dir into tables (in the order of
// kCodeTables) and checks them. Returns the number of faults, each reported
// on err.
int read_code_tables(const std::string& dir, std::array<std::string, 4>& tables, std::ostream& err);

}  // namespace corvane::builder
