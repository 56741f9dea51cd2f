// krxbuild under failing file calls: every call it makes on the test's files
// (the card file, the code tables, the new database, the old one) fails in
// turn, through an LD_PRELOAD shim built here from failshim.c. Whatever
// fails, the database directory afterwards is exactly the old one (and the
// status 1, with a message) or exactly the new one (status 0), never a mix.
#include <cerrno>

#include "support/support.h"

namespace {

using namespace cvtest;

// A directory tree: each entry by its path inside the tree, with its kind
// ('f' file, 'd' directory, 'l' link, 'p' FIFO), permission bits and contents.
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
        t[fs::relative(p, root).string()] = e.is_symlink()
                                                ? Node{'l', 0, fs::read_symlink(p).string()}
                                            : e.is_directory() ? Node{'d', mode_of(p), ""}
                                            : e.is_fifo()      ? Node{'p', mode_of(p), ""}
                                                          : Node{'f', mode_of(p), read_file(p)};
    }
    return t;
}

void restore(const fs::path& root, const Tree& t) {
    fs::remove_all(root);
    fs::create_directory(root);
    for (const auto& [name, node] : t) {  // a directory comes before what it holds
        const fs::path p = root / name;
        if (node.kind == 'l') fs::create_symlink(node.data, p);
        if (node.kind == 'd') fs::create_directory(p);
        if (node.kind == 'p') mkfifo(p.c_str(), node.mode);
        if (node.kind == 'f') write_file(p, node.data);
        if (node.kind != 'l') chmod(p.c_str(), node.mode);
    }
}

// A program that carries its own copies of the file calls (one linked
// statically) never calls the shim's.
constexpr const char* kNotInUse =
    "no fault injection: the shim saw almost none of krxbuild's file calls, so this build "
    "does not call through the shared C library (a statically linked program?)";

class FaultInjection : public ::testing::Test {
  protected:
    void SetUp() override {
        {
            // Where flushing to disk costs nothing (a memory file system), when
            // there is one: these builds flush some thirty times each.
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

    // What is beside the database and not named in the messages: leftovers.
    // Whatever is beside it is removed for the next run.
    Strings leftovers(const std::string& err) const {
        Strings out;
        for (const auto& name : names_in(tmp_->path())) {
            if (name == "in" || name == "db" || name == "calls.log") continue;
            if (err.find(name) == std::string::npos) out.push_back(name);
            fs::remove_all(tmp_->path() / name);
        }
        return out;
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
    const auto names = calls("new.crd", db);
    const Tree new_tree = snapshot(db);
    if (names.size() < 40) GTEST_SKIP() << kNotInUse;
    ASSERT_NE(old_tree, new_tree);
    // Each file is flushed to disk after its last write, and the new
    // directory before it trades places with the old one.
    std::string sequence = " ";
    for (const auto& call : names) sequence += call + " ";
    EXPECT_EQ(sequence.find(" write close "), std::string::npos) << sequence;
    EXPECT_NE(sequence.find(" open fsync close renameat2 "), std::string::npos) << sequence;

    // A full disk fails only the calls that take room. A file system that
    // refuses to exchange two directories (EINVAL from renameat2) has the old
    // one renamed aside instead, and the build succeeds.
    const std::string room = " open write fsync close mkdir mkdtemp link ";
    int failed = 0;
    for (std::size_t n = 1; n <= names.size(); ++n) {
        const std::string& call = names[n - 1];
        for (const int err : {EIO, ENOSPC, EINVAL}) {
            if (err == ENOSPC && room.find(" " + call + " ") == std::string::npos) continue;
            if (err == EINVAL && call != "renameat2") continue;
            restore(db, old_tree);
            const auto r = build("new.crd", db, static_cast<long>(n), err);
            const std::string what = "call " + std::to_string(n) + " (" + call + ") failing with " +
                                     std::to_string(err) + ": " + r.err;
            ASSERT_TRUE(r.status == 0 || (r.status == 1 && err != EINVAL)) << what;
            failed += r.status;
            EXPECT_EQ(snapshot(db), r.status == 0 ? new_tree : old_tree) << what;
            EXPECT_TRUE(r.status == 0 || !r.err.empty()) << what;  // a failure says why
            EXPECT_EQ(leftovers(r.err), Strings{}) << what;
        }
    }
    EXPECT_GT(failed, 0);
}

TEST_F(FaultInjection, ANewDatabaseIsMadeWholeOrNotAtAll) {
    // Its directory and a missing parent: on failure neither is left.
    const fs::path db = tmp_->path() / "db" / "new";
    const auto names = calls("new.crd", db);
    const Tree new_tree = snapshot(db);
    if (names.size() < 40) GTEST_SKIP() << kNotInUse;
    for (std::size_t n = 1; n <= names.size(); ++n) {
        fs::remove_all(tmp_->path() / "db");
        const auto r = build("new.crd", db, static_cast<long>(n), EIO);
        const std::string what = "call " + std::to_string(n) + " (" + names[n - 1] + "): " + r.err;
        ASSERT_TRUE(r.status == 0 || r.status == 1) << what;
        EXPECT_EQ(snapshot(db), r.status == 0 ? new_tree : Tree{}) << what;
        EXPECT_EQ(fs::exists(tmp_->path() / "db"), r.status == 0) << what;
        EXPECT_TRUE(r.status == 0 || !r.err.empty()) << what;
        EXPECT_EQ(leftovers(r.err), Strings{}) << what;
    }
}

}  // namespace
