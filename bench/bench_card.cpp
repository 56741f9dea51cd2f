// One full card formatted from the sample: quartz, the record with the most
// lines (a continuation table), in 2-theta for copper and in d-spacings. The
// formatter is made once, so the code tables are opened once, as in a tool.
#include <benchmark/benchmark.h>
#include <corvane/card/driver.h>
#include <corvane/card/formatter.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

// The sample's directory, beside this file in the source tree.
std::string sample_dir() {
    const std::string here = __FILE__;
    return here.substr(0, here.rfind("/bench/")) + "/sample/";
}

// The last record of the sample card file: its cards, 80 characters each.
std::string last_record() {
    std::ifstream in(sample_dir() + "phases.crd");
    std::string record, current;
    for (std::string line; std::getline(in, line);) {
        line.resize(80, ' ');
        current += line;
        if (line[79] == 'K') record = std::exchange(current, {});
    }
    return record;
}

void format_card(benchmark::State& state, const char* mode) {
    const std::string record = last_record();
    std::ostringstream messages, page;
    corvane::card::CardFormatter fm(sample_dir(), "", messages);
    fm.set_page(page);
    const auto ncards = static_cast<std::int32_t>(record.size() / 80);
    for (auto _ : state) {
        page.str("");
        std::string code = mode;
        const int status = corvane::card::krx2fmt(fm, record, ncards, "-", code);
        if (status != corvane::card::kCardWritten) state.SkipWithError("card not written");
        benchmark::DoNotOptimize(page.str().size());
    }
}

void BM_CardQuartzTwoTheta(benchmark::State& state) {
    format_card(state, "CU");
}
void BM_CardQuartzD(benchmark::State& state) {
    format_card(state, "D");
}
BENCHMARK(BM_CardQuartzTwoTheta);
BENCHMARK(BM_CardQuartzD);

}  // namespace
