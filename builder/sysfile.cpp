#include <corvane/builder/report.h>
#include <corvane/builder/sysfile.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace corvane::builder {

namespace {

constexpr std::size_t kWriteBuffer = 1 << 20;

// Opens a regular file for reading: without waiting, so that a FIFO named by
// mistake is refused at once. -1 after its message.
int open_for_reading(const std::string& path, std::ostream& err) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        report_errno(err, path, "open", errno);
        return -1;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0) {
        report_errno(err, path, "fstat", errno);
        ::close(fd);
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        err << path << ": not a regular file\n";
        ::close(fd);
        return -1;
    }
    const int flags = fcntl(fd, F_GETFL);
    if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        report_errno(err, path, "fcntl", errno);
        ::close(fd);
        return -1;
    }
    return fd;
}

// read(2) that goes on after an interruption.
std::ptrdiff_t read_some(int fd, char* buf, std::size_t n) {
    for (;;) {
        const ssize_t got = ::read(fd, buf, n);
        if (got >= 0 || errno != EINTR) return got;
    }
}

}  // namespace

// ---- reading ------------------------------------------------------------------

std::unique_ptr<FileSource> FileSource::open(const std::string& path, std::ostream& err) {
    const int fd = open_for_reading(path, err);
    if (fd < 0) return nullptr;
    (void)posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);  // a hint only
    return std::unique_ptr<FileSource>(new FileSource(fd, path, err));
}

FileSource::~FileSource() {
    ::close(fd_);  // read only: nothing is lost when closing fails
}

std::ptrdiff_t FileSource::read(char* buf, std::size_t n) {
    const std::ptrdiff_t got = read_some(fd_, buf, n);
    if (got < 0) {
        const int e = errno;
        report_errno(err_, path_, "read", e);
        errno = e;
    }
    return got;
}

bool read_file(const std::string& path, std::string& out, std::ostream& err) {
    const int fd = open_for_reading(path, err);
    if (fd < 0) return false;
    out.clear();
    char buf[65536];
    for (;;) {
        const std::ptrdiff_t got = read_some(fd, buf, sizeof buf);
        if (got == 0) break;
        if (got < 0) {
            report_errno(err, path, "read", errno);
            ::close(fd);
            return false;
        }
        out.append(buf, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return true;
}

// ---- writing ------------------------------------------------------------------

std::unique_ptr<NewFile> NewFile::create(const std::string& path, std::ostream& err) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        report_errno(err, path, "open", errno);
        return nullptr;
    }
    return std::unique_ptr<NewFile>(new NewFile(fd, path, err));
}

NewFile::NewFile(int fd, std::string path, std::ostream& err)
    : fd_(fd), path_(std::move(path)), err_(err) {
    buf_.reserve(kWriteBuffer);
}

NewFile::~NewFile() {
    if (fd_ >= 0) ::close(fd_);  // an unfinished file is thrown away with its directory
}

bool NewFile::failed(const char* call) {
    report_errno(err_, path_, call, errno);
    ok_ = false;
    return false;
}

bool NewFile::put(std::string_view bytes) {
    if (!ok_) return false;
    if (buf_.size() + bytes.size() > kWriteBuffer && !drain()) return false;
    if (bytes.size() >= kWriteBuffer) return write_all(bytes);  // too large to be worth copying
    buf_ += bytes;
    return true;
}

bool NewFile::drain() {
    const bool ok = write_all(buf_);
    buf_.clear();
    return ok;
}

bool NewFile::write_all(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return failed("write");
        }
        if (n == 0) {
            errno = EIO;  // no progress and no reason given
            return failed("write");
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool NewFile::finish() {
    if (!ok_) return false;
    if (!drain()) return false;
    if (::fsync(fd_) != 0) return failed("fsync");
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return failed("close");
    return true;
}

}  // namespace corvane::builder
