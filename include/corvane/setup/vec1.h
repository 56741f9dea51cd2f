// Arrays numbered from 1, as the library's records are numbered everywhere:
// dbpath(2), dbsize(1), histtx(i), ncrd(t), crdimg(23), curlin(7).
#pragma once

#include <array>
#include <cstddef>

namespace corvane {

// A fixed array of N elements numbered 1..N, indexed with parentheses. An index
// outside 1..N is a fault in the calling code; at() turns it into an exception
// rather than a stray memory access. Indices that come from data are checked
// by the routine that reads them, so this guard is never the one that fires.
template <class T, std::size_t N>
struct Vec1 {
    std::array<T, N> v{};

    T& operator()(int i) { return v.at(static_cast<std::size_t>(i - 1)); }
    const T& operator()(int i) const { return v.at(static_cast<std::size_t>(i - 1)); }
    static constexpr int size() { return static_cast<int>(N); }
    void fill(const T& value) { v.fill(value); }
};

}  // namespace corvane
