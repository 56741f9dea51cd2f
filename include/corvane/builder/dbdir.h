// Replacing a database directory all at once.
//
// A new database is written into a fresh staging directory beside the target
// (".NAME.partXXXXXX" in the target's parent directory), and every file is
// flushed to disk. Only then does it take the target's place:
//   - an existing target: the files, directories, symbolic links and FIFOs in
//     it that the builder does not write (a user's notes, a location file of
//     their own) are linked (or, where a link is refused, copied) into the
//     staging directory; the two directories then trade places in one atomic
//     rename (renameat2 with RENAME_EXCHANGE), the parent directory is flushed
//     and the old tree removed. Where the file system refuses the exchange,
//     the old directory is renamed aside (".NAME.oldXXXXXX"), the new one
//     renamed to the target and the old one renamed back if that fails: the
//     target is then briefly missing instead of never.
//   - a new target: missing parent directories are created, the staging
//     directory is renamed to the target (never over a directory that
//     appeared meanwhile) and the parent flushed.
// Until the rename, nothing at the target changes; on any failure the staging
// directory and the parents created for it are removed again, and the failing
// call is reported as "PATH: CALL: reason". A target that is a symbolic link
// to a directory stays a link; the directory it leads to is replaced.
#pragma once

#include <sys/types.h>

#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::builder {

// The directory a build replaces.
struct Target {
    std::string path;     // absolute, symbolic links resolved as far as it exists
    bool exists = false;  // an existing directory
    mode_t mode = 0;      // its permission bits, or those a new directory gets
};

// Where outdir leads; nothing after its message when it is no usable
// directory name or names something that is not a directory.
std::optional<Target> resolve_target(const std::string& outdir, std::ostream& err);

class StagedDirectory {
  public:
    // Creates the staging directory for target (and the target's missing
    // parents); nullptr after its message.
    static std::unique_ptr<StagedDirectory> create(const Target& target, std::ostream& err);
    // Removes the staging directory and the parents created for it, unless
    // committed.
    ~StagedDirectory();
    StagedDirectory(const StagedDirectory&) = delete;
    StagedDirectory& operator=(const StagedDirectory&) = delete;

    const std::string& path() const { return path_; }
    std::string file(std::string_view name) const;

    // Puts the staging directory in the target's place, keeping the old
    // target's entries other than `written`. False after its message, the
    // target as it was.
    bool commit(const std::set<std::string, std::less<>>& written);

  private:
    StagedDirectory(Target target, std::ostream& err) : target_(std::move(target)), err_(err) {}
    bool replace_existing();
    bool put_new();
    void remove_staging();

    Target target_;
    std::ostream& err_;
    std::string path_;
    std::string parent_;
    std::vector<std::string> made_parents_;  // created for a new target, outermost first
    bool committed_ = false;
};

}  // namespace corvane::builder
