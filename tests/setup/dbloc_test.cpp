#include "support/support.h"

using namespace cvtest;
using namespace std::string_literals;
using std::nullopt, std::optional, std::string;
using Sizes = std::array<std::int32_t, 5>;

namespace {

// A scratch directory with d1/, d2/ and home/, also the working directory, so
// that the location-file candidates named relative to it are under control.
class ReadDbLoc : public testing::Test {
  protected:
    // The status and the three lines ("unset" unless stored); the sizes go to sizes.
    Strings read(const optional<string>& logic_loc, const optional<string>& home_dir) {
        ScopedEnv l("LOGIC_LOC", logic_loc), h("HOME", home_dir);
        Strings r = {"", "unset", "unset", "unset"};
        sizes = {-7, -7, -7, -7, -7};
        r[0] = std::to_string(corvane::cv_readdbloc(r[1], r[2], r[3], sizes[0], sizes[1], sizes[2],
                                                    sizes[3], sizes[4]));
        return r;
    }
    void SetUp() override {
        for (const auto& d : {d1, d2, home}) fs::create_directory(d);
    }
    TempDir tmp;
    ScopedCwd cwd{tmp.path()};
    string d1 = tmp / "d1", d2 = tmp / "d2", home = tmp / "home", loc = tmp / "loc";
    Sizes sizes;
};

}  // namespace

// Trailing blanks, tabs, line ends and NULs go; a control character (a tab
// aside) within a line, or a line beyond 4096 characters, makes the file
// unreadable, the lines before it keeping their text.
TEST_F(ReadDbLoc, LocationLines) {
    write_file(d1 + "/pdsize.txt", "1 2 3 4 5");
    const string x4096(4096, 'x');
    const std::array<string, 5> cases[] = {
        {d1 + " \t\r\n/b\r\n/third", "0", d1, "/b", "/third"},  // no line end needed at last
        {d1 + "\0\0 \n/b\n/c\n"s, "0", d1, "/b", "/c"},
        {d1 + "\n/b\n", "-2", d1, "/b", "unset"},
        {d1 + "\0/evil\n/b\n/c\n"s, "-2", "unset", "unset", "unset"},
        {d1 + "\x7f/x\n/b\n/c\n", "-2", "unset", "unset", "unset"},
        {d1 + "\n/b\0x\n/c\n"s, "-2", d1, "unset", "unset"},
        {"/a\tb\n" + d1 + "\n/c\n", "0", "/a\tb", d1, "/c"},  // the sizes from the second line
        {"/" + x4096.substr(1) + "\n" + d1 + "\n/c\n", "0", "/" + x4096.substr(1), d1, "/c"},
        {"/" + x4096 + "\n" + d1 + "\n/c\n", "-2", "unset", "unset", "unset"},
        {d1 + "\n" + string(1 << 20, ' ') + "\n/c\n", "-2", d1, "unset", "unset"},
    };
    for (const auto& c : cases) {
        write_file(loc, c[0]);
        EXPECT_EQ(read(loc, home), Strings(c.begin() + 1, c.end())) << c[0].substr(0, 60);
    }
}

// pdsize.txt of the first directory, else of the second (a directory of that
// name is no sizes file): five integers as "%ld" reads them, within a line of
// 4096 characters and the 32-bit range; those read before a failure are kept.
TEST_F(ReadDbLoc, SizesFile) {
    write_file(loc, d1 + "/\n" + d2 + "\nx\n");  // a directory line may end in "/"
    // pdsize.txt in d1 and d2 ("/": a directory), the status and the sizes.
    const std::tuple<optional<string>, optional<string>, int, Sizes> cases[] = {
        {"12\n-3\n+4 5 6 more", "9 9 9 9 9", 0, {12, -3, 4, 5, 6}},
        {"1\v2\f3\r\n4\t5", nullopt, 0, {1, 2, 3, 4, 5}},
        {"/", "2 2 2 2 2", 0, {2, 2, 2, 2, 2}},
        {nullopt, nullopt, -3, {-7, -7, -7, -7, -7}},
        {"10 20 30 40\n", "1 1 1 1 1", -4, {10, 20, 30, 40, -7}},
        {"1 2 3\0 4 5"s, nullopt, -4, {1, 2, 3, -7, -7}},
        {"1 2 3 4 2147483648", nullopt, -4, {1, 2, 3, 4, -7}},
        {"-2147483648 0 0 0 " + string(50, '0') + "1", nullopt, 0, {INT_MIN, 0, 0, 0, 1}},
        {string(4000, ' ') + "1\n2 3 4 5", nullopt, 0, {1, 2, 3, 4, 5}},
        {string(4096, ' ') + "1\n2 3 4 5", nullopt, -4, {-7, -7, -7, -7, -7}},
        {"1\n2\n" + string(5000, '0') + "3 4 5", nullopt, -4, {1, 2, -7, -7, -7}},
    };
    for (const auto& [sizes1, sizes2, status, numbers] : cases) {
        for (const auto& [dir, content] : {std::pair{d1, sizes1}, {d2, sizes2}}) {
            fs::remove_all(dir + "/pdsize.txt");
            if (content == "/") fs::create_directory(dir + "/pdsize.txt");
            if (content && content != "/") write_file(dir + "/pdsize.txt", *content);
        }
        const Strings r = read(loc, home);
        EXPECT_EQ(r[0] + r[1], std::to_string(status) + d1 + "/");
        EXPECT_EQ(sizes, numbers) << sizes1.value_or("-").substr(0, 40);
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
        EXPECT_EQ(read(logic_loc, home), (Strings{"0", d1, d2, line3}));
    }
    if (fs::exists("/usr/local/tarn_files_loc.txt")) {
        GTEST_SKIP() << "/usr/local/tarn_files_loc.txt exists on this machine: it would be found";
    }
    fs::remove(home + "/.tarn_files_loc");
    fs::create_directory(home + "/.tarn_files_loc");  // a directory is no location file
    for (const optional<string>& home_dir : {optional<string>(home), optional<string>(""), {}}) {
        EXPECT_EQ(read(tmp / "missing", home_dir), (Strings{"-1", "unset", "unset", "unset"}));
    }
}
