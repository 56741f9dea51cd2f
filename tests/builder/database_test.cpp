#include <corvane/builder/bitlib.h>
#include <corvane/builder/codetables.h>

#include "support/support.h"

namespace {

using namespace cvtest;
using corvane::builder::BuildLimits;
using corvane::builder::DLine;
using corvane::builder::KrxDatabase;

struct Built {
    int faults = 0;
    KrxDatabase db;
    std::string err;
};

Built compose(const Cards& cards, const BuildLimits& lim = {}) {
    Built b;
    std::ostringstream err;
    b.faults = corvane::builder::compose_database(file_of(cards), "t.crd", b.db, &err, lim);
    b.err = err.str();
    EXPECT_EQ(b.faults > 0, !b.err.empty()) << b.err;
    return b;
}

TEST(BitLibrary, StrongestLinesByIntensityThenLineOrder) {
    // Lines as (intensity, bucket); the buckets tell the lines apart.
    const struct {
        std::vector<std::pair<int, int>> lines;
        std::vector<int> buckets;  // of the strongest, strongest first
    } cases[] = {
        {{{10, 1}, {100, 2}, {52, 3}, {100, 4}, {4, 5}}, {2, 4, 3}},
        {{{7, 1}, {7, 2}, {7, 3}, {7, 4}}, {1, 2, 3}},
        {{{5, 1}, {9, 2}}, {2, 1}},
        {{}, {}},
    };
    for (const auto& c : cases) {
        std::vector<DLine> lines;
        for (const auto& [intensity, bucket] : c.lines) lines.push_back({0, intensity, bucket});
        std::array<DLine, 3> out;
        const std::size_t n = corvane::builder::strongest_lines(lines, out);
        std::vector<int> got;
        for (std::size_t i = 0; i < n; ++i) got.push_back(out[i].bucket);
        EXPECT_EQ(got, c.buckets);
    }
}

TEST(BitLibrary, EntryNIsBitNMinus1OfBigEndianWords) {
    // 33 entries take two words a record: entry 1 in bucket 629, entry 32 in
    // buckets 1 and 2, entry 33 in bucket 1.
    corvane::builder::DBitLibrary lib;
    for (int n = 1; n <= 33; ++n) {
        lib.add_entry(n == 1    ? std::vector<DLine>{{0, 0, 629}}
                      : n == 32 ? std::vector<DLine>{{0, 0, 1}, {0, 0, 2}}
                      : n == 33 ? std::vector<DLine>{{0, 0, 1}}
                                : std::vector<DLine>{});
    }
    std::string file;
    corvane::builder::StringOut out(file);
    ASSERT_TRUE(lib.write(out));
    std::string expected(629 * 8, '\0');
    expected.replace(0, 8, cvtest::bytes({0x80, 0, 0, 0, 0, 0, 0, 1}));  // bucket 1
    expected.replace(8, 8, cvtest::bytes({0x80, 0, 0, 0, 0, 0, 0, 0}));  // bucket 2
    expected.replace(628 * 8, 8, cvtest::bytes({0, 0, 0, 1, 0, 0, 0, 0}));
    EXPECT_EQ(file, expected);
}

TEST(Entry, NamesAndFormula) {
    // A continued chemical name joins after a hyphen directly, else after a
    // blank; the first "P" and "M" cards count; every "C" name is listed with
    // its continuations; the formula loses its blanks.
    const struct {
        Cards cards;
        std::string namelib;
    } cases[] = {
        {{card('6', {{1, "Rock"}, {69, "C"}, {70, "C"}}), card('6', {{1, "salt"}}),
          card('6', {{1, "Halite"}, {69, "M"}}), card('6', {{1, "Sodium-"}, {69, "P"}, {70, "C"}}),
          card('6', {{1, "potassium chloride"}}), card('7', {{1, "Ca Mg ( C O3 )2"}, {70, "C"}}),
          card('7', {{1, "Fe"}}), card('7', {{1, "Ca C O3"}, {69, "S"}})},
         bytes({25, 6, 12, 9}) + "Sodium-potassium chloride" + "Halite" + "CaMg(CO3)2Fe" +
             "Rock salt"},
        {{card('6', {{1, "Magnesium"}, {69, "P"}, {70, "C"}}), card('6', {{1, "aluminate"}}),
          card('6', {{1, "Spinel"}, {69, "C"}}), card('6', {{1, "Magnesia spinel"}, {69, "C"}})},
         bytes({19, 0, 0, 23}) + "Magnesium aluminate" + "Spinel; Magnesia spinel"},
    };
    for (const auto& c : cases) EXPECT_EQ(compose(rec("000001", c.cards)).db.namelib, c.namelib);
}

TEST(Entry, ReferenceChoiceAuthorsAndYear) {
    // The blank source wins over "UC" and "KW"; continuation cards, which carry
    // no source code, start no reference; two of them at most. The year byte
    // is the year less 1900, 127 for none, so 2027 cannot be stored.
    const std::string uc = card('9', {{1, "ACBCAR"}, {22, "Baur"}, {68, "UC"}});
    const auto dated = [](const char* year) {
        return Cards{card('9', {{1, "AMMIAY"}, {17, year}})};
    };
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
        {{}, bytes({0, 0, 0, 0, 127})},
        {dated("1900"), bytes({6, 0, 0, 0, 0}) + "AMMIAY"},
        {dated("2028"), bytes({6, 0, 0, 0, 128}) + "AMMIAY"},
        {dated("2155"), bytes({6, 0, 0, 0, 255}) + "AMMIAY"},
    };
    for (const auto& c : cases) EXPECT_EQ(compose(rec("000001", c.cards)).db.reflib, c.reflib);
}

TEST(Entry, LinesAreStoredAsCodesInCardOrder) {
    // d = 1.0 is code 3756 = 0x0EAC; d = 2.0, written without a decimal point,
    // is -15601 = 0xC30F; 0.770299, the smallest with a code, is 31416 =
    // 0x7AB8; a group whose d-spacing is 0 holds no line.
    const Built b = compose(
        rec("000001", {card('I', {{1, " 1.0000100   1  1  1"}, {24, "  20000 50   2  0  0"}}),
                       card('I', {{1, " 0.0000 77   x  x  x"}, {24, ".770299  0   0  0  0"}})}));
    EXPECT_EQ(b.err, "");
    EXPECT_EQ(b.db.dilib, bytes({3, 0x0E, 0xAC, 0xC3, 0x0F, 0x7A, 0xB8, 100, 50, 0}));
}

TEST(Entry, EachFieldThatCannotBeStoredIsOneMessage) {
    const struct {
        Cards cards;
        std::string err;
    } cases[] = {
        {rec("000001", {card('I', {{1, " 0.5000 20   1  1  0"}})}),
         "t.crd:2: record 1, card 2 (type I): d-spacing '0.5000' has no angle code\n"},
        // A code krxtod cannot decode is no code either.
        {rec("000001", {card('I', {{1, "1.0E+05100"}})}),
         "t.crd:2: record 1, card 2 (type I): d-spacing '1.0E+05' has no angle code\n"},
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
        {rec("000001", {card('9', {{1, "AMMIAY"}, {17, "2027"}})}),
         "t.crd:2: record 1, card 2 (type 9): year 2027 cannot be stored (years 1900 to 2155 "
         "are kept, except 2027)\n"},
        {rec("05 628"),
         "t.crd:1: record 1, card 1 (type 1): entry number '05 628' in columns 73-78 is not "
         "six digits\n"},
        {rec("050628") + rec("000001") + rec("050628"),
         "t.crd:5: record 3, card 1 (type 1): entry number 050628 is already used by record 1\n"},
        // Five other names of 60 characters joined by "; " make 308 characters.
        {rec("000001", Cards(5, card('6', {{1, std::string(60, 'a')}, {69, "C"}}))),
         "t.crd:7: record 1: name text 4 (other names) holds 308 characters; name.lib keeps at "
         "most 255\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(compose(c.cards).err, c.err);
}

// Record 1: entry 000012 with names, a reference and two lines (d = 1.0 and
// d = 2.0); record 2: entry 123456 with nothing but its type-1 and K cards.
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

TEST(Database, EveryFileOfTwoRecords) {
    const Built b = compose(two_records());
    const KrxDatabase& db = b.db;
    ASSERT_EQ(b.faults, 0) << b.err;
    // krx2.dat: the eleven cards back to back.
    EXPECT_EQ(db.krx2, file_of(two_records(), ""));
    // kelpa.ind: entid, namoff, dioff, refoff, recoff, big-endian. Record 2
    // starts after the 9 cards of record 1 (byte 720), after its name record
    // of 4 + 13 + 6 + 4 + 6 = 33 bytes, its di record of 1 + 4 + 2 = 7 bytes
    // and its reference record of 5 + 6 + 2 + 3 + 11 = 27 bytes.
    EXPECT_EQ(db.kelpa, index_record(12, 0, 0, 0, 0) + index_record(123456, 33, 7, 27, 720));
    EXPECT_EQ(db.namelib.substr(33), bytes({0, 0, 0, 0}));
    EXPECT_EQ(db.dilib.substr(7), bytes({0}));
    EXPECT_EQ(db.reflib.substr(27), bytes({0, 0, 0, 0, 127}));
    EXPECT_EQ(db.sizes, (std::array<std::int32_t, 5>{2, 11, 37, 8, 32}));
    // The bit libraries: 629 records of one word; d = 1.0 and 2.0 lie in
    // buckets 352 and 158, so only those records hold entry 1 (bit 0).
    std::string dall(629 * 4, '\0');
    dall[351 * 4 + 3] = dall[157 * 4 + 3] = 1;
    EXPECT_EQ(db.dall, dall);
    EXPECT_EQ(db.dtop3, dall);
}

TEST(Database, LimitsOfADatabase) {
    // No file may pass the offset limit (here 800): record 2 takes krx2.dat to 880.
    const Built b = compose(two_records(), {250016, 800});
    EXPECT_EQ(b.faults, 1);
    EXPECT_EQ(b.err,
              "t.crd:11: record 2: krx2.dat would pass 800 bytes, the largest offset kelpa.ind "
              "can hold\n");
    EXPECT_EQ(compose({}).err, "t.crd: the card file holds no record\n");
}

TEST(CodeTables, Layouts) {
    TempDir dir;
    const std::string d = dir.slash();
    const std::string codens = std::string("000000         3").append(64, ' ') + "\n" +
                               std::string("AMMIAY Am. Mineral.").append(61, ' ') + "\n" +
                               std::string("ZEKRDZ Z. Kristallogr.").append(58, ' ') + "\n";
    // A mineral.tbl group line: code, name in columns 7-26, member count in 28-29.
    const std::string calcite = "CAL   " + std::string("Calcite").append(13, ' ') + "  ";
    const std::string good[] = {codens, "GA5alpha\nPM3+/-\n", calcite + "1\n   CAL   Calcite\n"};
    const struct {
        int file;  // codens, picodes, mineral
        std::string text, message;
    } cases[] = {
        {0, codens, ""},
        {0, std::string(codens).replace(81, 6, "ZZZZZZ"),
         "codens.tbl: record 3: key 'ZEKRDZ' does not come after 'ZZZZZZ'\n"},
        {0, std::string(codens).replace(15, 1, "4"),
         "codens.tbl: record 1 must give the record count 3 in columns 7-16\n"},
        {1, "GAxalpha\n", "picodes.tbl:1: column 3 must hold the display length, one digit\n"},
        {2, calcite + "2\n   CAL   Calcite\n", "mineral.tbl: the file ends 1 member lines early\n"},
        {2, "-", "mineral.tbl: open: No such file or directory\n"},  // "-": no such file
    };
    const char* names[] = {"codens.tbl", "picodes.tbl", "mineral.tbl"};
    dir.write("stdcodes.tbl", "SI     silicon\n");
    for (const auto& c : cases) {
        for (int f = 0; f < 3; ++f) dir.write(names[f], f == c.file ? c.text : good[f]);
        if (c.text == "-") fs::remove(dir.path() / names[c.file]);
        std::array<std::string, 4> t;
        std::ostringstream err;
        corvane::builder::read_code_tables(dir.bare(), t, err);
        EXPECT_EQ(err.str(), c.message.empty() ? "" : d + c.message);
    }
}

}  // namespace
