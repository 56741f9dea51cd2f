// The three message routines: texts trimmed, the code in five columns, the
// warning's wrap before column 80 (a blank, the name, " WARNING: " and the
// message: 21 + length columns for savebitmap, so 58 characters fit and 59 do
// not); and the stream the library's messages go to.
#include "support/support.h"

using std::string;

TEST(Messages, ErrorCodeAndWarningLines) {
    const string m58(58, 'm'), m59(59, 'm'), x150(150, 'x');
    // errmsg (e), errcode (c) or warnmsg (w); name, message, code; the line.
    const std::tuple<char, string, string, int, string> cases[] = {
        {'e', "readbitmap  ", string("no such file\0junk", 17), 0,
         "readbitmap ERROR: no such file\n"},
        {'e', "cvl_init", "          ", 0, "cvl_init ERROR: \n"},
        {'e', "cvl_RepKRX1", x150, 0, "cvl_RepKRX1 ERROR: " + x150 + "\n"},
        {'c', "readbitmap  ", "", -3, "readbitmap ERROR code:    -3\n"},
        {'c', "x", "", 99999, "x ERROR code: 99999\n"},
        {'c', "x", "", -10000, "x ERROR code: *****\n"},
        {'w', "savebitmap  ", m58 + "   ", 0, " savebitmap WARNING: " + m58 + "\n"},
        {'w', "savebitmap", m59, 0, " savebitmap WARNING: \n " + m59 + "\n"},
    };
    for (const auto& [kind, name, message, code, line] : cases) {
        std::ostringstream out;
        if (kind == 'e') corvane::errmsg(out, name, message);
        if (kind == 'c') corvane::errcode(out, name, code);
        if (kind == 'w') corvane::warnmsg(out, name, message);
        EXPECT_EQ(out.str(), line);
    }
}

TEST(Library, MessagesGoToTheStreamTheCallerSets) {
    auto lib = std::make_unique<corvane::Library>();
    std::ostringstream sink;
    lib->set_messages(sink);
    testing::internal::CaptureStderr();
    EXPECT_EQ(corvane::cvl_readbitmap(*lib, "corvane-no-such-dir/x.sub", 4), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(sink.str(),
              " readbitmap WARNING: unable to open/read file corvane-no-such-dir/x.sub\n"
              "readbitmap ERROR code:    -1\n");
}
