// The three message routines, checked on the standard error stream.
#include "setup/messages.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

std::string errcode_line(std::string_view name, std::int32_t code) {
    CaptureStderr();
    cv::errcode(name, code);
    return GetCapturedStderr();
}

std::string warnmsg_lines(std::string_view name, std::string_view message) {
    CaptureStderr();
    cv::warnmsg(name, message);
    return GetCapturedStderr();
}

TEST(Errmsg, NameErrorAndTrimmedTexts) {
    CaptureStderr();
    cv::errmsg("cvl_init", "unable to open kelpa.ind");
    EXPECT_EQ(GetCapturedStderr(), "cvl_init ERROR: unable to open kelpa.ind\n");

    // Whole fixed-length fields: blank-padded or ended by a NUL.
    CaptureStderr();
    cv::errmsg("readbitmap  ", std::string_view("no such file\0garbage", 20));
    EXPECT_EQ(GetCapturedStderr(), "readbitmap ERROR: no such file\n");

    CaptureStderr();
    cv::errmsg("cvl_init", "          ");
    EXPECT_EQ(GetCapturedStderr(), "cvl_init ERROR: \n");

    // No leading blank and no limit on the length.
    const std::string long_text(150, 'x');
    CaptureStderr();
    cv::errmsg("cvl_RepKRX1", long_text);
    EXPECT_EQ(GetCapturedStderr(), "cvl_RepKRX1 ERROR: " + long_text + "\n");
}

TEST(Errcode, CodeInFiveColumns) {
    EXPECT_EQ(errcode_line("readbitmap", -3), "readbitmap ERROR code:    -3\n");
    EXPECT_EQ(errcode_line("readbitmap  ", 0), "readbitmap ERROR code:     0\n");
    EXPECT_EQ(errcode_line("x", 99999), "x ERROR code: 99999\n");
    EXPECT_EQ(errcode_line("x", -9999), "x ERROR code: -9999\n");
    // Six characters would be needed: five asterisks instead.
    EXPECT_EQ(errcode_line("x", 123456), "x ERROR code: *****\n");
    EXPECT_EQ(errcode_line("x", -10000), "x ERROR code: *****\n");
}

TEST(Warnmsg, OneLineWhileItFits) {
    // A blank, the name (10), " WARNING: " (10) and the message: 21 + length.
    const std::string m30(30, 'm');
    const std::string line30 = warnmsg_lines("savebitmap", m30);
    EXPECT_EQ(line30, " savebitmap WARNING: " + m30 + "\n");
    EXPECT_EQ(line30.size(), 52u);  // 51 characters and the line end

    const std::string m58(58, 'm');
    const std::string line58 = warnmsg_lines("savebitmap  ", m58 + "   ");
    EXPECT_EQ(line58, " savebitmap WARNING: " + m58 + "\n");
    EXPECT_EQ(line58.size(), 80u);  // 79 characters
}

TEST(Warnmsg, MessageMovesToASecondLine) {
    // 21 + 59 would reach column 80: the message goes on, after one blank, on a
    // second line; the first keeps its trailing blank.
    const std::string m59(59, 'm');
    EXPECT_EQ(warnmsg_lines("savebitmap", m59), " savebitmap WARNING: \n " + m59 + "\n");
    const std::string m120(120, 'm');
    EXPECT_EQ(warnmsg_lines("readbitmap", m120), " readbitmap WARNING: \n " + m120 + "\n");
}

TEST(Warnmsg, EmptyMessage) {
    EXPECT_EQ(warnmsg_lines("cvl_init", "    "), " cvl_init WARNING: \n");
}

}  // namespace
