// Reading and reporting a model at full capacity (one sub-object with 25000 vertices and 25000 triangles, every
// chunk present), beside a plain copy of the same bytes: the copy is the ceiling the reader is measured against.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "app/output_log.h"
#include "builders/oof_builder.h"
#include "oof/oof_reader.h"

namespace {

const torvale::test::Bytes& FullModel() {
    static const torvale::test::Bytes bytes = torvale::test::FullCapacityOof();
    return bytes;
}

void BM_ReadAndReportFullModel(benchmark::State& state) {
    const auto& bytes = FullModel();
    torvale::ObjectModel model;
    for (auto _ : state) {
        torvale::OutputLog log;
        log.PrintOutput(torvale::kResetMessage);
        const int result = torvale::ReadOofFile(bytes, "full.oof", model, log);
        if (result != torvale::kOofLoaded)
            state.SkipWithError("the model did not load");
        benchmark::DoNotOptimize(model.subObjects.data());
        benchmark::DoNotOptimize(log.text().data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_ReadAndReportFullModel);

// The same, into a model that no earlier load has sized: every table is allocated afresh.
void BM_ReadAndReportFullModelFreshModel(benchmark::State& state) {
    const auto& bytes = FullModel();
    for (auto _ : state) {
        torvale::ObjectModel model;
        torvale::OutputLog log;
        const int result = torvale::ReadOofFile(bytes, "full.oof", model, log);
        if (result != torvale::kOofLoaded)
            state.SkipWithError("the model did not load");
        benchmark::DoNotOptimize(model.subObjects.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_ReadAndReportFullModelFreshModel);

void BM_CopyFullModelBytes(benchmark::State& state) {
    const auto& bytes = FullModel();
    std::vector<std::uint8_t> target(bytes.size());
    for (auto _ : state) {
        std::memcpy(target.data(), bytes.data(), bytes.size());
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_CopyFullModelBytes);

}  // namespace

BENCHMARK_MAIN();
