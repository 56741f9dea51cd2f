// cvl_init on small databases (no location file at all: tests/tool/hitjoin_test.cpp).
#include "support/support.h"

using cvtest::TestDb;
using cvtest::write_file;
namespace fs = std::filesystem;

namespace {

struct Started {
    std::unique_ptr<corvane::Library> lib = std::make_unique<corvane::Library>();
    int status = -99;
    std::string out, err;
};

// cvl_init on a fresh library with LOGIC_LOC naming the database, HOME empty.
Started start(const TestDb& db, unsigned open = corvane::kDbAll) {
    cvtest::ScopedEnv loc("LOGIC_LOC", db.location().string());
    cvtest::ScopedEnv home("HOME", db.work().string());
    Started s;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    s.status = cvl_init(*s.lib, open);
    s.err = testing::internal::GetCapturedStderr();
    s.out = testing::internal::GetCapturedStdout();
    return s;
}

}  // namespace

TEST(Init, StartsFromTheFullDatabaseWithTheFilesAskedFor) {
    TestDb db(70);
    db.put("krx2.dat", "");
    fs::remove(db.line1() / "kelpa.ind");  // a file only in the second directory is found there
    db.put("kelpa.ind", "index", 2);
    auto s = start(db);
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(s.out + s.err, "");
    EXPECT_EQ(s.lib->cv_tables.nhits, 70);
    const auto& t = s.lib->cv_tables.curtbl;
    EXPECT_EQ((std::array<std::uint32_t, 4>{t[0], t[1], t[2], t[3]}),
              (std::array<std::uint32_t, 4>{~0u, ~0u, 0x3Fu, 0u}));  // entries 65..70 in word 2
    EXPECT_EQ(s.lib->cv_history.nhist, 1);
    EXPECT_EQ(s.lib->cv_history.histtx(1), cvtest::record("Starting from full database"));
    const auto open = [](const Started& x) {
        std::string o;
        for (std::FILE* f :
             {x.lib->fcdrom[0], x.lib->findex, x.lib->fnamlib, x.lib->fdilib, x.lib->freflib})
            o += f != nullptr ? '1' : '0';
        return o;
    };
    EXPECT_EQ(open(s), "11111");
    s = start(db, corvane::kDbIndex | corvane::kDbLines);  // only those stay open
    EXPECT_EQ(s.status, 0);
    EXPECT_EQ(open(s), "01010");
    TestDb full(250016);  // the capacity of a hit table
    full.put("krx2.dat", "");
    s = start(full);
    EXPECT_EQ(s.status, 0);
    EXPECT_EQ(s.lib->cv_tables.curtbl[7812], ~0u);
}

// Files not kept open are looked for all the same. Changes, "|"-separated:
// "-path" removes a file, "path/" makes a directory, "path=text" writes one.
TEST(Init, FailuresAndWarnings) {
    const std::string check =
        "cvl_init ERROR: Check paths in /usr/local/corvane.txtor ~/.corvane\n"
        "cvl_init ERROR: for correct database location\n";
    const std::string krx2_missing =
        " cvl_init WARNING: Unable to open file krx2.dat on line1 or line2\n";
    const std::string ref_missing = "line1/krx2.dat=|-line1/ref.lib|line2/ref.lib/";
    const std::string ref_error =
        "cvl_init ERROR: Unable to open file KRX1 reference file (ref.lib) on line1 or line2\n";
    const struct {
        std::string changes;
        unsigned open;
        int status;
        std::string out, err;
    } cases[] = {
        {"tarn.loc=line1\n", corvane::kDbAll, 1, "\n",
         "cvl_init ERROR: Error reading the locations of TARN database\n"},
        {"-line1/pdsize.txt", corvane::kDbAll, 1, "",
         "cvl_init ERROR: Unable to open file pdsize.txt on line1 or line2\n"},
        {"line1/pdsize.txt=10 20 30 forty\n", corvane::kDbAll, 1, "",
         "cvl_init ERROR: Error reading file pdsize.txt on line1 or line2\n"},
        // An entry count the tables cannot hold is refused before any file is opened.
        {"line1/pdsize.txt=250017 0 0 0 0", corvane::kDbAll, 1, "",
         "cvl_init ERROR: Entry count 250017 in pdsize.txt is not between 0 and 250016\n"},
        {"line1/pdsize.txt=-1 0 0 0 0", corvane::kDbAll, 1, "",
         "cvl_init ERROR: Entry count -1 in pdsize.txt is not between 0 and 250016\n"},
        // No record file, nor a directory of its name: a warning only.
        {"line2/krx2.dat/", corvane::kDbNone, 0, "", krx2_missing},
        // The second location line may name the record file itself.
        {"work/records.dat=K|tarn.loc=line1\nwork/records.dat\nx\n", corvane::kDbAll, 0, "", ""},
        // The first KRX1 file missing stops start-up; a directory does not count.
        {ref_missing, corvane::kDbAll, 1, "", ref_error + check},
        {ref_missing, corvane::kDbIndex, 1, "", ref_error + check},
        {"line1/krx2.dat=|-line1/di.lib|-line1/name.lib", corvane::kDbAll, 1, "",
         "cvl_init ERROR: Unable to open file KRX1 name file (name.lib) on line1 or line2\n" +
             check},
    };
    for (const auto& c : cases) {
        TestDb db(10);  // short relative directories: the warning on one line
        cvtest::ScopedCwd cwd(db.root());
        write_file(db.location(), "line1\nline2\nline3\n");
        std::istringstream changes(c.changes);
        for (std::string x; std::getline(changes, x, '|');) {
            if (x[0] == '-')
                fs::remove(x.substr(1));
            else if (x.back() == '/')
                fs::create_directory(x);
            else
                write_file(x.substr(0, x.find('=')), x.substr(x.find('=') + 1));
        }
        const auto s = start(db, c.open);
        EXPECT_EQ(std::tuple(s.status, s.out, s.err), std::tuple(c.status, c.out, c.err))
            << c.changes;
        EXPECT_EQ(s.lib->findex != nullptr,
                  (c.open & corvane::kDbIndex) != 0 &&
                      (c.status == 0 || c.err.find("KRX1") != std::string::npos));
        EXPECT_EQ(s.lib->freflib != nullptr, c.status == 0 && c.open == corvane::kDbAll);
        EXPECT_EQ(s.lib->cv_history.nhist, c.status == 0 ? 1 : 0) << c.changes;
    }
}
