// The KRX1 readers and the text search over a synthetic database of 250,016
// entries: one walk over every entry per iteration, through a Krx1Reader (as
// the tools walk) and, for comparison, through the calls over the Library.
#include <benchmark/benchmark.h>
#include <corvane/entries/krx1.h>
#include <corvane/entries/reports.h>
#include <corvane/entries/search.h>

#include <memory>
#include <string>
#include <vector>

#include "bench/bench_db.h"

namespace {

constexpr int kEntries = 250016;

struct Database {
    bench::Scratch dir;
    corvane::Library lib;
    Database() { bench::make_database(dir, lib, kEntries); }
};

Database& database() {
    static Database db;
    return db;
}

void BM_IndexWalk_Reader(benchmark::State& state) {
    auto& lib = database().lib;
    for (auto _ : state) {
        corvane::Krx1Reader reader(lib);
        std::int32_t v[5];
        long sum = 0;
        for (int k = 1; k <= kEntries; ++k) {
            corvane::cv_readindex(reader, k, v[0], v[1], v[2], v[3], v[4]);
            sum += v[1];
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kEntries);
}
BENCHMARK(BM_IndexWalk_Reader)->Unit(benchmark::kMillisecond);

void BM_IndexWalk_Library(benchmark::State& state) {
    auto& lib = database().lib;
    for (auto _ : state) {
        std::int32_t v[5];
        long sum = 0;
        for (int k = 1; k <= kEntries; ++k) {
            corvane::cv_readindex(lib, k, v[0], v[1], v[2], v[3], v[4]);
            sum += v[1];
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kEntries);
}
BENCHMARK(BM_IndexWalk_Library)->Unit(benchmark::kMillisecond);

// Index, names and lines of every entry, as a listing reads them.
void BM_ListingWalk_Reader(benchmark::State& state) {
    auto& lib = database().lib;
    for (auto _ : state) {
        corvane::Krx1Reader reader(lib);
        std::int32_t id = 0, nd = 0;
        std::string name1;
        corvane::LineValues<std::int32_t> ints{}, codes{};
        for (int k = 1; k <= kEntries; ++k) {
            corvane::cvl_replist(reader, k, id, name1, nd, ints, codes);
        }
        benchmark::DoNotOptimize(nd);
    }
    state.SetItemsProcessed(state.iterations() * kEntries);
}
BENCHMARK(BM_ListingWalk_Reader)->Unit(benchmark::kMillisecond);

// One random entry's full summary at a time, as a tool showing one entry does.
void BM_Summary_Library(benchmark::State& state) {
    auto& lib = database().lib;
    std::int32_t k = 1;
    for (auto _ : state) {
        std::int32_t id = 0, nd = 0, year = 0;
        corvane::LineValues<std::int32_t> ints{};
        corvane::LineValues<float> d{};
        std::string t[8];
        corvane::cvl_repkrx1(lib, k, id, nd, ints, d, t[3], t[2], t[1], t[0], year, t[4], t[5],
                             t[6], t[7]);
        benchmark::DoNotOptimize(nd);
        k = static_cast<std::int32_t>((k * 7919L) % kEntries) + 1;
    }
}
BENCHMARK(BM_Summary_Library);

// The text search of every entry's four names for one string.
void BM_SearchNames_Reader(benchmark::State& state) {
    auto& lib = database().lib;
    const std::vector<std::string> strings = {"quartz"};
    const corvane::SearchFlags names = {1, 1, 1, 1, 0, 0};
    for (auto _ : state) {
        corvane::Krx1Reader reader(lib);
        int hits = 0;
        for (int k = 1; k <= kEntries; ++k) {
            std::int32_t id, namoff, dioff, refoff, recoff;
            corvane::cv_readindex(reader, k, id, namoff, dioff, refoff, recoff);
            hits += corvane::cv_srchlibs(reader, namoff, refoff, strings, 1, names) == 1;
        }
        benchmark::DoNotOptimize(hits);
    }
    state.SetItemsProcessed(state.iterations() * kEntries);
}
BENCHMARK(BM_SearchNames_Reader)->Unit(benchmark::kMillisecond);

void BM_Strcasestr(benchmark::State& state) {
    const std::string text = "Silicon Oxide, alpha-quartz low, syn (rhombohedral)";
    for (auto _ : state) {
        benchmark::DoNotOptimize(corvane::strcasestr(text, "QUARTZ"));
        benchmark::DoNotOptimize(corvane::strcasestr(text, "cristobalite"));
    }
}
BENCHMARK(BM_Strcasestr);

}  // namespace
