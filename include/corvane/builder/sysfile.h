// The builder's file calls, each one checked: a card file read as a stream,
// a small file read whole, and a new file written through a buffer and
// flushed to disk. Every failure is reported as "PATH: CALL: reason".
#pragma once

#include <corvane/builder/cardfile.h>
#include <corvane/builder/output.h>

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>

namespace corvane::builder {

// A file read as a stream of bytes; read() reports its own failures.
class FileSource : public ByteSource {
  public:
    // Opens path for reading (only a regular file); nullptr after its message.
    static std::unique_ptr<FileSource> open(const std::string& path, std::ostream& err);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    std::ptrdiff_t read(char* buf, std::size_t n) override;

  private:
    FileSource(int fd, std::string path, std::ostream& err)
        : fd_(fd), path_(std::move(path)), err_(err) {}
    int fd_;
    std::string path_;
    std::ostream& err_;
};

// The whole of the regular file path into out. False after its message.
bool read_file(const std::string& path, std::string& out, std::ostream& err);

// A new file, written through a buffer. Nothing is known to be on disk until
// finish() has returned true.
class NewFile : public OutFile {
  public:
    // Creates path, which must not exist, with the permissions a plain create
    // gives; nullptr after its message.
    static std::unique_ptr<NewFile> create(const std::string& path, std::ostream& err);
    ~NewFile() override;
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    bool put(std::string_view bytes) override;
    // Writes what is left, flushes the file to disk and closes it.
    bool finish();

  private:
    NewFile(int fd, std::string path, std::ostream& err);
    bool drain();
    bool write_all(std::string_view bytes);
    bool failed(const char* call);

    int fd_;
    std::string path_;
    std::ostream& err_;
    std::string buf_;
    bool ok_ = true;
};

}  // namespace corvane::builder
