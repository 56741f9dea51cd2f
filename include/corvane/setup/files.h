// The database files' stream handles: open routines try their candidate names
// in order and keep the first regular file that opens; close routines empty
// the handle (closing an empty handle does nothing).
#pragma once

#include <corvane/setup/library.h>

#include <string_view>

namespace corvane {

// Each returns 0, or -1 when no candidate opens (a candidate that is not a
// regular file counts as one that does not open). The candidates are
// dir_a/NAME, then dir_b/NAME; for krx2.dat also dir_b by itself, so the
// second location line may name the record file directly.
int cv_openkrx2(Library& lib, std::string_view name, std::string_view dir_a, std::string_view dir_b,
                int slot);
int cv_openindex(Library& lib, std::string_view dir_a, std::string_view dir_b);   // kelpa.ind
int cv_opennamlib(Library& lib, std::string_view dir_a, std::string_view dir_b);  // name.lib
int cv_opendilib(Library& lib, std::string_view dir_a, std::string_view dir_b);   // di.lib
int cv_openreflib(Library& lib, std::string_view dir_a, std::string_view dir_b);  // ref.lib
int cv_openbitlib(Library& lib, std::string_view name, std::string_view dir_a,
                  std::string_view dir_b);

// Whether the open routine of a file would find it, without keeping it open:
// 0 when one of its candidates (as above) is a regular file that opens for
// reading, -1 otherwise. The file is closed again at once.
int cv_findkrx2(std::string_view name, std::string_view dir_a, std::string_view dir_b);
int cv_findfile(std::string_view file, std::string_view dir_a, std::string_view dir_b);

void cv_closekrx2(Library& lib, int slot);
void cv_closeindex(Library& lib);
void cv_closenamlib(Library& lib);
void cv_closedilib(Library& lib);
void cv_closereflib(Library& lib);
void cv_closebitlib(Library& lib);

}  // namespace corvane
