// The card formatter: one object holding the record model, the code tables and
// the message sink, with the formatter's routines as member functions.
//
// A process (or a test) creates one Formatter and keeps it as long as it
// formats cards: the code tables are opened on first use and stay open with
// it, and the blocks are refilled for every record. Messages are list-directed
// lines written to the sink given at construction (standard output by default).
//
// The routines are implemented one family to a file: readbf.cpp (the parser),
// codetables.cpp, formula.cpp (formula notation, "$" codes, scanner),
// references.cpp, utilities.cpp (the shared text routines; trfnch lives there
// because its table belongs to the formatter).
//
// The boxes, the d-spacing table, the layout and the driver join the same way:
// a member function per routine (phbox1 ... phbox5, phdsp, prtcrd, once,
// krx2fmt, lines), each family in its own file beside these, reading the card
// images through card(t, n) and cv::cols, writing curcrd, dih and comcrd.
// Routines that keep no state and touch no block are free functions
// (utilities.h). The comments box reads stdcodes and mineral from the start
// with rewind() and next().
#pragma once

#include <cstdint>
#include <initializer_list>
#include <iostream>
#include <string>
#include <string_view>

#include "card/codetables.h"
#include "card/model.h"
#include "setup/format.h"

namespace cv::card {

class Formatter {
  public:
    // primary and secondary are the two database directories the code tables
    // are looked for in, in that order: the library's dbpath(2) (location-file
    // line 1) and dbpath(1) (line 2). out receives the message lines.
    explicit Formatter(std::string primary = {}, std::string secondary = {},
                       std::ostream& out = std::cout);
    Formatter(const Formatter&) = delete;
    Formatter& operator=(const Formatter&) = delete;

    // ---- parser (readbf.cpp) -------------------------------------------------
    // Sorts the cards of record (reclen characters, reclen / 80 whole cards)
    // into their slots. Returns 0 when the record was taken whole, 1 when any
    // error was reported.
    int readbf(std::string_view record, std::int32_t reclen);

    // The n-th card of type t (both 1-based): its crdimg slot.
    std::string& card(int t, int n) { return update.crdimg(updat2.slot(t, n)); }
    const std::string& card(int t, int n) const { return update.crdimg(updat2.slot(t, n)); }

    // ---- code tables (codetables.cpp) ----------------------------------------
    // The opening step: runs on the first call only (tables_pending is then
    // cleared); later calls do nothing, whatever changed on disk.
    void opentables();

    // ---- utilities with state (utilities.cpp) --------------------------------
    // Footnote slot of a legend character of "*$12345", or "RESET_ALL" /
    // "RESET_COUNTS". tag receives 3 characters.
    void trfnch(std::string_view code, int keep, int& skip, char& digit, std::string& tag,
                int& count);

    // ---- formula notation, "$" codes, scanner (formula.cpp) ------------------
    // Converts a formula in the record's notation into markup in out (its size
    // is the room). outlen: characters written, 0 unless all tokens fitted.
    // status 0 valid, 1 out too short, 2 a token broke the notation.
    void phform(std::string_view in, std::string& out, int& outlen, int& status);
    // text: 10 characters; tlen its display length.
    void pitran(std::string_view code, std::string& text, int& tlen);
    // Expands every "$" code of text in place; returns the expanded length.
    int piexp(std::string& text);
    void scanin(std::string_view text, std::string_view delims);
    // token: its size is its declared length. toklen -1 when the text is
    // exhausted, otherwise the token's full length.
    void scaner(std::string& token, int& toklen);

    // ---- references (references.cpp) -----------------------------------------
    // Journal text (71 characters) of a CODEN; returns 0 found, 1 not found.
    int seekx(std::string_view coden, std::string& jtext);
    // Composes reference card kref into refout (its size is W); returns 0, or 3
    // when the reference has no room within W.
    int phref(int kref, std::string& refout);
    // Appends every reference of source refsrc not yet placed on this card to
    // reftxt (its size is W). dropd 1 when one could not be composed; nused the
    // characters used.
    void dorefs(std::string_view refsrc, int appnd, int wrap, int& dropd, std::string& reftxt,
                int& nused);

    // ---- messages --------------------------------------------------------------
    // One list-directed message on the sink.
    void say(std::initializer_list<fmt::ListItem> items);

    // ---- the record model ------------------------------------------------------
    Update update;
    Updat2 updat2;
    Curcrd curcrd;
    Dih dih;
    Comcrd comcrd;
    Cvtsp cvtsp;
    Ret3 ret3;
    Ioret ioret;
    Counts counts;
    Picds picds;
    Cdeqpd cdeqpd;
    Switch switch_;  // the block switch: "switch" is a C++ keyword
    Linedr linedr;
    Reftrk reftrk;
    Scncmn scncmn;
    Fnotes fnotes;  // trfnch's table

    // ---- code tables -------------------------------------------------------------
    std::string dbpath2;  // primary directory of the code tables
    std::string dbpath1;  // secondary directory
    bool tables_pending = true;
    SeqTable stdcodes;   // unit iounit(10): "(a6,1x,a)" records
    SeqTable mineral;    // unit iounit(11): group and member lines
    DirectTable codens;  // unit iounit(9): 81-character records

  private:
    std::ostream& out_;
};

}  // namespace cv::card
