// Micro-benchmarks of the builder, in memory: reading and checking a card
// file, and composing its whole database. The card file is one record of the
// sample repeated with fresh entry numbers. The whole tool, files and all, is
// timed from outside on a card file of bench/gencards.
#include <benchmark/benchmark.h>
#include <corvane/builder/build.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace corvane::builder;

// One record of the sample card file, periclase.
constexpr const char* kRecord =
    R"(    4.213                                                               040829C1
Fm-3m                   4             3.580                                    3
Fm-3m      225                                       40.30      74.78          4
  M                     mPER                         1309-48-4                 5
Magnesium Oxide                                                     P          6
Periclase, syn                                                      M          6
Magnesia                                                            C          6
Mg O                                                                           7
NBSCAQ   1   37 1953 Swanson, H.E., Tatge, E.                                  9
AMMIAY  61  266 1976 Hazen, R.M.                                   UC          9
cF8              NaCl                                                          A
Colorless.                                                         CL          B
2852 C                                                             MP          B
B=1.737                                                            OP          B
Pattern taken at 26 C.                                             TM          B
       1.00  0.00  0.00   0.00  1.00  0.00   0.00  0.00  1.00                  C
CuKa1 1.5405        F Ni                D                                      F
D                       I                                                      G
 2.4324 10   1  1  1    2.1065100   2  0  0    1.4895 52   2  2  0   01        I
 1.2703  4   3  1  1    1.2162 12   2  2  2    1.0533  5   4  0  0   02        I
 0.9665  2   3  3  1    0.9421 10   4  2  0    0.8600  7   4  2  2   03        I
  2.11x  1.495  1.221  2.431  0.941  0.861  1.051  1.271                       +
                                                                        040829 K)";

// The record repeated n times, each time with its own entry number.
std::string card_file(int n) {
    std::vector<std::string> cards;
    const std::string record = kRecord;
    for (std::size_t at = 0; at < record.size(); at += 81) cards.push_back(record.substr(at, 80));
    std::string out;
    for (int i = 0; i < n; ++i) {
        char id[8];
        std::snprintf(id, sizeof id, "%06d", i + 1);
        for (std::string card : cards) {
            if (card[79] == '1' || card[79] == 'K') card.replace(72, 6, id);
            out += card;
            out += '\n';
        }
    }
    return out;
}

void BM_ReadCards(benchmark::State& state) {
    const std::string text = card_file(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        MemorySource source(text);
        Reporter rep("bench.crd", nullptr);
        CardReader reader(source, rep);
        CardRecord rec;
        int records = 0;
        while (reader.next(rec)) records += rec.sound() ? 1 : 0;
        benchmark::DoNotOptimize(records);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReadCards)->Arg(1000)->Arg(10000);

void BM_ComposeDatabase(benchmark::State& state) {
    const std::string text = card_file(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        KrxDatabase db;
        benchmark::DoNotOptimize(compose_database(text, "bench.crd", db, nullptr));
        benchmark::DoNotOptimize(db.krx2.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ComposeDatabase)->Arg(1000)->Arg(10000);

}  // namespace
