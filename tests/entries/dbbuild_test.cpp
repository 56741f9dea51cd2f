// The database builder: the KRX1 bytes it composes from a card file, the card
// fields it takes for the names and the reference, its checks and messages,
// and how it writes (or, on any fault, does not write) the database directory.
#include "entries/dbbuild.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <initializer_list>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tool/testdb.h"

namespace {

namespace fs = std::filesystem;

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

std::string file_of(const std::vector<std::string>& cards, const char* eol = "\n") {
    std::string out;
    for (const auto& c : cards) out += c + eol;
    return out;
}

struct Built {
    int faults = 0;
    cv::KrxDatabase db;
    std::string err;
};

Built compose(const std::string& text) {
    Built b;
    std::ostringstream err;
    b.faults = cv::compose_database(text, "t.crd", b.db, err);
    b.err = err.str();
    return b;
}

Built compose(const std::vector<std::string>& cards) {
    return compose(file_of(cards));
}

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out += static_cast<char>(static_cast<unsigned char>(v));
    return out;
}

// ---- the bytes of a small database ---------------------------------------------

// Record 1: entry 000012 with names, a reference and two lines (d = 1.0, and
// d = 2.0 written without a decimal point); record 2: entry 123456 with
// nothing but its type-1 and K cards.
std::vector<std::string> two_records() {
    return {
        first_card("000012"),
        card('6', {{1, "Silicon"}, {69, "P"}, {70, "C"}}),
        card('6', {{1, "Oxide"}}),
        card('6', {{1, "Quartz"}, {69, "M"}}),
        card('6', {{1, "Silica"}, {69, "C"}}),
        card('7', {{1, "Si O2"}}),
        card('9', {{1, "AMMIAY"}, {7, "  61"}, {11, "  266"}, {17, "1976"}, {22, "Hazen, R.M."}}),
        card('I', {{1, " 1.0000100   1  1  1"}, {24, "  20000 50   2  0  0"}}),
        card('K'),
        first_card("123456"),
        card('K'),
    };
}

TEST(DbBuildBytes, TwoRecords) {
    const Built b = compose(two_records());
    ASSERT_EQ(b.faults, 0) << b.err;
    EXPECT_EQ(b.err, "");
    EXPECT_EQ(b.db.entries, 2);

    // krx2.dat: the eleven cards back to back.
    EXPECT_EQ(b.db.krx2.size(), 11u * 80u);
    EXPECT_EQ(b.db.krx2.substr(9 * 80, 80), first_card("123456"));

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

    const std::array<std::int32_t, 5> sizes = {2, 11, 37, 8, 32};
    EXPECT_EQ(b.db.sizes, sizes);
}

TEST(DbBuildBytes, CarriageReturnsBeforeLineEndsAreDropped) {
    const Built lf = compose(file_of(two_records()));
    const Built crlf = compose(file_of(two_records(), "\r\n"));
    ASSERT_EQ(crlf.faults, 0) << crlf.err;
    EXPECT_EQ(crlf.db.krx2, lf.db.krx2);
    EXPECT_EQ(crlf.db.kelpa, lf.db.kelpa);
}

// ---- which card fields feed the KRX1 texts ---------------------------------------

TEST(DbBuildTexts, NamesAndFormula) {
    // A continued chemical name joins after a hyphen directly, else after a
    // blank; the first "P" and "M" cards count; every "C" name is listed.
    const Built b = compose({first_card("000001"), card('6', {{1, "Rock"}, {69, "C"}, {70, "C"}}),
                             card('6', {{1, "salt"}}), card('6', {{1, "Halite"}, {69, "M"}}),
                             card('6', {{1, "Sodium-"}, {69, "P"}, {70, "C"}}),
                             card('6', {{1, "potassium chloride"}}),
                             card('7', {{1, "Ca Mg ( C O3 )2"}, {70, "C"}}), card('7', {{1, "Fe"}}),
                             card('7', {{1, "Ca C O3"}, {69, "S"}}), card('K')});
    ASSERT_EQ(b.faults, 0) << b.err;
    EXPECT_EQ(b.db.namelib, bytes({25, 6, 12, 9}) + "Sodium-potassium chloride" + "Halite" +
                                "CaMg(CO3)2Fe" + "Rock salt");

    const Built blank =
        compose({first_card("000001"), card('6', {{1, "Magnesium"}, {69, "P"}, {70, "C"}}),
                 card('6', {{1, "aluminate"}}), card('6', {{1, "Spinel"}, {69, "C"}}),
                 card('6', {{1, "Magnesia spinel"}, {69, "C"}}), card('K')});
    EXPECT_EQ(blank.db.namelib,
              bytes({19, 0, 0, 23}) + "Magnesium aluminate" + "Spinel; Magnesia spinel");
}

TEST(DbBuildTexts, ReferenceChoiceAndAuthors) {
    // The blank source wins over "UC" and "KW"; the continuation cards, which
    // carry no source code, are not references of their own; two of them at most.
    const Built b = compose(
        {first_card("000001"),
         card('9', {{1, "ACBCAR"}, {22, "Le Page, Y.,"}, {68, "UC"}, {70, "C"}}),
         card('9', {{22, "Donnay, G."}}), card('9', {{1, "KWJRNL"}, {22, "Kay"}, {68, "KW"}}),
         card('9', {{1, "NBSMA6"}, {7, "  7 "}, {11, "  83 "}, {22, "A,"}, {70, "C"}}),
         card('9', {{22, "B,"}, {70, "C"}}), card('9', {{22, "C,"}, {70, "C"}}),
         card('9', {{22, "D"}}), card('K')});
    ASSERT_EQ(b.faults, 0) << b.err;
    EXPECT_EQ(b.db.reflib, bytes({6, 1, 2, 8, 127}) + "NBSMA6" + "7" + "83" + "A, B, C,");

    const Built kw =
        compose({first_card("000001"), card('9', {{1, "ACBCAR"}, {22, "Baur"}, {68, "UC"}}),
                 card('9', {{1, "JACGAR"}, {22, "Hom"}, {68, "KW"}}), card('K')});
    EXPECT_EQ(kw.db.reflib, bytes({6, 0, 0, 3, 127}) + "JACGAR" + "Hom");
    const Built first = compose(
        {first_card("000001"), card('9', {{1, "ACBCAR"}, {22, "Baur"}, {68, "UC"}}), card('K')});
    EXPECT_EQ(first.db.reflib, bytes({6, 0, 0, 4, 127}) + "ACBCAR" + "Baur");
}

TEST(DbBuildTexts, YearCodes) {
    auto year_byte = [](const std::string& year) {
        const Built b =
            compose({first_card("000001"), card('9', {{1, "AMMIAY"}, {17, year}}), card('K')});
        return b.faults == 0 ? static_cast<int>(static_cast<unsigned char>(b.db.reflib[4])) : -1;
    };
    EXPECT_EQ(year_byte("1900"), 0);
    EXPECT_EQ(year_byte("2026"), 126);
    EXPECT_EQ(year_byte("2028"), 128);
    EXPECT_EQ(year_byte("2155"), 255);
    EXPECT_EQ(year_byte("    "), 127);
}

// ---- checks and messages ----------------------------------------------------------

struct Case {
    const char* what;
    std::vector<std::string> cards;
    std::string err;
};

std::vector<std::string> with_cards(std::vector<std::string> cards, std::size_t at,
                                    const std::string& c) {
    cards.insert(cards.begin() + static_cast<long>(at), c);
    return cards;
}

TEST(DbBuildCheck, OneMessagePerFault) {
    std::vector<std::string> short_card = two_records();
    short_card[2].pop_back();
    std::vector<std::string> lower_k = two_records();
    lower_k[3][79] = 'k';  // the alphabet is matched exactly
    std::vector<std::string> tab = two_records();
    tab[9][4] = '\t';
    std::vector<std::string> no_k = two_records();
    no_k.pop_back();
    std::vector<std::string> many_i = {first_card("000001")};
    for (int i = 0; i < 69; ++i) many_i.push_back(card('I'));
    many_i.push_back(card('K'));
    std::vector<std::string> long_names = {first_card("000001")};
    for (int i = 0; i < 5; ++i) {
        long_names.push_back(card('6', {{1, std::string(60, 'a')}, {69, "C"}}));
    }
    long_names.push_back(card('K'));

    const std::vector<Case> cases = {
        {"card of 79 characters", short_card,
         "t.crd:3: record 1, card 3: the card is 79 characters long, not 80\n"},
        {"unknown type", lower_k,
         "t.crd:4: record 1, card 4: column 80 holds 'k', which is not a card type of "
         "\"123456789ABCDEFGHIJK+*\"\n"},
        {"control character", tab,
         "t.crd:10: record 2, card 1 (type 1): column 5 holds a control character (code 9)\n"},
        {"no K card", no_k, "t.crd:10: record 2: the file ends before the record's K card\n"},
        {"no type-1 card first", with_cards(two_records(), 9, card('6', {{1, "x"}, {69, "P"}})),
         "t.crd:10: record 2, card 1 (type 6): a record must start with a type-1 card\n"},
        {"69 I cards", many_i,
         "t.crd:70: record 1, card 70 (type I): too many cards of type I (a record holds at "
         "most 68)\n"},
        {"two G cards",
         {first_card("000001"), card('G'), card('G'), card('K')},
         "t.crd:3: record 1, card 3 (type G): too many cards of type G (a record holds at "
         "most 1)\n"},
        {"d-spacing below 0.770299",
         {first_card("000001"), card('K'), first_card("000002"),
          card('I', {{1, " 1.0000 10   1  0  0"}, {24, " 0.5000 20   1  1  0"}}), card('K')},
         "t.crd:4: record 2, card 2 (type I): d-spacing '0.5000' has no angle code\n"},
        {"negative d-spacing",
         {first_card("000001"), card('I', {{1, "-1.0000100"}}), card('K')},
         "t.crd:2: record 1, card 2 (type I): d-spacing '-1.0000' has no angle code\n"},
        {"smallest d-spacing with a code",
         {first_card("000001"), card('I', {{1, ".770299100"}}), card('K')},
         ""},
        {"numeric fields",
         {first_card("000001"),
          card('I', {{1, " 1.0x00 10   1  0  0"},
                     {24, " 1.0000300   1  0  0"},
                     {47, " 2.0000 1x   1  0  0"}}),
          card('I', {{1, " 1.0000 10   1  a  0"}}), card('9', {{1, "AMMIAY"}, {17, "19x6"}}),
          card('K')},
         "t.crd:4: record 1, card 4 (type 9): year '19x6' is not a number\n"
         "t.crd:2: record 1, card 2 (type I): d-spacing '1.0x00' is not a number\n"
         "t.crd:2: record 1, card 2 (type I): intensity 300 is outside 0 to 255\n"
         "t.crd:2: record 1, card 2 (type I): intensity '1x' is not a number\n"
         "t.crd:3: record 1, card 3 (type I): Miller indices '  1  a  0' are not numbers\n"},
        {"entry number not digits",
         {first_card("05 628"), card('K')},
         "t.crd:1: record 1, card 1 (type 1): entry number '05 628' in columns 73-78 is not "
         "six digits\n"},
        {"entry number twice",
         {first_card("050628"), card('K'), first_card("000001"), card('K'), first_card("050628"),
          card('K')},
         "t.crd:5: record 3, card 1 (type 1): entry number 050628 is already used by record 1\n"},
        // Five other names of 60 characters joined by "; " make 308 characters.
        {"text over 255 characters", long_names,
         "t.crd:7: record 1: name text 4 (other names) holds 308 characters; name.lib keeps at "
         "most 255\n"},
        {"empty file", {}, "t.crd: the card file holds no record\n"},
    };
    for (const Case& c : cases) {
        const Built b = compose(c.cards);
        EXPECT_EQ(b.err, c.err) << c.what;
        EXPECT_EQ(b.faults > 0, !c.err.empty()) << c.what;
    }
}

TEST(DbBuildCheck, YearsRefLibCannotHold) {
    // Code 127 means "no year", so 2027 cannot be stored; nor can years before
    // 1900 or after 2155, which a byte would wrap.
    for (const char* year : {"2027", "1899", "2156"}) {
        const Built b =
            compose({first_card("000001"), card('9', {{1, "AMMIAY"}, {17, year}}), card('K')});
        EXPECT_EQ(b.err, "t.crd:2: record 1, card 2 (type 9): year " + std::string(year) +
                             " cannot be stored (years 1900 to 2155 are kept, except 2027)\n");
    }
}

// ---- code tables ------------------------------------------------------------------

// A mineral.tbl group line: code, name in columns 7-26, member count in 28-29.
std::string group_line(int members) {
    return "CAL   " + std::string("Calcite").append(13, ' ') + "  " + std::to_string(members) +
           "\n";
}

struct Tables {
    cvtest::TempDir dir;
    Tables() {
        std::string codens = std::string("000000         3").append(64, ' ') + "\n";
        codens += std::string("AMMIAY Am. Mineral.").append(61, ' ') + "\n";
        codens += std::string("ZEKRDZ Z. Kristallogr.").append(58, ' ') + "\n";
        put("codens.tbl", codens);
        put("picodes.tbl", "GA5alpha\nPM3+/-\n");
        put("stdcodes.tbl", "SI     silicon\n");
        put("mineral.tbl", group_line(1) + "   CAL   Calcite\n");
    }
    void put(const std::string& name, const std::string& text) {
        cvtest::write_file(dir.path() / name, text);
    }
    std::string check() {
        std::array<std::string, 4> t;
        std::ostringstream err;
        cv::read_code_tables(dir.path().string(), t, err);
        return err.str();
    }
};

TEST(DbBuildTables, Layouts) {
    Tables t;
    EXPECT_EQ(t.check(), "");
    const std::string dir = t.dir.path().string();
    const std::string codens = cvtest::read_file(t.dir.path() / "codens.tbl");

    t.put("codens.tbl", codens.substr(0, 200));
    EXPECT_EQ(t.check(), dir + "/codens.tbl: 200 bytes are not whole records of 81 bytes\n");
    std::string swapped = codens;
    swapped.replace(81, 6, "ZZZZZZ");
    t.put("codens.tbl", swapped);
    EXPECT_EQ(t.check(),
              dir + "/codens.tbl: record 3: key 'ZEKRDZ' does not come after 'ZZZZZZ'\n");
    std::string miscounted = codens;
    miscounted[15] = '4';
    t.put("codens.tbl", miscounted);
    EXPECT_EQ(t.check(),
              dir + "/codens.tbl: record 1 must give the record count 3 in columns 7-16\n");
    t.put("codens.tbl", codens);

    t.put("picodes.tbl", "GAxalpha\n");
    EXPECT_EQ(t.check(),
              dir + "/picodes.tbl:1: column 3 must hold the display length, one digit\n");
    t.put("picodes.tbl", "GA5alpha\n");
    t.put("mineral.tbl", group_line(2) + "   CAL   Calcite\n");
    EXPECT_EQ(t.check(), dir + "/mineral.tbl: the file ends 1 member lines early\n");
    fs::remove(t.dir.path() / "mineral.tbl");
    EXPECT_EQ(t.check(), dir + "/mineral.tbl: cannot be read\n");
}

// ---- writing the directory ------------------------------------------------------------

struct Workspace {
    cvtest::TempDir dir;
    Tables tables;
    std::string cards() const { return dir / "t.crd"; }
    std::string out() const { return dir / "db"; }
    int build(const std::vector<std::string>& cardlist, std::string* err = nullptr) {
        cvtest::write_file(cards(), file_of(cardlist));
        std::ostringstream e;
        const int rc = cv::krxbuild(cards(), out(), tables.dir.path().string(), e);
        if (err) *err = e.str();
        return rc;
    }
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir.path())) {
            names.push_back(e.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST(DbBuildWrite, NewDirectoryHoldsEveryFile) {
    Workspace w;
    ASSERT_EQ(w.build(two_records()), 0);
    for (const char* name :
         {"krx2.dat", "kelpa.ind", "name.lib", "di.lib", "ref.lib", "pdsize.txt", "stdcodes.tbl",
          "mineral.tbl", "picodes.tbl", "codens.tbl", "tarnloc.txt"}) {
        EXPECT_TRUE(fs::is_regular_file(fs::path(w.out()) / name)) << name;
    }
    EXPECT_EQ(cvtest::read_file(fs::path(w.out()) / "pdsize.txt"), "2 11 37 8 32\n");
    EXPECT_EQ(cvtest::read_file(fs::path(w.out()) / "picodes.tbl"), "GA5alpha\nPM3+/-\n");
    const std::string dirline = fs::canonical(w.out()).string() + "/\n";
    EXPECT_EQ(cvtest::read_file(fs::path(w.out()) / "tarnloc.txt"), dirline + dirline + dirline);
    // Nothing is left beside it.
    EXPECT_EQ(w.entries(), (std::vector<std::string>{"db", "t.crd"}));
}

TEST(DbBuildWrite, NothingIsWrittenOnError) {
    Workspace w;
    std::vector<std::string> cards = two_records();
    cards.pop_back();
    std::string err;
    EXPECT_EQ(w.build(cards, &err), 1);
    EXPECT_EQ(err, w.cards() + ":10: record 2: the file ends before the record's K card\n");
    EXPECT_FALSE(fs::exists(w.out()));
    EXPECT_EQ(w.entries(), (std::vector<std::string>{"t.crd"}));

    // A fault in a code table stops the build as well.
    w.tables.put("picodes.tbl", "GAxalpha\n");
    EXPECT_EQ(w.build(two_records()), 1);
    EXPECT_FALSE(fs::exists(w.out()));
}

TEST(DbBuildWrite, UnusableOutputPaths) {
    Workspace w;
    cvtest::write_file(w.cards(), file_of(two_records()));
    auto build_into = [&](const std::string& out) {
        std::ostringstream err;
        EXPECT_EQ(cv::krxbuild(w.cards(), out, w.tables.dir.path().string(), err), 1) << out;
        return err.str();
    };
    // A file of that name is not replaced by a directory.
    cvtest::write_file(w.out(), "a file");
    EXPECT_EQ(build_into(w.out()), w.out() + ": exists and is not a directory\n");
    EXPECT_EQ(cvtest::read_file(w.out()), "a file");

    const std::string broken = w.dir / "a\nb";
    EXPECT_EQ(build_into(broken),
              broken + ": a line end in the path cannot stand in tarnloc.txt\n");
    EXPECT_FALSE(fs::exists(broken));
}

TEST(DbBuildWrite, ExistingDatabaseIsReplacedOnlyWhenTheBuildSucceeds) {
    Workspace w;
    ASSERT_EQ(w.build(two_records()), 0);
    const fs::path out = w.out();
    cvtest::write_file(out / "notes.txt", "kept");
    const std::string old_index = cvtest::read_file(out / "kelpa.ind");

    // A faulty card file leaves the old database as it was.
    std::vector<std::string> bad = two_records();
    bad[7][79] = '?';
    EXPECT_EQ(w.build(bad), 1);
    EXPECT_EQ(cvtest::read_file(out / "kelpa.ind"), old_index);

    // A sound one replaces its files, keeps other files and leaves no
    // temporary names behind.
    ASSERT_EQ(w.build({first_card("000077"), card('K')}), 0);
    EXPECT_EQ(cvtest::read_file(out / "kelpa.ind"),
              bytes({0, 0, 0, 77, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(cvtest::read_file(out / "pdsize.txt"), "1 2 4 1 5\n");
    EXPECT_EQ(cvtest::read_file(out / "notes.txt"), "kept");
    int files = 0;
    for (const auto& e : fs::directory_iterator(out)) {
        EXPECT_NE(e.path().filename().string()[0], '.') << e.path();
        ++files;
    }
    EXPECT_EQ(files, 12);
}

}  // namespace
