// count_hits SUBFILE: how many entries of the database a saved search holds.
#include <corvane/corvane.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    corvane::Library lib;  // the library's state: paths, tables, history, files
    // Start-up finds the database through LOGIC_LOC (or the usual places).
    if (corvane::cvl_init(lib) != 0) return 1;
    // Operation 4 loads the subfile as the current table and history.
    if (corvane::cvl_readbitmap(lib, argv[1], 4) != 0) return 1;
    std::printf("%s: %d of %d entries\n", argv[1], corvane::cvl_rephits(lib, 0),
                corvane::cvl_rephits(lib, 1));
}
