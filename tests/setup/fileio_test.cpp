// The durable replacement steps. What a subfile save makes of them (modes,
// links, targets that cannot be replaced) is checked with cv_writemap.

#include "support/support.h"

using namespace cvtest;

TEST(TempFile, OnlyARenamedFileStays) {
    // How far the writer gets before the object goes; whatever the stage, the
    // directory holds only the target, with its old contents unless renamed.
    enum Stage { kCreated, kWritten, kClosed, kRenamed };
    for (Stage stage : {kCreated, kWritten, kClosed, kRenamed}) {
        SCOPED_TRACE(stage);
        TempDir dir;
        const std::string target = dir / "target";
        write_file(target, "old contents");
        chmod(target.c_str(), 0600);
        {
            corvane::TempFile temp(dir.path().string(), "part", 0640);
            ASSERT_TRUE(temp.is_open());
            ASSERT_TRUE(stage < kWritten || temp.write("new", 3));
            // Renaming before the file is complete on disk is refused.
            EXPECT_FALSE(temp.rename_to(target));
            ASSERT_TRUE(stage < kClosed || temp.sync_and_close());
            ASSERT_TRUE(stage < kRenamed || temp.rename_to(target));
        }
        EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"target"});
        EXPECT_EQ(read_file(target), stage == kRenamed ? "new" : "old contents");
        EXPECT_EQ(mode_of(target), stage == kRenamed ? 0640u : 0600u);
    }

    TempDir dir;
    corvane::TempFile nowhere(dir / "missing", "part", 0644);
    EXPECT_FALSE(nowhere.is_open());
    EXPECT_FALSE(nowhere.write("x", 1));
}

TEST(FilePaths, DirectoryOf) {
    const std::pair<const char*, const char*> cases[] = {
        {"a.sub", "."}, {"/a.sub", "/"}, {"d/a.sub", "d"}, {"/x/y/a.sub", "/x/y"}, {"x/", "x"}};
    for (const auto& [path, dir] : cases) EXPECT_EQ(corvane::directory_of(path), dir) << path;
}
