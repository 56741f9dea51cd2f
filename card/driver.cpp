// The card formatting driver: the wavelength and column mode from the code,
// the code tables on the first call, the parser, and the page into its file.
#include <corvane/card/driver.h>
#include <corvane/card/layout.h>
#include <corvane/card/parser.h>
#include <corvane/card/utilities.h>
#include <corvane/setup/format.h>
#include <corvane/setup/text.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>

namespace corvane::card {

namespace {

constexpr int kCodeLen = 20;  // characters of the code that count
constexpr int kNameLen = 80;  // characters of the output file name

// Half the wavelength of each radiation, by the code's first two characters.
struct Radiation {
    std::string_view code;
    float halflm;
};
constexpr std::array<Radiation, 6> kRadiations = {{{"CR", 1.14481f},
                                                   {"FE", 0.967985f},
                                                   {"CO", 0.89446f},
                                                   {"MO", 0.35466f},
                                                   {"AG", 0.27968f},
                                                   {"CU", 0.77028f}}};
constexpr float kCopper = 0.77028f;

// Points the page sink at another stream for the life of the object.
class PageRedirect {
  public:
    PageRedirect(CardFormatter& fm, std::ostream& to) : fm_(fm), old_(fm.page()) {
        fm.set_page(to);
    }
    ~PageRedirect() { fm_.set_page(old_); }
    PageRedirect(const PageRedirect&) = delete;
    PageRedirect& operator=(const PageRedirect&) = delete;

  private:
    CardFormatter& fm_;
    std::ostream& old_;
};

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// The output file's name: the first 80 characters up to a NUL, trailing blanks
// dropped. long_name is set when significant characters follow the 80th: such
// a name is not cut to a different file's.
std::string file_name(std::string_view outfil, bool& long_name) {
    const std::string_view whole = outfil.substr(0, outfil.find('\0'));
    const auto last = whole.find_last_not_of(' ');
    const std::string_view name =
        last == std::string_view::npos ? std::string_view() : whole.substr(0, last + 1);
    long_name = name.size() > static_cast<std::size_t>(kNameLen);
    return std::string(name.substr(0, kNameLen));
}

// Selects halflm and spmode from the (upper-cased) code; false when the code
// is invalid.
bool select_mode(CardFormatter& fm, const std::string& code) {
    const std::string two = cols(code, 1, 2);
    for (const auto& r : kRadiations) {
        if (two == r.code) {
            fm.cvtsp.halflm = r.halflm;
            fm.cvtsp.spmode = '2';
            return true;
        }
    }
    const char first = col(code, 1);
    if (first == 'D' || first == 'Q') {
        fm.cvtsp.halflm = 0.0f;
        fm.cvtsp.spmode = first;
        return true;
    }
    if (first == 'S') {
        fm.cvtsp.halflm = kCopper;
        fm.cvtsp.spmode = 'S';
        return true;
    }
    float lambda = 0.0f;
    const std::string_view number = std::string_view(code).substr(0, lench(code));
    if (edit::read("(f8.0)", number, {&lambda}) != edit::kOk || !(lambda > 0.0f)) return false;
    fm.cvtsp.halflm = lambda / 2.0f;
    fm.cvtsp.spmode = '2';
    return true;
}

int format_card(CardFormatter& fm, std::string_view record, std::int32_t ncards,
                std::string_view outfil, std::string& ispacg) {
    fm.ret3.set_dbname("KRX2");
    fm.ret3.set_dbyear("2000");
    if (ispacg.size() < kCodeLen) ispacg.resize(kCodeLen, ' ');
    upper(ispacg, kCodeLen);
    const std::string code = ispacg.substr(0, kCodeLen);
    if (!select_mode(fm, code)) {
        std::string message = "Error: ISPACG ";
        message += std::string_view(code).substr(0, lench(code));
        message += " is invalid";
        fm.say({message});
        return kBadCode;
    }
    opentables(fm);

    const long long wanted = static_cast<long long>(std::max(ncards, 0)) * kCardLen;
    const auto reclen = static_cast<std::int32_t>(
        std::min<long long>({wanted, static_cast<long long>(record.size()), 0x7fffffffLL}));
    if (readbf(fm, record, reclen) == 1) {
        fm.say({"Error in READBF"});
        return kBadRecord;
    }

    lines(fm);
    bool long_name = false;
    const std::string name = file_name(outfil, long_name);
    const bool to_page = name == "-" && !long_name;
    std::unique_ptr<std::FILE, FileCloser> file;
    if (!to_page) {
        if (!name.empty() && !long_name) file.reset(std::fopen(name.c_str(), "w"));
        if (!file) {
            std::string message = "unable to open ";
            message += padded(name, kNameLen);
            message += " for krx2 output";
            fm.say({message});
            return kNoOutput;
        }
    }

    // The page is composed whole, then delivered.
    std::ostringstream composed;
    {
        PageRedirect redirect(fm, composed);
        prtcrd(fm);
    }
    const std::string text = composed.str();
    if (to_page) {
        fm.page() << text;
        fm.page().flush();
        return fm.page().good() ? kCardWritten : kWriteFailed;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size();
    const bool closed = std::fclose(file.release()) == 0;
    return written && closed ? kCardWritten : kWriteFailed;
}

}  // namespace

int krx2fmt(CardFormatter& fm, std::string_view record, std::int32_t ncards,
            std::string_view outfil, std::string& ispacg) {
    try {
        return format_card(fm, record, ncards, outfil, ispacg);
    } catch (...) {
        // Nothing in the formatter throws on record data; a fault of its own
        // (or memory running out) ends this card, not the caller.
        return kInternalFault;
    }
}

void lines(CardFormatter& fm) {
    static constexpr std::array<unsigned char, 16> kPc = {218, 192, 191, 217, 195, 180, 194, 193,
                                                          197, 196, 179, 210, 208, 215, 205, 186};
    static constexpr std::string_view kPlain = "----||--+-|--+=|";
    std::string& l = fm.linedr.lindrw;
    l.assign(16, ' ');
    if (cols(fm.ret3.ret3, 32, 34) == "PC ") {
        for (std::size_t i = 0; i < kPc.size(); ++i) l[i] = static_cast<char>(kPc[i]);
    } else {
        l = std::string(kPlain.substr(0, 16));
    }
}

}  // namespace corvane::card
