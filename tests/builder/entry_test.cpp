// What one record puts into the KRX1 files: the names, the reference, the
// year, the lines and the entry number, each read off cards laid out by hand,
// and the message of each field that cannot be stored.
#include "support/support.h"

namespace {

using namespace cvtest;

struct Built {
    int faults = 0;
    corvane::builder::KrxDatabase db;
    std::string err;
};

Built compose(const Cards& cards) {
    Built b;
    std::ostringstream err;
    b.faults = corvane::builder::compose_database(file_of(cards), "t.crd", b.db, &err);
    b.err = err.str();
    EXPECT_EQ(b.faults > 0, !b.err.empty()) << b.err;
    return b;
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

}  // namespace
