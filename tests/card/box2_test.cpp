#include "cardkit.h"

using namespace cardkit;
using corvane::cols;

namespace {

using Cards = std::vector<std::string>;

// A card of type t holding texts at the given columns.
std::string cd(char t, std::initializer_list<std::pair<int, std::string_view>> fields = {}) {
    std::string c = card("", t);
    for (const auto& [first, text] : fields) at(c, first, text);
    return c;
}

std::string trim(const std::string& s) {
    return s.substr(0, s.find_last_not_of(' ') + 1);
}

// A formatter of the KRX2 edition with a journal table of two journals, that
// runs box 2 on a record of a type-1 card, the given cards and a K card. The
// reference text starts full of "x": what the box leaves of it is blank.
struct Box2 {
    ScratchDir dir;
    std::ostringstream out;
    CardFormatter f{dir.slash(), "", out};
    int status = -1;

    explicit Box2(std::string_view dbname = "KRX2") {
        dir.write("codens.tbl", rec81("000000         3") + rec81("JJJJJJ J.") +
                                    rec81("LONGJN J" + std::string(69, 'q')));
        opentables(f);
        f.ret3.set_dbname(dbname);
    }
    Box2& run(const Cards& cards) {
        std::string r = cd('1');
        for (const auto& c : cards) r += c;
        r += cd('K');
        readbf(f, r, static_cast<int>(r.size()));
        std::string reftxt(165, 'x');
        status = phbox2(f, 0, reftxt);
        return *this;
    }
    // Columns first..last of line 7, up to their last non-blank.
    std::string field(int first, int last) const {
        return trim(cols(f.curcrd.curlin(7), first, last));
    }
};

}  // namespace

TEST(Phbox2, FilterAndCamera) {
    // F card: filter code, filter text, camera code, detail (columns 43-47);
    // then the filter field, the camera field and the detail as the card keeps it.
    const std::tuple<const char*, const char*, const char*, const char*, const char*, const char*,
                     const char*>
        cases[] = {
            {"M", "Graph", "G", "Hagg ", "Mono.", "Guin. -Hagg", "Hagg"},
            {"M", "Ni", "G", " Hagg", "Ni Mono.", "Guinier-Hagg", "Hagg"},
            {"M", "Quartz", "G", "   57", "Mono.", "Guinier-57", "57"},
            {"M", "", "G", "", "Mono.", "Guinier", ""},
            {"F", "Ni", "S", "114.6", "Ni", "D.S. -114.6", "114.6"},
            {"F", "", "S", " 57.3", "Beta", "D.S. - 57.3", " 57.3"},
            {"S", "", "S", "", "S.S. Det.", "D.S.", ""},
            {"S", "Ni", "D", "", "Ni S.S. Det.", "Diff.", ""},
            {"S", "Graph", "F", "", "Graph S.S. D", "Gandolfi", ""},
            {" ", "Ni", "C", "", "Ni", "Calculated", ""},
            {"X", "Ni", "X", "Hagg", "Ni", "", "Hagg"},
        };
    for (const auto& [code, text, cam, detail, filter, camera, left] : cases) {
        Box2 b;
        b.run({cd('F', {{21, code}, {23, text}, {41, cam}, {43, detail}})});
        EXPECT_EQ(b.field(18, 29), filter) << code << text;
        EXPECT_EQ(b.field(30, 41), camera) << cam << detail;
        EXPECT_EQ(trim(cols(b.f.card(15, 1), 43, 47)), left) << cam << detail;
    }
}

TEST(Phbox2, IntensityMethodAndIcor) {
    // G card: method code, columns 5-10, 12-15; method, I/Icor, status.
    const std::tuple<const char*, const char*, const char*, const char*, const char*, int> cases[] =
        {
            {"D", "  3.20", " 10 ", "Diffractometer", "3.20(10)", 0},
            {"F", " 12.30", " 10 ", "Densitometer", "12.30(10", 1},
            {"V", "1.5", "", "Visual", "1.5", 0},
            {"C", "  1.00", "est.", "Calculated", "1.00(est", 1},
            {"X", "", "", "", "", 0},
        };
    for (const auto& [code, value, qual, method, icor, status] : cases) {
        Box2 b;
        b.run({cd('G', {{1, code}, {5, value}, {12, qual}})});
        EXPECT_EQ(b.field(47, 60) + "|" + b.field(61, 68) + "|" + std::to_string(b.status),
                  std::string(method) + "|" + icor + "|" + std::to_string(status));
    }
    // Without F and G cards every field is blank.
    EXPECT_EQ(Box2().run({}).f.curcrd.curlin(7), std::string(80, ' '));
}

TEST(Phbox2, ReferenceOfThePattern) {
    const auto ref = [](const char* src, const char* authors, const char* coden = "JJJJJJ",
                        const char* vol = "") {
        return cd('9', {{1, coden}, {7, vol}, {22, authors}, {68, src}});
    };
    const std::string longref = "Xa, A., J" + std::string(69, 'q') + ",";
    // Edition, reference cards; line 8 | line 9.
    const std::tuple<const char*, Cards, std::string> cases[] = {
        {"KRX2", {ref("KW", "Xb, B."), ref("  ", "Xa, A.")}, "Xa, A., J.|"},
        {"KRX2", {ref("UC", "Xc, C."), ref("KW", "Xb, B.")}, "Xb, B., J.|"},
        {"CDIF", {ref("  ", "Xa, A."), ref("CD", "Xd, D.")}, "Xd, D., J.|"},
        {"XXXX", {ref("  ", "Xa, A."), ref("KW", "Xb, B.")}, "Xb, B., J.|"},
        {"KRX2", {ref("UC", "Xc, C.")}, "See comments box for primary powder pattern reference.|"},
        {"KRX2", {}, "|"},
        {"KRX2", {ref("  ", "Xa, A.", "LONGJN", "  12")}, longref + "|12"},
    };
    for (const auto& [edition, refs, want] : cases) {
        Box2 b(edition);
        b.run(refs);
        EXPECT_EQ(trim(b.f.curcrd.curlin(8)) + "|" + trim(b.f.curcrd.curlin(9)), want) << edition;
    }
}

TEST(Phbox2, SampleRecord) {
    const std::string kDir = std::string(CORVANE_SOURCE_DIR) + "/sample/";
    std::ifstream in(kDir + "phases.crd");
    std::string halite;
    int k = 1;
    for (std::string line; std::getline(in, line); k += line[79] == 'K') {
        if (k == 4) halite += line.substr(0, 80);
    }
    std::ostringstream out;
    CardFormatter f(kDir, "", out);
    opentables(f);
    f.ret3.set_dbname("KRX2");
    readbf(f, halite, static_cast<int>(halite.size()));
    std::string reftxt(165, ' ');
    EXPECT_EQ(phbox2(f, 0, reftxt), 0);
    EXPECT_EQ(f.curcrd.curlin(7),
              "CuKa1    1.5405  Ni          Diff.       17.7 Diffractometer4.40(20)" +
                  std::string(12, ' '));
    EXPECT_EQ(trim(f.curcrd.curlin(8)),
              "Swanson, H.E., Fuyat, R.K., Natl. Bur. Stand. (U.S.) Circ. 539, 2 41 (1953)");
    EXPECT_EQ(f.curcrd.curlin(9), std::string(80, ' '));
    EXPECT_EQ(cols(f.card(16, 1), 12, 15), "20  ");  // the qualifier, justified in place
    EXPECT_EQ(out.str(), "");
}
