// Test helpers: a small database in a temporary directory, subfile bytes laid
// out by hand, environment variables set for one test, and a runner that starts
// a built tool and captures its standard output, standard error and exit status.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace cvtest {

namespace fs = std::filesystem;

// ---- files -------------------------------------------------------------------

inline void write_file(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

inline std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The permission bits of a file.
inline mode_t mode_of(const fs::path& path) {
    struct stat st {};
    stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

// The names in a directory, sorted.
inline std::vector<std::string> names_in(const fs::path& dir) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir)) out.push_back(e.path().filename());
    std::sort(out.begin(), out.end());
    return out;
}

// A fresh directory under $TMPDIR (or /tmp), removed with everything in it.
class TempDir {
  public:
    TempDir() {
        const char* base = std::getenv("TMPDIR");
        std::string templ =
            std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/corvane-test-XXXXXX";
        if (mkdtemp(templ.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = templ;
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const fs::path& path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

  private:
    fs::path path_;
};

// ---- subfiles ----------------------------------------------------------------

// A 100-character history record: text padded with blanks.
inline std::string record(const std::string& text) {
    std::string r = text.substr(0, 100);
    r.resize(100, ' ');
    return r;
}

// The bytes of a subfile in the host's byte order: n, the words given (not
// necessarily (n+31)/32 of them, so damaged files can be made too), the record
// count and the records.
inline std::string subfile_bytes(std::int32_t n, const std::vector<std::uint32_t>& words,
                                 const std::vector<std::string>& records) {
    std::string out(reinterpret_cast<const char*>(&n), 4);
    for (std::uint32_t w : words) out.append(reinterpret_cast<const char*>(&w), 4);
    const auto k = static_cast<std::int32_t>(records.size());
    out.append(reinterpret_cast<const char*>(&k), 4);
    for (const auto& r : records) out += record(r);
    return out;
}

// ---- environment ---------------------------------------------------------------

// Sets (or, with nullopt, unsets) an environment variable for the life of the
// object and restores the former value afterwards.
class ScopedEnv {
  public:
    ScopedEnv(std::string name, const std::optional<std::string>& value) : name_(std::move(name)) {
        if (const char* old = std::getenv(name_.c_str())) old_ = old;
        set(value);
    }
    ~ScopedEnv() { set(old_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    void set(const std::optional<std::string>& value) const {
        value ? setenv(name_.c_str(), value->c_str(), 1) : unsetenv(name_.c_str());
    }
    std::string name_;
    std::optional<std::string> old_;
};

// ---- running a tool ------------------------------------------------------------

struct RunOptions {
    // Variables to set (a value) or remove (nullopt) in the child's environment.
    std::map<std::string, std::optional<std::string>> env;
    // Working directory of the child; empty keeps the parent's.
    std::string cwd;
    // When not negative: the child's file-size limit in bytes, with SIGXFSZ
    // ignored, so writes past it fail with EFBIG.
    long long file_size_limit = -1;
};

struct RunResult {
    std::string out;  // standard output
    std::string err;  // standard error
    int status = -1;  // exit status, or -1 when the child did not exit normally
    int signal = 0;   // the signal that ended the child, if any
};

// The path of a built tool.
inline std::string tool_path(const std::string& name) {
    return std::string(CORVANE_BIN_DIR) + "/" + name;
}

// Runs the program with the arguments given, standard input from /dev/null.
// Its output comes through pipes: a file-size limit does not cut them short.
inline RunResult run_program(const std::string& program, const std::vector<std::string>& args,
                             const RunOptions& options = {}) {
    std::vector<std::string> env_strings;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry(*e);
        if (options.env.count(entry.substr(0, entry.find('='))) == 0) env_strings.push_back(entry);
    }
    for (const auto& [name, value] : options.env) {
        if (value) env_strings.push_back(name + "=" + *value);
    }
    std::vector<char*> envp;
    for (auto& s : env_strings) envp.push_back(s.data());
    envp.push_back(nullptr);
    std::vector<std::string> argv_strings{program};
    argv_strings.insert(argv_strings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& s : argv_strings) argv.push_back(s.data());
    argv.push_back(nullptr);

    int out_pipe[2];
    int err_pipe[2];
    if (pipe(out_pipe) != 0 || pipe(err_pipe) != 0) throw std::runtime_error("pipe failed");

    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        // Child: only async-signal-safe calls from here to exec.
        dup2(out_pipe[1], 1);
        dup2(err_pipe[1], 2);
        for (int fd : {out_pipe[0], out_pipe[1], err_pipe[0], err_pipe[1]}) close(fd);
        const int devnull = open("/dev/null", O_RDONLY);
        if (devnull >= 0) dup2(devnull, 0);
        if (!options.cwd.empty() && chdir(options.cwd.c_str()) != 0) _exit(127);
        if (options.file_size_limit >= 0) {
            signal(SIGXFSZ, SIG_IGN);
            const auto limit = static_cast<rlim_t>(options.file_size_limit);
            const struct rlimit both = {limit, limit};
            setrlimit(RLIMIT_FSIZE, &both);
        }
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    close(out_pipe[1]);
    close(err_pipe[1]);

    RunResult result;
    struct pollfd fds[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&result.out, &result.err};
    int open_count = 2;
    while (open_count > 0) {
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            char buf[4096];
            const ssize_t got = read(fds[i].fd, buf, sizeof buf);
            if (got > 0) {
                sinks[i]->append(buf, static_cast<std::size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open_count;
            }
        }
    }
    int wstatus = 0;
    while (waitpid(pid, &wstatus, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(wstatus)) result.status = WEXITSTATUS(wstatus);
    if (WIFSIGNALED(wstatus)) result.signal = WTERMSIG(wstatus);
    return result;
}

// ---- a database ------------------------------------------------------------------

// A minimal database in a temporary directory: line1/ holds pdsize.txt
// ("<entries> 0 0 0 0") and the four KRX1 files (empty unless put()), line2/
// and line3/ are empty, tarn.loc names the three; scratch files go in work/.
class TestDb {
  public:
    explicit TestDb(std::int32_t entries) {
        for (const auto& dir : {line1(), line2(), line3(), work()}) fs::create_directory(dir);
        write_file(line1() / "pdsize.txt", std::to_string(entries) + " 0 0 0 0\n");
        for (const char* name : {"kelpa.ind", "name.lib", "di.lib", "ref.lib"}) put(name, "");
        write_location(line1().string(), line2().string(), line3().string());
    }

    fs::path root() const { return tmp_.path(); }
    fs::path line1() const { return root() / "line1"; }
    fs::path line2() const { return root() / "line2"; }
    fs::path line3() const { return root() / "line3"; }
    fs::path work() const { return root() / "work"; }
    fs::path location() const { return root() / "tarn.loc"; }
    std::string file(const std::string& name) const { return (work() / name).string(); }

    void write_location(const std::string& l1, const std::string& l2, const std::string& l3) {
        write_file(location(), l1 + "\n" + l2 + "\n" + l3 + "\n");
    }
    // Writes or removes a database file (e.g. "kelpa.ind") in line1 or line2.
    void put(const std::string& name, const std::string& bytes, int line = 1) {
        write_file((line == 2 ? line2() : line1()) / name, bytes);
    }
    void remove(const std::string& name, int line = 1) {
        fs::remove((line == 2 ? line2() : line1()) / name);
    }
    void put_krx2(const std::string& bytes) { put("krx2.dat", bytes); }

    // Runs a built tool with LOGIC_LOC naming this database's location file
    // (unless the options set LOGIC_LOC themselves), in the scratch directory.
    RunResult run(const std::string& tool, const std::vector<std::string>& args,
                  RunOptions options = {}) const {
        options.env.try_emplace("LOGIC_LOC", location().string());
        if (options.cwd.empty()) options.cwd = work().string();
        return run_program(tool_path(tool), args, options);
    }
    // Options under which no location file is found, so start-up fails.
    RunOptions unlocated() const {
        RunOptions o;
        o.env["LOGIC_LOC"] = file("missing.loc");
        o.env["HOME"] = work().string();
        return o;
    }

  private:
    TempDir tmp_;
};

// Splits a text into its lines, without the line ends.
inline std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

}  // namespace cvtest
