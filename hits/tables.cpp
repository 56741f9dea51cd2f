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

}  // namespace corvane
