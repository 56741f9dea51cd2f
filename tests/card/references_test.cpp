#include "support/support.h"

using namespace cvtest;
using corvane::card::CardFormatter;

namespace {

const std::string kJour57(57, 'q');
const std::string kJour69 =  // seven words of nine letters
    "Aaaaaaaaa Bbbbbbbbb Ccccccccc Ddddddddd Eeeeeeeee Fffffffff Ggggggggg";
const std::string kMissing = "***misspelled or not in coden file***";
const char* const kVPY = "  61 1234 1939";  // volume 61, page 1234, year 1939
const std::string kJacs = ", J. Am. Chem. Soc., 61 1234 (1939)";

// The journal table: record 1 (blank key and the count), then ascending keys.
std::string journals(const std::string& count) {
    std::string t = rec81("      " + std::string(10 - count.size(), ' ') + count);
    for (const auto& r :
         Strings{"ACCRA9 Acta Crystallogr.", "JACSAT J. Am. Chem. Soc.", "JOUR57 " + kJour57,
                 "JOUR69 " + kJour69, "NATUAS Nature", "NOBLNK Abcdefghijklmnopqrstuvwxyz Journal",
                 "PHRVAO Phys. Rev.,", "ZEKRDZ Z. Kristallogr."})
        t += rec81(r);
    return t;
}

// A reference card: CODEN, volume, page and year as they stand in 7-20,
// authors, source, continuation mark.
std::string ref(std::string_view coden, std::string_view authors, std::string_view vpy = "",
                std::string_view src = "  ", std::string_view cont = " ") {
    return card('9', {{1, coden}, {7, vpy}, {22, authors}, {68, src}, {70, cont}});
}

class References : public ::testing::Test {
  protected:
    void SetUp() override {
        dir.write("codens.tbl", journals("9"));
        opentables(f);
    }
    // The record's reference cards, none placed yet.
    void cards(const std::vector<std::string>& refs) {
        f.reftrk.refdon.fill(0);
        f.updat2.ncrd(9) = static_cast<int>(refs.size());
        for (std::size_t k = 0; k < refs.size(); ++k) f.card(9, static_cast<int>(k) + 1) = refs[k];
    }
    // Reference k composed into w columns, up to its last non-blank.
    std::string compose(int k, std::size_t w = 165, int want_status = 0) {
        std::string text(w, '?');
        EXPECT_EQ(phref(f, k, text), want_status);
        EXPECT_EQ(text.size(), w);
        return text.substr(0, text.find_last_not_of(' ') + 1);
    }
    // dorefs into a text of w columns; the text up to nused.
    std::string gather(std::string_view src, int wrap, std::size_t w = 165) {
        std::string text(w, ' ');
        int dropd = -1;
        dorefs(f, src, 0, wrap, dropd, text, nused);
        EXPECT_EQ(dropd, 0);
        return text.substr(0, static_cast<std::size_t>(nused));
    }

    TempDir dir;
    std::ostringstream out;
    CardFormatter f{dir.slash(), "", out};
    int nused = -1;
};

}  // namespace

TEST_F(References, SeekxHalvesTheTableByCharacterCode) {
    // Record 1 takes part with its blank key.
    const std::pair<const char*, std::string> cases[] = {
        {"ACCRA9", "0 Acta Crystallogr."}, {"JOUR69", "0 " + kJour69},
        {"ZEKRDZ", "0 Z. Kristallogr."},   {"      ", "0         9"},
        {"AAAAAA", "1 " + kMissing},       {"JOUR60", "1 " + kMissing},
        {"ZZZZZZ", "1 " + kMissing},       {"jacsat", "1 " + kMissing},
    };
    for (const auto& [key, want] : cases) {
        std::string jtext;
        const int status = seekx(f, key, jtext);
        EXPECT_EQ(jtext.size(), 71u) << key;
        EXPECT_EQ(std::to_string(status) + " " + trimmed(jtext), want);
    }
    // Each look-up reads at most 4 = log2(9 + 1) rounded up of the nine
    // records (record 1 was read when the table was opened).
    EXPECT_LE(f.codens.reads(), 1 + 8 * 4);

    // Records the table announces but lacks, or no table at all: not found,
    // and the reference is printed with the not-found text.
    dir.write("codens.tbl", journals("20"));  // 9 records on file
    CardFormatter g(dir.slash()), none;
    opentables(g);
    std::string jtext, text(165, ' ');
    EXPECT_EQ(seekx(g, "ZZZZZZ", jtext), 1);
    none.updat2.ncrd(9) = 1;
    none.card(9, 1) = ref("JACSAT", "Xa, A.", "  61   12 1939");
    EXPECT_EQ(phref(none, 1, text), 0);
    EXPECT_EQ(trimmed(text), "Xa, A., " + kMissing + ", 61 12 (1939)");
}

TEST_F(References, PhrefComposesOneReference) {
    const char* const abcd = "Xa, A., Xb, B., Xc, C., Xd, D.";
    const std::tuple<const char*, std::string, const char*, std::string> cases[] = {
        {"JACSAT", abcd, kVPY, "Xa, A. et al." + kJacs},
        // Never shortened for this journal; the period after an initial stays.
        {"ACCRA9", abcd, kVPY, abcd + std::string(", Acta Crystallogr., 61 1234 (1939)")},
        // The separator after " Jr." is not counted: two authors only.
        {"JACSAT", "Xa, A., Jr., Xb, B., Xc, C.", kVPY, "Xa, A., Jr., Xb, B., Xc, C." + kJacs},
        // A bracketed remark, or a tail from the last ", " when the text ends in
        // a number, is kept; 5 is no next-to-last digit.
        {"JACSAT", abcd + std::string(" (in Xe, E.)"), kVPY, "Xa, A. et al. (in Xe, E.)" + kJacs},
        {"JACSAT", abcd + std::string(", Conf. 12."), kVPY, "Xa, A. et al., Conf. 12" + kJacs},
        {"JACSAT", abcd + std::string(", Conf 5"), kVPY, "Xa, A. et al." + kJacs},
        // The final period goes unless it ends an initial.
        {"NATUAS", "Xa, Bo.", "", "Xa, Bo., Nature"},  // ", " + capital + small letter
        {"NATUAS", "Xa, A., Smith.", "", "Xa, A., Smith, Nature"},
        {"NATUAS", "Xa AB.", "", "Xa AB, Nature"},
        {"NATUAS", "Xa, A.,", "", "Xa, A., Nature"},  // a comma gets one blank
        {"NATUAS", "Xa, A. et al.", "", "Xa, A. et al., Nature"},
        // Fields left out leave out their separators.
        {"JACSAT", "", kVPY, "J. Am. Chem. Soc., 61 1234 (1939)"},
        {"PHRVAO", "Xa, A.", "", "Xa, A., Phys. Rev."},  // the journal's own final comma goes
        {"PHRVAO", "Xa, A.", " 120", "Xa, A., Phys. Rev., 120"},
        {"NATUAS", "Xa, A.", "          1990", "Xa, A., Nature, (1990)"},
        {"JACSAT", "ibid., p. 9", kVPY, "ibid., p. 9"},  // the author text alone
    };
    for (const auto& [coden, authors, vpy, want] : cases) {
        cards({ref(coden, authors, vpy)});
        EXPECT_EQ(compose(1), want) << authors;
        EXPECT_EQ(f.reftrk.refdon(1), 1) << authors;
    }
    // No room: the journal does not fit 20 columns, nor the bracketed year 40.
    cards({ref("JACSAT", "Xa, A.", kVPY)});
    compose(1, 20, 3);
    compose(1, 40, 3);
    EXPECT_EQ(compose(1, 41), "Xa, A." + kJacs);
}

TEST_F(References, ContinuationCardsExtendTheAuthorsUpToThreeCards) {
    cards({ref("JACSAT", "Xa, A., Xb, B.,", kVPY, "UC", "C"), ref("", "Xc, C.", "", "UC"),
           ref("JACSAT", "Xa, A.,", kVPY, "UC", "C"), ref("", "Xb, B.,", "", "UC", "C"),
           ref("", "Xc, C., Xd, D.", "", "UC", "C"), ref("", "Never joined", "", "UC")});
    EXPECT_EQ(compose(1), "Xa, A., Xb, B., Xc, C." + kJacs);
    EXPECT_EQ(compose(3), "Xa, A. et al." + kJacs);
    f.reftrk.refdon.fill(0);  // as the layout does before each card
    // The second starts on column 60: "Am." ends on column 80, so the blank
    // after it goes and "Chem." starts column 81.
    EXPECT_EQ(gather("UC", 1), "Xa, A., Xb, B., Xc, C." + kJacs +
                                   "; Xa, A. et al., J. Am.Chem. Soc., 61 1234 (1939)");
}

// A mark on the record's last reference card continues with a blank card:
// neither a stale slot of an earlier record nor the A card's slot is read.
TEST_F(References, AMarkOnTheLastReferenceCardJoinsABlankCard) {
    cards({ref("NATUAS", "Xa, A.", "", "  ", "C")});
    f.update.crdimg(24) = ref("", "Stale, S.");
    EXPECT_EQ(compose(1), "Xa, A., Nature");
    std::vector<std::string> ten(9, ref("NATUAS", "Other, O."));
    ten.push_back(ref("NATUAS", "Xa, A.", "", "  ", "C"));
    cards(ten);
    f.update.crdimg(33) = card("                     Pearson type", 'A');
    EXPECT_EQ(compose(10), "Xa, A., Nature");
}

TEST_F(References, DorefsJoinsTheUnplacedReferencesOfOneSource) {
    cards({ref("NATUAS", "Xa, A.", "", "UC"), ref("NATUAS", "Xb, B.", "", "OP"),
           ref("NATUAS", "Xc, C.", "", "UC")});
    EXPECT_EQ(gather("UC", 1), "Xa, A., Nature; Xc, C., Nature");
    EXPECT_EQ(f.reftrk.refdon(2), 0);
    EXPECT_EQ(gather("UC", 1), "");  // placed on this card already
    // What does not fit is left out and stays unplaced, wrapped or not.
    cards({ref("JACSAT", "Xa, A.", kVPY, "UC"), ref("NATUAS", "Xb, B.", "", "UC")});
    for (int wrap : {0, 1}) {
        f.reftrk.refdon(2) = 0;
        EXPECT_EQ(gather("UC", wrap, 40), "Xb, B., Nature") << wrap;  // the first needs 41
        EXPECT_EQ(f.reftrk.refdon(1), 0);
    }
}

TEST_F(References, DorefsKeepsWordsAndSeparatorsOffColumn80) {
    // "Xa, A., " and the journal fill columns 1-77, ", " 78-79.
    cards({ref("JOUR69", "Xa, A.", "1234", "UC"), ref("JOUR69", "Xa, A.", "   1   55", "OP")});
    // The volume would stand in columns 80-83: it moves whole to 81.
    EXPECT_EQ(gather("UC", 1), "Xa, A., " + kJour69 + ",  1234");
    f.reftrk.refdon(1) = 0;
    EXPECT_EQ(gather("UC", 0), "Xa, A., " + kJour69 + ", 1234");  // no wrap
    // Volume 1 ends on column 80; the page starts on 81, not the blank.
    EXPECT_EQ(gather("OP", 1), "Xa, A., " + kJour69 + ", 155");
    // 60 columns, then a reference without a blank in the 18 characters that
    // would reach column 80: it starts after "; " on column 83.
    cards({ref("JOUR57", "", "   1", "UC"), ref("NOBLNK", "", "  12", "UC")});
    EXPECT_EQ(gather("UC", 1),
              kJour57 + ", 1" + std::string(20, ' ') + "; Abcdefghijklmnopqrstuvwxyz Journal, 12");
    // After 77 columns "; " and a word would straddle column 80: both move to 81.
    cards({ref("JOUR69", "Xa, A.", "", "UC"), ref("NATUAS", "Xb, B.", "", "UC"),
           ref("JOUR69", "Xabc, A.", "", "CO"), ref("NATUAS", "Xb, B.", "", "CO")});
    EXPECT_EQ(gather("UC", 1), "Xa, A., " + kJour69 + "   ; Xb, B., Nature");
    // After 79 columns the separator is ";" alone in column 80.
    EXPECT_EQ(gather("CO", 0, 500), "Xabc, A., " + kJour69 + ";Xb, B., Nature");
}
