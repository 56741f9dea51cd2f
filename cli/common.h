// What the tools share: their arguments, usage, --help and --version, the
// database start-up and the last step of the tools that write a subfile.
#pragma once

#include <corvane/hits/startup.h>
#include <corvane/setup/library.h>

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::cli {

// A tool's name, what it does in one line, and its usage lines, each ending
// in a line end, as they follow "usage:".
struct Tool {
    std::string_view name;
    std::string_view summary;
    std::string_view usage;
};

// main()'s arguments without the program name.
std::vector<std::string> arguments(int argc, char** argv);

// "\nusage:\n" and the usage lines on standard error, after a usage error.
void usage_error(const Tool& tool);

// When the first argument is --help or --version, prints the usage or the line
// "TOOL (corvane) VERSION" on standard output and returns the exit status (0,
// or 1 when standard output cannot take it); otherwise nothing.
std::optional<int> help_or_version(const Tool& tool, const std::vector<std::string>& args);

// The value after option args[i]: advances i to it and returns it, or prints
// "missing value for option OPTION" on standard error and returns nothing when
// the option is the last argument.
const std::string* option_value(const std::vector<std::string>& args, std::size_t& i);

// cvl_init, keeping open the database files `open` names (bits of DbFile,
// <corvane/hits/startup.h>; all by default); on failure "error initializing
// the TARN database" after the library's own lines. True when the database is
// ready.
bool start_database(Library& lib, unsigned open = kDbAll);

// A subfile name from the command line as a terminated text, so it is used
// whole: blanks before its end are part of it.
std::string terminated(const std::string& arg);

// The last step of the tools that write a subfile: saves the current table
// and history over `name` and prints the hit count on standard output. A failed
// save gets "error writing subfile NAME" after the library's lines and no
// count. Returns the exit status: 0, or 1 when the save failed or the count
// could not be delivered.
int save_and_print_count(Library& lib, const std::string& name);

}  // namespace corvane::cli
