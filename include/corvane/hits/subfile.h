// Subfiles: a hit table saved together with the search history behind it.
//
// Layout, every integer and table word 32 bits in the host's byte order as it
// lies in memory (no conversion either way):
//   n        number of database entries the table covers
//   W words  the table, W = (n+31)/32
//   k        number of history records
//   k records of reclen characters, blank-padded, no terminator, no line end
// The file is exactly 8 + 4W + k*reclen bytes when written; a reader ignores
// anything after the last record.
#pragma once

#include <corvane/setup/library.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace corvane {

// Writes a subfile. The contents go to a temporary file in the target's
// directory, which is flushed to disk and then renamed over the target, so the
// target is either the complete new subfile or left exactly as it was (a
// failed save removes the temporary). An existing target keeps its permission
// bits; a new one gets those of a plain create under the umask.
//   0  written and in place
//  -1  the file cannot be created: the temporary cannot be made, the target
//      exists but is not a regular file or not writable, or the finished
//      temporary cannot be renamed over it
//  -2  n could not be written (or n is negative or more than `table` holds)
//  -3  fewer than W table words written
//  -4  k could not be written (or k is negative or more than `records` holds)
//  -5  fewer than k records written, or the file could not be synced or closed
// Each block is flushed as soon as it is written, so an error the system only
// reports on flushing is charged to the block that caused it.
int cv_writemap(const std::string& path, std::int32_t n, std::span<const std::uint32_t> table,
                std::int32_t k, std::span<const std::string> records, std::int32_t reclen);

// Reads a subfile, storing each field as soon as it is read (after a failure
// the fields read before it hold the file's values; `table` and `records` may
// hold part of the file).
//   0  all read
//  -1  the file cannot be opened for reading (or is not a regular file)
//  -2  n could not be read, or is negative or more than `table` holds
//  -3  fewer than W table words read
//  -4  k could not be read, or is negative or more than `records` holds
//  -5  fewer than k records read
// Nothing is ever read past `table` or `records`.
int cv_readmap(const std::string& path, std::int32_t& n, std::span<std::uint32_t> table,
               std::int32_t& k, std::span<std::string> records, std::int32_t reclen);

// Saves the current table and the whole history as subfile name (its
// significant part, used whole). 0, or -1 after the warning and code lines.
int cvl_savebitmap(Library& lib, std::string_view name);

// Reads subfile name into the work table. op 0..3 merges it into the current
// table with tbllogic and appends the file's history, each record after
// "... "; op 4 (or more) loads it as the current table and history.
// 0; -1 when the file cannot be read; -2 when its table has another size. On
// failure the current table and the history are unchanged.
int cvl_readbitmap(Library& lib, std::string_view name, int op);

}  // namespace corvane
