#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "card/formatter.h"
#include "cardkit.h"

using cardkit::rec81;
using cardkit::ScratchDir;
using cv::card::Formatter;

namespace {

const std::string kJour57(57, 'q');
const std::string kJour69 =  // seven words of nine letters
    "Aaaaaaaaa Bbbbbbbbb Ccccccccc Ddddddddd Eeeeeeeee Fffffffff Ggggggggg";
const std::string kMissing = "***misspelled or not in coden file***";

// The journal table: record 1 (blank key and the count), then ascending keys.
std::string journals(const std::string& count) {
    std::string t = rec81("      " + std::string(10 - count.size(), ' ') + count);
    for (const std::string& r : std::initializer_list<std::string>{
             "ACCRA9 Acta Crystallogr.", "JACSAT J. Am. Chem. Soc.", "JOUR57 " + kJour57,
             "JOUR69 " + kJour69, "NATUAS Nature", "NOBLNK Abcdefghijklmnopqrstuvwxyz Journal",
             "PHRVAO Phys. Rev.,", "ZEKRDZ Z. Kristallogr."}) {
        t += rec81(r);
    }
    return t;
}

// A reference card: CODEN 1-6, volume 7-10, page 11-15, year 17-20, authors
// 22-67, source 68-69, continuation mark 70.
std::string ref(std::string_view coden, std::string_view authors, std::string_view vpy = "",
                std::string_view src = "  ", char cont = ' ') {
    std::string c = cardkit::card("", '9');
    cardkit::at(c, 1, coden);
    cardkit::at(c, 7, vpy);  // volume, page and year as they stand in 7-20
    cardkit::at(c, 22, authors);
    cardkit::at(c, 68, src);
    c[69] = cont;
    return c;
}
const char* const kVPY = "  61 1234 1939";  // volume 61, page 1234, year 1939

class References : public ::testing::Test {
  protected:
    void SetUp() override {
        dir.write("codens.tbl", journals("9"));
        f.opentables();
    }
    void cards(const std::vector<std::string>& refs) {
        f.updat2.ncrd(9) = static_cast<int>(refs.size());
        for (std::size_t k = 0; k < refs.size(); ++k) f.card(9, static_cast<int>(k) + 1) = refs[k];
    }
    // Reference k composed into w columns, up to its last non-blank.
    std::string compose(int k, std::size_t w = 165, int want_status = 0) {
        std::string text(w, '?');
        EXPECT_EQ(f.phref(k, text), want_status);
        EXPECT_EQ(text.size(), w);
        return text.substr(0, text.find_last_not_of(' ') + 1);
    }
    // dorefs into a text of w columns; the text up to nused.
    std::string gather(std::string_view src, int wrap, std::size_t w = 165, int appnd = 0,
                       std::string start = "") {
        std::string text = start + std::string(w - start.size(), ' ');
        int dropd = -1;
        f.dorefs(src, appnd, wrap, dropd, text, nused);
        EXPECT_EQ(dropd, 0);
        return text.substr(0, static_cast<std::size_t>(nused));
    }

    ScratchDir dir;
    std::ostringstream out;
    Formatter f{dir.slash(), "", out};
    int nused = -1;
};

}  // namespace

TEST_F(References, SeekxHalvesTheTableByCharacterCode) {
    std::string jtext;
    for (const auto& [key, text] : std::initializer_list<std::pair<const char*, std::string>>{
             {"ACCRA9", "Acta Crystallogr."},
             {"JOUR69", kJour69},
             {"NOBLNK", "Abcdefghijklmnopqrstuvwxyz Journal"},
             {"ZEKRDZ", "Z. Kristallogr."},
             {"AAAAAA", kMissing},
             {"JOUR60", kMissing},
             {"ZZZZZZ", kMissing},
             {"jacsat", kMissing}}) {
        EXPECT_EQ(f.seekx(key, jtext), text == kMissing ? 1 : 0) << key;
        EXPECT_EQ(jtext, text + std::string(71 - text.size(), ' ')) << key;
    }
    // Record 1 takes part with its own (blank) key.
    EXPECT_EQ(f.seekx("      ", jtext), 0);
    // Nine look-ups in nine records, each reading at most 4 = log2(9 + 1)
    // rounded up (record 1 was read when the table was opened).
    EXPECT_LE(f.codens.reads(), 1 + 9 * 4);
}

TEST(ReferencesTable, ACountBeyondTheFileOrNoTableFindsNothing) {
    ScratchDir dir;
    dir.write("codens.tbl", journals("20"));  // 9 records on file
    Formatter f(dir.slash()), none;
    f.opentables();
    std::string jtext;
    EXPECT_EQ(f.seekx("ZZZZZZ", jtext), 1);
    EXPECT_EQ(none.seekx("JACSAT", jtext), 1);
    none.updat2.ncrd(9) = 1;
    none.card(9, 1) = ref("JACSAT", "Xa, A.", "  61   12 1939");
    std::string text(165, ' ');
    EXPECT_EQ(none.phref(1, text), 0);
    EXPECT_EQ(text.substr(0, 60), "Xa, A., " + kMissing + ", 61 12 (1939) ");
}

TEST_F(References, AuthorListsAreShortenedAfterTheThirdInitials) {
    cards({ref("JACSAT", "Xa, A., Xb, B., Xc, C., Xd, D.", kVPY),
           ref("ACCRA9", "Xa, A., Xb, B., Xc, C., Xd, D.", kVPY),
           ref("JACSAT", "Xa, A., Jr., Xb, B., Xc, C.", kVPY),
           ref("JACSAT", "Xa, A., Xb, B., Xc, C., Xd, D. (in Xe, E.)", kVPY),
           ref("JACSAT", "Xa, A., Xb, B., Xc, C., Xd, D., Conf. 12.", kVPY),
           ref("JACSAT", "Xa, A., Xb, B., Xc, C., Xd, D., Conf 5", kVPY)});
    EXPECT_EQ(compose(1), "Xa, A. et al., J. Am. Chem. Soc., 61 1234 (1939)");
    EXPECT_EQ(f.reftrk.refdon(1), 1);
    // Never shortened for this journal; the period after an initial stays.
    EXPECT_EQ(compose(2), "Xa, A., Xb, B., Xc, C., Xd, D., Acta Crystallogr., 61 1234 (1939)");
    // The separator after " Jr." is not counted: two authors only.
    EXPECT_EQ(compose(3), "Xa, A., Jr., Xb, B., Xc, C., J. Am. Chem. Soc., 61 1234 (1939)");
    // A bracketed remark, or a tail from the last ", " when the text ends in a
    // number, is kept.
    EXPECT_EQ(compose(4), "Xa, A. et al. (in Xe, E.), J. Am. Chem. Soc., 61 1234 (1939)");
    EXPECT_EQ(compose(5), "Xa, A. et al., Conf. 12, J. Am. Chem. Soc., 61 1234 (1939)");
    EXPECT_EQ(compose(6),
              "Xa, A. et al., J. Am. Chem. Soc., 61 1234 (1939)");  // 5 is no next-to-last digit
}

TEST_F(References, FinalPeriodAndLeftOutFields) {
    cards({ref("NATUAS", "Xa, Bo."), ref("NATUAS", "Xa, A., Smith."), ref("NATUAS", "Xa AB."),
           ref("NATUAS", "Xa, A.,"), ref("NATUAS", "Xa, A. et al."), ref("JACSAT", "", kVPY),
           ref("PHRVAO", "Xa, A."), ref("PHRVAO", "Xa, A.", " 120"),
           ref("NATUAS", "Xa, A.", "          1990"), ref("JACSAT", "ibid., p. 9", kVPY)});
    const char* want[] = {"Xa, Bo., Nature",  // ", " + capital + small letter
                          "Xa, A., Smith, Nature",
                          "Xa AB, Nature",
                          "Xa, A., Nature",  // a comma gets one blank
                          "Xa, A. et al., Nature",
                          "J. Am. Chem. Soc., 61 1234 (1939)",
                          "Xa, A., Phys. Rev.",  // the journal's own final comma goes
                          "Xa, A., Phys. Rev., 120",
                          "Xa, A., Nature, (1990)",
                          "ibid., p. 9"};  // the author text alone
    for (int k = 1; k <= 10; ++k) EXPECT_EQ(compose(k), want[k - 1]) << k;
}

TEST_F(References, ContinuationCardsExtendTheAuthorsUpToThreeCards) {
    cards({ref("JACSAT", "Xa, A., Xb, B.,", kVPY, "UC", 'C'), ref("", "Xc, C.", "", "UC"),
           ref("JACSAT", "Xa, A.,", kVPY, "UC", 'C'), ref("", "Xb, B.,", "", "UC", 'C'),
           ref("", "Xc, C., Xd, D.", "", "UC", 'C'), ref("", "Never joined", "", "UC")});
    EXPECT_EQ(compose(1), "Xa, A., Xb, B., Xc, C., J. Am. Chem. Soc., 61 1234 (1939)");
    EXPECT_EQ(compose(3), "Xa, A. et al., J. Am. Chem. Soc., 61 1234 (1939)");
    f.reftrk.refdon.fill(0);  // as the layout does before each card
    // The second starts on column 60: "Am." ends on column 80, so the blank
    // after it goes and "Chem." starts column 81.
    EXPECT_EQ(gather("UC", 1),
              "Xa, A., Xb, B., Xc, C., J. Am. Chem. Soc., 61 1234 (1939); "
              "Xa, A. et al., J. Am.Chem. Soc., 61 1234 (1939)");
}

// A mark on the record's last reference card continues with a blank card:
// neither a stale slot of an earlier record nor the A card's slot is read.
TEST_F(References, AMarkOnTheLastReferenceCardJoinsABlankCard) {
    cards({ref("NATUAS", "Xa, A.", "", "  ", 'C')});
    f.update.crdimg(24) = ref("", "Stale, S.");
    EXPECT_EQ(compose(1), "Xa, A., Nature");
    std::vector<std::string> ten(9, ref("NATUAS", "Other, O."));
    ten.push_back(ref("NATUAS", "Xa, A.", "", "  ", 'C'));
    cards(ten);
    f.update.crdimg(33) = cardkit::card("                     Pearson type", 'A');
    EXPECT_EQ(compose(10), "Xa, A., Nature");
}

TEST_F(References, NoRoomGivesStatus3) {
    cards({ref("JACSAT", "Xa, A.", kVPY)});
    compose(1, 20, 3);  // the journal does not fit
    compose(1, 40, 3);  // the year needs its brackets too: 41 columns
    EXPECT_EQ(compose(1, 41), "Xa, A., J. Am. Chem. Soc., 61 1234 (1939)");
}

TEST_F(References, DorefsJoinsTheUnplacedReferencesOfOneSource) {
    cards({ref("NATUAS", "Xa, A.", "", "UC"), ref("NATUAS", "Xb, B.", "", "OP"),
           ref("NATUAS", "Xc, C.", "", "UC")});
    EXPECT_EQ(gather("UC", 1), "Xa, A., Nature; Xc, C., Nature");
    EXPECT_EQ(f.reftrk.refdon(2), 0);
    EXPECT_EQ(gather("UC", 1), "");  // placed on this card already
    EXPECT_EQ(gather("OP", 1, 165, 1, "Earlier"), "Earlier; Xb, B., Nature");
}

TEST_F(References, DorefsKeepsWordsOffColumn80) {
    // "Xa, A., " and the journal fill columns 1-77, ", " 78-79.
    cards({ref("JOUR69", "Xa, A.", "1234", "UC"), ref("JOUR69", "Xa, A.", "   1   55", "OP")});
    // The volume would stand in columns 80-83: it moves whole to 81.
    EXPECT_EQ(gather("UC", 1), "Xa, A., " + kJour69 + ",  1234");
    f.reftrk.refdon(1) = 0;
    EXPECT_EQ(gather("UC", 0), "Xa, A., " + kJour69 + ", 1234");  // no wrap
    // Volume 1 ends on column 80; the page starts on 81, not the blank.
    EXPECT_EQ(gather("OP", 1), "Xa, A., " + kJour69 + ", 155");
}

TEST_F(References, DorefsSeparatorsAroundColumn80) {
    // 60 columns, then a reference without a blank in the 18 characters that
    // would reach column 80: it starts after "; " on column 83.
    cards({ref("JOUR57", "", "   1", "UC"), ref("NOBLNK", "", "  12", "UC"),
           ref("JOUR69", "Xabc, A.", "", "CO"), ref("NATUAS", "Xb, B.", "", "CO")});
    EXPECT_EQ(gather("UC", 1),
              kJour57 + ", 1" + std::string(20, ' ') + "; Abcdefghijklmnopqrstuvwxyz Journal, 12");
    // After 79 columns the separator is ";" alone in column 80.
    EXPECT_EQ(gather("CO", 0, 500), "Xabc, A., " + kJour69 + ";Xb, B., Nature");
}

TEST_F(References, DorefsLeavesOutWhatDoesNotFit) {
    cards({ref("JACSAT", "Xa, A.", kVPY, "UC"), ref("NATUAS", "Xb, B.", "", "UC")});
    for (int wrap : {0, 1}) {
        f.reftrk.refdon(2) = 0;
        EXPECT_EQ(gather("UC", wrap, 40), "Xb, B., Nature") << wrap;  // the first needs 41
        EXPECT_EQ(f.reftrk.refdon(1), 0);
    }
}
