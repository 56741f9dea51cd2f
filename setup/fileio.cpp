#include <corvane/setup/fileio.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane {

std::FILE* open_regular(const std::string& name, const char* mode) {
    if (name.empty()) return nullptr;
    // Opened without waiting, so that a FIFO or device named by mistake is
    // passed over at once instead of blocking; then only a regular file is kept.
    const int fd = open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return nullptr;
    }
    const int flags = fcntl(fd, F_GETFL);
    if (flags >= 0) (void)fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    std::FILE* f = fdopen(fd, mode);
    if (f == nullptr) close(fd);
    return f;
}

std::string join_path(std::string_view dir, std::string_view name) {
    std::string out(dir);
    if (out.empty() || out.back() != '/') out += '/';
    out += name;
    return out;
}

}  // namespace corvane
