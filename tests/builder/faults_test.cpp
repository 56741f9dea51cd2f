// krxbuild under failing file calls: every call it makes on the test's files
// fails in turn, through an LD_PRELOAD shim built here from failshim.c.
#include <cerrno>

#include "support/support.h"

namespace {

using namespace cvtest;

// Each entry by its path: kind ('f' file, 'd' directory, 'l' link), mode, contents.
struct Node {
    char kind;
    mode_t mode;
    std::string data;
    bool operator==(const Node&) const = default;
};
using Tree = std::map<std::string, Node>;

Tree snapshot(const fs::path& root) {
    Tree t;
    if (!fs::exists(root)) return t;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        const auto& p = e.path();
        t[fs::relative(p, root).string()] =
            e.is_symlink()     ? Node{'l', 0, fs::read_symlink(p).string()}
            : e.is_directory() ? Node{'d', mode_of(p), ""}
                               : Node{'f', mode_of(p), read_file(p)};
    }
    return t;
}

constexpr const char* kNotInUse =
    "no fault injection: the shim saw almost none of krxbuild's file calls, so this build "
    "does not call through the shared C library (a statically linked program?)";

class FaultInjection : public ::testing::Test {
  protected:
    void SetUp() override {
        {  // flushing to disk costs nothing on a memory file system
            const bool shm = access("/dev/shm", W_OK) == 0 && fs::is_directory("/dev/shm");
            ScopedEnv where("TMPDIR", shm ? std::optional<std::string>("/dev/shm") : std::nullopt);
            tmp_ = std::make_unique<TempDir>();
        }
        in_ = tmp_->path() / "in";
        shim_ = shim_dir_ / "failshim.so";  // not where programs may be refused exec
        const fs::path sample = fs::path(CORVANE_SOURCE_DIR) / "sample";
        const std::string src = std::string(CORVANE_SOURCE_DIR) + "/tests/builder/failshim.c";
        const auto cc = run_program(
            "/bin/sh", {"-c", "cc -shared -fPIC -O1 -o '" + shim_ + "' '" + src + "' -ldl"});
        if (cc.status != 0) {
            GTEST_SKIP() << "no fault injection: the shim cannot be built with cc: " << cc.err;
        }
        fs::create_directories(in_);
        for (const char* t : {"codens.tbl", "picodes.tbl", "stdcodes.tbl", "mineral.tbl"}) {
            fs::copy_file(sample / t, in_ / t);
        }
        // The old database: the sample's first four records; the new: all nine.
        const std::string all = read_file(sample / "phases.crd");
        std::size_t end = 0;
        for (int k = 0; k < 4; ++k) end = all.find("K\n", end) + 2;
        write_file(in_ / "old.crd", all.substr(0, end));
        write_file(in_ / "new.crd", all);
    }

    // krxbuild CARDS OUTDIR under the shim; call `at` fails with err (0: none).
    RunResult build(const std::string& cards, const fs::path& out, long at, int err,
                    const std::string& log = "") const {
        RunOptions o{{{"LD_PRELOAD", shim_},
                      {"ASAN_OPTIONS", "verify_asan_link_order=0"},
                      {"FAILSHIM_DIR", tmp_->bare()},
                      {"FAILSHIM_AT", std::to_string(at)},
                      {"FAILSHIM_ERRNO", std::to_string(err)}},
                     "",
                     -1};
        if (!log.empty()) o.env["FAILSHIM_LOG"] = log;
        return run_program(tool_path("krxbuild"), {(in_ / cards).string(), out.string()}, o);
    }

    // The calls of a build that fails nowhere, by name, in order.
    Strings calls(const std::string& cards, const fs::path& out) const {
        const std::string log = *tmp_ / "calls.log";
        fs::remove(log);
        const auto r = build(cards, out, 0, 0, log);
        EXPECT_EQ(r.status, 0) << r.err;
        Strings names;
        for (const auto& line : lines(read_file(log)))
            names.push_back(line.substr(line.find(' ') + 1));
        return names;
    }

    // What is beside the database and not named in the messages (removed).
    Strings leftovers(const std::string& err) const {
        Strings out;
        for (const auto& name : names_in(tmp_->path())) {
            if (name == "in" || name == "db" || name == "calls.log") continue;
            if (err.find(name) == std::string::npos) out.push_back(name);
            fs::remove_all(tmp_->path() / name);
        }
        return out;
    }

    // Fails each call of a build of new.crd into db in turn, with each of errs
    // that applies (ENOSPC to calls that take room, EINVAL to renameat2);
    // afterwards db is `before` (status 1, with a message) or `after`.
    int sweep(const fs::path& db, const Strings& names, const Tree& before, const Tree& after,
              std::initializer_list<int> errs) const {
        const std::string room = " open write fsync close mkdir mkdtemp link ";
        int failed = 0;
        for (std::size_t n = 1; n <= names.size(); ++n) {
            const std::string& call = names[n - 1];
            for (const int err : errs) {
                if (err == ENOSPC && room.find(" " + call + " ") == std::string::npos) continue;
                if (err == EINVAL && call != "renameat2") continue;
                fs::remove_all(tmp_->path() / "db");
                if (!before.empty()) fs::copy(in_ / "old", db, fs::copy_options::recursive);
                const auto r = build("new.crd", db, static_cast<long>(n), err);
                const std::string what = "call " + std::to_string(n) + " (" + call +
                                         ") failing with " + std::to_string(err) + ": " + r.err;
                // A file system that cannot exchange two directories has the old one
                // renamed aside instead: the build succeeds.
                EXPECT_TRUE(r.status == 0 || (r.status == 1 && err != EINVAL)) << what;
                failed += r.status;
                EXPECT_EQ(snapshot(db), r.status == 0 ? after : before) << what;
                if (before.empty()) {
                    EXPECT_EQ(fs::exists(tmp_->path() / "db"), r.status == 0);
                }
                EXPECT_TRUE(r.status == 0 || !r.err.empty()) << what;
                EXPECT_EQ(leftovers(r.err), Strings{}) << what;
            }
        }
        return failed;
    }

    TempDir shim_dir_;
    std::unique_ptr<TempDir> tmp_;
    fs::path in_;
    std::string shim_;
};

TEST_F(FaultInjection, AnExistingDatabaseIsExactlyTheOldOrTheNew) {
    const fs::path db = tmp_->path() / "db";
    ASSERT_EQ(build("old.crd", db, 0, 0).status, 0);
    write_file(db / "notes.txt", "mine");
    fs::create_directory(db / "sub");
    write_file(db / "sub" / "a.txt", "a");
    const Tree old_tree = snapshot(db);
    fs::copy(db, in_ / "old", fs::copy_options::recursive);
    const auto names = calls("new.crd", db);
    if (names.size() < 40) GTEST_SKIP() << kNotInUse;
    ASSERT_NE(old_tree, snapshot(db));
    // Each file is flushed to disk after its last write, and the new
    // directory before it trades places with the old one.
    std::string sequence = " ";
    for (const auto& call : names) sequence += call + " ";
    EXPECT_EQ(sequence.find(" write close "), std::string::npos) << sequence;
    EXPECT_NE(sequence.find(" open fsync close renameat2 "), std::string::npos) << sequence;
    EXPECT_GT(sweep(db, names, old_tree, snapshot(db), {EIO, ENOSPC, EINVAL}), 0);
}

TEST_F(FaultInjection, ANewDatabaseIsMadeWholeOrNotAtAll) {
    // Its directory and a missing parent: on failure neither is left.
    const fs::path db = tmp_->path() / "db" / "new";
    const auto names = calls("new.crd", db);
    if (names.size() < 40) GTEST_SKIP() << kNotInUse;
    EXPECT_GT(sweep(db, names, Tree{}, snapshot(db), {EIO}), 0);
}

}  // namespace
