// The phase searches over a synthetic database of 250,016 entries: ranking
// every entry against a measured pattern, the search by d-spacing windows
// when it must read every entry's lines (the database has no bit libraries),
// and the pieces they are made of: a measurement made ready for scoring, one
// entry scored, formulas read.
#include <benchmark/benchmark.h>
#include <corvane/entries/angles.h>
#include <corvane/entries/reports.h>
#include <corvane/hits/tables.h>
#include <corvane/phase/formula.h>
#include <corvane/phase/match.h>
#include <corvane/phase/window.h>

#include <string>
#include <vector>

#include "bench/bench_db.h"

namespace {

constexpr int kEntries = 250016;

struct Database {
    bench::Scratch dir;
    corvane::Library lib;
    Database() {
        bench::make_database(dir, lib, kEntries);
        corvane::tblset(lib.cv_tables.curtbl, kEntries);
    }
};

Database& database() {
    static Database db;
    return db;
}

// Entry 1234's lines as a measured pattern, shifted by 0.1%.
std::vector<corvane::phase::Peak> measured() {
    auto& lib = database().lib;
    std::int32_t nd = 0;
    corvane::LineValues<std::int32_t> ints{}, codes{};
    corvane::cvrepdi(lib, 1234, nd, ints, codes);
    std::vector<corvane::phase::Peak> peaks;
    for (int i = 0; i < nd; ++i) {
        float d = 0;
        if (corvane::krxtod(codes[static_cast<std::size_t>(i)], d) == 1 && ints[i] > 0) {
            peaks.push_back({d * 1.001, static_cast<double>(ints[static_cast<std::size_t>(i)])});
        }
    }
    return peaks;
}

const corvane::phase::Tolerance kMatch{corvane::phase::Tolerance::kMatch, 0};

void BM_RankAllEntries(benchmark::State& state) {
    auto& lib = database().lib;
    const corvane::phase::Measurement m(measured(), kMatch);
    std::vector<corvane::phase::Candidate> out;
    for (auto _ : state) {
        std::int32_t failed = 0;
        corvane::phase::rank_entries(lib, m, lib.cv_tables.curtbl, 20, {}, out, failed);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * kEntries);
}
BENCHMARK(BM_RankAllEntries)->Unit(benchmark::kMillisecond);

void BM_DSearchThreeWindows_NoBitLibrary(benchmark::State& state) {
    auto& lib = database().lib;
    const std::vector<corvane::phase::DWindow> windows = {{3.343, {}}, {2.0, {}}, {1.2, {}}};
    for (auto _ : state) {
        std::int32_t failed = 0;
        corvane::phase::dsearch(lib, windows, false, lib.cv_tables.wrktbl, failed);
        benchmark::DoNotOptimize(lib.cv_tables.wrktbl.data());
    }
    state.SetItemsProcessed(state.iterations() * kEntries);
}
BENCHMARK(BM_DSearchThreeWindows_NoBitLibrary)->Unit(benchmark::kMillisecond);

void BM_Measurement(benchmark::State& state) {
    const auto peaks = measured();
    for (auto _ : state) {
        corvane::phase::Measurement m(peaks, kMatch);
        benchmark::DoNotOptimize(m.low());
    }
}
BENCHMARK(BM_Measurement)->Unit(benchmark::kMillisecond);

void BM_ScoreOneEntry(benchmark::State& state) {
    const corvane::phase::Measurement m(measured(), kMatch);
    corvane::phase::Scorer scorer(m);
    std::vector<std::int32_t> codes, ints;
    for (int i = 0; i < 60; ++i) {
        codes.push_back(-20000 + 600 * i);
        ints.push_back(1 + (i * 37) % 100);
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(scorer.score(60, ints, codes).score);
    }
}
BENCHMARK(BM_ScoreOneEntry);

void BM_ParseFormula(benchmark::State& state) {
    const std::vector<std::string> formulas = {"SiO2", "CaCO3", "CuSO4!5H2O", "K3[Fe(CN)6]",
                                               "(Mg,Fe)2SiO4", "YBa2Cu3O7-x", "Fe@+@3#2O#3"};
    for (auto _ : state) {
        for (const auto& f : formulas) {
            corvane::phase::Composition c;
            std::string error;
            benchmark::DoNotOptimize(corvane::phase::parse_formula(f, c, error));
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long>(formulas.size()));
}
BENCHMARK(BM_ParseFormula);

}  // namespace
