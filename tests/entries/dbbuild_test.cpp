// The database builder: the KRX1 bytes it composes from a card file, the card
// fields it takes for the names and the reference, its checks and messages,
// and how it writes (or, on any fault, does not write) the database directory.
#include <corvane/builder/build.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <initializer_list>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "entries/krx1_files.h"

namespace {

namespace fs = std::filesystem;
using cvtest::bytes;
using Cards = std::vector<std::string>;

// An 80-column card: blanks, the texts at their columns, the type in column 80.
std::string card(char type, std::initializer_list<std::pair<int, std::string>> fields = {}) {
    std::string c(80, ' ');
    for (const auto& [column, text] : fields) c.replace(column - 1, text.size(), text);
    c[79] = type;
    return c;
}

std::string first_card(const std::string& entry) {
    return card('1', {{73, entry}});
}

// A record: its type-1 card, the cards given and its K card.
Cards rec(const std::string& entry, const Cards& cards = {}) {
    Cards r = {first_card(entry)};
    r.insert(r.end(), cards.begin(), cards.end());
    r.push_back(card('K'));
    return r;
}

Cards operator+(Cards a, const Cards& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::string file_of(const Cards& cards, const char* eol = "\n") {
    std::string out;
    for (const auto& c : cards) out += c + eol;
    return out;
}

struct Built {
    int faults = 0;
    corvane::KrxDatabase db;
    std::string err;
};

Built compose(const std::string& text) {
    Built b;
    std::ostringstream err;
    b.faults = corvane::compose_database(text, "t.crd", b.db, err);
    b.err = err.str();
    return b;
}

Built compose(const Cards& cards) {
    return compose(file_of(cards));
}

// Record 1: entry 000012 with names, a reference and two lines (d = 1.0, and
// d = 2.0 written without a decimal point); record 2: entry 123456 with
// nothing but its type-1 and K cards.
Cards two_records() {
    return rec("000012",
               {card('6', {{1, "Silicon"}, {69, "P"}, {70, "C"}}), card('6', {{1, "Oxide"}}),
                card('6', {{1, "Quartz"}, {69, "M"}}), card('6', {{1, "Silica"}, {69, "C"}}),
                card('7', {{1, "Si O2"}}),
                card(
                    '9',
                    {{1, "AMMIAY"}, {7, "  61"}, {11, "  266"}, {17, "1976"}, {22, "Hazen, R.M."}}),
                card('I', {{1, " 1.0000100   1  1  1"}, {24, "  20000 50   2  0  0"}})}) +
           rec("123456");
}

TEST(DbBuildBytes, TwoRecords) {
    const Built b = compose(two_records());
    ASSERT_EQ(b.faults, 0) << b.err;
    EXPECT_EQ(b.err, "");
    EXPECT_EQ(b.db.entries, 2);
    // krx2.dat: the eleven cards back to back.
    EXPECT_EQ(b.db.krx2, file_of(two_records(), ""));

    // kelpa.ind: entid, namoff, dioff, refoff, recoff, big-endian. Record 2
    // starts after the 9 cards of record 1 (byte 720 = 0x2D0), after its name
    // record of 4 + 13 + 6 + 4 + 6 = 33 bytes, its di record of 1 + 4 + 2 = 7
    // bytes and its reference record of 5 + 6 + 2 + 3 + 11 = 27 bytes.
    EXPECT_EQ(b.db.kelpa,
              bytes({0, 0, 0,    12,   0, 0, 0, 0,  0, 0, 0, 0, 0, 0, 0, 0,  0, 0, 0,    0,
                     0, 1, 0xE2, 0x40, 0, 0, 0, 33, 0, 0, 0, 7, 0, 0, 0, 27, 0, 0, 0x02, 0xD0}));
    EXPECT_EQ(b.db.namelib, bytes({13, 6, 4, 6}) + "Silicon Oxide" + "Quartz" + "SiO2" + "Silica" +
                                bytes({0, 0, 0, 0}));
    // 3756 = 0x0EAC, -15601 = 0xC30F; intensities 100 and 50.
    EXPECT_EQ(b.db.dilib, bytes({2, 0x0E, 0xAC, 0xC3, 0x0F, 100, 50, 0}));
    // Year 1976 is code 76; the empty reference has the code 127 (no year).
    EXPECT_EQ(b.db.reflib, bytes({6, 2, 3, 11, 76}) + "AMMIAY" + "61" + "266" + "Hazen, R.M." +
                               bytes({0, 0, 0, 0, 127}));
    EXPECT_EQ(b.db.sizes, (std::array<std::int32_t, 5>{2, 11, 37, 8, 32}));

    // Carriage returns before the line ends are dropped.
    const Built crlf = compose(file_of(two_records(), "\r\n"));
    ASSERT_EQ(crlf.faults, 0) << crlf.err;
    EXPECT_EQ(crlf.db.krx2, b.db.krx2);
    EXPECT_EQ(crlf.db.kelpa, b.db.kelpa);
}

TEST(DbBuildTexts, NamesAndFormula) {
    // A continued chemical name joins after a hyphen directly, else after a
    // blank; the first "P" and "M" cards count; every "C" name is listed.
    Built b = compose(rec(
        "000001",
        {card('6', {{1, "Rock"}, {69, "C"}, {70, "C"}}), card('6', {{1, "salt"}}),
         card('6', {{1, "Halite"}, {69, "M"}}), card('6', {{1, "Sodium-"}, {69, "P"}, {70, "C"}}),
         card('6', {{1, "potassium chloride"}}), card('7', {{1, "Ca Mg ( C O3 )2"}, {70, "C"}}),
         card('7', {{1, "Fe"}}), card('7', {{1, "Ca C O3"}, {69, "S"}})}));
    ASSERT_EQ(b.faults, 0) << b.err;
    EXPECT_EQ(b.db.namelib, bytes({25, 6, 12, 9}) + "Sodium-potassium chloride" + "Halite" +
                                "CaMg(CO3)2Fe" + "Rock salt");
    b = compose(rec("000001", {card('6', {{1, "Magnesium"}, {69, "P"}, {70, "C"}}),
                               card('6', {{1, "aluminate"}}), card('6', {{1, "Spinel"}, {69, "C"}}),
                               card('6', {{1, "Magnesia spinel"}, {69, "C"}})}));
    EXPECT_EQ(b.db.namelib,
              bytes({19, 0, 0, 23}) + "Magnesium aluminate" + "Spinel; Magnesia spinel");
}

TEST(DbBuildTexts, ReferenceChoiceAndAuthors) {
    // The blank source wins over "UC" and "KW"; the continuation cards, which
    // carry no source code, are not references of their own; two of them at most.
    const std::string uc = card('9', {{1, "ACBCAR"}, {22, "Baur"}, {68, "UC"}});
    const struct {
        Cards cards;
        std::string reflib;
    } cases[] = {
        {{card('9', {{1, "ACBCAR"}, {22, "Le Page, Y.,"}, {68, "UC"}, {70, "C"}}),
          card('9', {{22, "Donnay, G."}}), card('9', {{1, "KWJRNL"}, {22, "Kay"}, {68, "KW"}}),
          card('9', {{1, "NBSMA6"}, {7, "  7 "}, {11, "  83 "}, {22, "A,"}, {70, "C"}}),
          card('9', {{22, "B,"}, {70, "C"}}), card('9', {{22, "C,"}, {70, "C"}}),
          card('9', {{22, "D"}})},
         bytes({6, 1, 2, 8, 127}) + "NBSMA6" + "7" + "83" + "A, B, C,"},
        {{uc, card('9', {{1, "JACGAR"}, {22, "Hom"}, {68, "KW"}})},
         bytes({6, 0, 0, 3, 127}) + "JACGAR" + "Hom"},
        {{uc}, bytes({6, 0, 0, 4, 127}) + "ACBCAR" + "Baur"},
    };
    for (const auto& c : cases) {
        const Built b = compose(rec("000001", c.cards));
        EXPECT_EQ(b.err, "");
        EXPECT_EQ(b.db.reflib, c.reflib);
    }
}

TEST(DbBuildTexts, YearCodes) {
    // Code 127 means "no year", so 2027 cannot be stored; nor can years before
    // 1900 or after 2155, which a byte would wrap.
    const std::pair<const char*, int> cases[] = {{"1900", 0},   {"2026", 126}, {"2028", 128},
                                                 {"2155", 255}, {"    ", 127}, {"2027", -1},
                                                 {"1899", -1},  {"2156", -1}};
    for (const auto& [year, code] : cases) {
        const Built b = compose(rec("000001", {card('9', {{1, "AMMIAY"}, {17, year}})}));
        if (code < 0) {
            EXPECT_EQ(b.err, "t.crd:2: record 1, card 2 (type 9): year " + std::string(year) +
                                 " cannot be stored (years 1900 to 2155 are kept, except 2027)\n");
        } else {
            ASSERT_EQ(b.err, "") << year;
            EXPECT_EQ(static_cast<unsigned char>(b.db.reflib[4]), code) << year;
        }
    }
}

TEST(DbBuildCheck, OneMessagePerFault) {
    const auto two_records_with = [](auto edit) {
        Cards c = two_records();
        edit(c);
        return c;
    };
    Cards many_i(69, card('I')), long_names(5, card('6', {{1, std::string(60, 'a')}, {69, "C"}}));
    const struct {
        Cards cards;
        std::string err;
    } cases[] = {
        {two_records_with([](Cards& c) { c[2].pop_back(); }),
         "t.crd:3: record 1, card 3: the card is 79 characters long, not 80\n"},
        {two_records_with([](Cards& c) { c[3][79] = 'k'; }),  // the alphabet is matched exactly
         "t.crd:4: record 1, card 4: column 80 holds 'k', which is not a card type of "
         "\"123456789ABCDEFGHIJK+*\"\n"},
        {two_records_with([](Cards& c) { c[9][4] = '\t'; }),
         "t.crd:10: record 2, card 1 (type 1): column 5 holds a control character (code 9)\n"},
        {two_records_with([](Cards& c) { c.pop_back(); }),
         "t.crd:10: record 2: the file ends before the record's K card\n"},
        {two_records_with([](Cards& c) {
             c.insert(c.begin() + 9, card('6', {{69, "P"}}));
         }),
         "t.crd:10: record 2, card 1 (type 6): a record must start with a type-1 card\n"},
        {rec("000001", many_i),
         "t.crd:70: record 1, card 70 (type I): too many cards of type I (a record holds at "
         "most 68)\n"},
        {rec("000001", {card('G'), card('G')}),
         "t.crd:3: record 1, card 3 (type G): too many cards of type G (a record holds at "
         "most 1)\n"},
        {rec("000001") + rec("000002", {card('I', {{1, " 1.0000 10   1  0  0"},
                                                   {24, " 0.5000 20   1  1  0"}})}),
         "t.crd:4: record 2, card 2 (type I): d-spacing '0.5000' has no angle code\n"},
        {rec("000001", {card('I', {{1, "-1.0000100"}})}),
         "t.crd:2: record 1, card 2 (type I): d-spacing '-1.0000' has no angle code\n"},
        {rec("000001", {card('I', {{1, ".770299100"}})}), ""},  // the smallest with a code
        {rec("000001",
             {card('I', {{1, " 1.0x00 10   1  0  0"},
                         {24, " 1.0000300   1  0  0"},
                         {47, " 2.0000 1x   1  0  0"}}),
              card('I', {{1, " 1.0000 10   1  a  0"}}), card('9', {{1, "AMMIAY"}, {17, "19x6"}})}),
         "t.crd:4: record 1, card 4 (type 9): year '19x6' is not a number\n"
         "t.crd:2: record 1, card 2 (type I): d-spacing '1.0x00' is not a number\n"
         "t.crd:2: record 1, card 2 (type I): intensity 300 is outside 0 to 255\n"
         "t.crd:2: record 1, card 2 (type I): intensity '1x' is not a number\n"
         "t.crd:3: record 1, card 3 (type I): Miller indices '  1  a  0' are not numbers\n"},
        {rec("05 628"),
         "t.crd:1: record 1, card 1 (type 1): entry number '05 628' in columns 73-78 is not "
         "six digits\n"},
        {rec("050628") + rec("000001") + rec("050628"),
         "t.crd:5: record 3, card 1 (type 1): entry number 050628 is already used by record 1\n"},
        // Five other names of 60 characters joined by "; " make 308 characters.
        {rec("000001", long_names),
         "t.crd:7: record 1: name text 4 (other names) holds 308 characters; name.lib keeps at "
         "most 255\n"},
        {{}, "t.crd: the card file holds no record\n"},
    };
    for (const auto& c : cases) {
        const Built b = compose(c.cards);
        EXPECT_EQ(b.err, c.err);
        EXPECT_EQ(b.faults > 0, !c.err.empty()) << c.err;
    }
}

// ---- code tables and writing the directory ------------------------------------------

// A mineral.tbl group line: code, name in columns 7-26, member count in 28-29.
std::string group_line(int members) {
    return "CAL   " + std::string("Calcite").append(13, ' ') + "  " + std::to_string(members) +
           "\n";
}

struct Tables {
    cvtest::TempDir dir;
    Tables() {
        put("codens.tbl", std::string("000000         3").append(64, ' ') + "\n" +
                              std::string("AMMIAY Am. Mineral.").append(61, ' ') + "\n" +
                              std::string("ZEKRDZ Z. Kristallogr.").append(58, ' ') + "\n");
        put("picodes.tbl", "GA5alpha\nPM3+/-\n");
        put("stdcodes.tbl", "SI     silicon\n");
        put("mineral.tbl", group_line(1) + "   CAL   Calcite\n");
    }
    void put(const std::string& name, const std::string& text) {
        cvtest::write_file(dir / name, text);
    }
    std::string check() {
        std::array<std::string, 4> t;
        std::ostringstream err;
        corvane::read_code_tables(dir.path().string(), t, err);
        return err.str();
    }
};

TEST(DbBuildTables, Layouts) {
    Tables t;
    EXPECT_EQ(t.check(), "");
    const std::string dir = t.dir.path().string();
    const std::string codens = cvtest::read_file(t.dir / "codens.tbl");
    const auto with = [&](std::size_t at, const std::string& text) {
        return std::string(codens).replace(at, text.size(), text);
    };
    const std::pair<std::string, std::string> bad_codens[] = {
        {codens.substr(0, 200), "codens.tbl: 200 bytes are not whole records of 81 bytes\n"},
        {with(81, "ZZZZZZ"), "codens.tbl: record 3: key 'ZEKRDZ' does not come after 'ZZZZZZ'\n"},
        {with(15, "4"), "codens.tbl: record 1 must give the record count 3 in columns 7-16\n"}};
    for (const auto& [text, message] : bad_codens) {
        t.put("codens.tbl", text);
        EXPECT_EQ(t.check(), dir + "/" + message);
    }
    t.put("codens.tbl", codens);
    t.put("picodes.tbl", "GAxalpha\n");
    EXPECT_EQ(t.check(),
              dir + "/picodes.tbl:1: column 3 must hold the display length, one digit\n");
    t.put("picodes.tbl", "GA5alpha\n");
    t.put("mineral.tbl", group_line(2) + "   CAL   Calcite\n");
    EXPECT_EQ(t.check(), dir + "/mineral.tbl: the file ends 1 member lines early\n");
    fs::remove(t.dir / "mineral.tbl");
    EXPECT_EQ(t.check(), dir + "/mineral.tbl: cannot be read\n");
}

struct Workspace {
    cvtest::TempDir dir;
    Tables tables;
    const std::string cards = dir / "t.crd", out = dir / "db";
    int build(const Cards& cardlist, std::string* err = nullptr, std::string outdir = "") {
        cvtest::write_file(cards, file_of(cardlist));
        std::ostringstream e;
        const int rc =
            corvane::krxbuild(cards, outdir.empty() ? out : outdir, tables.dir.path().string(), e);
        if (err) *err = e.str();
        return rc;
    }
    std::string read(const std::string& name) const { return cvtest::read_file(out + "/" + name); }
    static std::vector<std::string> names(const fs::path& d) {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(d)) names.push_back(e.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST(DbBuildWrite, NewDirectoryHoldsEveryFileAndNothingIsLeftBeside) {
    Workspace w;
    ASSERT_EQ(w.build(two_records()), 0);
    EXPECT_EQ(Workspace::names(w.out),
              (std::vector<std::string>{"codens.tbl", "di.lib", "kelpa.ind", "krx2.dat",
                                        "mineral.tbl", "name.lib", "pdsize.txt", "picodes.tbl",
                                        "ref.lib", "stdcodes.tbl", "tarnloc.txt"}));
    EXPECT_EQ(w.read("pdsize.txt"), "2 11 37 8 32\n");
    EXPECT_EQ(w.read("picodes.tbl"), "GA5alpha\nPM3+/-\n");
    const std::string dirline = fs::canonical(w.out).string() + "/\n";
    EXPECT_EQ(w.read("tarnloc.txt"), dirline + dirline + dirline);
    EXPECT_EQ(Workspace::names(w.dir.path()), (std::vector<std::string>{"db", "t.crd"}));
}

TEST(DbBuildWrite, NothingIsWrittenOnErrorOrIntoUnusablePaths) {
    Workspace w;
    std::string err;
    EXPECT_EQ(w.build({first_card("000001")}, &err), 1);  // no K card
    EXPECT_EQ(err, w.cards + ":1: record 1: the file ends before the record's K card\n");
    EXPECT_EQ(Workspace::names(w.dir.path()), (std::vector<std::string>{"t.crd"}));

    // A file of that name is not replaced by a directory.
    cvtest::write_file(w.out, "a file");
    EXPECT_EQ(w.build(two_records(), &err), 1);
    EXPECT_EQ(err, w.out + ": exists and is not a directory\n");
    EXPECT_EQ(cvtest::read_file(w.out), "a file");
    const std::string broken = w.dir / "a\nb";
    EXPECT_EQ(w.build(two_records(), &err, broken), 1);
    EXPECT_EQ(err, broken + ": a line end in the path cannot stand in tarnloc.txt\n");
    EXPECT_FALSE(fs::exists(broken));
    // A fault in a code table stops the build as well.
    w.tables.put("picodes.tbl", "GAxalpha\n");
    EXPECT_EQ(w.build(two_records(), nullptr, w.dir / "db2"), 1);
    EXPECT_FALSE(fs::exists(w.dir / "db2"));
}

TEST(DbBuildWrite, ExistingDatabaseIsReplacedOnlyWhenTheBuildSucceeds) {
    Workspace w;
    ASSERT_EQ(w.build(two_records()), 0);
    cvtest::write_file(w.out + "/notes.txt", "kept");
    const std::string old_index = w.read("kelpa.ind");
    Cards bad = two_records();
    bad[7][79] = '?';
    EXPECT_EQ(w.build(bad), 1);
    EXPECT_EQ(w.read("kelpa.ind"), old_index);

    // A sound one replaces its files, keeps other files and leaves no
    // temporary names behind.
    ASSERT_EQ(w.build(rec("000077")), 0);
    EXPECT_EQ(w.read("kelpa.ind"), cvtest::index_record(77, 0, 0, 0, 0));
    EXPECT_EQ(w.read("pdsize.txt"), "1 2 4 1 5\n");
    EXPECT_EQ(w.read("notes.txt"), "kept");
    EXPECT_EQ(Workspace::names(w.out).size(), 12u);
    for (const auto& name : Workspace::names(w.out)) EXPECT_NE(name[0], '.') << name;
}

}  // namespace
