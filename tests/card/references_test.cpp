#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "card/formatter.h"
#include "cardkit.h"

using cardkit::ScratchDir;
using cv::card::Formatter;

namespace {

const std::string kJour57(57, 'q');
// Seven words of nine letters: 69 characters.
const std::string kJour69 = "Aaaaaaaaa Bbbbbbbbb Ccccccccc Ddddddddd Eeeeeeeee Fffffffff Ggggggggg";

std::string rec81(std::string_view text) {
    std::string r(text);
    r.resize(80, ' ');
    return r + "\n";
}

// The journal table: record 1 (blank key, the count), then keys ascending.
std::string journals(int count = 9) {
    std::string n = std::to_string(count);
    std::string t = rec81("      " + std::string(10 - n.size(), ' ') + n);
    t += rec81("ACCRA9 Acta Crystallogr.");
    t += rec81("JACSAT J. Am. Chem. Soc.");
    t += rec81("JOUR57 " + kJour57);
    t += rec81("JOUR69 " + kJour69);
    t += rec81("NATUAS Nature");
    t += rec81("NOBLNK Abcdefghijklmnopqrstuvwxyz Journal");
    t += rec81("PHRVAO Phys. Rev.,");
    t += rec81("ZEKRDZ Z. Kristallogr.");
    return t;
}

// A reference card: CODEN 1-6, volume 7-10, page 11-15, year 17-20, authors
// 22-67, source 68-69, continuation 70, type 80.
std::string ref(std::string_view coden, std::string_view vol, std::string_view page,
                std::string_view year, std::string_view authors, std::string_view src = "  ",
                char cont = ' ') {
    std::string c = cardkit::card("", '9');
    cardkit::at(c, 1, coden);
    cardkit::at(c, 7, vol);
    cardkit::at(c, 11, page);
    cardkit::at(c, 17, year);
    cardkit::at(c, 22, authors);
    cardkit::at(c, 68, src);
    c[69] = cont;
    return c;
}

class References : public ::testing::Test {
  protected:
    void SetUp() override {
        dir.write("codens.tbl", journals());
        f.opentables();
        out.str("");
    }
    void cards(const std::vector<std::string>& refs) {
        f.updat2.ncrd(9) = static_cast<int>(refs.size());
        for (std::size_t k = 0; k < refs.size(); ++k) f.card(9, static_cast<int>(k) + 1) = refs[k];
    }
    // Reference k composed into a field of width w; the text up to its last
    // non-blank character.
    std::string compose(int k, std::size_t w = 165, int* status = nullptr) {
        std::string text(w, '?');
        const int st = f.phref(k, text);
        if (status != nullptr) *status = st;
        EXPECT_EQ(text.size(), w);
        const auto last = text.find_last_not_of(' ');
        return last == std::string::npos ? "" : text.substr(0, last + 1);
    }

    ScratchDir dir, other;
    std::ostringstream out;
    Formatter f{dir.slash(), other.slash(), out};
};

}  // namespace

TEST_F(References, SeekxFindsEveryKeyByHalving) {
    std::string jtext;
    EXPECT_EQ(f.seekx("ACCRA9", jtext), 0);
    EXPECT_EQ(jtext, "Acta Crystallogr." + std::string(54, ' '));
    EXPECT_EQ(f.seekx("NOBLNK", jtext), 0);
    EXPECT_EQ(jtext.substr(0, 34), "Abcdefghijklmnopqrstuvwxyz Journal");
    EXPECT_EQ(f.seekx("ZEKRDZ", jtext), 0);
    EXPECT_EQ(jtext.substr(0, 16), "Z. Kristallogr. ");
    EXPECT_EQ(f.seekx("JOUR69", jtext), 0);
    EXPECT_EQ(jtext.substr(0, 69), kJour69);
    EXPECT_EQ(jtext.size(), 71u);
}

TEST_F(References, SeekxMissesGiveTheNotFoundText) {
    const std::string missing = "***misspelled or not in coden file***" + std::string(34, ' ');
    for (const char* key : {"AAAAAA", "JOUR60", "ZZZZZZ", "jacsat"}) {
        std::string jtext = "junk";
        EXPECT_EQ(f.seekx(key, jtext), 1) << key;
        EXPECT_EQ(jtext, missing) << key;
    }
}

TEST_F(References, SeekxRecordOneTakesPartWithItsOwnKey) {
    std::string jtext;
    EXPECT_EQ(f.seekx("      ", jtext), 0);
}

TEST(ReferencesTable, CountBeyondTheFileEndsTheSearchAsNotFound) {
    ScratchDir dir, other;
    dir.write("codens.tbl", journals(20));  // 9 records on file
    std::ostringstream out;
    Formatter f(dir.slash(), other.slash(), out);
    f.opentables();
    std::string jtext;
    EXPECT_EQ(f.seekx("ZZZZZZ", jtext), 1);
    EXPECT_EQ(jtext.substr(0, 37), "***misspelled or not in coden file***");
}

TEST(ReferencesTable, NoTableEveryJournalIsUnknown) {
    Formatter f({}, {}, std::cout);
    std::string jtext;
    EXPECT_EQ(f.seekx("JACSAT", jtext), 1);
    f.updat2.ncrd(9) = 1;
    f.card(9, 1) = ref("JACSAT", "  61", "   12", "1939", "Xa, A.");
    std::string text(165, ' ');
    EXPECT_EQ(f.phref(1, text), 0);
    EXPECT_EQ(text.substr(0, 60), "Xa, A., ***misspelled or not in coden file***, 61 12 (1939) ");
}

TEST_F(References, LongAuthorListsBecomeTheFirstAuthorEtAl) {
    cards({ref("JACSAT", "  61", " 1234", "1939", "Xa, A., Xb, B., Xc, C., Xd, D."),
           ref("ACCRA9", "  61", " 1234", "1939", "Xa, A., Xb, B., Xc, C., Xd, D.")});
    EXPECT_EQ(compose(1), "Xa, A. et al., J. Am. Chem. Soc., 61 1234 (1939)");
    EXPECT_EQ(f.reftrk.refdon(1), 1);
    // Never shortened for this journal; the final period of an initial stays.
    EXPECT_EQ(compose(2), "Xa, A., Xb, B., Xc, C., Xd, D., Acta Crystallogr., 61 1234 (1939)");
}

TEST_F(References, JuniorDoesNotCountAsAnAuthor) {
    cards({ref("JACSAT", "  61", " 1234", "1939", "Xa, A., Jr., Xb, B., Xc, C.")});
    EXPECT_EQ(compose(1), "Xa, A., Jr., Xb, B., Xc, C., J. Am. Chem. Soc., 61 1234 (1939)");
}

TEST_F(References, TailsAfterTheThirdAuthorThatAreKept) {
    cards({ref("JACSAT", "  61", " 1234", "1939", "Xa, A., Xb, B., Xc, C., Xd, D. (in Xe, E.)"),
           ref("JACSAT", "  61", " 1234", "1939", "Xa, A., Xb, B., Xc, C., Xd, D., Conf. 12."),
           ref("JACSAT", "  61", " 1234", "1939", "Xa, A., Xb, B., Xc, C., Xd, D., Conf 15"),
           ref("JACSAT", "  61", " 1234", "1939", "Xa, A., Xb, B., Xc, C., Xd, D., Conf 5")});
    EXPECT_EQ(compose(1), "Xa, A. et al. (in Xe, E.), J. Am. Chem. Soc., 61 1234 (1939)");
    EXPECT_EQ(compose(2), "Xa, A. et al., Conf. 12, J. Am. Chem. Soc., 61 1234 (1939)");
    EXPECT_EQ(compose(3), "Xa, A. et al., Conf 15, J. Am. Chem. Soc., 61 1234 (1939)");
    // The tail is kept only when its next-to-last character is a digit.
    EXPECT_EQ(compose(4), "Xa, A. et al., J. Am. Chem. Soc., 61 1234 (1939)");
}

TEST_F(References, FinalPeriodStaysOnlyAfterInitialsShortNamesAndEtAl) {
    cards({ref("NATUAS", "", "", "", "Xa, Bo."),  // ", " capital, small letter
           ref("NATUAS", "", "", "", "Xa, A., Smith."), ref("NATUAS", "", "", "", "Xa AB."),
           ref("NATUAS", "", "", "", "Xa, A.,"),  // ends in a comma: one blank follows
           ref("NATUAS", "", "", "", "Xa, A. et al.")});
    EXPECT_EQ(compose(1), "Xa, Bo., Nature");
    EXPECT_EQ(compose(2), "Xa, A., Smith, Nature");
    EXPECT_EQ(compose(3), "Xa AB, Nature");
    EXPECT_EQ(compose(4), "Xa, A., Nature");
    EXPECT_EQ(compose(5), "Xa, A. et al., Nature");
}

TEST_F(References, IbidIsTheAuthorTextAlone) {
    cards({ref("JACSAT", "  61", " 1234", "1939", "ibid., p. 9"),
           ref("JACSAT", "  61", " 1234", "1939", "IBID.")});
    EXPECT_EQ(compose(1), "ibid., p. 9");
    EXPECT_EQ(compose(2), "IBID.");
}

TEST_F(References, BlankFieldsAreLeftOut) {
    cards({ref("JACSAT", "  61", " 1234", "1939", ""), ref("NATUAS", "", "", "", "Xa, A."),
           ref("PHRVAO", "", "", "", "Xa, A."), ref("PHRVAO", " 120", "", "", "Xa, A."),
           ref("NATUAS", "", "", "1990", "Xa, A.")});
    EXPECT_EQ(compose(1), "J. Am. Chem. Soc., 61 1234 (1939)");
    EXPECT_EQ(compose(2), "Xa, A., Nature");
    EXPECT_EQ(compose(3), "Xa, A., Phys. Rev.");  // the journal's own final comma goes
    EXPECT_EQ(compose(4), "Xa, A., Phys. Rev., 120");
    EXPECT_EQ(compose(5), "Xa, A., Nature, (1990)");
}

TEST_F(References, ContinuationCardsExtendTheAuthors) {
    cards({ref("JACSAT", "  61", " 1234", "1939", "Xa, A., Xb, B.,", "UC", 'C'),
           ref("", "", "", "", "Xc, C.", "UC"),
           ref("JACSAT", "  61", " 1234", "1939", "Xa, A.,", "UC", 'C'),
           ref("", "", "", "", "Xb, B.,", "UC", 'C'),
           ref("", "", "", "", "Xc, C., Xd, D.", "UC", 'C'),
           ref("", "", "", "", "Never joined", "UC")});
    EXPECT_EQ(compose(1), "Xa, A., Xb, B., Xc, C., J. Am. Chem. Soc., 61 1234 (1939)");
    // Three cards at most; the mark on the third is not followed.
    EXPECT_EQ(compose(3), "Xa, A. et al., J. Am. Chem. Soc., 61 1234 (1939)");
}

// A continuation mark on the record's last reference card continues with a
// blank card: neither a stale reference slot nor the slot after the last
// reference slot (the A card's) is read.
TEST_F(References, ContinuationMarkOnTheLastReferenceCardJoinsABlankCard) {
    cards({ref("NATUAS", "", "", "", "Xa, A.", "  ", 'C')});
    f.update.crdimg(24) = ref("", "", "", "", "Stale, S.");
    EXPECT_EQ(compose(1), "Xa, A., Nature");

    std::vector<std::string> ten(9, ref("NATUAS", "", "", "", "Other, O."));
    ten.push_back(ref("NATUAS", "", "", "", "Xa, A.", "  ", 'C'));
    cards(ten);
    std::string acard = cardkit::card("", 'A');
    cardkit::at(acard, 22, "Pearson type text");
    f.update.crdimg(33) = acard;
    EXPECT_EQ(compose(10), "Xa, A., Nature");
}

TEST_F(References, NoRoomGivesStatus3) {
    cards({ref("JACSAT", "  61", " 1234", "1939", "Xa, A.")});
    int status = -1;
    compose(1, 20, &status);  // "Xa, A., " leaves 12 places for 17 characters
    EXPECT_EQ(status, 3);
    // The whole reference is 41 characters; the year is checked with its
    // brackets, so 40 columns are too few and 41 enough.
    compose(1, 40, &status);
    EXPECT_EQ(status, 3);
    EXPECT_EQ(compose(1, 41, &status), "Xa, A., J. Am. Chem. Soc., 61 1234 (1939)");
    EXPECT_EQ(status, 0);
}

namespace {

std::string show(const std::string& reftxt, int nused) {
    return reftxt.substr(0, static_cast<std::size_t>(std::max(nused, 0)));
}

}  // namespace

TEST_F(References, DorefsJoinsTheReferencesOfOneSource) {
    cards({ref("NATUAS", "", "", "", "Xa, A.", "UC"), ref("NATUAS", "", "", "", "Xb, B.", "OP"),
           ref("NATUAS", "", "", "", "Xc, C.", "UC")});
    std::string reftxt(165, ' ');
    int dropd = -1, nused = -1;
    f.dorefs("UC", 0, 1, dropd, reftxt, nused);
    EXPECT_EQ(show(reftxt, nused), "Xa, A., Nature; Xc, C., Nature");
    EXPECT_EQ(nused, 30);
    EXPECT_EQ(dropd, 0);
    EXPECT_EQ(f.reftrk.refdon(1), 1);
    EXPECT_EQ(f.reftrk.refdon(2), 0);
    EXPECT_EQ(f.reftrk.refdon(3), 1);

    // Already placed on this card: not again.
    std::string again(165, ' ');
    f.dorefs("UC", 0, 1, dropd, again, nused);
    EXPECT_EQ(nused, 0);
    f.dorefs("OP", 0, 1, dropd, again, nused);
    EXPECT_EQ(show(again, nused), "Xb, B., Nature");
}

TEST_F(References, DorefsSkipsContinuationCards) {
    cards({ref("NATUAS", "", "", "", "Xa, A.,", "UC", 'C'), ref("", "", "", "", "Xb, B.", "UC")});
    std::string reftxt(165, ' ');
    int dropd = 0, nused = 0;
    f.dorefs("UC", 0, 1, dropd, reftxt, nused);
    EXPECT_EQ(show(reftxt, nused), "Xa, A., Xb, B., Nature");
    EXPECT_EQ(f.reftrk.refdon(2), 0);
}

TEST_F(References, DorefsMovesAWordThatCrossesColumn80) {
    // "Xa, A., " then the 69-character journal (columns 9-77), ", " and the
    // volume 1234 in columns 80-83: the volume starts on column 81 instead.
    cards({ref("JOUR69", "1234", "", "", "Xa, A.", "UC")});
    std::string reftxt(165, ' ');
    int dropd = 0, nused = 0;
    f.dorefs("UC", 0, 1, dropd, reftxt, nused);
    EXPECT_EQ(nused, 84);
    EXPECT_EQ(reftxt.substr(0, 84), "Xa, A., " + kJour69 + ",  1234");

    // Without wrap the word stays where it falls.
    f.reftrk.refdon(1) = 0;
    std::string plain(165, ' ');
    f.dorefs("UC", 0, 0, dropd, plain, nused);
    EXPECT_EQ(nused, 83);
    EXPECT_EQ(plain.substr(0, 83), "Xa, A., " + kJour69 + ", 1234");
}

TEST_F(References, DorefsStartsColumn81WithAWordNotABlank) {
    // Volume 1 ends on column 80; the blank after it goes, page 55 starts on 81.
    cards({ref("JOUR69", "   1", "   55", "", "Xa, A.", "UC")});
    std::string reftxt(165, ' ');
    int dropd = 0, nused = 0;
    f.dorefs("UC", 0, 1, dropd, reftxt, nused);
    EXPECT_EQ(nused, 82);
    EXPECT_EQ(reftxt.substr(0, 82), "Xa, A., " + kJour69 + ", 155");
}

TEST_F(References, DorefsStartsAnUnbreakableReferenceOnColumn81) {
    // The first reference fills 60 columns; the second has no blank within
    // its first 18 characters, which would reach column 80.
    cards({ref("JOUR57", "   1", "", "", "", "UC"), ref("NOBLNK", "  12", "", "", "", "UC")});
    std::string reftxt(165, '?');
    int dropd = 0, nused = 0;
    f.dorefs("UC", 0, 1, dropd, reftxt, nused);
    const std::string first = kJour57 + ", 1";
    const std::string second = "Abcdefghijklmnopqrstuvwxyz Journal, 12";
    EXPECT_EQ(nused, 82 + 38);
    EXPECT_EQ(reftxt.substr(0, nused), first + std::string(20, ' ') + "; " + second);
}

TEST_F(References, DorefsPutsASemicolonAloneInColumn80) {
    // The first reference is 79 characters long; the second follows on 81.
    cards({ref("JOUR69", "", "", "", "Xabc, A.", "CO"), ref("NATUAS", "", "", "", "Xb, B.", "CO")});
    std::string reftxt(500, ' ');
    int dropd = 0, nused = 0;
    f.dorefs("CO", 0, 0, dropd, reftxt, nused);
    EXPECT_EQ(nused, 94);
    EXPECT_EQ(reftxt.substr(0, 94), "Xabc, A., " + kJour69 + ";Xb, B., Nature");
}

TEST_F(References, DorefsLeavesOutWhatDoesNotFit) {
    cards({ref("JACSAT", "  61", " 1234", "1939", "Xa, A.", "UC"),
           ref("NATUAS", "", "", "", "Xb, B.", "UC")});
    std::string reftxt(40, ' ');
    int dropd = 0, nused = 0;
    f.dorefs("UC", 0, 0, dropd, reftxt, nused);
    // The first needs 41 columns and stays unplaced; the second fits.
    EXPECT_EQ(show(reftxt, nused), "Xb, B., Nature");
    EXPECT_EQ(f.reftrk.refdon(1), 0);
    EXPECT_EQ(f.reftrk.refdon(2), 1);
    EXPECT_EQ(dropd, 0);

    f.reftrk.refdon(2) = 0;
    std::string wrapped(40, ' ');
    f.dorefs("UC", 0, 1, dropd, wrapped, nused);
    EXPECT_EQ(show(wrapped, nused), "Xb, B., Nature");
    EXPECT_EQ(f.reftrk.refdon(1), 0);
}

TEST_F(References, DorefsWithAppendContinuesAnExistingText) {
    cards({ref("NATUAS", "", "", "", "Xa, A.", "UC")});
    std::string reftxt = "Earlier" + std::string(158, ' ');
    int dropd = 0, nused = 0;
    f.dorefs("UC", 1, 1, dropd, reftxt, nused);
    EXPECT_EQ(show(reftxt, nused), "Earlier; Xa, A., Nature");
}
