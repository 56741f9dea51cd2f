#include <corvane/setup/dbloc.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "support/support.h"

namespace fs = std::filesystem;
using cvtest::write_file;
using Sizes = std::array<std::int32_t, 5>;
using std::nullopt;
using std::optional;
using std::string;

namespace {

// A scratch directory with d1/, d2/ and home/, also the working directory, so
// that the location-file candidates named relative to it are under control.
class ReadDbLoc : public testing::Test {
  protected:
    // {status, the three lines}; the sizes go to sizes.
    string read(const optional<string>& logic_loc, const optional<string>& home_dir) {
        cvtest::ScopedEnv l("LOGIC_LOC", logic_loc), h("HOME", home_dir);
        string l1 = "unset", l2 = "unset", l3 = "unset";
        sizes = {-7, -7, -7, -7, -7};
        const int status =
            corvane::cv_readdbloc(l1, l2, l3, sizes[0], sizes[1], sizes[2], sizes[3], sizes[4]);
        return std::to_string(status) + " " + l1 + " " + l2 + " " + l3;
    }
    void SetUp() override {
        for (const auto& d : {d1, d2, home}) fs::create_directory(d);
    }
    cvtest::TempDir tmp;
    cvtest::ScopedCwd cwd{tmp.path()};
    string d1 = tmp / "d1", d2 = tmp / "d2", home = tmp / "home", loc = tmp / "loc";
    Sizes sizes;
};

}  // namespace

TEST_F(ReadDbLoc, LinesAndSizes) {
    // <1>, <2> and <P> stand for the directories d1, d2 and one of 90
    // characters (longer than 63: kept whole).
    const string deep = tmp / string(90, 'p');
    fs::create_directory(deep);
    write_file(deep + "/pdsize.txt", "3 0 0 0 0");
    const auto paths = [&](string text) {
        for (const auto& [from, to] :
             {std::pair<string, string>{"<1>", d1}, {"<2>", d2}, {"<P>", deep}}) {
            for (std::size_t at; (at = text.find(from)) != string::npos;) text.replace(at, 3, to);
        }
        return text;
    };
    const struct {
        string loc;
        optional<string> sizes1, sizes2;  // pdsize.txt in d1 and d2; "/" a directory
        string want;
        Sizes numbers;
    } cases[] = {
        // Trailing blanks, tabs and line ends go; the last line needs no line end.
        {"<1> \t\r\n<2>\r\n/third",
         "12\n-3\n+4 5 6 more",
         nullopt,
         "0 <1> <2> /third",
         {12, -3, 4, 5, 6}},
        {"<P>\n<2>\nx\n", nullopt, nullopt, "0 <P> <2> x", {3, 0, 0, 0, 0}},
        {"<1>\n<2>\n", "1 2 3 4 5", nullopt, "-2 <1> <2> unset", {-7, -7, -7, -7, -7}},
        // The second directory when the first has no sizes file; one "/" only.
        {"<1>/\n<2>\nx\n", "/", "2 2 2 2 2", "0 <1>/ <2> x", {2, 2, 2, 2, 2}},
        {"<1>\n<2>\nx\n", nullopt, nullopt, "-3 <1> <2> x", {-7, -7, -7, -7, -7}},
        // The numbers converted before the failure are stored.
        {"<1>\n<2>\nx\n", "10 20 30 40\n", "1 1 1 1 1", "-4 <1> <2> x", {10, 20, 30, 40, -7}},
    };
    for (const auto& c : cases) {
        write_file(loc, paths(c.loc));
        for (const auto& [dir, content] : {std::pair{d1, c.sizes1}, {d2, c.sizes2}}) {
            fs::remove_all(dir + "/pdsize.txt");
            if (content == "/") fs::create_directory(dir + "/pdsize.txt");
            if (content && content != "/") write_file(dir + "/pdsize.txt", *content);
        }
        EXPECT_EQ(read(loc, home), paths(c.want));
        EXPECT_EQ(sizes, c.numbers) << c.want;
    }
}

TEST_F(ReadDbLoc, LocationFileCandidatesInOrder) {
    write_file(home + "/.tarn_files_loc", d1 + "\n" + d2 + "\nhome\n");
    write_file(d1 + "/pdsize.txt", "9 9 9 9 9");
    write_file(loc, d1 + "\n" + d2 + "\nLOGIC_LOC\n");
    // A missing file, a directory or a FIFO without a writer (which would
    // block a plain open) in LOGIC_LOC is passed over.
    const string fifo = tmp / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::pair<optional<string>, string> cases[] = {{loc, "LOGIC_LOC"},
                                                         {tmp / "missing", "home"},
                                                         {d1, "home"},
                                                         {fifo, "home"},
                                                         {nullopt, "home"}};
    for (const auto& [logic_loc, line3] : cases) {
        EXPECT_EQ(read(logic_loc, home), "0 " + d1 + " " + d2 + " " + line3);
    }
}

TEST_F(ReadDbLoc, NoLocationFileFound) {
    if (fs::exists("/usr/local/tarn_files_loc.txt")) {
        GTEST_SKIP() << "/usr/local/tarn_files_loc.txt exists on this machine: it would be found";
    }
    fs::create_directory(home + "/.tarn_files_loc");  // a directory is no location file
    for (const optional<string>& home_dir : std::vector<optional<string>>{home, "", nullopt}) {
        EXPECT_EQ(read(tmp / "missing", home_dir), "-1 unset unset unset");  // "" is skipped
    }
}
