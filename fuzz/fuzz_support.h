// What the harnesses share: files held in memory with real descriptors (so the
// readers take their pread path), and an input split into parts.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

// A read-only stream over bytes, backed by an anonymous memory file.
inline std::FILE* memory_file(std::string_view bytes) {
    const int fd = memfd_create("corvane-fuzz", MFD_CLOEXEC);
    if (fd < 0) __builtin_trap();
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) __builtin_trap();
        done += static_cast<std::size_t>(n);
    }
    std::FILE* f = fdopen(fd, "rb");
    if (f == nullptr) __builtin_trap();
    return f;
}

// A name that opens the stream's file again (for routines that take a path).
inline std::string path_of(std::FILE* f) {
    return "/proc/self/fd/" + std::to_string(fileno(f));
}

// The input cut at every separator: the parts of a multi-file input.
inline std::vector<std::string_view> split(std::string_view input, std::string_view separator,
                                           std::size_t max_parts) {
    std::vector<std::string_view> parts;
    while (parts.size() + 1 < max_parts) {
        const auto at = input.find(separator);
        if (at == std::string_view::npos) break;
        parts.push_back(input.substr(0, at));
        input.remove_prefix(at + separator.size());
    }
    parts.push_back(input);
    parts.resize(max_parts);
    return parts;
}

// A stream that throws away what it is given.
class NullBuffer : public std::streambuf {
  protected:
    int overflow(int c) override { return c; }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};
inline std::ostream& null_stream() {
    static NullBuffer buffer;
    static std::ostream out(&buffer);
    return out;
}

}  // namespace fuzz
