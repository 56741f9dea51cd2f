// Box 5 of the card, the comments: one running text built in comcrd from the
// record's comment cards and the sentences derived from its other cards, then
// expanded and cut into segments for the layout.
#pragma once

#include <corvane/card/formatter.h>

#include <string>
#include <string_view>

namespace corvane::card {

// Builds the comment text, its category index and its segments; returns 0.
int phbox5(CardFormatter& fm);

// Appends text(1:n) to comtxt after comlen; nothing when it does not fit whole.
void concat(CardFormatter& fm, std::string_view text, int n);

// Appends every comment of category k (1..ncomty) in card order; returns 1
// when k is out of range or the category is empty, else 0. addfn does the
// same for footnote comments: each led by its footnote mark and ended by "|".
int addall(CardFormatter& fm, int k);
int addfn(CardFormatter& fm, int k);

// Appends the sentences of the references no other box has placed; returns 0.
int addref(CardFormatter& fm);

// Looks the mineral groups of the first type-5 card up in mineral.tbl into
// grpnum and mingrp; returns 1 when an item was not found, else 0.
int minsub(CardFormatter& fm);

// The crystal-data cell sentence in buf (200 characters) and its length blen;
// returns 0.
int phcd(CardFormatter& fm, std::string& buf, int& blen);

// The names of the standards whose codes stand, blank-separated, in the six
// characters of codes: in buf (200 characters), blen its length, nstd their
// number.
void phstd(CardFormatter& fm, std::string& buf, std::string_view codes, int& blen, int& nstd);

}  // namespace corvane::card
