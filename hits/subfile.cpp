#include <corvane/hits/subfile.h>
#include <corvane/hits/tables.h>
#include <corvane/setup/fileio.h>
#include <corvane/setup/messages.h>
#include <corvane/setup/text.h>

#include <array>
#include <cstdio>

namespace corvane {
namespace {

// Table words needed for n entries (n >= 0).
std::size_t words_for(std::int32_t n) {
    return (static_cast<std::size_t>(n) + 31) / 32;
}

}  // namespace

int cv_writemap(const std::string& path, std::int32_t n, std::span<const std::uint32_t> table,
                std::int32_t k, std::span<const std::string> records, std::int32_t reclen) {
    // Counts that do not describe the data given are refused before anything
    // is created.
    if (n < 0 || words_for(n) > table.size()) return -2;
    if (k < 0 || static_cast<std::size_t>(k) > records.size()) return -4;
    if (reclen < 0) return -5;
    if (path.empty()) return -1;

    const std::string target = replacement_target(path);
    const auto mode = replacement_mode(target);
    if (!mode) return -1;
    TempFile temp(directory_of(target), "cvsub", *mode);
    if (!temp.is_open()) return -1;

    const std::size_t w = words_for(n);
    if (!temp.write(&n, sizeof n)) return -2;
    if (!temp.write(table.data(), w * sizeof(std::uint32_t))) return -3;
    if (!temp.write(&k, sizeof k)) return -4;
    std::string block;
    for (std::int32_t i = 0; i < k; ++i) {
        block += padded(records[static_cast<std::size_t>(i)], static_cast<std::size_t>(reclen));
    }
    if (!temp.write(block.data(), block.size())) return -5;
    if (!temp.sync_and_close()) return -5;
    if (!temp.rename_to(target)) return -1;
    sync_directory(directory_of(target));
    return 0;
}

int cv_readmap(const std::string& path, std::int32_t& n, std::span<std::uint32_t> table,
               std::int32_t& k, std::span<std::string> records, std::int32_t reclen) {
    // Only a regular file is read; a FIFO or device is refused at once.
    std::FILE* f = open_regular(path, "rb");
    if (f == nullptr) return -1;
    auto finish = [f](int status) {
        std::fclose(f);
        return status;
    };

    std::int32_t value = 0;
    if (std::fread(&value, sizeof value, 1, f) != 1) return finish(-2);
    n = value;
    if (n < 0 || words_for(n) > table.size()) return finish(-2);
    const std::size_t w = words_for(n);
    if (std::fread(table.data(), sizeof(std::uint32_t), w, f) != w) return finish(-3);

    if (std::fread(&value, sizeof value, 1, f) != 1) return finish(-4);
    k = value;
    if (k < 0 || static_cast<std::size_t>(k) > records.size()) return finish(-4);
    if (reclen < 0) return finish(-5);
    for (std::int32_t i = 0; i < k; ++i) {
        std::string record(static_cast<std::size_t>(reclen), ' ');
        if (std::fread(record.data(), 1, record.size(), f) != record.size()) return finish(-5);
        records[static_cast<std::size_t>(i)] = std::move(record);
    }
    return finish(0);
}

// ---- the library's save and load ---------------------------------------------

int cvl_savebitmap(Library& lib, std::string_view name) {
    // The name is used whole: its significant part, however long.
    const std::string file(trimmed(name));
    const int status = cv_writemap(file, lib.cv_sizes.dbsize(1), lib.cv_tables.curtbl,
                                   lib.cv_history.nhist, lib.cv_history.histtx.v, kHistLen);
    if (status != 0) {
        warnmsg(lib.messages(), "savebitmap", "unable to open/write file " + file);
        errcode(lib.messages(), "savebitmap", status);
        return -1;
    }
    return 0;
}

// A subfile with more than 100 history records is refused as unreadable
// (cv_readmap's -4, the k field), and a combine that would take the history
// past 100 records keeps the first 100: the records that do not fit are
// dropped, the tables are merged all the same.
int cvl_readbitmap(Library& lib, std::string_view name, int op) {
    const std::string file(trimmed(name));
    std::int32_t count = 0;
    std::int32_t fk = 0;
    std::array<std::string, kMaxHistory> file_records;
    const int status = cv_readmap(file, count, lib.cv_tables.wrktbl, fk, file_records, kHistLen);
    if (status != 0) {
        warnmsg(lib.messages(), "readbitmap", "unable to open/read file " + file);
        errcode(lib.messages(), "readbitmap", status);
        return -1;
    }
    const std::int32_t n = lib.cv_sizes.dbsize(1);
    if (count != n) {
        warnmsg(lib.messages(), "readbitmap",
                "bitmap on file " + file + " has a different size than current database");
        return -2;
    }

    auto& history = lib.cv_history;
    if (op <= 3) {
        tbllogic(lib, op, "File contents (" + file + ")");
        for (std::int32_t i = 0; i < fk; ++i) {
            if (history.nhist < 0 || history.nhist >= kMaxHistory) break;
            ++history.nhist;
            history.histtx(history.nhist) =
                padded("... " + file_records[static_cast<std::size_t>(i)], kHistLen);
        }
    } else {
        history.nhist = fk;
        for (std::int32_t i = 0; i < fk; ++i) {
            history.histtx(i + 1) = file_records[static_cast<std::size_t>(i)];
        }
        tblcopy(lib.cv_tables.wrktbl, lib.cv_tables.curtbl, n);
    }
    return 0;
}

}  // namespace corvane
