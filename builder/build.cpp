#include <corvane/builder/build.h>
#include <corvane/builder/codetables.h>
#include <corvane/builder/dbdir.h>
#include <corvane/builder/sysfile.h>
#include <corvane/entries/krx1.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>

namespace corvane::builder {

namespace {

enum class Streamed { kOk, kFaults, kFailed };

// Reads every record of the card file, checks it and, while the file shows
// no fault (and write is set), adds it to db.
Streamed stream_records(ByteSource& source, Reporter& rep, DatabaseWriter& db,
                        const BuildLimits& limits, bool write,
                        std::size_t buffer = std::size_t{1} << 20) {
    CardReader reader(source, rep, limits.max_entries, buffer);
    auto rec = std::make_unique<CardRecord>();
    EntryFields e;
    e.lines.reserve(kMaxLines);
    EntryNumbers ids;
    while (reader.next(*rec)) {
        if (!rec->sound() || compose_entry(*rec, rep, e) > 0) continue;
        if (const std::int32_t first = ids.claim(e.entid, rec->number())) {
            const Card& c = rec->of_type('1').front();
            char digits[8];
            std::snprintf(digits, sizeof digits, "%06d", static_cast<int>(e.entid));
            rep.card(rec->line_of(c.index), rec->number(), c.index, '1',
                     std::string("entry number ") + digits + " is already used by record " +
                         std::to_string(first));
            continue;
        }
        if (!write || rep.faults() > 0) continue;  // a faulty file is only checked on
        switch (db.add(*rec, e)) {
            case DatabaseWriter::Added::kOk:
                break;
            case DatabaseWriter::Added::kTooLarge:
                rep.record(rec->last_line(), rec->number(),
                           std::string(db.too_large()) + " would pass " +
                               std::to_string(
                                   std::min(limits.max_file_size, DatabaseWriter::kMaxFileSize)) +
                               " bytes, the largest offset kelpa.ind can hold");
                return Streamed::kFaults;
            case DatabaseWriter::Added::kFailed:
                return Streamed::kFailed;
        }
    }
    if (reader.read_error() != 0) return Streamed::kFailed;
    if (reader.records() == 0) rep.file("the card file holds no record");
    return rep.faults() > 0 ? Streamed::kFaults : Streamed::kOk;
}

// An output that keeps nothing: for a card file that is only checked.
class Discard : public OutFile {
  public:
    bool put(std::string_view) override { return true; }
};

std::string table_directory(const std::string& cardfile, const std::string& tabledir) {
    if (!tabledir.empty()) return tabledir;
    const std::string dir = std::filesystem::path(cardfile).parent_path().string();
    return dir.empty() ? "." : dir;
}

}  // namespace

int compose_database(std::string_view text, std::string_view fname, KrxDatabase& db,
                     std::ostream* err, const BuildLimits& limits) {
    db = KrxDatabase{};
    StringOut krx2(db.krx2), kelpa(db.kelpa), names(db.namelib), di(db.dilib), refs(db.reflib);
    DatabaseWriter writer({&krx2, &kelpa, &names, &di, &refs}, limits.max_file_size);
    MemorySource source(text);
    Reporter rep(fname, err);
    // No larger a buffer than the text needs.
    stream_records(source, rep, writer, limits, true,
                   std::min(text.size() + 1, std::size_t{1} << 20));
    if (rep.faults() > 0) return rep.faults();
    StringOut dall(db.dall), dtop3(db.dtop3);
    writer.all_lines().write(dall);
    writer.strong_lines().write(dtop3);
    db.sizes = writer.sizes();
    return 0;
}

int krxbuild(const std::string& cardfile, const std::string& outdir, const std::string& tabledir,
             std::ostream& err) {
    const auto target = resolve_target(outdir, err);
    if (!target) return 1;
    // The location file gives the directory as one line of text.
    if (target->path.find_first_of("\n\r") != std::string::npos) {
        err << outdir << ": a line end in the path cannot stand in tarnloc.txt\n";
        return 1;
    }
    std::array<std::string, 4> tables;
    const int table_faults = read_code_tables(table_directory(cardfile, tabledir), tables, err);
    const auto source = FileSource::open(cardfile, err);
    if (!source) return 1;
    Reporter rep(cardfile, &err);

    if (table_faults > 0) {
        // Nothing can be built: the card file is only checked.
        Discard none;
        DatabaseWriter writer({&none, &none, &none, &none, &none});
        stream_records(*source, rep, writer, {}, false);
        return 1;
    }

    const auto stage = StagedDirectory::create(*target, err);
    if (!stage) return 1;
    std::set<std::string, std::less<>> written;
    const auto create = [&](std::string_view name) {
        written.emplace(name);
        return NewFile::create(stage->file(name), err);
    };
    const auto krx2 = create("krx2.dat"), kelpa = create("kelpa.ind"), names = create("name.lib"),
               di = create("di.lib"), refs = create("ref.lib");
    if (!krx2 || !kelpa || !names || !di || !refs) return 1;
    DatabaseWriter writer({krx2.get(), kelpa.get(), names.get(), di.get(), refs.get()});
    if (stream_records(*source, rep, writer, {}, true) != Streamed::kOk) return 1;

    for (NewFile* f : {krx2.get(), kelpa.get(), names.get(), di.get(), refs.get()}) {
        if (!f->finish()) return 1;
    }
    // The three directory lines end in "/": the code tables are found by the
    // directory name with the table name appended directly, and a path that
    // ends in blanks keeps them (the reader strips blanks from the line end).
    const std::string dirline = target->path + "/\n";
    const auto put_file = [&](std::string_view name, auto&& write) {
        const auto f = create(name);
        return f && write(*f) && f->finish();
    };
    const auto text = [](const std::string& t) { return [&t](OutFile& f) { return f.put(t); }; };
    const std::string sizes = writer.sizes_text();
    const std::string location = dirline + dirline + dirline;
    bool ok = put_file("pdsize.txt", text(sizes)) && put_file("tarnloc.txt", text(location)) &&
              put_file(kAllLinesLib, [&](OutFile& f) { return writer.all_lines().write(f); }) &&
              put_file(kStrongLinesLib, [&](OutFile& f) { return writer.strong_lines().write(f); });
    for (std::size_t i = 0; ok && i < kCodeTables.size(); ++i) {
        ok = put_file(kCodeTables[i], text(tables[i]));
    }
    if (!ok || !stage->commit(written)) return 1;
    return 0;
}

}  // namespace corvane::builder
