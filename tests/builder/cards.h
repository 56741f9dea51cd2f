// Test helpers for the builder: cards laid out by hand, records and card files.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace cvtest {

using Cards = std::vector<std::string>;

// An 80-column card: blanks, the texts at their columns, the type in column 80.
inline std::string card(char type, std::initializer_list<std::pair<int, std::string>> fields = {}) {
    std::string c(80, ' ');
    for (const auto& [column, text] : fields) c.replace(column - 1, text.size(), text);
    c[79] = type;
    return c;
}

// A record: its type-1 card with the entry number in columns 73-78, the cards
// given and its K card.
inline Cards rec(const std::string& entry, const Cards& cards = {}) {
    Cards r = {card('1', {{73, entry}})};
    r.insert(r.end(), cards.begin(), cards.end());
    r.push_back(card('K'));
    return r;
}

inline Cards operator+(Cards a, const Cards& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline std::string file_of(const Cards& cards, const char* eol = "\n") {
    std::string out;
    for (const auto& c : cards) out += c + eol;
    return out;
}

}  // namespace cvtest
