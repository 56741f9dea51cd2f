// The three message routines: texts trimmed, the code in five columns, the
// warning's wrap before column 80 (a blank, the name, " WARNING: " and the
// message: 21 + length columns for savebitmap, so 58 characters fit and 59 do
// not).
#include "support/support.h"

using std::string;

TEST(Messages, ErrorCodeAndWarningLines) {
    const string m58(58, 'm'), m59(59, 'm'), x150(150, 'x');
    const struct {
        char kind;  // e errmsg, c errcode, w warnmsg
        string name, message;
        int code;
        string line;
    } cases[] = {
        {'e', "readbitmap  ", string("no such file\0junk", 17), 0,
         "readbitmap ERROR: no such file\n"},
        {'e', "cvl_init", "          ", 0, "cvl_init ERROR: \n"},
        {'e', "cvl_RepKRX1", x150, 0, "cvl_RepKRX1 ERROR: " + x150 + "\n"},
        {'c', "readbitmap  ", "", -3, "readbitmap ERROR code:    -3\n"},
        {'c', "x", "", 99999, "x ERROR code: 99999\n"},
        {'c', "x", "", -10000, "x ERROR code: *****\n"},
        {'w', "savebitmap  ", m58 + "   ", 0, " savebitmap WARNING: " + m58 + "\n"},
        {'w', "savebitmap", m59, 0, " savebitmap WARNING: \n " + m59 + "\n"},
        {'w', "cvl_init", x150, 0, " cvl_init WARNING: \n " + x150 + "\n"},
    };
    for (const auto& c : cases) {
        std::ostringstream out;
        if (c.kind == 'e') corvane::errmsg(out, c.name, c.message);
        if (c.kind == 'c') corvane::errcode(out, c.name, c.code);
        if (c.kind == 'w') corvane::warnmsg(out, c.name, c.message);
        EXPECT_EQ(out.str(), c.line);
    }
}
