// The database files composed from a card file: the bytes of every file, the
// limits of a database, and the checks of the code tables that go with it.
#include <corvane/builder/codetables.h>

#include "support/support.h"

namespace {

using namespace cvtest;
using corvane::builder::BuildLimits;
using corvane::builder::KrxDatabase;

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

int compose(const Cards& cards, KrxDatabase& db, std::string& err, const BuildLimits& lim = {}) {
    std::ostringstream out;
    const int faults = corvane::builder::compose_database(file_of(cards), "t.crd", db, &out, lim);
    err = out.str();
    return faults;
}

TEST(Database, EveryFileOfTwoRecords) {
    KrxDatabase db;
    std::string err;
    ASSERT_EQ(compose(two_records(), db, err), 0) << err;
    // krx2.dat: the eleven cards back to back.
    EXPECT_EQ(db.krx2, file_of(two_records(), ""));
    // kelpa.ind: entid, namoff, dioff, refoff, recoff, big-endian. Record 2
    // starts after the 9 cards of record 1 (byte 720), after its name record
    // of 4 + 13 + 6 + 4 + 6 = 33 bytes, its di record of 1 + 4 + 2 = 7 bytes
    // and its reference record of 5 + 6 + 2 + 3 + 11 = 27 bytes.
    EXPECT_EQ(db.kelpa, index_record(12, 0, 0, 0, 0) + index_record(123456, 33, 7, 27, 720));
    // The records' bytes are the entry tests'; here they follow each other.
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
    KrxDatabase db;
    std::string err;
    // Offsets are signed 32-bit words: no file may pass the limit (here 800
    // bytes). Record 1 ends krx2.dat at 720 bytes, record 2 would take it to 880.
    EXPECT_EQ(compose(two_records(), db, err, {250016, 800}), 1);
    EXPECT_EQ(err,
              "t.crd:11: record 2: krx2.dat would pass 800 bytes, the largest offset kelpa.ind "
              "can hold\n");
    EXPECT_EQ(compose({}, db, err), 1);
    EXPECT_EQ(err, "t.crd: the card file holds no record\n");
}

// A mineral.tbl group line: code, name in columns 7-26, member count in 28-29.
std::string group_line(int members) {
    return "CAL   " + std::string("Calcite").append(13, ' ') + "  " + std::to_string(members) +
           "\n";
}

TEST(CodeTables, Layouts) {
    TempDir dir;
    const auto put = [&](const std::string& name, const std::string& text) {
        dir.write(name, text);
    };
    const auto check = [&]() {
        std::array<std::string, 4> t;
        std::ostringstream err;
        corvane::builder::read_code_tables(dir.path().string(), t, err);
        return err.str();
    };
    const std::string codens = std::string("000000         3").append(64, ' ') + "\n" +
                               std::string("AMMIAY Am. Mineral.").append(61, ' ') + "\n" +
                               std::string("ZEKRDZ Z. Kristallogr.").append(58, ' ') + "\n";
    put("codens.tbl", codens);
    put("picodes.tbl", "GA5alpha\nPM3+/-\n");
    put("stdcodes.tbl", "SI     silicon\n");
    put("mineral.tbl", group_line(1) + "   CAL   Calcite\n");
    EXPECT_EQ(check(), "");

    const std::string d = dir.path().string() + "/";
    const auto with = [&](std::size_t at, const std::string& text) {
        return std::string(codens).replace(at, text.size(), text);
    };
    const std::pair<std::string, std::string> bad_codens[] = {
        {with(81, "ZZZZZZ"), "codens.tbl: record 3: key 'ZEKRDZ' does not come after 'ZZZZZZ'\n"},
        {with(15, "4"), "codens.tbl: record 1 must give the record count 3 in columns 7-16\n"}};
    for (const auto& [text, message] : bad_codens) {
        put("codens.tbl", text);
        EXPECT_EQ(check(), d + message);
    }
    put("codens.tbl", codens);
    put("picodes.tbl", "GAxalpha\n");
    EXPECT_EQ(check(), d + "picodes.tbl:1: column 3 must hold the display length, one digit\n");
    put("picodes.tbl", "GA5alpha\n");
    put("mineral.tbl", group_line(2) + "   CAL   Calcite\n");
    EXPECT_EQ(check(), d + "mineral.tbl: the file ends 1 member lines early\n");
    fs::remove(dir.path() / "mineral.tbl");
    EXPECT_EQ(check(), d + "mineral.tbl: open: No such file or directory\n");
}

}  // namespace
