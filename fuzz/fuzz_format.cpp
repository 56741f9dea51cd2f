// The format module: a format string (the input up to its first line end) is
// parsed once and used to read the rest of the input as a record, into targets
// of the kinds its descriptors take, and to write values taken from the input.
#include <corvane/setup/format.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace edit = corvane::edit;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto end = input.find('\n');
    const std::string_view text = input.substr(0, end);
    const std::string_view record = end == std::string_view::npos ? "" : input.substr(end + 1);

    const edit::Format format = edit::Format::parse(text);
    if (format.status() != edit::Format::parse(std::string(text)).status()) __builtin_trap();
    if (!format.ok()) {
        std::string untouched(3, '#');
        if (edit::read(format, record, {&untouched}) != format.status()) __builtin_trap();
        return 0;
    }

    // One target a data descriptor (at most 64), of the kind it takes; texts
    // as long as the record's first byte says.
    constexpr std::size_t kMaxItems = 64;
    const std::size_t len = record.empty() ? 4 : static_cast<unsigned char>(record[0]) % 40;
    std::vector<std::string> texts;
    std::vector<std::int32_t> ints;
    std::vector<float> floats;
    std::vector<double> doubles;
    texts.reserve(kMaxItems);
    ints.reserve(kMaxItems);
    floats.reserve(kMaxItems);
    doubles.reserve(kMaxItems);
    std::vector<edit::In> targets;
    std::vector<edit::Out> items;
    std::size_t at = 0;  // where the values to write are taken from
    auto take = [&](std::size_t n) {
        std::uint64_t v = 0;
        for (std::size_t i = 0; i < n && i < 8; ++i, ++at) {
            v = v << 8 | (at < record.size() ? static_cast<unsigned char>(record[at]) : 0u);
        }
        return v;
    };
    for (const auto& step : format.steps()) {
        if (targets.size() == kMaxItems) break;
        switch (step.kind) {
            case 'A':
                texts.emplace_back(len, '?');
                targets.emplace_back(&texts.back());
                items.emplace_back(record.substr(std::min(at, record.size()), len));
                break;
            case 'I':
                ints.push_back(0);
                targets.emplace_back(&ints.back());
                items.emplace_back(static_cast<std::int32_t>(take(4)));
                break;
            case 'F':
                if (targets.size() % 2 == 0) {
                    floats.push_back(0);
                    targets.emplace_back(&floats.back());
                    const auto bits = static_cast<std::uint32_t>(take(4));
                    float f;
                    std::memcpy(&f, &bits, sizeof f);
                    items.emplace_back(f);
                } else {
                    doubles.push_back(0);
                    targets.emplace_back(&doubles.back());
                    const std::uint64_t bits = take(8);
                    double d;
                    std::memcpy(&d, &bits, sizeof d);
                    items.emplace_back(d);
                }
                break;
            default:
                break;
        }
    }
    edit::read(format, record, targets);
    if (!targets.empty()) edit::read(format, record, std::span(targets).first(1));

    const std::string written = edit::write(format, items);
    if (written.size() > edit::kMaxColumn) __builtin_trap();
    std::string fixed(record.size() % 200, '.');
    const std::size_t before = fixed.size();
    edit::write(format, fixed, items);
    if (fixed.size() != before) __builtin_trap();
    return 0;
}
