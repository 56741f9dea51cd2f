#include <corvane/setup/fileio.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace corvane {
namespace {

mode_t less_umask(mode_t bits) {
    // The umask can only be read by setting it; it is put back at once.
    const mode_t mask = umask(0);
    umask(mask);
    return static_cast<mode_t>(bits & ~mask);
}

}  // namespace

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

std::string directory_of(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

mode_t new_file_mode() {
    return less_umask(0666);
}

mode_t new_directory_mode() {
    return less_umask(0777);
}

std::string replacement_target(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = realpath(path.c_str(), nullptr)) {
            std::string out(real);
            std::free(real);
            return out;
        }
    }
    return path;
}

std::optional<mode_t> replacement_mode(const std::string& target) {
    struct stat st {};
    if (stat(target.c_str(), &st) == 0) {
        // Only a regular file we may write is replaced, as an ordinary create
        // would have opened only such a file.
        if (!S_ISREG(st.st_mode) || access(target.c_str(), W_OK) != 0) return std::nullopt;
        return static_cast<mode_t>(st.st_mode & 07777);
    }
    if (errno == ENOENT) return new_file_mode();
    return std::nullopt;
}

bool sync_directory(const std::string& dir, const char** failed_call) {
    const auto fail = [failed_call](const char* call) {
        if (failed_call != nullptr) *failed_call = call;
        return false;
    };
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return fail("open");
    if (fsync(fd) != 0) {
        const int e = errno;
        close(fd);
        errno = e;
        return fail("fsync");
    }
    if (close(fd) != 0) return fail("close");
    return true;
}

// ---- TempFile -------------------------------------------------------------------

TempFile::TempFile(const std::string& dir, std::string_view prefix, mode_t mode) {
    std::string name = ".";
    name += prefix;
    name += "-XXXXXX";
    const std::string templ_text = join_path(dir, name);
    std::vector<char> templ(templ_text.begin(), templ_text.end());
    templ.push_back('\0');
    const int fd = mkstemp(templ.data());
    if (fd < 0) return;
    path_ = templ.data();
    if (fchmod(fd, mode) != 0 || (file_ = fdopen(fd, "wb")) == nullptr) {
        close(fd);
        unlink(path_.c_str());
        path_.clear();
    }
}

TempFile::~TempFile() {
    if (file_ != nullptr) std::fclose(file_);
    if (!path_.empty()) unlink(path_.c_str());
}

bool TempFile::write(const void* data, std::size_t bytes) {
    if (file_ == nullptr) return false;
    if (bytes != 0 && std::fwrite(data, 1, bytes, file_) != bytes) return false;
    return std::fflush(file_) == 0;
}

bool TempFile::sync_and_close() {
    if (file_ == nullptr) return false;
    const bool synced = std::fflush(file_) == 0 && fsync(fileno(file_)) == 0;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    complete_ = synced && closed;
    return complete_;
}

bool TempFile::rename_to(const std::string& target) {
    if (!complete_ || path_.empty()) return false;
    if (rename(path_.c_str(), target.c_str()) != 0) return false;
    path_.clear();
    return true;
}

}  // namespace corvane
