// The text search of one entry's name and reference texts.
#include "support/support.h"

namespace {

using cvtest::texts_record;
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
                 {"x@y", "X`Y", npos}};
    for (const auto& c : cases) EXPECT_EQ(corvane::strcasestr(c.hay, c.needle), c.at) << c.needle;
}

using Flags = std::array<std::int32_t, 6>;
// Selector flag elements: name 4, name 1, name 3, name 2, authors, journal.
constexpr Flags kN4 = {1, 0, 0, 0, 0, 0}, kN1 = {0, 1, 0, 0, 0, 0}, kN3 = {0, 0, 1, 0, 0, 0},
                kN2 = {0, 0, 0, 1, 0, 0}, kAuthors = {0, 0, 0, 0, 1, 0},
                kJournal = {0, 0, 0, 0, 0, 1}, kNames = {1, 1, 1, 1, 0, 0},
                kN2Authors = {0, 0, 0, 1, 1, 0}, kAll = {1, 1, 1, 1, 1, 1}, kNone{};

class Search : public ::testing::Test {
  protected:
    void write(const std::string& name_lib, const std::string& ref_lib) {
        cvtest::put_file(lib.fnamlib, dir / "name.lib", name_lib);
        cvtest::put_file(lib.freflib, dir / "ref.lib", ref_lib);
    }
    // The result and the offsets after it.
    std::array<std::int32_t, 3> search(std::vector<std::string> strings, std::int32_t count,
                                       const Flags& flags, std::int32_t namoff = 0,
                                       std::int32_t refoff = 0) {
        const int r = cv_srchlibs(lib, namoff, refoff, strings, count, flags);
        return {r, namoff, refoff};
    }
    cvtest::TempDir dir;
    corvane::Library lib;
};

// Name record of 4 + 13 + 10 + 5 + 3 = 35 bytes; reference record of 5 + 6 +
// 2 + 4 + 25 = 42. Count > 0: any of the strings in any selected field;
// count < 0: each of them in some selected field. Any-of stops at its first
// hit; -9 marks an offset not looked at.
TEST_F(Search, FieldsModesAndWhatIsRead) {
    write(texts_record({"Silicon Oxide", "Quartz low", "alpha", "syn"}),
          texts_record({"AMMIAZ", "75", "1234", "Levien, L., Prewitt, C.T."}, 90));
    const struct {
        std::vector<std::string> strings;
        std::int32_t count;
        Flags flags;
        std::array<std::int32_t, 3> want;
    } cases[] = {
        // Volume and page are read, never searched.
        {{"75", "1234"}, 2, kAll, {0, 35, 42}},
        // No flag: nothing is read and nothing matches.
        {{"quartz"}, 1, kNone, {0, 0, 0}},
        {{"quartz"}, -1, kNone, {0, 0, 0}},
        {{}, 0, kAll, {0, 35, 42}},  // no strings: the records are read through
        {{"nothing", "MIA"}, 2, kJournal, {1, 0, 5 + 6}},  // stops after the journal code
        {{"LOW"}, 1, kNames, {1, 4 + 13 + 10, -9}},        // ... after name text 2
        // "quartz" only in name text 2, "levien" only in the author list.
        {{"quartz", "levien"}, -2, kN2Authors, {1, -9, -9}},
        {{"quartz", "levien"}, -2, kN2, {0, -9, -9}},
        {{"quartz", "levien", "ammiaz"}, -3, kN2Authors, {0, -9, -9}},
        {{"levien", "quartz"}, 2, kN2, {1, -9, -9}},
        // The count never reaches past the strings given.
        {{"zzz"}, 5, kAll, {0, -9, -9}},
        {{"quartz"}, -5, kAll, {1, -9, -9}},
    };
    // Each flag selects its own field, in both modes: a string only it holds,
    // and one that only another field holds.
    const std::tuple<Flags, const char*, const char*> fields[] = {
        {kN4, "syn", "alpha"},  {kN1, "oxide", "quartz"},      {kN3, "alpha", "oxide"},
        {kN2, "quartz", "syn"}, {kAuthors, "prewitt", "ammi"}, {kJournal, "ammiaz", "levien"}};
    for (const auto& [flags, hit, miss] : fields) {
        for (const std::int32_t count : {1, -1}) {
            EXPECT_EQ(search({hit}, count, flags)[0] * 10 + search({miss}, count, flags)[0], 10)
                << hit << count;
        }
    }
    for (const auto& c : cases) {
        auto got = search(c.strings, c.count, c.flags);
        for (std::size_t i = 1; i < 3; ++i) got[i] = c.want[i] == -9 ? -9 : got[i];
        EXPECT_EQ(got, c.want) << (c.strings.empty() ? "" : c.strings[0]) << " " << c.count;
    }
    // The empty string occurs in every field, even an empty one.
    write(texts_record({"", "", "", ""}), texts_record({"", "", "", ""}, 0));
    EXPECT_EQ(search({""}, 1, kN2)[0] + search({""}, -1, kAuthors)[0], 2);
}

// Journal codes, volumes and pages longer than 15 characters are read whole:
// the author list is found after them, the journal code over its length.
TEST_F(Search, LongTextsAreReadWholeAndCutOffRecordsFail) {
    const std::string journal = "Zeitschrift fuer Kristallographie";
    write(texts_record({"Silicon Oxide", "", "", ""}),
          texts_record({journal, std::string(200, '7'), std::string(255, 'p'), "Hazen, R.M."}, 80));
    EXPECT_EQ(
        search({"HAZEN"}, 1, kAuthors),
        (std::array<std::int32_t, 3>{1, 0, std::int32_t(5 + journal.size() + 200 + 255 + 11)}));
    EXPECT_EQ(search({"kristallographie"}, 1, kJournal)[0] + search({"ppp"}, 1, kAll)[0] +
                  search({"kristallographie", "hazen"}, -2, kAll)[0],
              2);
    // Unplaced records, a name text of which 3 of 50 bytes arrive, headers cut off.
    EXPECT_EQ(search({"x"}, 1, kNames, -1, 0)[0] + search({"x"}, 1, kAuthors, 0, -1)[0], -2);
    write(cvtest::bytes({50, 0, 0, 0}) + "Qua", texts_record({"", "", "", ""}, 0));
    EXPECT_EQ(search({"zzz"}, 1, kNames)[0] + search({"qua"}, -1, kNames)[0], -2);
    write(cvtest::bytes({1, 2}), cvtest::bytes({1}));
    EXPECT_EQ(search({"a"}, 1, kNames)[0] + search({"a"}, 1, kAuthors)[0], -2);
}

}  // namespace
