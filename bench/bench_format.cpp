// The format module: a card field read and a line written with the format
// parsed once and reused, and with the format given as a string each time.
#include <benchmark/benchmark.h>
#include <corvane/setup/format.h>

#include <cstdint>
#include <string>

namespace {

namespace edit = corvane::edit;

void BM_FormatParse(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(edit::Format::parse("(6X,3(3(F5.2,1X),1X))"));
}
BENCHMARK(BM_FormatParse);

// One d-spacing line of an I card: d-spacing, intensity and Miller indices.
const std::string kLine = " 2.4324 10   1  1  1";

void BM_ReadParsed(benchmark::State& state) {
    static const edit::Format f = edit::Format::parse("(F7.4,I3,1X,3I3)");
    float d = 0;
    std::int32_t i = 0, h = 0, k = 0, l = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(edit::read(f, kLine, {&d, &i, &h, &k, &l}));
    }
}
BENCHMARK(BM_ReadParsed);

void BM_ReadString(benchmark::State& state) {
    float d = 0;
    std::int32_t i = 0, h = 0, k = 0, l = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(edit::read("(F7.4,I3,1X,3I3)", kLine, {&d, &i, &h, &k, &l}));
    }
}
BENCHMARK(BM_ReadString);

void BM_WriteParsed(benchmark::State& state) {
    static const edit::Format f = edit::Format::parse("(F8.4,I4,2X,3I4)");
    for (auto _ : state) benchmark::DoNotOptimize(edit::write(f, {2.4324f, 100, 1, 1, 1}));
}
BENCHMARK(BM_WriteParsed);

}  // namespace
