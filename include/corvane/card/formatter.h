// The card formatter's state: the record model, the code tables, the message
// sink and the page sink, in one object that a process (or a test) creates and
// keeps as long as it formats cards. The code tables are opened on first use
// and stay open with it; the blocks are refilled for every record. Messages
// are list-directed lines written to the sink given at construction (standard
// output by default); the card itself goes to the page sink, kept apart so a
// caller can send the two to different places.
//
// The formatter's routines are free functions over this object, one family to
// a file, each declared by its own header:
//   <corvane/card/parser.h>      readbf, the card parser
//   <corvane/card/codetables.h>  opentables and the tables' files
//   <corvane/card/utilities.h>   the shared text routines and trfnch
//   <corvane/card/formula.h>     formula notation, "$" codes, the token scanner
//   <corvane/card/references.h>  seekx, phref, dorefs
//   <corvane/card/layout.h>      prtcrd, the page, and its helpers
//   <corvane/card/driver.h>      krx2fmt, the single entry point
// The boxes, the d-spacing table, the layout and the driver join them the same
// way: one file per box or table, reading the card images through card(t, n)
// and corvane::cols, writing curcrd, dih and comcrd.
#pragma once

#include <corvane/card/codetables.h>
#include <corvane/card/model.h>
#include <corvane/setup/format.h>

#include <cstdint>
#include <initializer_list>
#include <iostream>
#include <string>
#include <string_view>

namespace corvane::card {

class CardFormatter {
  public:
    // primary and secondary are the two database directories the code tables
    // are looked for in, in that order: the library's dbpath(2) (location-file
    // line 1) and dbpath(1) (line 2). out receives the message lines.
    explicit CardFormatter(std::string primary = {}, std::string secondary = {},
                           std::ostream& out = std::cout);
    CardFormatter(const CardFormatter&) = delete;
    CardFormatter& operator=(const CardFormatter&) = delete;

    // The n-th card of type t (both 1-based): its crdimg slot.
    std::string& card(int t, int n) { return update.crdimg(updat2.slot(t, n)); }
    const std::string& card(int t, int n) const { return update.crdimg(updat2.slot(t, n)); }

    // One list-directed message on the sink.
    void say(std::initializer_list<edit::ListItem> items);

    // The page sink: where prtcrd writes the card's lines. Standard output
    // unless the caller sets another; krx2fmt points it at the output file for
    // the length of one card and leaves it as it found it.
    std::ostream& page() const { return *page_; }
    void set_page(std::ostream& out) { page_ = &out; }

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
    Grpnum grpnum;
    Mingrp mingrp;

    // ---- code tables -------------------------------------------------------------
    std::string dbpath2;  // primary directory of the code tables
    std::string dbpath1;  // secondary directory
    bool tables_pending = true;
    SeqTable stdcodes;   // unit iounit(10): "(a6,1x,a)" records
    SeqTable mineral;    // unit iounit(11): group and member lines
    DirectTable codens;  // unit iounit(9): 81-character records

  private:
    std::ostream& out_;
    std::ostream* page_ = &std::cout;
};

}  // namespace corvane::card
