// The text search of one entry's name and reference texts.
#include "entries/search.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "setup/library.h"
#include "tests/entries/krx1_files.h"

namespace {

using Flags = std::array<std::int32_t, 6>;
// Selector flag elements: name 4, name 1, name 3, name 2, authors, journal.
constexpr Flags kNone = {0, 0, 0, 0, 0, 0};
constexpr Flags kNames = {1, 1, 1, 1, 0, 0};
constexpr Flags kName2 = {0, 0, 0, 1, 0, 0};
constexpr Flags kName2Authors = {0, 0, 0, 1, 1, 0};
constexpr Flags kAuthors = {0, 0, 0, 0, 1, 0};
constexpr Flags kJournal = {0, 0, 0, 0, 0, 1};
constexpr Flags kAll = {1, 1, 1, 1, 1, 1};

TEST(CaseBlindSearch, WholeNeedleIgnoresCaseFirstCharacterIncluded) {
    EXPECT_EQ(cv::strcasestr("alpha Quartz", "quartz"), 6u);
    EXPECT_EQ(cv::strcasestr("alpha quartz", "QUARTZ"), 6u);
    EXPECT_EQ(cv::strcasestr("aaab", "AB"), 2u);  // a false start before the match
    EXPECT_EQ(cv::strcasestr("Quartz", "quartzite"), std::string_view::npos);
    EXPECT_EQ(cv::strcasestr("", "q"), std::string_view::npos);
}

TEST(CaseBlindSearch, OnlyLettersFoldOtherBytesMatchThemselves) {
    // '[' and '{', '@' and '`' differ by 32 as letters do, but are no letters.
    EXPECT_EQ(cv::strcasestr("a{b", "A[B"), std::string_view::npos);
    EXPECT_EQ(cv::strcasestr("x@y", "X`Y"), std::string_view::npos);
    EXPECT_EQ(cv::strcasestr("Fe2O3 (hematite)", "(HEM"), 6u);
}

TEST(CaseBlindSearch, EmptyNeedleIsFoundAtTheEnd) {
    EXPECT_EQ(cv::strcasestr("abc", ""), 3u);
    EXPECT_EQ(cv::strcasestr("", ""), 0u);
}

class Search : public ::testing::Test {
  protected:
    void SetUp() override {
        names = cvtest::name_record("Silicon Oxide", "Quartz low", "alpha", "syn");
        refs = cvtest::ref_record(90, "AMMIAZ", "75", "1234", "Levien, L., Prewitt, C.T.");
        write(names, refs);
    }
    void write(const std::string& name_lib, const std::string& ref_lib) {
        lib.cv_closenamlib();
        lib.cv_closereflib();
        cvtest::write_file(dir / "name.lib", name_lib);
        cvtest::write_file(dir / "ref.lib", ref_lib);
        cvtest::attach(lib.fnamlib, dir / "name.lib");
        cvtest::attach(lib.freflib, dir / "ref.lib");
    }
    int search(std::vector<std::string> strings, std::int32_t count, const Flags& flags) {
        namoff = 0;
        refoff = 0;
        return lib.cv_srchlibs(namoff, refoff, strings, count, flags);
    }

    cvtest::TempDir dir;
    cv::Library lib;
    std::string names, refs;
    std::int32_t namoff = 0, refoff = 0;
};

// Record sizes: names 4 + 13 + 10 + 5 + 3 = 35; reference 5 + 6 + 2 + 4 + 25 = 42.

TEST_F(Search, EachFlagSelectsItsOwnField) {
    struct Case {
        Flags flags;
        const char* hit;   // a string only this field holds
        const char* miss;  // a string held only by another field
    };
    const std::array<Case, 6> cases = {{
        {{1, 0, 0, 0, 0, 0}, "syn", "alpha"},      // name text 4
        {{0, 1, 0, 0, 0, 0}, "oxide", "quartz"},   // name text 1
        {{0, 0, 1, 0, 0, 0}, "alpha", "oxide"},    // name text 3
        {{0, 0, 0, 1, 0, 0}, "quartz", "syn"},     // name text 2
        {{0, 0, 0, 0, 1, 0}, "prewitt", "ammi"},   // author list
        {{0, 0, 0, 0, 0, 1}, "ammiaz", "levien"},  // journal code
    }};
    for (const auto& c : cases) {
        EXPECT_EQ(search({c.hit}, 1, c.flags), 1) << c.hit;
        EXPECT_EQ(search({c.miss}, 1, c.flags), 0) << c.miss;
        EXPECT_EQ(search({c.hit}, -1, c.flags), 1) << c.hit;
        EXPECT_EQ(search({c.miss}, -1, c.flags), 0) << c.miss;
    }
}

TEST_F(Search, VolumeAndPageAreNeverSearched) {
    EXPECT_EQ(search({"75"}, 1, kAll), 0);
    EXPECT_EQ(search({"1234"}, -1, kAll), 0);
    EXPECT_EQ(refoff, 42);  // read, all the same
}

TEST_F(Search, NoFlagReadsNothingAndNeverMatches) {
    EXPECT_EQ(search({"quartz"}, 1, kNone), 0);
    EXPECT_EQ(namoff, 0);
    EXPECT_EQ(refoff, 0);
    EXPECT_EQ(search({"quartz"}, -1, kNone), 0);
    EXPECT_EQ(namoff, 0);
    EXPECT_EQ(refoff, 0);
}

TEST_F(Search, AnyOfWithNoStringsReadsTheSelectedRecordsThrough) {
    EXPECT_EQ(search({}, 0, kAll), 0);
    EXPECT_EQ(namoff, 35);
    EXPECT_EQ(refoff, 42);
}

TEST_F(Search, AnyOfStopsReadingAtTheFirstHit) {
    // Found in the journal code: the reference offset stops after it.
    EXPECT_EQ(search({"nothing", "MIA"}, 2, kJournal), 1);
    EXPECT_EQ(refoff, 5 + 6);
    EXPECT_EQ(namoff, 0);
    // Found in name text 2: texts 3 and 4 are not read.
    EXPECT_EQ(search({"LOW"}, 1, kNames), 1);
    EXPECT_EQ(namoff, 4 + 13 + 10);
}

TEST_F(Search, AllOfNeedsEveryStringInSomeSelectedField) {
    // "quartz" only in name text 2, "levien" only in the author list.
    EXPECT_EQ(search({"quartz", "levien"}, -2, kName2Authors), 1);
    EXPECT_EQ(search({"quartz", "levien"}, -2, kName2), 0);
    EXPECT_EQ(search({"quartz", "levien", "ammiaz"}, -3, kName2Authors), 0);
    // Any-of with the same strings and only name text 2 is enough.
    EXPECT_EQ(search({"levien", "quartz"}, 2, kName2), 1);
}

TEST_F(Search, EmptyStringOccursInEveryField) {
    write(cvtest::name_record("", "", "", ""), cvtest::ref_record(0, "", "", "", ""));
    EXPECT_EQ(search({""}, 1, kName2), 1);
    EXPECT_EQ(search({""}, -1, kAuthors), 1);
}

TEST_F(Search, LongJournalCodesVolumesAndPagesAreReadWhole) {
    // Longer than 15 characters each; the author list must still be found
    // after them, and the journal code matched over its whole length.
    const std::string journal = "Zeitschrift fuer Kristallographie";
    const std::string volume(200, '7');
    const std::string page(255, 'p');
    write(names, cvtest::ref_record(80, journal, volume, page, "Hazen, R.M."));
    EXPECT_EQ(search({"HAZEN"}, 1, kAuthors), 1);
    EXPECT_EQ(refoff, static_cast<std::int32_t>(5 + journal.size() + 200 + 255 + 11));
    EXPECT_EQ(search({"kristallographie"}, 1, kJournal), 1);
    EXPECT_EQ(search({"kristallographie", "hazen"}, -2, kAll), 1);
    EXPECT_EQ(search({"ppp"}, 1, kAll), 0);
}

TEST_F(Search, CountNeverReachesPastTheStringsGiven) {
    EXPECT_EQ(search({"zzz"}, 5, kAll), 0);
    EXPECT_EQ(search({"quartz"}, -5, kAll), 1);
}

TEST_F(Search, UnpositionedOrCutOffRecordsFail) {
    namoff = -1;
    refoff = 0;
    const std::vector<std::string> strings = {"x"};
    EXPECT_EQ(lib.cv_srchlibs(namoff, refoff, strings, 1, kNames), -1);
    namoff = 0;
    refoff = -1;
    EXPECT_EQ(lib.cv_srchlibs(namoff, refoff, strings, 1, kAuthors), -1);

    // Name text 1 claims 50 bytes; 3 arrive.
    write(cvtest::bytes({50, 0, 0, 0}) + "Qua", refs);
    EXPECT_EQ(search({"zzz"}, 1, kNames), -1);
    EXPECT_EQ(search({"qua"}, -1, kNames), -1);
    // Header cut off.
    write(cvtest::bytes({1, 2}), cvtest::bytes({1}));
    EXPECT_EQ(search({"a"}, 1, kNames), -1);
    EXPECT_EQ(search({"a"}, 1, kAuthors), -1);
}

}  // namespace
