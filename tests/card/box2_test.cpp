#include "support/support.h"

using namespace cvtest;
using corvane::card::CardFormatter;

namespace {

// Box 2 of an edition with a journal table of two journals, on a record of the
// cards. The reference text starts full of "x": what the box leaves of it must
// be blank.
struct Box2 {
    TempDir dir;
    std::ostringstream out;  // the missing tables are reported here
    CardFormatter f{dir.slash(), "", out};
    int status = -1;
    explicit Box2(const Cards& cards, std::string_view dbname = "KRX2") {
        dir.write("codens.tbl", rec81("000000         3") + rec81("JJJJJJ J.") +
                                    rec81(std::string("LONGJN J") + std::string(69, 'q')));
        opentables(f);
        f.ret3.set_dbname(dbname);
        const std::string r = record_of(cards);
        readbf(f, r, static_cast<int>(r.size()));
        std::string reftxt(165, 'x');
        status = phbox2(f, 0, reftxt);
    }
    // Columns first..last of line 7, up to their last non-blank.
    std::string field(int first, int last) const {
        return trimmed(corvane::cols(f.curcrd.curlin(7), first, last));
    }
};

}  // namespace

TEST(Phbox2, FilterAndCamera) {
    // F card: filter code, filter text, camera code, detail (columns 43-47);
    // the filter field, the camera field, the detail as the card keeps it.
    const std::array<const char*, 7> cases[] = {
        {"M", "Graph", "G", "Hagg ", "Mono.", "Guin. -Hagg", "Hagg"},
        {"M", "Ni", "G", " Hagg", "Ni Mono.", "Guinier-Hagg", "Hagg"},  // justified in place
        {"F", "Ni", "S", "114.6", "Ni", "D.S. -114.6", "114.6"},
        {"F", "", "S", " 57.3", "Beta", "D.S. - 57.3", " 57.3"},
        {"S", "", "D", "", "S.S. Det.", "Diff.", ""},
        {"S", "Graph", "F", "", "Graph S.S. D", "Gandolfi", ""},
        {"X", "Ni", "C", "", "Ni", "Calculated", ""},
    };
    for (const auto& [code, text, cam, detail, filter, camera, kept] : cases) {
        Box2 b({card('F', {{21, code}, {23, text}, {41, cam}, {43, detail}})});
        EXPECT_EQ(b.field(18, 29) + "|" + b.field(30, 41) + "|" +
                      trimmed(corvane::cols(b.f.card(15, 1), 43, 47)),
                  std::string(filter) + "|" + camera + "|" + kept);
    }
}

TEST(Phbox2, IntensityMethodAndIcor) {
    // G card: method code, columns 5-10, 12-15; method|I/Icor|status.
    const std::array<const char*, 4> cases[] = {
        {"D", "  3.20", " 10 ", "Diffractometer|3.20(10)|0"},
        {"F", " 12.30", " 10 ", "Densitometer|12.30(10|1"},  // cut at 8 characters
        {"X", "", "", "||0"},
    };
    for (const auto& [code, value, qual, want] : cases) {
        Box2 b({card('G', {{1, code}, {5, value}, {12, qual}})});
        EXPECT_EQ(b.field(47, 60) + "|" + b.field(61, 68) + "|" + std::to_string(b.status), want);
    }
    // Radiation and cutoff justified to the left.
    const Box2 b({card('F', {{1, " CuKa"}, {7, "1.54056"}, {33, "  4.5"}})});
    EXPECT_EQ(b.field(1, 80), "CuKa     1.54056                         4.5");
}

TEST(Phbox2, ReferenceOfThePattern) {
    const auto ref = [](const char* src, const char* authors, const char* coden = "JJJJJJ",
                        const char* vol = "") {
        return card('9', {{1, coden}, {7, vol}, {22, authors}, {68, src}});
    };
    // Edition, reference cards; line 8|line 9.
    const std::tuple<const char*, Cards, std::string> cases[] = {
        {"KRX2", {ref("KW", "Xb, B."), ref("  ", "Xa, A.")}, "Xa, A., J.|"},
        {"KRX2", {ref("UC", "Xc, C."), ref("KW", "Xb, B.")}, "Xb, B., J.|"},
        {"CDIF", {ref("  ", "Xa, A."), ref("CD", "Xd, D.")}, "Xd, D., J.|"},
        {"XXXX", {ref("  ", "Xa, A."), ref("KW", "Xb, B.")}, "Xb, B., J.|"},
        {"KRX2", {ref("UC", "Xc, C.")}, "See comments box for primary powder pattern reference.|"},
        {"KRX2", {}, "|"},
        {"KRX2",
         {ref("  ", "Xa, A.", "LONGJN", "  12")},
         std::string("Xa, A., J") + std::string(69, 'q') + ",|12"},
    };
    for (const auto& [edition, refs, want] : cases) {
        const Box2 b(refs, edition);
        EXPECT_EQ(trimmed(b.f.curcrd.curlin(8)) + "|" + trimmed(b.f.curcrd.curlin(9)), want)
            << edition;
    }
}
