#include <corvane/hits/tables.h>

#include <algorithm>
#include <bit>
#include <cstddef>

namespace corvane {
namespace {

constexpr std::uint32_t kAllOnes = 0xFFFFFFFFu;

// n limited to what `words` words can hold, and never below 0.
int usable(std::size_t words, int n) {
    const auto capacity = static_cast<long long>(words) * 32;
    return static_cast<int>(std::clamp<long long>(n, 0, capacity));
}

// Words in use for n entries, within every table of the operation.
std::size_t words_in_use(int n, std::size_t words) {
    return table_words(usable(words, n));
}

std::size_t smallest(std::size_t a, std::size_t b) {
    return std::min(a, b);
}

// The r low-order bits of a word (r in 1..31).
std::uint32_t low_bits(int r) {
    return (std::uint32_t{1} << r) - 1u;
}

}  // namespace

int tblclr(Words table, int n) {
    const std::size_t w = words_in_use(n, table.size());
    std::fill_n(table.begin(), w, 0u);
    return 0;
}

int tblset(Words table, int n) {
    const int m = usable(table.size(), n);
    const auto whole = static_cast<std::size_t>(m / 32);
    std::fill_n(table.begin(), whole, kAllOnes);
    const int r = m % 32;
    if (r != 0) table[whole] |= low_bits(r);
    return n;
}

int tblcount(ConstWords table, int n) {
    const std::size_t w = words_in_use(n, table.size());
    int count = 0;
    for (std::size_t i = 0; i < w; ++i) {
        const std::uint32_t word = table[i];
        if (word == 0) continue;
        count += word == kAllOnes ? 32 : std::popcount(word);
    }
    return count;
}

void tblcopy(ConstWords source, Words dest, int n) {
    const std::size_t w = words_in_use(n, smallest(source.size(), dest.size()));
    std::copy_n(source.begin(), w, dest.begin());
}

void tblor(ConstWords a, ConstWords b, Words c, int n) {
    const std::size_t w = words_in_use(n, smallest(smallest(a.size(), b.size()), c.size()));
    for (std::size_t i = 0; i < w; ++i) c[i] = a[i] | b[i];
}

void tbland(ConstWords a, ConstWords b, Words c, int n) {
    const std::size_t w = words_in_use(n, smallest(smallest(a.size(), b.size()), c.size()));
    for (std::size_t i = 0; i < w; ++i) c[i] = a[i] & b[i];
}

void tblnot(ConstWords a, Words b, int n) {
    const int m = usable(smallest(a.size(), b.size()), n);
    const auto whole = static_cast<std::size_t>(m / 32);
    for (std::size_t i = 0; i < whole; ++i) b[i] = ~a[i];
    const int r = m % 32;
    if (r != 0) b[whole] = a[whole] ^ low_bits(r);
}

void tblbitset(Words table, int k, int n, int value) {
    if (k < 1 || k > usable(table.size(), n)) return;
    const auto word = static_cast<std::size_t>((k - 1) / 32);
    const std::uint32_t mask = std::uint32_t{1} << ((k - 1) % 32);
    if (value != 0) {
        table[word] |= mask;
    } else {
        table[word] &= ~mask;
    }
}

int tblbittest(ConstWords table, int k, int n) {
    if (k > n) return -1;
    // Below 1 or past the table's capacity there is no entry to test.
    if (k < 1 || k > usable(table.size(), n)) return 0;
    const auto word = static_cast<std::size_t>((k - 1) / 32);
    const std::uint32_t mask = std::uint32_t{1} << ((k - 1) % 32);
    return (table[word] & mask) != 0 ? 1 : 0;
}

void tblsetrun(Words table, int first, int last, int n) {
    const int m = usable(table.size(), n);
    const int lo = std::max(first, 1);
    const int hi = std::min(last, m);
    if (lo > hi) return;
    // Bits lo-1 .. hi-1, counted from 0: a partial first and last word, whole
    // words between.
    const auto b0 = static_cast<std::size_t>(lo - 1);
    const auto b1 = static_cast<std::size_t>(hi - 1);
    const std::size_t w0 = b0 / 32;
    const std::size_t w1 = b1 / 32;
    const std::uint32_t head = kAllOnes << (b0 % 32);
    const std::uint32_t tail = kAllOnes >> (31 - b1 % 32);
    if (w0 == w1) {
        table[w0] |= head & tail;
        return;
    }
    table[w0] |= head;
    std::fill(table.begin() + static_cast<std::ptrdiff_t>(w0 + 1),
              table.begin() + static_cast<std::ptrdiff_t>(w1), kAllOnes);
    table[w1] |= tail;
}

int tblnextbit(ConstWords table, int from, int n, int value) {
    const int m = usable(table.size(), n);
    if (from < 1) from = 1;
    if (from > m) return -1;
    const std::uint32_t flip = value != 0 ? 0u : kAllOnes;
    auto w = static_cast<std::size_t>((from - 1) / 32);
    // The bits at and after `from` in its word.
    std::uint32_t bits = (table[w] ^ flip) & (kAllOnes << ((from - 1) % 32));
    const auto last_word = static_cast<std::size_t>((m - 1) / 32);
    while (bits == 0) {
        if (++w > last_word) return -1;
        bits = table[w] ^ flip;
    }
    const auto k = static_cast<long long>(w) * 32 + std::countr_zero(bits) + 1;
    return k <= m ? static_cast<int>(k) : -1;
}

int tblprevbit(ConstWords table, int from, int n) {
    const int m = usable(table.size(), n);
    if (from > m) from = m;
    if (from < 1) return -1;
    auto w = static_cast<std::size_t>((from - 1) / 32);
    // The bits at and before `from` in its word.
    std::uint32_t bits = table[w] & (kAllOnes >> (31 - (from - 1) % 32));
    while (bits == 0) {
        if (w == 0) return -1;
        bits = table[--w];
    }
    return static_cast<int>(w * 32 + 31 - static_cast<std::size_t>(std::countl_zero(bits))) + 1;
}

}  // namespace corvane
