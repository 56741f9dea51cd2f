// krxbuild end to end, and the sample's own consistency: the codes its cards
// and the card formatter use are in its code tables.
#include "support/support.h"

namespace {

using namespace cvtest;
const fs::path kSample = fs::path(CORVANE_SOURCE_DIR) / "sample";

TEST(KrxBuildTool, BuildsTheSampleAndRefusesAFaultyFile) {
    TempDir tmp;
    // A card file away from the code tables finds them through -t.
    const std::string crd = tmp / "phases.crd";
    auto cards = lines(read_file(kSample / "phases.crd"));
    write_file(crd, file_of(cards));
    const fs::path db = tmp.path() / "db";
    const auto build = [&] {
        return run_program(tool_path("krxbuild"), {"-t", kSample.string(), crd, db.string()});
    };
    const auto r = build();
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out + r.err, "krxbuild: database written to " + db.string() + "\n");
    EXPECT_EQ(names_in(db), (Strings{"codens.tbl", "dall.lib", "di.lib", "dtop3.lib", "kelpa.ind",
                                     "krx2.dat", "mineral.tbl", "name.lib", "pdsize.txt",
                                     "picodes.tbl", "ref.lib", "stdcodes.tbl", "tarnloc.txt"}));
    EXPECT_EQ(read_file(db / "pdsize.txt").substr(0, 2), "9 ");
    const std::string dirline = fs::canonical(db).string() + "/\n";
    EXPECT_EQ(read_file(db / "tarnloc.txt"), dirline + dirline + dirline);
    EXPECT_EQ(read_file(db / "mineral.tbl"), read_file(kSample / "mineral.tbl"));

    // Read back: Periclase, entry 1, has nine lines; its three strongest (100, 52
    // and 12) lie in buckets 150, 218 and 275. Nine entries: one word a record.
    corvane::Library lib;
    ASSERT_EQ(cv_openbitlib(lib, "dtop3.lib", db.string(), db.string()), 0);
    std::vector<std::int32_t> buckets;
    std::array<std::uint32_t, 1> word{};
    for (std::int32_t k = 1; cv_readbitlib(lib, k, word, 9) == 0; ++k)
        if ((reinterpret_cast<unsigned char*>(word.data())[3] & 1) != 0) buckets.push_back(k);
    EXPECT_EQ(buckets, (std::vector<std::int32_t>{150, 218, 275}));
    cv_closebitlib(lib);

    // Card 19 is the first I card. The database stays as it was.
    ASSERT_EQ(cards[18][79], 'I');
    cards[18].replace(0, 7, " 0.5000");
    write_file(crd, file_of(cards));
    const std::string index = read_file(db / "kelpa.ind");
    const auto bad = build();
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.out + bad.err,
              crd + ":19: record 1, card 19 (type I): d-spacing '0.5000' has no angle code\n");
    EXPECT_EQ(read_file(db / "kelpa.ind"), index);
    EXPECT_EQ(names_in(tmp.path()), (Strings{"db", "phases.crd"}));
}

TEST(Sample, CodesOfTheCardsAreInTheirTables) {
    std::map<std::string, std::set<std::string>> known;  // table -> codes
    const std::string codens = read_file(kSample / "codens.tbl");
    for (std::size_t at = 0; at + 81 <= codens.size(); at += 81)
        known["journal"].insert(codens.substr(at, 6));
    for (const auto& [table, name, width] : {std::tuple{"standard", "stdcodes.tbl", 6},
                                             {"group", "mineral.tbl", 3},
                                             {"symbol", "picodes.tbl", 2}}) {
        for (const auto& line : lines(read_file(kSample / name)))
            known[table].insert(line.substr(0, width));
    }
    std::map<std::string, int> used;
    const auto check = [&](const char* table, std::string code, const std::string& card) {
        ++used[table];
        EXPECT_EQ(known[table].count(code), 1u) << table << " " << code << " in " << card;
    };
    bool continued = false;
    for (const auto& c : lines(read_file(kSample / "phases.crd"))) {
        if (c[79] == '9' && !continued) check("journal", c.substr(0, 6), c);
        if (c[79] == '9') continued = c[69] == 'C';
        std::istringstream codes(c[79] == 'F' ? c.substr(49, 6) : "");  // blank-separated
        for (std::string code; codes >> code;)
            check("standard", code.append(6 - code.size(), ' '), c);
        for (std::size_t item = 24; c[79] == '5' && item < 52; item += 4)
            if (c[item] == 'm') check("group", c.substr(item + 1, 3), c);
        for (std::size_t p = c.find('$'); p != std::string::npos; p = c.find('$', p + 1))
            check("symbol", c.substr(p + 1, 2), c);
    }
    EXPECT_GE(used["journal"] + used["standard"] + used["group"], 26);
    // The codes the formatter writes itself (Greek letters, signs, footnote marks).
    for (const char* code : {"GA", "GB", "GG", "GS", "PM", "NO", "DA", "DD", "SE", "PG"})
        check("symbol", code, "the formatter");
}

}  // namespace
