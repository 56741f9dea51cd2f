// The card driver: the codes that choose wavelength and mode, its messages
// and statuses, the code tables opened on the first call, and records no
// formatter should trust.
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <random>

#include "support/support.h"

using namespace cvtest;
using corvane::padded;
using corvane::card::CardFormatter;
using corvane::card::kBadCode;
using corvane::card::kBadRecord;
using corvane::card::kCardWritten;
using corvane::card::kNoOutput;
using corvane::card::kWriteFailed;

namespace {

// A small record with a table of one line.
const std::string kRecord = card('1', {{73, "010002"}}) + card('7', {{1, "Si O2"}}) +
                            card('F', {{30, "D"}}) + card('G', {{25, "S"}}) +
                            card('I', {{1, " 3.3420100   1  0  1"}}) + card('K');

std::string sample_dir() {
    return std::string(CORVANE_SOURCE_DIR) + "/sample/";
}

// Formats a record to the page sink ("-") or to a file, with a fresh
// formatter that finds the code tables in the sample.
Formatted run(const std::string& record, std::string code, const std::string& outfil = "-") {
    return format_card(sample_dir(), record, std::move(code), outfil);
}

}  // namespace

// The first two characters name a radiation, else the first a mode, else the
// code is a wavelength; the code is upper-cased first (20 characters).
TEST(Krx2fmt, RadiationAndModeCodes) {
    // code; halflm and spmode chosen. sin2 theta needs a wavelength: copper's.
    const std::tuple<std::string, float, char> cases[] = {
        {"cu", 0.77028f, '2'},     {"CR", 1.14481f, '2'},    {"FE", 0.967985f, '2'},
        {"CO", 0.89446f, '2'},     {"Mo", 0.35466f, '2'},    {"AG", 0.27968f, '2'},
        {"COBALT", 0.89446f, '2'}, {"1.5406", 0.7703f, '2'}, {"  1.54", 0.77f, '2'},
        {"15406", 7703.0f, '2'},   {"d", 0.0f, 'D'},         {"Q", 0.0f, 'Q'},
        {"S", 0.77028f, 'S'},
    };
    for (const auto& [code, halflm, mode] : cases) {
        std::ostringstream msg, page;
        CardFormatter f(sample_dir(), "", msg);
        f.set_page(page);
        std::string ispacg = code;
        EXPECT_EQ(krx2fmt(f, kRecord, 6, "-", ispacg), kCardWritten) << code;
        EXPECT_FLOAT_EQ(f.cvtsp.halflm, halflm) << code;
        EXPECT_EQ(f.cvtsp.spmode, mode) << code;
        std::string upper = code;
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_EQ(ispacg, padded(upper, 20)) << code;
        EXPECT_EQ(f.ret3.dbname() + f.ret3.dbyear(), "KRX22000");
    }
    // A single C is no radiation and no number; a wavelength must be above 0.
    for (const std::string code : {"C", "X1", "0", "0.0", "-1.5", ""}) {
        const Formatted r = run(kRecord, code);
        EXPECT_EQ(r.status, kBadCode) << code;
        EXPECT_EQ(r.page, Strings{}) << code;
    }
    EXPECT_EQ(run(kRecord, "c").messages, " Error: ISPACG C is invalid\n");
}

TEST(Krx2fmt, StatusesAndMessages) {
    TempDir dir;
    // A record the parser rejects: no output file is made.
    const std::string no_k = kRecord.substr(0, kRecord.size() - 80);
    Formatted r = run(no_k, "CU", dir.slash() + "card.txt");
    EXPECT_EQ(r.status, kBadRecord);
    EXPECT_EQ(r.messages, "  CARD K NOT FOUND IN READBF\n Error in READBF\n");
    EXPECT_FALSE(std::filesystem::exists(dir.slash() + "card.txt"));

    // An existing file is replaced by the card.
    dir.write("card.txt", std::string(5000, 'x'));
    r = run(kRecord, "CU", dir.slash() + "card.txt");
    EXPECT_EQ(r.status, kCardWritten);
    EXPECT_EQ(r.page, Strings{});
    EXPECT_EQ(lines(read_file(dir.slash() + "card.txt")), run(kRecord, "CU").page);

    // A name that does not open: one message line with the 80-character name.
    const std::string name = dir.slash() + "missing/card.txt";
    r = run(kRecord, "CU", name + "   ");
    EXPECT_EQ(r.status, kNoOutput);
    EXPECT_EQ(r.messages, " unable to open " + padded(name, 80) + " for krx2 output\n");
    // A name longer than 80 characters is not cut to another file's name.
    const std::string longname = dir.slash() + std::string(90, 'n');
    EXPECT_EQ(run(kRecord, "CU", longname).status, kNoOutput);
    EXPECT_FALSE(std::filesystem::exists(longname.substr(0, 80)));

    // A card that cannot be written whole is not reported as written.
    ASSERT_EQ(access("/dev/full", W_OK), 0);
    EXPECT_EQ(run(kRecord, "CU", "/dev/full").status, kWriteFailed);
    std::ostringstream msg, page;
    page.setstate(std::ios::badbit);
    CardFormatter f(sample_dir(), "", msg);
    f.set_page(page);
    std::string code = "CU";
    EXPECT_EQ(krx2fmt(f, kRecord, 6, "-", code), kWriteFailed);
    // Nor when only closing the file fails: a size limit just short of the
    // card fails the last write, which waits in the buffer until the close.
    std::size_t size = 0;
    for (const auto& l : run(kRecord, "CU").page) size += l.size() + 1;
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit limit = old;
    limit.rlim_cur = size - 2;
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    r = run(kRecord, "CU", dir.slash() + "limited.txt");
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, handler);
    EXPECT_EQ(r.status, kWriteFailed);
}

TEST(Lines, PlainOrPcSet) {
    CardFormatter f;
    lines(f);
    EXPECT_EQ(f.linedr.lindrw, "----||--+-|--+=|");
    corvane::setcols(f.ret3.ret3, 32, 34, "PC ");
    lines(f);
    EXPECT_EQ(f.linedr.lindrw, "\xDA\xC0\xBF\xD9\xC3\xB4\xC2\xC1\xC5\xC4\xB3\xD2\xD0\xD7\xCD\xBA");
}

// Records made at random from a fixed seed: any card types in any number,
// fields of digits, points, markup and junk running across their columns,
// counts beyond the buffer, every mode code. The driver returns a status for
// each; no card line passes column 128.
TEST(Krx2fmt, HostileRecordsNeverEscape) {
    std::mt19937 rng(20261206);
    const auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
    const std::string_view types = "123456789ABCDEFGHIJK+*";
    const std::string_view junk = "0123456789.....     -+EDed$#@\\`|()[],*/=abcXYZ?!\x01\xF9\xFF";
    const std::string codes[] = {"CU", "cr",  "D",     "Q",  "S",  "1",  "0",
                                 "",   "1.5", "99999", "x7", "-3", "d9", "1e3"};
    const std::string_view tags[] = {"CL", "OP", "MP", "FN", "HK", "UC", "TM",
                                     "ST", "  ", "AD", "PD", "ZZ", "CO"};
    // Card types mostly within their limits, type 1 first and K last.
    const std::size_t limit[] = {2, 2, 1, 1, 5, 5, 5,  1, 10, 1, 20,
                                 1, 1, 1, 1, 1, 1, 68, 5, 1,  1, 1};
    std::map<int, int> statuses;
    for (int n = 0; n < 3000; ++n) {
        std::string order;
        for (std::size_t t = 1; t < 22; ++t) {
            if (t != 19 && pick(4) != 0) order.append(pick(limit[t] + 1), types[t]);
        }
        if (pick(20) == 0) order += types[pick(22)];  // maybe one too many
        std::shuffle(order.begin(), order.end(), rng);
        order = "1" + order + (pick(10) != 0 ? "K" : "");
        if (pick(8) == 0) order[pick(order.size())] = static_cast<char>(32 + pick(95));
        std::string record;
        for (const char type : order) {
            std::string c(79, ' ');
            for (auto& ch : c) ch = pick(3) == 0 ? junk[pick(junk.size())] : ' ';
            if (pick(2) == 0) at(c, 68, tags[pick(std::size(tags))]);
            if (pick(3) == 0) c[69] = 'C';
            if (type == 'F' && pick(2) == 0) c[29] = 'D';
            record += c + type;
        }
        if (pick(5) == 0) record.resize(record.size() - pick(80));
        std::string code = codes[pick(std::size(codes))];
        const auto ncards = static_cast<int>(record.size() / 80 + (pick(4) == 0 ? pick(200) : 0));
        std::ostringstream msg, page;
        CardFormatter f(sample_dir(), "", msg);
        f.set_page(page);
        const int status = krx2fmt(f, record, ncards, "-", code);
        ++statuses[status];
        ASSERT_TRUE(status == kCardWritten || status == kBadCode || status == kBadRecord) << n;
        for (const auto& l : lines(page.str() + msg.str())) ASSERT_LE(l.size(), 128u) << n << l;
    }
    // The records reach every outcome, and most of them the page.
    EXPECT_GT(statuses[kCardWritten], 1000);
    EXPECT_GT(statuses[kBadCode] * statuses[kBadRecord], 0);
}
