#include <corvane/builder/dbdir.h>
#include <corvane/builder/sysfile.h>

#include "support/support.h"

namespace {

using namespace cvtest;
using corvane::builder::NewFile;
using corvane::builder::StagedDirectory;

// Stages the files given (name and contents) and puts them in place of dir.
std::string replace(const fs::path& dir, const std::map<std::string, std::string>& files) {
    std::ostringstream err;
    const auto target = corvane::builder::resolve_target(dir.string(), err);
    if (!target) return err.str();
    auto stage = StagedDirectory::create(*target, err);
    std::set<std::string, std::less<>> written;
    for (const auto& [name, bytes] : files) {
        const auto f = NewFile::create(stage->file(name), err);
        EXPECT_TRUE(f && f->put(bytes) && f->finish()) << err.str();
        written.insert(name);
    }
    EXPECT_TRUE(stage->commit(written)) << err.str();
    return err.str();
}

TEST(DatabaseDirectory, ANewDirectoryAndItsParentsAreMadeWithTheUsualPermissions) {
    TempDir tmp;
    const mode_t mask = umask(027);
    const fs::path db = tmp.path() / "a" / "b" / "db";
    EXPECT_EQ(replace(db, {{"kelpa.ind", "1"}}), "");
    umask(mask);
    EXPECT_EQ(names_in(db), Strings{"kelpa.ind"});
    EXPECT_EQ(read_file(db / "kelpa.ind"), "1");
    EXPECT_EQ(mode_of(db), 0750u);
    EXPECT_EQ(mode_of(db / "kelpa.ind"), 0640u);
    EXPECT_EQ(names_in(tmp.path() / "a" / "b"), Strings{"db"});
}

TEST(DatabaseDirectory, AnExistingDirectoryKeepsWhatTheBuilderDoesNotWrite) {
    TempDir tmp;
    const fs::path db = tmp.path() / "db";
    fs::create_directories(db / "notes");
    write_file(db / "kelpa.ind", "old");
    write_file(db / "mine.loc", "my location");
    write_file(db / "notes" / "a.txt", "a");
    fs::create_symlink("mine.loc", db / "link");
    ASSERT_EQ(mkfifo((db / "fifo").c_str(), 0600), 0);
    chmod(db.c_str(), 0751);
    const auto inode = [](const fs::path& p) {
        struct stat st {};
        stat(p.c_str(), &st);
        return std::pair(st.st_ino, st.st_nlink);
    };
    const auto before = inode(db / "mine.loc");
    // Reached through a link to it, the directory is replaced and the link kept.
    fs::create_directory_symlink("db", tmp.path() / "current");

    EXPECT_EQ(replace(tmp.path() / "current", {{"kelpa.ind", "new"}, {"name.lib", "n"}}), "");
    EXPECT_TRUE(fs::is_symlink(tmp.path() / "current"));
    EXPECT_EQ(names_in(db),
              (Strings{"fifo", "kelpa.ind", "link", "mine.loc", "name.lib", "notes"}));
    EXPECT_EQ(read_file(db / "kelpa.ind"), "new");
    EXPECT_EQ(read_file(db / "notes" / "a.txt"), "a");
    EXPECT_EQ(fs::read_symlink(db / "link"), "mine.loc");
    EXPECT_TRUE(fs::is_fifo(db / "fifo"));
    EXPECT_EQ(mode_of(db), 0751u);
    EXPECT_EQ(inode(db / "mine.loc"), before);                    // the same file, not a copy
    EXPECT_EQ(names_in(tmp.path()), (Strings{"current", "db"}));  // nothing left beside it
}

TEST(DatabaseDirectory, UnusableTargetsAreRefusedBeforeAnythingIsMade) {
    TempDir tmp;
    write_file(tmp / "file", "a file");
    fs::create_symlink("nowhere", tmp.path() / "dangling");
    const std::string crd = std::string(CORVANE_SOURCE_DIR) + "/sample/phases.crd";
    const std::pair<std::string, std::string> cases[] = {
        {"", "'': not a usable directory name\n"},
        {"/", "/: not a usable directory name\n"},
        {tmp / "file", tmp / "file" + ": exists and is not a directory\n"},
        {tmp / "dangling", tmp / "dangling" + ": exists and is not a directory\n"},
        {tmp / "a\nb", tmp / "a\nb" + ": a line end in the path cannot stand in tarnloc.txt\n"},
    };
    for (const auto& [outdir, message] : cases) {
        std::ostringstream err;
        EXPECT_EQ(corvane::builder::krxbuild(crd, outdir, "", err), 1);
        EXPECT_EQ(err.str(), message);
    }
    EXPECT_EQ(read_file(tmp / "file"), "a file");
    EXPECT_EQ(names_in(tmp.path()), (Strings{"dangling", "file"}));
}

}  // namespace
