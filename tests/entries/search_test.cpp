// The text search of one entry's name and reference texts.
#include <corvane/corvane.h>
#include <corvane/entries/search.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "support/support.h"

namespace {

constexpr auto npos = std::string_view::npos;

TEST(CaseBlindSearch, WholeNeedleIgnoresCaseOfLettersFirstCharacterIncluded) {
    const struct {
        const char *hay, *needle;
        std::size_t at;
    } cases[] = {{"alpha Quartz", "quartz", 6},
                 {"alpha quartz", "QUARTZ", 6},
                 {"aaab", "AB", 2},  // a false start before the match
                 {"Quartz", "quartzite", npos},
                 {"abc", "", 3},  // an empty needle is found at the end
                 // '[' and '{', '@' and '`' differ by 32 as letters do, but are no letters.
                 {"a{b", "A[B", npos},
                 {"x@y", "X`Y", npos},
                 {"Fe2O3 (hematite)", "(HEM", 6}};
    for (const auto& c : cases) EXPECT_EQ(corvane::strcasestr(c.hay, c.needle), c.at) << c.needle;
}

using Flags = std::array<std::int32_t, 6>;
// Selector flag elements: name 4, name 1, name 3, name 2, authors, journal.
constexpr Flags kNames = {1, 1, 1, 1, 0, 0}, kName2 = {0, 0, 0, 1, 0, 0};
constexpr Flags kName2Authors = {0, 0, 0, 1, 1, 0}, kAuthors = {0, 0, 0, 0, 1, 0};
constexpr Flags kJournal = {0, 0, 0, 0, 0, 1}, kAll = {1, 1, 1, 1, 1, 1}, kNone{};

// Record sizes: names 4 + 13 + 10 + 5 + 3 = 35; reference 5 + 6 + 2 + 4 + 25 = 42.
class Search : public ::testing::Test {
  protected:
    void SetUp() override { write(names, refs); }
    void write(const std::string& name_lib, const std::string& ref_lib) {
        cvtest::put_file(lib.fnamlib, dir / "name.lib", name_lib);
        cvtest::put_file(lib.freflib, dir / "ref.lib", ref_lib);
    }
    int search(std::vector<std::string> strings, std::int32_t count, const Flags& flags) {
        namoff = 0;
        refoff = 0;
        return cv_srchlibs(lib, namoff, refoff, strings, count, flags);
    }

    cvtest::TempDir dir;
    corvane::Library lib;
    std::string names = cvtest::name_record("Silicon Oxide", "Quartz low", "alpha", "syn");
    std::string refs = cvtest::ref_record(90, "AMMIAZ", "75", "1234", "Levien, L., Prewitt, C.T.");
    std::int32_t namoff = 0, refoff = 0;
};

TEST_F(Search, EachFlagSelectsItsOwnFieldInBothModes) {
    const struct {
        Flags flags;
        const char* hit;   // a string only this field holds
        const char* miss;  // a string held only by another field
    } cases[] = {
        {{1, 0, 0, 0, 0, 0}, "syn", "alpha"},      // name text 4
        {{0, 1, 0, 0, 0, 0}, "oxide", "quartz"},   // name text 1
        {{0, 0, 1, 0, 0, 0}, "alpha", "oxide"},    // name text 3
        {{0, 0, 0, 1, 0, 0}, "quartz", "syn"},     // name text 2
        {{0, 0, 0, 0, 1, 0}, "prewitt", "ammi"},   // author list
        {{0, 0, 0, 0, 0, 1}, "ammiaz", "levien"},  // journal code
    };
    for (const auto& c : cases) {
        for (std::int32_t count : {1, -1}) {
            EXPECT_EQ(search({c.hit}, count, c.flags), 1) << c.hit << count;
            EXPECT_EQ(search({c.miss}, count, c.flags), 0) << c.miss << count;
        }
    }
    // Volume and page are read, never searched.
    EXPECT_EQ(search({"75"}, 1, kAll), 0);
    EXPECT_EQ(search({"1234"}, -1, kAll), 0);
    EXPECT_EQ(refoff, 42);
}

TEST_F(Search, OffsetsShowWhatWasRead) {
    // No flag: nothing is read and nothing matches.
    for (std::int32_t count : {1, -1}) {
        EXPECT_EQ(search({"quartz"}, count, kNone), 0);
        EXPECT_EQ(namoff + refoff, 0);
    }
    // Any-of with no strings reads the selected records through.
    EXPECT_EQ(search({}, 0, kAll), 0);
    EXPECT_EQ(namoff, 35);
    EXPECT_EQ(refoff, 42);
    // Any-of stops at the first hit: after the journal code, or after name text 2.
    EXPECT_EQ(search({"nothing", "MIA"}, 2, kJournal), 1);
    EXPECT_EQ(refoff, 5 + 6);
    EXPECT_EQ(namoff, 0);
    EXPECT_EQ(search({"LOW"}, 1, kNames), 1);
    EXPECT_EQ(namoff, 4 + 13 + 10);
}

TEST_F(Search, AllOfNeedsEveryStringInSomeSelectedFieldAnyOfOne) {
    // "quartz" only in name text 2, "levien" only in the author list.
    EXPECT_EQ(search({"quartz", "levien"}, -2, kName2Authors), 1);
    EXPECT_EQ(search({"quartz", "levien"}, -2, kName2), 0);
    EXPECT_EQ(search({"quartz", "levien", "ammiaz"}, -3, kName2Authors), 0);
    EXPECT_EQ(search({"levien", "quartz"}, 2, kName2), 1);  // any-of: name text 2 is enough
    // The count never reaches past the strings given.
    EXPECT_EQ(search({"zzz"}, 5, kAll), 0);
    EXPECT_EQ(search({"quartz"}, -5, kAll), 1);
    // The empty string occurs in every field, even an empty one.
    write(cvtest::name_record("", "", "", ""), cvtest::ref_record(0, "", "", "", ""));
    EXPECT_EQ(search({""}, 1, kName2), 1);
    EXPECT_EQ(search({""}, -1, kAuthors), 1);
}

TEST_F(Search, LongJournalCodesVolumesAndPagesAreReadWhole) {
    // Longer than 15 characters each; the author list must still be found
    // after them, and the journal code matched over its whole length.
    const std::string journal = "Zeitschrift fuer Kristallographie";
    write(names, cvtest::ref_record(80, journal, std::string(200, '7'), std::string(255, 'p'),
                                    "Hazen, R.M."));
    EXPECT_EQ(search({"HAZEN"}, 1, kAuthors), 1);
    EXPECT_EQ(refoff, static_cast<std::int32_t>(5 + journal.size() + 200 + 255 + 11));
    EXPECT_EQ(search({"kristallographie"}, 1, kJournal), 1);
    EXPECT_EQ(search({"kristallographie", "hazen"}, -2, kAll), 1);
    EXPECT_EQ(search({"ppp"}, 1, kAll), 0);
}

TEST_F(Search, UnpositionedOrCutOffRecordsFail) {
    const std::vector<std::string> strings = {"x"};
    for (const auto& [nam, ref, flags] : {std::tuple{-1, 0, kNames}, {0, -1, kAuthors}}) {
        namoff = nam;
        refoff = ref;
        EXPECT_EQ(cv_srchlibs(lib, namoff, refoff, strings, 1, flags), -1);
    }
    write(cvtest::bytes({50, 0, 0, 0}) + "Qua", refs);  // name text 1: 3 of 50 bytes
    EXPECT_EQ(search({"zzz"}, 1, kNames), -1);
    EXPECT_EQ(search({"qua"}, -1, kNames), -1);
    write(cvtest::bytes({1, 2}), cvtest::bytes({1}));  // headers cut off
    EXPECT_EQ(search({"a"}, 1, kNames), -1);
    EXPECT_EQ(search({"a"}, 1, kAuthors), -1);
}

}  // namespace
