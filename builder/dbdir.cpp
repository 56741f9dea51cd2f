#include <corvane/builder/dbdir.h>
#include <corvane/builder/report.h>
#include <corvane/builder/sysfile.h>
#include <corvane/setup/fileio.h>
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>   // renameat2
#include <stdlib.h>  // mkdtemp, realpath
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace corvane::builder {

namespace {

namespace fs = std::filesystem;

// errno values with which a file system or kernel refuses renameat2's flags.
bool flags_refused(int e) {
    return e == EINVAL || e == ENOSYS || e == EOPNOTSUPP;
}

// A template for mkdtemp beside directory `dir`: ".NAME.KINDXXXXXX".
std::string hidden_beside(const std::string& parent, const std::string& dir,
                          std::string_view kind) {
    std::string out = join_path(parent, ".");
    out += fs::path(dir).filename().string();
    out += '.';
    out += kind;
    out += "XXXXXX";
    return out;
}

bool sync_dir(const std::string& dir, std::ostream& err) {
    const char* call = "fsync";
    if (sync_directory(dir, &call)) return true;
    report_errno(err, dir, call, errno);
    return false;
}

bool copy_file(const std::string& from, const std::string& to, mode_t mode, std::ostream& err) {
    std::string bytes;
    if (!read_file(from, bytes, err)) return false;
    const auto out = NewFile::create(to, err);
    if (!out || !out->put(bytes)) return false;
    if (::chmod(to.c_str(), mode) != 0) {
        report_errno(err, to, "chmod", errno);
        return false;
    }
    return out->finish();
}

// Carries the entries of directory `from` (all but those in skip) into
// directory `to`: files as hard links (copies where a link is refused),
// directories entry by entry, symbolic links and FIFOs made anew.
bool carry(const std::string& from, const std::string& to,
           const std::set<std::string, std::less<>>* skip, std::ostream& err) {
    DIR* dir = ::opendir(from.c_str());
    if (dir == nullptr) {
        report_errno(err, from, "opendir", errno);
        return false;
    }
    bool ok = true;
    for (;;) {
        errno = 0;
        const dirent* ent = ::readdir(dir);
        if (ent == nullptr) {
            if (errno != 0) {
                report_errno(err, from, "readdir", errno);
                ok = false;
            }
            break;
        }
        const std::string_view name = ent->d_name;
        if (name == "." || name == ".." || (skip != nullptr && skip->count(name) != 0)) continue;
        const std::string src = join_path(from, name);
        const std::string dst = join_path(to, name);
        struct stat st {};
        if (::lstat(src.c_str(), &st) != 0) {
            report_errno(err, src, "lstat", errno);
            ok = false;
            break;
        }
        const mode_t mode = st.st_mode & 07777;
        if (S_ISREG(st.st_mode)) {
            if (::link(src.c_str(), dst.c_str()) != 0) {
                const int e = errno;
                if (e != EPERM && e != EXDEV && e != EMLINK && e != EACCES) {
                    report_errno(err, dst, "link", e);
                    ok = false;
                } else {
                    ok = copy_file(src, dst, mode, err);
                }
            }
        } else if (S_ISDIR(st.st_mode)) {
            if (::mkdir(dst.c_str(), 0700) != 0) {
                report_errno(err, dst, "mkdir", errno);
                ok = false;
            } else if (!carry(src, dst, nullptr, err) || !sync_dir(dst, err)) {
                ok = false;
            } else if (::chmod(dst.c_str(), mode) != 0) {
                report_errno(err, dst, "chmod", errno);
                ok = false;
            }
        } else if (S_ISLNK(st.st_mode)) {
            std::string where(static_cast<std::size_t>(st.st_size) + 1, '\0');
            const ssize_t n = ::readlink(src.c_str(), where.data(), where.size());
            if (n < 0 || static_cast<std::size_t>(n) >= where.size()) {
                report_errno(err, src, "readlink", n < 0 ? errno : ENAMETOOLONG);
                ok = false;
            } else if (where.resize(static_cast<std::size_t>(n));
                       ::symlink(where.c_str(), dst.c_str()) != 0) {
                report_errno(err, dst, "symlink", errno);
                ok = false;
            }
        } else if (S_ISFIFO(st.st_mode)) {
            if (::mkfifo(dst.c_str(), mode) != 0 || ::chmod(dst.c_str(), mode) != 0) {
                report_errno(err, dst, "mkfifo", errno);
                ok = false;
            }
        } else {
            err << src
                << ": cannot be kept in the new database (not a file, directory, "
                   "symbolic link or FIFO); move it away first\n";
            ok = false;
        }
        if (!ok) break;
    }
    ::closedir(dir);
    return ok;
}

}  // namespace

std::optional<Target> resolve_target(const std::string& outdir, std::ostream& err) {
    const auto unusable = [&]() {
        err << (outdir.empty() ? std::string("''") : outdir) << ": not a usable directory name\n";
        return std::nullopt;
    };
    if (outdir.empty()) return unusable();
    std::error_code ec;
    fs::path abs = fs::absolute(outdir, ec).lexically_normal();
    if (ec) return unusable();
    if (!abs.has_filename()) abs = abs.parent_path();
    if (!abs.has_filename() || abs.filename() == "..") return unusable();

    Target t;
    struct stat st {};
    if (::stat(abs.c_str(), &st) == 0) {
        if (!S_ISDIR(st.st_mode)) {
            err << outdir << ": exists and is not a directory\n";
            return std::nullopt;
        }
        char* real = ::realpath(abs.c_str(), nullptr);
        if (real == nullptr) {
            report_errno(err, outdir, "realpath", errno);
            return std::nullopt;
        }
        t.path = real;
        std::free(real);
        t.exists = true;
        t.mode = st.st_mode & 07777;
    } else if (errno == ENOENT && ::lstat(abs.c_str(), &st) != 0) {
        // The existing part of the path with its links resolved, the rest as
        // it is written.
        t.path = fs::weakly_canonical(abs, ec).string();
        if (ec) {
            report_errno(err, outdir, "realpath", ec.value());
            return std::nullopt;
        }
        t.mode = new_directory_mode();
    } else if (errno == ENOENT) {
        err << outdir << ": exists and is not a directory\n";  // a link that leads nowhere
        return std::nullopt;
    } else {
        report_errno(err, outdir, "stat", errno);
        return std::nullopt;
    }
    if (t.path == "/") return unusable();
    return t;
}

std::unique_ptr<StagedDirectory> StagedDirectory::create(const Target& target, std::ostream& err) {
    std::unique_ptr<StagedDirectory> s(new StagedDirectory(target, err));
    const fs::path where(target.path);
    s->parent_ = where.parent_path().string();
    if (!target.exists) {
        // Missing parents, outermost first.
        std::vector<fs::path> missing;
        for (fs::path p = where.parent_path(); !p.empty() && p != p.root_path();
             p = p.parent_path()) {
            struct stat st {};
            if (::stat(p.c_str(), &st) == 0) break;
            missing.push_back(p);
        }
        for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
            if (::mkdir(it->c_str(), 0777) != 0) {
                report_errno(err, it->string(), "mkdir", errno);
                return nullptr;  // the destructor removes the parents made so far
            }
            s->made_parents_.push_back(it->string());
        }
    }
    std::string templ = hidden_beside(s->parent_, target.path, "part");
    if (::mkdtemp(templ.data()) == nullptr) {
        report_errno(err, templ, "mkdtemp", errno);
        return nullptr;
    }
    s->path_ = templ;
    if (::chmod(s->path_.c_str(), target.mode) != 0) {
        report_errno(err, s->path_, "chmod", errno);
        return nullptr;
    }
    return s;
}

StagedDirectory::~StagedDirectory() {
    if (committed_) return;
    if (!path_.empty()) remove_staging();
    for (auto it = made_parents_.rbegin(); it != made_parents_.rend(); ++it) {
        if (::rmdir(it->c_str()) != 0) report_errno(err_, *it, "rmdir", errno);
    }
}

void StagedDirectory::remove_staging() {
    std::error_code ec;
    fs::remove_all(path_, ec);
    if (ec) report_errno(err_, path_, "remove", ec.value());
}

std::string StagedDirectory::file(std::string_view name) const {
    return join_path(path_, name);
}

bool StagedDirectory::commit(const std::set<std::string, std::less<>>& written) {
    if (target_.exists && !carry(target_.path, path_, &written, err_)) return false;
    if (!sync_dir(path_, err_)) return false;
    return target_.exists ? replace_existing() : put_new();
}

bool StagedDirectory::replace_existing() {
    const char* from = path_.c_str();
    const char* to = target_.path.c_str();
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_EXCHANGE) == 0) {
        // The old tree is now at the staging path.
        if (!sync_dir(parent_, err_)) {
            if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_EXCHANGE) != 0) {
                report_errno(err_, target_.path, "renameat2", errno);
                err_ << target_.path << ": holds the new database; the old one is in " << path_
                     << '\n';
                committed_ = true;  // keep both trees
            }
            return false;
        }
        committed_ = true;
        remove_staging();
        return true;
    }
    if (!flags_refused(errno)) {
        report_errno(err_, target_.path, "renameat2", errno);
        return false;
    }
    // No exchange on this file system: the old directory goes aside first.
    std::string aside = hidden_beside(parent_, target_.path, "old");
    if (::mkdtemp(aside.data()) == nullptr) {
        report_errno(err_, aside, "mkdtemp", errno);
        return false;
    }
    if (::rename(to, aside.c_str()) != 0) {
        report_errno(err_, target_.path, "rename", errno);
        ::rmdir(aside.c_str());
        return false;
    }
    // Puts the old directory back after a failure.
    const auto restore = [&]() {
        if (::rename(aside.c_str(), to) != 0) {
            report_errno(err_, aside, "rename", errno);
            err_ << target_.path << ": the old database is in " << aside << '\n';
        }
        return false;
    };
    if (::rename(from, to) != 0) {
        report_errno(err_, target_.path, "rename", errno);
        return restore();
    }
    if (!sync_dir(parent_, err_)) {
        if (::rename(to, from) != 0) {
            report_errno(err_, target_.path, "rename", errno);
            err_ << target_.path << ": holds the new database; the old one is in " << aside << '\n';
            committed_ = true;  // keep both trees
            return false;
        }
        return restore();
    }
    committed_ = true;
    path_ = aside;
    remove_staging();
    return true;
}

bool StagedDirectory::put_new() {
    const char* from = path_.c_str();
    const char* to = target_.path.c_str();
    int rc = ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
    if (rc != 0 && flags_refused(errno)) rc = ::rename(from, to);
    if (rc != 0) {
        report_errno(err_, target_.path, "rename", errno);
        return false;
    }
    if (!sync_dir(parent_, err_)) {
        if (::rename(to, from) != 0) {
            report_errno(err_, target_.path, "rename", errno);
            committed_ = true;  // the new database stays: nothing is left to remove
        }
        return false;
    }
    committed_ = true;
    return true;
}

}  // namespace corvane::builder
