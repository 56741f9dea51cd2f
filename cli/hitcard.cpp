// hitcard ENTRY [CODE [OUTFILE]]: loads the entry's full record from krx2.dat
// and prints it as a card, in the first table column's mode that CODE selects
// (default "CU", 2-theta for copper), into OUTFILE (default "-", standard
// output). The card formatter's messages go to standard output, the library's
// to standard error.
// hitcard -raw ENTRY: prints the record's cards as they are stored, one
// 80-character card a line.
// Exit status 0 when the card (or at least one raw card) was printed; 1 after
// a usage error, a failed start-up, an entry that cannot be read or has no
// cards, or a card the formatter did not write (an invalid code, a record the
// parser rejects, an output file that cannot be opened or written).
#include <corvane/card/driver.h>
#include <corvane/card/formatter.h>
#include <corvane/card/repkrx2.h>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "cli/common.h"
#include "cli/tools.h"

namespace corvane::cli {
namespace {

constexpr Tool kHitcard = {
    "hitcard", "print an entry's full record as a card",
    "\thitcard <entry> [<code> [<outfile>]]\n"
    "\t\t(code: CU (the default), CR, FE, CO, MO or AG for 2-theta with that\n"
    "\t\t radiation, a wavelength in Angstrom, D for d-spacings, Q, or S for\n"
    "\t\t sin2 theta; outfile: - (the default) for standard output)\n"
    "\thitcard -raw <entry>\n"};

// An entry number: decimal digits that fit a 32-bit integer.
std::optional<std::int32_t> entry_number(const std::string& arg) {
    if (arg.empty() || arg.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    std::int32_t value = 0;
    const auto [end, ec] = std::from_chars(arg.data(), arg.data() + arg.size(), value);
    if (ec != std::errc() || end != arg.data() + arg.size()) return std::nullopt;
    return value;
}

}  // namespace

int hitcard(int argc, char** argv) {
    const auto args = arguments(argc, argv);
    if (const auto status = help_or_version(kHitcard, args)) return *status;
    const bool raw = !args.empty() && args[0] == "-raw";
    const std::size_t first = raw ? 1 : 0;
    const bool counts_ok = raw ? args.size() == 2 : !args.empty() && args.size() <= 3;
    const auto entry = counts_ok ? entry_number(args[first]) : std::nullopt;
    if (!entry) {
        if (counts_ok) std::fprintf(stderr, "invalid entry number: %s\n", args[first].c_str());
        usage_error(kHitcard);
        return 1;
    }
    const std::string code = !raw && args.size() >= 2 ? args[1] : "CU";
    const std::string outfile = !raw && args.size() == 3 ? args[2] : "-";

    auto lib = std::make_unique<Library>();
    if (!start_database(*lib)) return 1;
    auto fm = std::make_unique<card::CardFormatter>(lib->cv_path.dbpath(2), lib->cv_path.dbpath(1),
                                                    std::cout);

    std::string text;
    const std::int32_t n = cvl_repkrx2(*lib, *fm, *entry, 0, text, "", "");
    if (n < 0) {
        std::fprintf(stderr, "error reading entry %d\n", *entry);
        return 1;
    }
    if (n == 0) {
        std::fprintf(stderr, "entry %d has no cards in krx2.dat\n", *entry);
        return 1;
    }

    if (raw) {
        for (std::int32_t i = 1; i <= n; ++i) {
            if (cvl_repkrx2(*lib, *fm, *entry, i, text, "", "") != 81) break;
            std::cout << std::string_view(text).substr(0, 80) << '\n';
        }
        std::cout.flush();
        return std::cout.good() ? 0 : 1;
    }

    std::string ispacg = code;
    const std::string_view record(lib->cv_krx2rec.buffer.data(), static_cast<std::size_t>(n) * 80);
    switch (card::krx2fmt(*fm, record, n, outfile, ispacg)) {
        case card::kCardWritten:
            return 0;
        case card::kWriteFailed:
            std::cout.flush();
            std::fprintf(stderr, "error writing the card of entry %d to %s\n", *entry,
                         outfile.c_str());
            return 1;
        case card::kInternalFault:
            std::cout.flush();
            std::fprintf(stderr, "error formatting entry %d\n", *entry);
            return 1;
        default:  // the formatter has said why
            return 1;
    }
}

}  // namespace corvane::cli
