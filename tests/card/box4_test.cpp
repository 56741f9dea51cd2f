#include "support/support.h"

using namespace cvtest;
using corvane::cols;
using corvane::card::CardFormatter;

namespace {

// The five fields of an optical line, "|" between them; the last runs to
// column 80.
std::string fields(const std::string& line) {
    return trimmed(cols(line, 1, 10)) + "|" + trimmed(cols(line, 11, 20)) + "|" +
           trimmed(cols(line, 21, 30)) + "|" + trimmed(cols(line, 31, 33)) + "|" +
           trimmed(cols(line, 34, 80));
}

}  // namespace

TEST(Phopti, ItemsAreReadInTheirOrder) {
    // Comment text; the fields of the optical line and the status.
    const std::pair<const char*, const char*> cases[] = {
        {"A=1.544, B=1.553, SIGN=+, 2V=40", "1.544|1.553||+|40 0"},
        {"a = 1.544,q= 1.6, sign=-", "1.544||1.6|-| 0"},
        {"B=1.553, A=1.544", "|1.553||| 1"},        // A after B is out of order
        {"A=1234567890", "1234567890|||| 2"},       // fills its 10 columns exactly
        {"A:1.5,B=1.6", "|1.6||| 1"},               // a malformed item still moves the state on
        {"A=1234567890, X=1", "1234567890|||| 1"},  // the last event decides
        {"X=1, A=1234567890", "1234567890|||| 2"},
        {"2V=40, A=1.5", "||||40 0"},  // nothing is read after 2V
        {"2v=1234567890123", "|||| 1"},
        {"2V=123456789012   ,", "||||123456789012 0"},
        {"2V=40$DE", "||||40deg 0"},
        {"2V=40$ZZx", "||||40$ZZx 0"},
    };
    for (const auto& [text, want] : cases) {
        CardFormatter f;
        picodes(f, {"DE3deg"});
        std::string line(80, '?');
        const int status = phopti(f, text, line);
        EXPECT_EQ(fields(line) + " " + std::to_string(status), want) << text;
        EXPECT_EQ(line.size(), 80u);
    }
}

TEST(Phbox4, OpticalLineReferenceAndFlags) {
    const std::string op = card('B', {{1, "A=1.5"}, {68, "OP"}}),
                      cl = card('B', {{1, "White."}, {68, "CL"}});
    const std::string opref = card('9', {{22, "Xa, A."}, {68, "OP"}});
    const std::string missing = "***misspelled or not in coden file***";
    // Cards; status opcard refprt|line 15|line 16|line 17.
    const std::tuple<Cards, std::string> cases[] = {
        {{opref}, "0 0 0|||||||"},  // no comment card: no "OP" reference either
        {{cl}, "0 0 0|||||||"},
        {{cl, op}, "0 1 1|1.5|||||Ibid.|"},
        {{card('B', {{1, "B=1, A=2"}, {68, "OP"}})}, "1 1 1||||||Ibid.|"},
        {{card('B', {{1, "A=1234567890"}, {68, "OP"}})}, "2 1 1|1234567890|||||Ibid.|"},
        {{cl, opref}, std::string("0 0 1||||||Xa, A., ") + missing + "|"},
        {{op, card('9', {{22, "Ibid."}, {68, "OP"}})}, "0 1 0|1.5||||||"},
        {{op, card('9', {{22, "ibid."}, {68, "OP"}}), card('9', {{22, "Ibid."}, {68, "OP"}})},
         "0 1 1|1.5|||||ibid.; Ibid.|"},  // "Ibid." is matched as written
        {{op, opref, card('9', {{22, "Xb, B."}, {68, "OP"}})},
         std::string("0 1 1|1.5|||||Xa, A., ") + missing +
             "; Xb, B., ***misspelled or not in|coden file***"},
    };
    for (const auto& [cards, want] : cases) {
        CardFormatter f;
        const std::string r = record_of(cards);
        readbf(f, r, static_cast<int>(r.size()));
        std::string reftxt(165, 'x');
        int opcard = -1, refprt = -1;
        const int status = phbox4(f, 0, reftxt, opcard, refprt);
        EXPECT_EQ(std::to_string(status) + " " + std::to_string(opcard) + " " +
                      std::to_string(refprt) + "|" + fields(f.curcrd.curlin(15)) + "|" +
                      trimmed(f.curcrd.curlin(16)) + "|" + trimmed(f.curcrd.curlin(17)),
                  want)
            << cards[0];
    }
}
