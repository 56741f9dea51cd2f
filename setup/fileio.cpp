#include "setup/fileio.h"

#include <sys/stat.h>

namespace cv {

std::FILE* open_regular(const std::string& name, const char* mode) {
    if (name.empty()) return nullptr;
    std::FILE* f = std::fopen(name.c_str(), mode);
    if (f == nullptr) return nullptr;
    struct stat st {};
    if (fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode)) {
        std::fclose(f);
        return nullptr;
    }
    return f;
}

std::string join_path(std::string_view dir, std::string_view name) {
    std::string out(dir);
    if (out.empty() || out.back() != '/') out += '/';
    out += name;
    return out;
}

}  // namespace cv
