// The three message routines, checked on the standard error stream.
#include <corvane/setup/messages.h>
#include <gtest/gtest.h>

#include <iostream>
#include <string>

namespace {

using std::string;

template <class Call>
string stderr_of(Call call) {
    testing::internal::CaptureStderr();
    call();
    return testing::internal::GetCapturedStderr();
}

struct Case {
    string name, message, line;
};

TEST(Errmsg, NameErrorAndTrimmedTexts) {
    const string x150(150, 'x');  // no leading blank and no limit on the length
    const Case cases[] = {
        {"cvl_init", "unable to open kelpa.ind", "cvl_init ERROR: unable to open kelpa.ind\n"},
        {"readbitmap  ", string("no such file\0garbage", 20), "readbitmap ERROR: no such file\n"},
        {"cvl_init", "          ", "cvl_init ERROR: \n"},
        {"cvl_RepKRX1", x150, "cvl_RepKRX1 ERROR: " + x150 + "\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(stderr_of([&] { corvane::errmsg(std::cerr, c.name, c.message); }), c.line)
            << c.message;
    }
}

TEST(Errcode, CodeInFiveColumnsOrAsterisks) {
    const struct {
        const char* name;
        std::int32_t code;
        const char* line;
    } cases[] = {
        {"readbitmap", -3, "readbitmap ERROR code:    -3\n"},
        {"readbitmap  ", 0, "readbitmap ERROR code:     0\n"},
        {"x", 99999, "x ERROR code: 99999\n"},
        {"x", -9999, "x ERROR code: -9999\n"},
        {"x", 123456, "x ERROR code: *****\n"},
        {"x", -10000, "x ERROR code: *****\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(stderr_of([&] { corvane::errcode(std::cerr, c.name, c.code); }), c.line)
            << c.code;
    }
}

TEST(Warnmsg, WrapsBeforeColumnEighty) {
    // A blank, the name, " WARNING: " and the message: 21 + length columns for
    // savebitmap, so 58 characters still fit (79 columns) and 59 do not.
    const string m30(30, 'm'), m58(58, 'm'), m59(59, 'm'), m120(120, 'm');
    const Case cases[] = {
        {"savebitmap", m30, " savebitmap WARNING: " + m30 + "\n"},
        {"savebitmap  ", m58 + "   ", " savebitmap WARNING: " + m58 + "\n"},
        {"savebitmap", m59, " savebitmap WARNING: \n " + m59 + "\n"},
        {"readbitmap", m120, " readbitmap WARNING: \n " + m120 + "\n"},
        {"cvl_init", "    ", " cvl_init WARNING: \n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(stderr_of([&] { corvane::warnmsg(std::cerr, c.name, c.message); }), c.line)
            << c.message;
    }
}

}  // namespace
