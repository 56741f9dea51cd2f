// Hit tables and subfiles at the database's full size (250,016 entries): the
// table logic, counting, runs, walks, and a subfile written and read.
#include <benchmark/benchmark.h>
#include <corvane/hits/report.h>
#include <corvane/hits/subfile.h>
#include <corvane/hits/tables.h>

#include <array>
#include <memory>
#include <string>

#include "bench/bench_db.h"

namespace {

constexpr int kEntries = corvane::kMaxEntries;

std::unique_ptr<corvane::Library> full_library() {
    auto lib = std::make_unique<corvane::Library>();
    lib->cv_sizes.dbsize(1) = kEntries;
    corvane::tblset(lib->cv_tables.curtbl, kEntries);
    lib->cv_history.nhist = 1;
    return lib;
}

void BM_TableLogic(benchmark::State& state) {
    auto lib = full_library();
    // Every other word set in the work table.
    for (std::size_t i = 0; i < corvane::kTableWords; i += 2) lib->cv_tables.wrktbl[i] = ~0u;
    const int op = static_cast<int>(state.range(0));
    for (auto _ : state) {
        lib->cv_history.nhist = 1;
        benchmark::DoNotOptimize(corvane::tbllogic(*lib, op, "File contents (b.sub)"));
    }
}
BENCHMARK(BM_TableLogic)->DenseRange(0, 3);

void BM_TableCount(benchmark::State& state) {
    auto lib = full_library();
    for (auto _ : state)
        benchmark::DoNotOptimize(corvane::tblcount(lib->cv_tables.curtbl, kEntries));
}
BENCHMARK(BM_TableCount);

// hitmake's range: every entry set as one run.
void BM_SetRun(benchmark::State& state) {
    std::array<std::uint32_t, corvane::kTableWords> table{};
    for (auto _ : state) {
        corvane::tblclr(table, kEntries);
        corvane::tblsetrun(table, 1, kEntries, kEntries);
        benchmark::DoNotOptimize(table.data());
    }
}
BENCHMARK(BM_SetRun);

// A walk over every hit of a table with every third entry set.
void BM_NextHitWalk(benchmark::State& state) {
    auto lib = full_library();
    corvane::tblclr(lib->cv_tables.curtbl, kEntries);
    for (int k = 1; k <= kEntries; k += 3)
        corvane::tblbitset(lib->cv_tables.curtbl, k, kEntries, 1);
    for (auto _ : state) {
        int cur = 0, rank = 0, hits = 0;
        for (int k = corvane::cvl_nexthit(*lib, cur, rank, 0); k > 0;
             k = corvane::cvl_nexthit(*lib, cur, rank, 0)) {
            cur = k;
            ++hits;
        }
        benchmark::DoNotOptimize(hits);
    }
}
BENCHMARK(BM_NextHitWalk)->Unit(benchmark::kMicrosecond);

void BM_SubfileRead(benchmark::State& state) {
    bench::Scratch dir;
    auto lib = full_library();
    const std::string path = dir.path("full.sub");
    if (corvane::cvl_savebitmap(*lib, path) != 0) state.SkipWithError("cannot save");
    for (auto _ : state) benchmark::DoNotOptimize(corvane::cvl_readbitmap(*lib, path, 4));
}
BENCHMARK(BM_SubfileRead)->Unit(benchmark::kMicrosecond);

// A save includes the sync to disk, so this measures the disk as much as the code.
void BM_SubfileWrite(benchmark::State& state) {
    bench::Scratch dir;
    auto lib = full_library();
    const std::string path = dir.path("full.sub");
    for (auto _ : state) benchmark::DoNotOptimize(corvane::cvl_savebitmap(*lib, path));
}
BENCHMARK(BM_SubfileWrite)->Unit(benchmark::kMicrosecond);

}  // namespace
