// Where the database lies and how large it is.
#pragma once

#include <cstdint>
#include <string>

namespace corvane {

// Finds the location file (LOGIC_LOC, then $HOME/.tarn_files_loc, then
// /usr/local/tarn_files_loc.txt, .\tarnloc.txt and C:\tarnloc.txt), reads its
// first three lines into line1..line3 (trailing characters of code 32 or less
// stripped; paths kept whole whatever their length), then reads the five
// integers of pdsize.txt from the line-1 directory, else the line-2 directory.
// Lines of either file are read up to 4096 characters before their line end.
//   0  paths and sizes read
//  -1  no location file could be opened
//  -2  the location file ended before its third line, or one of its first
//      three lines is longer than 4096 characters or holds a control character
//      (a NUL, say, which would cut the path short; a tab is allowed) before its
//      stripped tail; the lines before it keep their text
//  -3  pdsize.txt opens in neither directory
//  -4  pdsize.txt does not begin with five integers, or a line grows past 4096
//      characters before the fifth (those converted before the failure are
//      stored)
int cv_readdbloc(std::string& line1, std::string& line2, std::string& line3, std::int32_t& size1,
                 std::int32_t& size2, std::int32_t& size3, std::int32_t& size4,
                 std::int32_t& size5);

}  // namespace corvane
