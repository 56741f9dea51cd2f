// File helpers shared by every reader and writer of the library: the
// regular-file open, joined names, the permission bits of new files, and the
// steps that replace a file durably (a temporary file beside the target,
// written, flushed to disk, renamed over the target, the directory synced).
#pragma once

#include <sys/types.h>  // mode_t

#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace corvane {

// Opens name for reading (mode "r" or "rb") when it names a regular file.
// A directory opens for reading on this platform; it is passed over here like a
// name that does not open, so candidate lists go on to their next name. A FIFO
// or device is passed over at once, without waiting for a writer.
std::FILE* open_regular(const std::string& name, const char* mode);

// A directory and a file name joined by one "/" (none added when the directory
// already ends in "/"). Names are kept whole, whatever their length.
std::string join_path(std::string_view dir, std::string_view name);

// The directory part of a path: "." for a bare name, "/" for a name in the root.
std::string directory_of(const std::string& path);

// The permission bits an ordinary create gives a new file (0666) or a new
// directory (0777), less the process's umask.
mode_t new_file_mode();
mode_t new_directory_mode();

// The file a replacement of path must write: a symbolic link is followed, so
// that the link stays in place and the file it leads to gets the new contents.
std::string replacement_target(const std::string& path);

// The permission bits a replacement of target gets: those of the existing file,
// or new_file_mode() when there is none. Nothing (no replacement) when target
// exists but is not a regular file we may write, or cannot be examined.
std::optional<mode_t> replacement_mode(const std::string& target);

// Makes the entries of a directory durable after a rename into it. False when
// that failed, with errno and `failed_call` ("open", "fsync" or "close") telling
// why; a caller that cannot undo the rename may ignore it.
bool sync_directory(const std::string& dir, const char** failed_call = nullptr);

// A new file under a temporary name in a directory, to be written, flushed to
// disk and renamed over its final name, so that a reader of that name sees the
// old contents or the new, never a part. A file that is not renamed into place
// is removed when the object goes.
class TempFile {
  public:
    // Creates a new file ".PREFIX-XXXXXX" in dir, private while it is made,
    // then with the permission bits `mode`. is_open() tells whether it worked.
    TempFile(const std::string& dir, std::string_view prefix, mode_t mode);
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    bool is_open() const { return file_ != nullptr; }
    const std::string& path() const { return path_; }

    // Appends a block and hands it to the system at once, so that an error the
    // system reports only on flushing is charged to this block.
    bool write(const void* data, std::size_t bytes);

    // Flushes the contents to disk and closes the file.
    bool sync_and_close();

    // Renames the file over target once sync_and_close() has succeeded; from
    // then on it is no longer removed.
    // The directory is not synced: call sync_directory once all renames are done.
    bool rename_to(const std::string& target);

  private:
    std::FILE* file_ = nullptr;
    std::string path_;       // empty once renamed or when creation failed
    bool complete_ = false;  // synced and closed without an error
};

}  // namespace corvane
