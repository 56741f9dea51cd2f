// The library's state object: where its messages go.
#include <corvane/hits/subfile.h>
#include <corvane/setup/library.h>
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

TEST(Library, MessagesGoToTheStreamTheCallerSets) {
    auto lib = std::make_unique<corvane::Library>();
    std::ostringstream sink;
    lib->set_messages(sink);
    testing::internal::CaptureStderr();
    EXPECT_EQ(corvane::cvl_readbitmap(*lib, "corvane-no-such-dir/x.sub", 4), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    // Both lines of the failure, the warning and the code line.
    EXPECT_EQ(sink.str(),
              " readbitmap WARNING: unable to open/read file corvane-no-such-dir/x.sub\n"
              "readbitmap ERROR code:    -1\n");
}
