// libFuzzer harness for the builder: a card file is read and checked and its
// KRX1 records composed, in memory. Besides the sanitizers' findings it traps
// when
//   - a file reads differently through the smallest buffer and reads of a
//     few bytes at a time than at once (records, their cards, their faults);
//   - a database composed without faults does not hang together: the sizes
//     of pdsize.txt, the index offsets, the records they lead to, the bit
//     libraries' size.
#include <corvane/builder/build.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace corvane::builder;

// A source that hands out its text a few bytes at a time.
class Trickle : public ByteSource {
  public:
    explicit Trickle(std::string_view text) : text_(text) {}
    std::ptrdiff_t read(char* buf, std::size_t n) override {
        n = std::min({n, text_.size(), std::size_t{1} + text_.size() % 7});
        text_.copy(buf, n);
        text_.remove_prefix(n);
        return static_cast<std::ptrdiff_t>(n);
    }

  private:
    std::string_view text_;
};

// Every record as read: number, soundness, cards; then the messages.
std::string read_through(ByteSource& source, std::size_t buffer) {
    std::ostringstream out;
    Reporter rep("f.crd", &out);
    CardReader reader(source, rep, 8, buffer);
    CardRecord rec;
    while (reader.next(rec)) {
        out << rec.number() << (rec.sound() ? " sound\n" : " not sound\n");
        for (const Card& c : rec.cards()) out << c.index << ' ' << c.text << '\n';
    }
    return out.str();
}

void require(bool ok) {
    if (!ok) __builtin_trap();
}

std::uint32_t be32(const std::string& s, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(s[at])) << 24 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 1])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 2])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 3]));
}

// The record at offset `at` of a library with `header` length bytes first
// (and `extra` more header bytes) ends within the library.
std::size_t record_end(const std::string& lib, std::size_t at, int header, int extra) {
    require(at + static_cast<std::size_t>(header + extra) <= lib.size());
    std::size_t end = at + static_cast<std::size_t>(header + extra);
    for (int i = 0; i < header; ++i) end += static_cast<unsigned char>(lib[at + i]);
    require(end <= lib.size());
    return end;
}

void check_database(const KrxDatabase& db) {
    const std::size_t n = static_cast<std::size_t>(db.sizes[0]);
    require(db.kelpa.size() == 20 * n);
    require(db.krx2.size() == 80 * static_cast<std::size_t>(db.sizes[1]));
    require(db.namelib.size() == static_cast<std::size_t>(db.sizes[2]));
    require(db.dilib.size() == static_cast<std::size_t>(db.sizes[3]));
    require(db.reflib.size() == static_cast<std::size_t>(db.sizes[4]));
    const std::size_t words = (n + 31) / 32;
    require(db.dall.size() == 629 * 4 * words && db.dtop3.size() == db.dall.size());
    // Each entry's records follow the one before it without a gap.
    std::size_t name = 0, di = 0, ref = 0, rec = 0;
    for (std::size_t k = 0; k < n; ++k) {
        require(be32(db.kelpa, 20 * k + 4) == name);
        require(be32(db.kelpa, 20 * k + 8) == di);
        require(be32(db.kelpa, 20 * k + 12) == ref);
        require(be32(db.kelpa, 20 * k + 16) == rec);
        name = record_end(db.namelib, name, 4, 0);
        ref = record_end(db.reflib, ref, 4, 1);
        require(di < db.dilib.size());
        di += 1 + 3 * static_cast<std::size_t>(static_cast<unsigned char>(db.dilib[di]));
        require(di <= db.dilib.size());
        // The record's cards run through its first K card.
        do {
            rec += 80;
            require(rec <= db.krx2.size());
        } while (db.krx2[rec - 1] != 'K');
    }
    require(name == db.namelib.size() && di == db.dilib.size() && ref == db.reflib.size() &&
            rec == db.krx2.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    MemorySource whole(text);
    Trickle trickle(text);
    require(read_through(whole, size + 1) == read_through(trickle, CardReader::kMinBuffer));

    KrxDatabase db;
    std::ostringstream err;
    BuildLimits limits;
    limits.max_entries = 8;
    limits.max_file_size = 1 << 16;
    if (compose_database(text, "f.crd", db, &err, limits) == 0) {
        check_database(db);
    } else {
        require(!err.str().empty());
    }
    return 0;
}
