#include <corvane/builder/database.h>

#include <algorithm>

namespace corvane::builder {

namespace {

void put8(std::string& out, std::int32_t v) {
    out += static_cast<char>(static_cast<unsigned char>(v));
}

void put16(std::string& out, std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    out += static_cast<char>((u >> 8) & 0xFF);
    out += static_cast<char>(u & 0xFF);
}

void put_length(std::string& out, const std::string& text) {
    put8(out, static_cast<std::int32_t>(text.size()));
}

}  // namespace

void append_index_record(std::string& out, std::int32_t entid, std::int32_t namoff,
                         std::int32_t dioff, std::int32_t refoff, std::int32_t recoff) {
    for (const std::int32_t v : {entid, namoff, dioff, refoff, recoff}) {
        put_be32(out, static_cast<std::uint32_t>(v));
    }
}

void append_name_record(std::string& out, const EntryFields& e) {
    for (const auto& n : e.names) put_length(out, n);
    for (const auto& n : e.names) out += n;
}

void append_di_record(std::string& out, const EntryFields& e) {
    put8(out, static_cast<std::int32_t>(e.lines.size()));
    for (const DLine& line : e.lines) put16(out, line.code);
    for (const DLine& line : e.lines) put8(out, line.intensity);
}

void append_ref_record(std::string& out, const EntryFields& e) {
    for (const auto* t : {&e.journal, &e.volume, &e.page, &e.authors}) put_length(out, *t);
    put8(out, e.year);
    out += e.journal;
    out += e.volume;
    out += e.page;
    out += e.authors;
}

DatabaseWriter::DatabaseWriter(const DatabaseFiles& files, std::int64_t max_size)
    : files_(files), max_size_(std::min(max_size, kMaxFileSize)) {
    krx2_.reserve(static_cast<std::size_t>(kMaxRecordCards) * kCardLen);
}

DatabaseWriter::Added DatabaseWriter::add(const CardRecord& rec, const EntryFields& e) {
    krx2_.clear();
    for (const Card& c : rec.cards()) krx2_ += c.text;
    names_.clear();
    append_name_record(names_, e);
    di_.clear();
    append_di_record(di_, e);
    refs_.clear();
    append_ref_record(refs_, e);
    kelpa_.clear();
    // Every offset is the size of its file so far, checked below to fit.
    append_index_record(kelpa_, e.entid, static_cast<std::int32_t>(names_size_),
                        static_cast<std::int32_t>(di_size_), static_cast<std::int32_t>(refs_size_),
                        static_cast<std::int32_t>(krx2_size_));

    const struct {
        std::string_view name;
        std::int64_t& size;
        const std::string& bytes;
        OutFile* out;
    } parts[] = {{"krx2.dat", krx2_size_, krx2_, files_.krx2},
                 {"kelpa.ind", kelpa_size_, kelpa_, files_.kelpa},
                 {"name.lib", names_size_, names_, files_.names},
                 {"di.lib", di_size_, di_, files_.di},
                 {"ref.lib", refs_size_, refs_, files_.refs}};
    for (const auto& p : parts) {
        if (p.size + static_cast<std::int64_t>(p.bytes.size()) > max_size_) {
            too_large_ = p.name;
            return Added::kTooLarge;
        }
    }
    for (const auto& p : parts) {
        if (!p.out->put(p.bytes)) return Added::kFailed;
        p.size += static_cast<std::int64_t>(p.bytes.size());
    }
    ++entries_;
    cards_ += static_cast<std::int64_t>(rec.cards().size());
    all_.add_entry(e.lines);
    std::array<DLine, 3> strong;
    strong_.add_entry(std::span<const DLine>(strong.data(), strongest_lines(e.lines, strong)));
    return Added::kOk;
}

std::array<std::int32_t, 5> DatabaseWriter::sizes() const {
    // Each fits: every file stays within max_size, at most 2147483647, and
    // krx2.dat holds 80 bytes a card.
    return {entries_, static_cast<std::int32_t>(cards_), static_cast<std::int32_t>(names_size_),
            static_cast<std::int32_t>(di_size_), static_cast<std::int32_t>(refs_size_)};
}

std::string DatabaseWriter::sizes_text() const {
    std::string out;
    for (const std::int32_t v : sizes()) {
        if (!out.empty()) out += ' ';
        out += std::to_string(v);
    }
    out += '\n';
    return out;
}

}  // namespace corvane::builder
