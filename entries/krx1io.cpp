#include "entries/krx1io.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

namespace corvane {

// ---- the byte source -----------------------------------------------------------

FileWindow::FileWindow(std::FILE* stream, std::size_t capacity)
    : stream_(stream),
      fd_(stream != nullptr ? fileno(stream) : -1),
      capacity_(std::max(capacity, kMinCapacity)) {}

bool FileWindow::placeable(std::int64_t pos, std::int64_t end) const {
    return stream_ != nullptr && pos >= 0 && pos < end;
}

// Reads up to n bytes at pos into dst; the number that arrived (fewer at the
// end of the file or on a read error).
std::size_t FileWindow::fill(std::int64_t pos, unsigned char* dst, std::size_t n) {
    std::size_t got = 0;
    if (fd_ >= 0) {
        while (got < n) {
            const ssize_t r =
                pread(fd_, dst + got, n - got, static_cast<off_t>(pos) + static_cast<off_t>(got));
            if (r < 0 && errno == EINTR) continue;
            if (r <= 0) break;
            got += static_cast<std::size_t>(r);
        }
        return got;
    }
    // A stream without a descriptor (a memory stream, say).
    if (pos > LONG_MAX || std::fseek(stream_, static_cast<long>(pos), SEEK_SET) != 0) return 0;
    return std::fread(dst, 1, n, stream_);
}

std::span<const unsigned char> FileWindow::bytes(std::int64_t pos, std::size_t n,
                                                 std::int64_t end) {
    if (!placeable(pos, end)) return {};
    // Never past `end`: the record is cut off there.
    n = static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(n), end - pos));
    n = std::min(n, capacity_);
    if (!buffer_) buffer_.reset(new unsigned char[capacity_]);
    const std::int64_t held_end = base_ + static_cast<std::int64_t>(size_);
    const bool inside = pos >= base_ && pos <= held_end;
    if (!inside || pos + static_cast<std::int64_t>(n) > held_end) {
        // A buffer-full when the bytes lie inside or just ahead of the
        // buffer (a walk in file order); a small read after a jump.
        const bool ahead =
            inside || (pos > held_end && pos - held_end <= static_cast<std::int64_t>(capacity_));
        const std::size_t want = ahead ? capacity_ : std::max(kMinCapacity, n);
        base_ = pos;
        size_ = fill(pos, buffer_.get(), want);
    }
    const auto at = static_cast<std::size_t>(pos - base_);
    const std::size_t avail = size_ > at ? size_ - at : 0;
    return {buffer_.get() + at, std::min(n, avail)};
}

std::size_t FileWindow::copy(std::int64_t pos, void* dst, std::size_t n, std::int64_t end) {
    if (!placeable(pos, end)) return 0;
    n = static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(n), end - pos));
    if (n <= capacity_) {
        const auto view = bytes(pos, n, end);
        if (!view.empty()) std::memcpy(dst, view.data(), view.size());
        return view.size();
    }
    return fill(pos, static_cast<unsigned char*>(dst), n);
}

// ---- numbers ---------------------------------------------------------------------

std::int32_t big_endian_word(const unsigned char* bytes) {
    const std::uint32_t u = (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
                            (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
    return static_cast<std::int32_t>(u);
}

std::int16_t big_endian_half(const unsigned char* bytes) {
    const auto u = static_cast<std::uint16_t>((bytes[0] << 8) | bytes[1]);
    return static_cast<std::int16_t>(u);
}

// ---- records ---------------------------------------------------------------------

int read_index(FileWindow& index, std::int32_t entry, IndexRecord& out) {
    constexpr std::size_t kRecord = 20;
    // Entry 1 is the first record; an entry below 1 lies before the file.
    const std::int64_t pos = (static_cast<std::int64_t>(entry) - 1) * std::int64_t{kRecord};
    const auto rec = index.bytes(pos, kRecord);
    if (rec.size() != kRecord) return -1;
    out.entid = big_endian_word(&rec[0]);
    out.namoff = big_endian_word(&rec[4]);
    out.dioff = big_endian_word(&rec[8]);
    out.refoff = big_endian_word(&rec[12]);
    out.recoff = big_endian_word(&rec[16]);
    return 0;
}

int read_texts(FileWindow& src, std::int32_t& offset, int header_len, RecordTexts& out) {
    if (!src.placeable(offset, kOffsetEnd)) return -1;
    const auto want = static_cast<std::size_t>(header_len);
    const auto header = src.bytes(offset, want, kOffsetEnd);
    offset += static_cast<std::int32_t>(header.size());
    if (header.size() != want) return -1;
    std::array<std::size_t, 4> len{};
    for (std::size_t j = 0; j < 4; ++j) len[j] = header[j];
    if (header_len > 4) out.year_code = header[4];
    // The four texts in one piece (at most 4 x 255 bytes): each is complete
    // only when all its bytes arrived.
    const std::size_t total = len[0] + len[1] + len[2] + len[3];
    const auto body = src.bytes(offset, total, kOffsetEnd);
    const auto* chars = reinterpret_cast<const char*>(body.data());
    std::size_t at = 0;
    for (std::size_t j = 0; j < 4; ++j) {
        if (body.size() - at < len[j]) {
            offset += static_cast<std::int32_t>(body.size() - at);
            return -1;
        }
        out.text[j] = std::string_view(chars + at, len[j]);
        at += len[j];
        offset += static_cast<std::int32_t>(len[j]);
    }
    return 0;
}

int read_lines(FileWindow& lines, std::int32_t& offset,
               std::array<unsigned char, kMaxLines * 2>& codes,
               std::array<unsigned char, kMaxLines>& intensities, std::int32_t& count) {
    count = 0;
    if (!lines.placeable(offset, kOffsetEnd)) return -1;
    const auto head = lines.bytes(offset, 1, kOffsetEnd);
    offset += static_cast<std::int32_t>(head.size());
    if (head.size() != 1) return -1;
    const std::size_t n = head[0];
    if (n > 0) {
        // The codes and the intensities in one piece; a record cut off
        // leaves the caller's buffers as they were.
        const auto body = lines.bytes(offset, 3 * n, kOffsetEnd);
        const std::size_t got_codes = std::min(body.size(), 2 * n);
        offset += static_cast<std::int32_t>(got_codes);
        if (got_codes != 2 * n) return -1;
        const std::size_t got_ints = body.size() - 2 * n;
        offset += static_cast<std::int32_t>(got_ints);
        if (got_ints != n) return -1;
        std::copy_n(body.begin(), 2 * n, codes.begin());
        std::copy_n(body.begin() + static_cast<std::ptrdiff_t>(2 * n), n, intensities.begin());
    }
    count = static_cast<std::int32_t>(n);
    return 0;
}

}  // namespace corvane
