// The database stream handles: open routines try their candidate names in
// order and keep the first regular file that opens; close routines empty them.
#include <initializer_list>

#include "setup/fileio.h"
#include "setup/library.h"

namespace cv {
namespace {

std::FILE* open_first(std::initializer_list<std::string> candidates) {
    for (const auto& name : candidates) {
        if (std::FILE* f = open_regular(name, "rb")) return f;
    }
    return nullptr;
}

void close_handle(std::FILE*& handle) {
    if (handle != nullptr) std::fclose(handle);
    handle = nullptr;
}

int open_into(std::FILE*& handle, std::string_view file, std::string_view dir_a,
              std::string_view dir_b) {
    close_handle(handle);
    handle = open_first({join_path(dir_a, file), join_path(dir_b, file)});
    return handle != nullptr ? 0 : -1;
}

}  // namespace

Library::~Library() {
    for (int slot = 0; slot < 4; ++slot) cv_closekrx2(slot);
    cv_closeindex();
    cv_closenamlib();
    cv_closedilib();
    cv_closereflib();
    cv_closebitlib();
}

int Library::cv_openkrx2(std::string_view name, std::string_view dir_a, std::string_view dir_b,
                         int slot) {
    if (slot < 0 || slot > 3) return -1;
    close_handle(fcdrom[slot]);
    // The line-2 directory may name the record file itself.
    fcdrom[slot] = open_first(
        {join_path(dir_a, name), join_path(dir_b, name), std::string(dir_b)});
    return fcdrom[slot] != nullptr ? 0 : -1;
}

int Library::cv_openindex(std::string_view dir_a, std::string_view dir_b) {
    return open_into(findex, "kelpa.ind", dir_a, dir_b);
}
int Library::cv_opennamlib(std::string_view dir_a, std::string_view dir_b) {
    return open_into(fnamlib, "name.lib", dir_a, dir_b);
}
int Library::cv_opendilib(std::string_view dir_a, std::string_view dir_b) {
    return open_into(fdilib, "di.lib", dir_a, dir_b);
}
int Library::cv_openreflib(std::string_view dir_a, std::string_view dir_b) {
    return open_into(freflib, "ref.lib", dir_a, dir_b);
}
int Library::cv_openbitlib(std::string_view name, std::string_view dir_a,
                           std::string_view dir_b) {
    return open_into(fbitmap, name, dir_a, dir_b);
}

void Library::cv_closekrx2(int slot) {
    if (slot >= 0 && slot <= 3) close_handle(fcdrom[slot]);
}
void Library::cv_closeindex() { close_handle(findex); }
void Library::cv_closenamlib() { close_handle(fnamlib); }
void Library::cv_closedilib() { close_handle(fdilib); }
void Library::cv_closereflib() { close_handle(freflib); }
void Library::cv_closebitlib() { close_handle(fbitmap); }

}  // namespace cv
