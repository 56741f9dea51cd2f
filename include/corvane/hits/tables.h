// Hit tables: one bit per database entry in an array of 32-bit words.
//
// Entry k (1-based) is bit (k-1) mod 32 of word (k-1)/32, bit b having the
// value 2^b, so entry 1 is the least significant bit of word 0. A table over n
// entries uses W = (n+31)/32 words. When n is not a multiple of 32 the high
// bits of the last word belong to no entry ("spare bits"); no routine clears
// them: tblset leaves them, tblnot copies them from its source, tblor, tbland
// and tblcopy carry them along, and tblcount counts them.
//
// Every routine works a whole word at a time. None touches a word outside the
// tables it is given: a count n larger than a table holds is taken as the
// table's own capacity, and n below 1 touches nothing. Source and destination
// may be the same table.
#pragma once

#include <corvane/setup/library.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace corvane {

using Words = std::span<std::uint32_t>;
using ConstWords = std::span<const std::uint32_t>;

// W, the number of words a table over n entries uses (0 for n below 1).
constexpr std::size_t table_words(int n) {
    return n < 1 ? 0 : (static_cast<std::size_t>(n) + 31) / 32;
}

// Clears words 0..W-1. Returns 0.
int tblclr(Words table, int n);

// Sets entries 1..n: n/32 whole words of ones, then the n mod 32 low bits of
// the next word ORed in, its other bits left as they were. Returns n.
int tblset(Words table, int n);

// Number of set bits in words 0..W-1, spare bits included.
int tblcount(ConstWords table, int n);

// dest word i = source word i, i < W.
void tblcopy(ConstWords source, Words dest, int n);

// c = a OR b and c = a AND b, word by word over W words.
void tblor(ConstWords a, ConstWords b, Words c, int n);
void tbland(ConstWords a, ConstWords b, Words c, int n);

// b = complement of a over entries 1..n; the spare bits of the last word are
// copied from a unchanged.
void tblnot(ConstWords a, Words b, int n);

// Sets (value non-zero) or clears (value 0) entry k; nothing when k > n.
// Callers pass k >= 1.
void tblbitset(Words table, int k, int n, int value);

// -1 when k > n, otherwise 1 when entry k is set and 0 when it is not.
int tblbittest(ConstWords table, int k, int n);

// Sets entries first..last (those of them within 1..n), whole words at once.
void tblsetrun(Words table, int first, int last, int n);

// The first entry k >= from whose bit is set (value non-zero) or clear (value
// 0), or -1 when there is none up to n. The spare bits past n are no entries.
int tblnextbit(ConstWords table, int from, int n, int value);

// The last set entry k <= from, or -1 when there is none down to 1.
int tblprevbit(ConstWords table, int from, int n);

// Merges the work table into the current table over dbsize(1) entries:
//   op 0  curtbl = wrktbl AND curtbl                "Match by "
//   op 1  curtbl = wrktbl OR curtbl                 "Combine using "
//   op 2  curtbl = curtbl AND NOT wrktbl            "Remove matching "
//   op 3  curtbl = wrktbl AND NOT curtbl            "Remove entries in table from "
// appends the history record made of the step's prefix and text (cut or padded
// to 100 characters; no record for another op, or when the history already
// holds 100), recounts nhits and returns it.
int tbllogic(Library& lib, int op, std::string_view text);

}  // namespace corvane
