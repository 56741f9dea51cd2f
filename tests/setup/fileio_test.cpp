// The durable replacement steps. What a subfile save makes of them (modes,
// links, targets that cannot be replaced) is checked with cv_writemap.

#include <string>
#include <vector>

#include "support/support.h"

using cvtest::mode_of;
using cvtest::names_in;
using cvtest::read_file;
using cvtest::TempDir;
using cvtest::write_file;

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
            if (stage >= kWritten) {
                ASSERT_TRUE(temp.write("new", 3));
            }
            // Renaming before the file is complete on disk is refused.
            EXPECT_FALSE(temp.rename_to(target));
            if (stage >= kClosed) {
                ASSERT_TRUE(temp.sync_and_close());
            }
            if (stage >= kRenamed) {
                ASSERT_TRUE(temp.rename_to(target));
            }
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
    const struct {
        const char* path;
        const char* dir;
    } cases[] = {
        {"a.sub", "."}, {"/a.sub", "/"}, {"d/a.sub", "d"}, {"/x/y/a.sub", "/x/y"}, {"x/", "x"},
    };
    for (const auto& c : cases) EXPECT_EQ(corvane::directory_of(c.path), c.dir) << c.path;
}
