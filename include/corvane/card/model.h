// The card formatter's record model: one plain struct per block, named after
// the block, with the members, sizes and initial values the parser, the box
// routines and the layout share.
//
// Arrays keep the 1-based numbering the whole formatter talks in (card slots,
// card types, table rows, footnote slots): they are Vec1 arrays, indexed with
// parentheses, so updat2.ncrd(t) is the count of type t and update.crdimg(5)
// is slot 5. Texts are std::strings of their declared length, blank-padded;
// their columns are read and written only through corvane::cols / corvane::setcols.
#pragma once

#include <corvane/entries/krx2.h>
#include <corvane/setup/vec1.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace corvane::card {

// A Vec1 of texts, each of the same declared length, blank at the start.
template <std::size_t N>
Vec1<std::string, N> blank_texts(std::size_t len) {
    Vec1<std::string, N> out;
    out.fill(std::string(len, ' '));
    return out;
}

// ---- cards ------------------------------------------------------------------

// The record format (card length, type alphabet, per-type limits) is the
// KRX2 record format of <corvane/entries/krx2.h>; these are its names here.
using corvane::kCardLen;
using corvane::kCardTypes;
inline constexpr int kNumTypes = kNumCardTypes;
inline constexpr int kNumSlots = kMaxRecordCards;

// The type number of a card type code, 0 when the code is not a card type.
constexpr int type_of(char code) {
    return card_type(code);
}

// Card types the formatter names often.
inline constexpr int kTypeFirst = type_of('1');  // the record's first card(s)
inline constexpr int kTypeName = type_of('6');   // chemical, mineral and other names
inline constexpr int kTypeForm = type_of('7');   // formulas
inline constexpr int kTypeRef = type_of('9');    // reference cards
inline constexpr int kTypeComm = type_of('B');   // comment cards
inline constexpr int kTypeDsp = type_of('I');    // d-spacing lines
inline constexpr int kTypeEnd = type_of('K');    // the card that ends a record

// ---- blocks -----------------------------------------------------------------

// update: the card images. Each type owns a fixed run of slots (see Updat2);
// slots are not blanked between records, only ncrd says which are valid.
struct Update {
    Vec1<std::string, kNumSlots> crdimg = blank_texts<kNumSlots>(kCardLen);
};

// updat2: cards per type in the current record, and the limit per type.
// The limits add up to the 135 slots of update.
struct Updat2 {
    Vec1<std::int32_t, kNumTypes> ncrd{};
    Vec1<std::int32_t, kNumTypes> maxcrd{kMaxCards};

    // The crdimg slot of the n-th card of type t: the type's run begins after
    // the runs of all lower types.
    int slot(int t, int n) const {
        int first = 1;
        for (int u = 1; u < t; ++u) first += maxcrd(u);
        return first + n - 1;
    }
};

// curcrd: rendered text of boxes 1 to 4, 17 lines of 80 characters.
struct Curcrd {
    Vec1<std::string, 17> curlin = blank_texts<17>(kCardLen);
};

// dih: the d-spacing table rows. ndsp is -1 until a table is built.
struct Dih {
    static constexpr int kRows = 200;
    Vec1<std::string, kRows> dspd = blank_texts<kRows>(9);
    Vec1<std::string, kRows> dspi = blank_texts<kRows>(4);
    Vec1<std::string, kRows> dsphkl = blank_texts<kRows>(22);
    std::int32_t ndsp = -1;
};

// comcrd: the comment text and its category index and segments.
struct Comcrd {
    static constexpr int kTextLen = 1760;
    std::string comtxt = std::string(kTextLen, ' ');
    std::int32_t ncomsg = 0;
    std::int32_t comlen = 0;
    Vec1<std::int32_t, 30> comcnt{};
    Vec1<std::int32_t, 30> comfst{};
    Vec1<std::int32_t, 20> comnxt{};
    // 30 segments and the end mark the layout stores after the last of them.
    Vec1<std::int32_t, 31> comsp{};
    std::int32_t ncomty = 22;
};

// cvtsp: half the wavelength for the table's conversions, and the column mode.
struct Cvtsp {
    float halflm = 0.77025f;
    char spmode = '2';
};

// ret3: 48 characters; 32-34 select the line-drawing set, 35-38 hold the
// database name and 39-42 its year.
struct Ret3 {
    std::string ret3 = std::string(48, ' ');

    std::string dbname() const;
    std::string dbyear() const;
    void set_dbname(std::string_view name);
    void set_dbyear(std::string_view year);
};

// ioret: the unit numbers. iounit(9) is picodes.tbl and codens.tbl, iounit(10)
// stdcodes.tbl, iounit(11) mineral.tbl.
struct Ioret {
    Vec1<std::int32_t, 20> iounit{
        {5, 6, 1, 2, 3, 4, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0}};
};

// counts: the block's second word is the record count given in codens.tbl;
// its first word is read by no routine.
struct Counts {
    std::int32_t first = 0;
    std::int32_t ncoden = 0;
};

// picds: the "$" symbol codes loaded from picodes.tbl; room for 50.
struct Picds {
    static constexpr int kMax = 50;
    std::int32_t piflag = 0;
    std::int32_t npicd = 0;
    Vec1<std::int32_t, kMax> pilen{};                        // display length
    Vec1<std::string, kMax> picode = blank_texts<kMax>(2);   // the code after "$"
    Vec1<std::string, kMax> pitext = blank_texts<kMax>(10);  // its replacement
};

// grpnum: the number of mineral groups found for the comments box.
struct Grpnum {
    std::int32_t ngroup = 0;
};

// mingrp: the names of those groups and of their subgroups, 20 characters each.
struct Mingrp {
    Vec1<std::string, 7> grpnam = blank_texts<7>(20);
    Vec1<std::string, 7> sgrnam = blank_texts<7>(20);
};

// cdeqpd: 1 when the record's C card holds the 3 x 3 identity matrix.
struct Cdeqpd {
    std::int32_t flag = 0;
};

// switch: per-card flags for the formatting steps already done.
struct Switch {
    Vec1<std::int32_t, 8> swdone{};
};

// linedr: the 16 line-drawing characters.
struct Linedr {
    std::string lindrw = std::string(16, ' ');
};

// reftrk: 1 for each reference card already placed on the current card.
struct Reftrk {
    Vec1<std::int32_t, 10> refdon{};
};

// scncmn: the token scanner's text and position.
struct Scncmn {
    static constexpr int kTextMax = 200;
    static constexpr int kDelimMax = 96;
    std::int32_t scnpos = 1;
    std::int32_t scnndl = 0;
    std::int32_t scnlen = 0;
    std::string scndlm = std::string(kDelimMax, ' ');
    std::string scntxt = std::string(kTextMax, ' ');
};

// The footnote-marker table of trfnch, kept for one card: which slot each
// legend character of "*$12345" holds, the next free slot, and per slot
// whether it is in use on this card and how often its marker was handed out.
struct Fnotes {
    static constexpr std::string_view kLegend = "*$12345";
    static constexpr std::string_view kDigits = "12345";
    // Slot tags in "$"-code markup: asterisk, dagger, double dagger, section
    // sign, paragraph sign.
    static constexpr std::array<std::string_view, 5> kTags = {"*  ", "$DA", "$DD", "$SE", "$PG"};

    Vec1<std::int32_t, 7> map{};
    std::int32_t nxtfre = 1;
    Vec1<std::int32_t, 5> exist{};
    Vec1<std::int32_t, 5> refcnt{};
};

}  // namespace corvane::card
