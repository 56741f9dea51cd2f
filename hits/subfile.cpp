#include <corvane/hits/subfile.h>
#include <corvane/hits/tables.h>
#include <corvane/setup/fileio.h>
#include <corvane/setup/messages.h>
#include <corvane/setup/text.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace corvane {
namespace {

// Table words needed for n entries (n >= 0).
std::size_t words_for(std::int32_t n) {
    return (static_cast<std::size_t>(n) + 31) / 32;
}

std::string directory_of(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// The permission bits a plain create ("wb") would give a new file.
mode_t create_mode() {
    const mode_t mask = umask(0);
    umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

// The file actually replaced: a symbolic link is followed so the link itself
// stays in place and the file it leads to receives the new contents.
std::string resolved_target(const std::string& path) {
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

// Writes one block and pushes it to the system at once, so that an error
// the system reports only on flushing is charged to this block.
bool write_block(std::FILE* f, const void* data, std::size_t bytes) {
    if (bytes != 0 && std::fwrite(data, 1, bytes, f) != bytes) return false;
    return std::fflush(f) == 0;
}

// Makes a new directory entry durable; a failure here cannot undo the rename
// and is not reported.
void sync_directory(const std::string& dir) {
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)fsync(fd);
    close(fd);
}

}  // namespace

int cv_writemap(const std::string& path, std::int32_t n, std::span<const std::uint32_t> table,
                std::int32_t k, std::span<const std::string> records, std::int32_t reclen) {
    // Counts that do not describe the data given are refused before anything
    // is created.
    if (n < 0 || words_for(n) > table.size()) return -2;
    if (k < 0 || static_cast<std::size_t>(k) > records.size()) return -4;
    if (reclen < 0) return -5;
    if (path.empty()) return -1;

    const std::string target = resolved_target(path);
    mode_t mode = 0;
    struct stat st {};
    if (stat(target.c_str(), &st) == 0) {
        // Only a regular file we may write is replaced, as a plain create
        // would have opened only such a file.
        if (!S_ISREG(st.st_mode) || access(target.c_str(), W_OK) != 0) return -1;
        mode = st.st_mode & 07777;
    } else if (errno == ENOENT) {
        mode = create_mode();
    } else {
        return -1;
    }

    const std::string dir = directory_of(target);
    std::string name = join_path(dir, ".cvsub-XXXXXX");
    std::vector<char> templ(name.begin(), name.end());
    templ.push_back('\0');
    const int fd = mkstemp(templ.data());
    if (fd < 0) return -1;
    const std::string temp(templ.data());
    if (fchmod(fd, mode) != 0) {
        close(fd);
        unlink(temp.c_str());
        return -1;
    }
    std::FILE* f = fdopen(fd, "wb");
    if (f == nullptr) {
        close(fd);
        unlink(temp.c_str());
        return -1;
    }
    auto fail = [&](int status) {
        std::fclose(f);
        unlink(temp.c_str());
        return status;
    };

    const std::size_t w = words_for(n);
    if (!write_block(f, &n, sizeof n)) return fail(-2);
    if (!write_block(f, table.data(), w * sizeof(std::uint32_t))) return fail(-3);
    if (!write_block(f, &k, sizeof k)) return fail(-4);
    std::string block;
    for (std::int32_t i = 0; i < k; ++i) {
        block += padded(records[static_cast<std::size_t>(i)], static_cast<std::size_t>(reclen));
    }
    if (!write_block(f, block.data(), block.size())) return fail(-5);
    if (fsync(fileno(f)) != 0) return fail(-5);
    if (std::fclose(f) != 0) {
        unlink(temp.c_str());
        return -5;
    }
    if (rename(temp.c_str(), target.c_str()) != 0) {
        unlink(temp.c_str());
        return -1;
    }
    sync_directory(dir);
    return 0;
}

int cv_readmap(const std::string& path, std::int32_t& n, std::span<std::uint32_t> table,
               std::int32_t& k, std::span<std::string> records, std::int32_t reclen) {
    if (path.empty()) return -1;
    // Opened without waiting, so that a FIFO or device named by mistake is
    // refused instead of blocking; only a regular file is read.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return -1;
    }
    std::FILE* f = fdopen(fd, "rb");
    if (f == nullptr) {
        close(fd);
        return -1;
    }
    auto finish = [f](int status) {
        std::fclose(f);
        return status;
    };

    std::int32_t value = 0;
    if (std::fread(&value, sizeof value, 1, f) != 1) return finish(-2);
    n = value;
    if (n < 0 || words_for(n) > table.size()) return finish(-2);
    const std::size_t w = words_for(n);
    if (std::fread(table.data(), sizeof(std::uint32_t), w, f) != w) return finish(-3);

    if (std::fread(&value, sizeof value, 1, f) != 1) return finish(-4);
    k = value;
    if (k < 0 || static_cast<std::size_t>(k) > records.size()) return finish(-4);
    if (reclen < 0) return finish(-5);
    for (std::int32_t i = 0; i < k; ++i) {
        std::string record(static_cast<std::size_t>(reclen), ' ');
        if (std::fread(record.data(), 1, record.size(), f) != record.size()) return finish(-5);
        records[static_cast<std::size_t>(i)] = std::move(record);
    }
    return finish(0);
}

// ---- the library's save and load ---------------------------------------------

int cvl_savebitmap(Library& lib, std::string_view name) {
    // The name is used whole: its significant part, however long.
    const std::string file(trimmed(name));
    const int status = cv_writemap(file, lib.cv_sizes.dbsize(1), lib.cv_tables.curtbl,
                                   lib.cv_history.nhist, lib.cv_history.histtx.v, kHistLen);
    if (status != 0) {
        warnmsg(lib.messages(), "savebitmap", "unable to open/write file " + file);
        errcode(lib.messages(), "savebitmap", status);
        return -1;
    }
    return 0;
}

// A subfile with more than 100 history records is refused as unreadable
// (cv_readmap's -4, the k field), and a combine that would take the history
// past 100 records keeps the first 100: the records that do not fit are
// dropped, the tables are merged all the same.
int cvl_readbitmap(Library& lib, std::string_view name, int op) {
    const std::string file(trimmed(name));
    std::int32_t count = 0;
    std::int32_t fk = 0;
    std::array<std::string, kMaxHistory> file_records;
    const int status = cv_readmap(file, count, lib.cv_tables.wrktbl, fk, file_records, kHistLen);
    if (status != 0) {
        warnmsg(lib.messages(), "readbitmap", "unable to open/read file " + file);
        errcode(lib.messages(), "readbitmap", status);
        return -1;
    }
    const std::int32_t n = lib.cv_sizes.dbsize(1);
    if (count != n) {
        warnmsg(lib.messages(), "readbitmap",
                "bitmap on file " + file + " has a different size than current database");
        return -2;
    }

    auto& history = lib.cv_history;
    if (op <= 3) {
        tbllogic(lib, op, "File contents (" + file + ")");
        for (std::int32_t i = 0; i < fk; ++i) {
            if (history.nhist < 0 || history.nhist >= kMaxHistory) break;
            ++history.nhist;
            history.histtx(history.nhist) =
                padded("... " + file_records[static_cast<std::size_t>(i)], kHistLen);
        }
    } else {
        history.nhist = fk;
        for (std::int32_t i = 0; i < fk; ++i) {
            history.histtx(i + 1) = file_records[static_cast<std::size_t>(i)];
        }
        tblcopy(lib.cv_tables.wrktbl, lib.cv_tables.curtbl, n);
    }
    return 0;
}

}  // namespace corvane
