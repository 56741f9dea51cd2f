// The database stream handles: open routines try their candidate names in
// order and keep the first regular file that opens; close routines empty them.
#include <corvane/setup/fileio.h>
#include <corvane/setup/files.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <initializer_list>

namespace corvane {
namespace {

std::FILE* open_first(std::initializer_list<std::string> candidates) {
    for (const auto& name : candidates) {
        if (std::FILE* f = open_regular(name, "rb")) return f;
    }
    return nullptr;
}

// The test of open_regular without keeping anything open: the name opens for
// reading (without waiting, so a FIFO is passed over) and is a regular file.
bool opens_as_regular(const std::string& name) {
    if (name.empty()) return false;
    const int fd = open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    const bool regular = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    close(fd);
    return regular;
}

bool any_opens(std::initializer_list<std::string> candidates) {
    for (const auto& name : candidates) {
        if (opens_as_regular(name)) return true;
    }
    return false;
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
    for (int slot = 0; slot < 4; ++slot) cv_closekrx2(*this, slot);
    cv_closeindex(*this);
    cv_closenamlib(*this);
    cv_closedilib(*this);
    cv_closereflib(*this);
    cv_closebitlib(*this);
}

int cv_openkrx2(Library& lib, std::string_view name, std::string_view dir_a, std::string_view dir_b,
                int slot) {
    if (slot < 0 || slot > 3) return -1;
    close_handle(lib.fcdrom[slot]);
    // The line-2 directory may name the record file itself.
    lib.fcdrom[slot] =
        open_first({join_path(dir_a, name), join_path(dir_b, name), std::string(dir_b)});
    return lib.fcdrom[slot] != nullptr ? 0 : -1;
}

int cv_openindex(Library& lib, std::string_view dir_a, std::string_view dir_b) {
    return open_into(lib.findex, "kelpa.ind", dir_a, dir_b);
}
int cv_opennamlib(Library& lib, std::string_view dir_a, std::string_view dir_b) {
    return open_into(lib.fnamlib, "name.lib", dir_a, dir_b);
}
int cv_opendilib(Library& lib, std::string_view dir_a, std::string_view dir_b) {
    return open_into(lib.fdilib, "di.lib", dir_a, dir_b);
}
int cv_openreflib(Library& lib, std::string_view dir_a, std::string_view dir_b) {
    return open_into(lib.freflib, "ref.lib", dir_a, dir_b);
}
int cv_openbitlib(Library& lib, std::string_view name, std::string_view dir_a,
                  std::string_view dir_b) {
    return open_into(lib.fbitmap, name, dir_a, dir_b);
}

int cv_findkrx2(std::string_view name, std::string_view dir_a, std::string_view dir_b) {
    return any_opens({join_path(dir_a, name), join_path(dir_b, name), std::string(dir_b)}) ? 0 : -1;
}

int cv_findfile(std::string_view file, std::string_view dir_a, std::string_view dir_b) {
    return any_opens({join_path(dir_a, file), join_path(dir_b, file)}) ? 0 : -1;
}

void cv_closekrx2(Library& lib, int slot) {
    if (slot >= 0 && slot <= 3) close_handle(lib.fcdrom[slot]);
}
void cv_closeindex(Library& lib) {
    close_handle(lib.findex);
}
void cv_closenamlib(Library& lib) {
    close_handle(lib.fnamlib);
}
void cv_closedilib(Library& lib) {
    close_handle(lib.fdilib);
}
void cv_closereflib(Library& lib) {
    close_handle(lib.freflib);
}
void cv_closebitlib(Library& lib) {
    close_handle(lib.fbitmap);
}

}  // namespace corvane
