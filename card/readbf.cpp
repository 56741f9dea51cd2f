// The record parser: sorts a record's cards into their slots by card type.
#include <corvane/card/parser.h>
#include <corvane/setup/text.h>

#include <algorithm>
#include <string>

namespace corvane::card {

int readbf(CardFormatter& fm, std::string_view record, std::int32_t reclen) {
    int status = 0;
    for (int t = 1; t <= kNumTypes; ++t) fm.updat2.ncrd(t) = 0;

    // Columns 70-71 of the n-th I slot always hold n, whatever the card held.
    for (int n = 1; n <= fm.updat2.maxcrd(kTypeDsp); ++n) {
        const char num[2] = {static_cast<char>('0' + n / 10), static_cast<char>('0' + n % 10)};
        setcols(fm.card(kTypeDsp, n), 70, 71, std::string_view(num, 2));
    }

    // A length beyond the buffer counts only the cards the buffer holds.
    const auto have = static_cast<std::int32_t>(std::min<std::size_t>(record.size(), 0x7fffffff));
    const int ncards = std::max(0, std::min(reclen, have)) / kCardLen;
    bool started = false;
    for (int k = 1; k <= ncards; ++k) {
        const std::string_view crd =
            record.substr(static_cast<std::size_t>(k - 1) * kCardLen, kCardLen);
        const char code = col(crd, 80);
        const int t = type_of(code);
        if (t == 0) {
            fm.say({" INVALID CARD TYPE=", std::string_view(&code, 1)});
            status = 1;
            continue;
        }
        if (t == kTypeFirst) started = true;
        if (!started) continue;  // cards before the first type-1 card
        if (fm.updat2.ncrd(t) >= fm.updat2.maxcrd(t)) {
            fm.say({" *** TOO MANY CARDS OF TYPE ", std::string_view(&code, 1)});
            status = 1;
            continue;
        }
        const int n = ++fm.updat2.ncrd(t);
        std::string& slot = fm.card(t, n);
        if (t == kTypeDsp) {
            setcols(slot, 1, 69, cols(crd, 1, 69));
            setcols(slot, 72, 80, cols(crd, 72, 80));
        } else {
            slot = cols(crd, 1, 80);
        }
        if (t == kTypeEnd) return status;  // nothing after the K card is looked at
    }
    fm.say({" CARD K NOT FOUND IN READBF"});
    return 1;
}

}  // namespace corvane::card
