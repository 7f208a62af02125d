// Room export of the largest room the level editor takes (one sub-object, 10000 vertices, 3000 triangles) in both
// modes,
// beside a plain memory copy of the same number of bytes. The in-memory build (the room's limits checked,
// the names translated, the room built and its bytes made) and the whole WriteRooms with its file are measured apart.

#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "builders/model_builder.h"
#include "orf/orf_writer.h"
#include "orf/room_export.h"

namespace {

using namespace torvale;

class NullSink : public OutputSink {
public:
    void PrintOutput(std::string_view) override {}
};

const Scene& Model() {
    static const Scene scene = test::SceneOf(test::FullCapacityModel(10000, 3000));
    return scene;
}

const TextureTable& Table() {
    static const TextureTable table;
    return table;
}

std::size_t RoomSize() {
    static const std::size_t size = EncodeRoom(BuildCombinedRoom(Model(), RoomTextureNames(Model(), Table()))).size();
    return size;
}

void BM_BuildRoom(benchmark::State& state) {
    const bool combined = state.range(0) != 0;
    for (auto _ : state) {
        if (!FindRoomLimitProblem(Model(), combined).empty()) {
            state.SkipWithError("the model was refused");
            break;
        }
        const std::vector<std::string> names = RoomTextureNames(Model(), Table());
        std::vector<std::uint8_t> bytes =
            EncodeRoom(combined ? BuildCombinedRoom(Model(), names) : BuildSubObjectRoom(Model(), 0, names));
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * RoomSize()));
    state.SetLabel(combined ? "combined" : "per sub-object");
}
BENCHMARK(BM_BuildRoom)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_WriteRooms(benchmark::State& state) {
    const bool combined = state.range(0) != 0;
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "torvale_orf_bench";
    std::filesystem::create_directories(dir);
    NullSink sink;
    for (auto _ : state) {
        ExportNames names{(dir / "full.orf").string(), "full.orf", ""};
        if (WriteRooms(Model(), Table(), {combined, '/'}, names, sink) != ExportOutcome::Written) {
            state.SkipWithError("the room was not written");
            break;
        }
    }
    std::filesystem::remove_all(dir);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * RoomSize()));
    state.SetLabel(combined ? "combined, with the file" : "per sub-object, with the file");
}
BENCHMARK(BM_WriteRooms)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_MemoryCopy(benchmark::State& state) {
    const std::vector<std::uint8_t> source(RoomSize(), 0x5A);
    std::vector<std::uint8_t> target(source.size());
    for (auto _ : state) {
        std::memcpy(target.data(), source.data(), source.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * source.size()));
    state.SetLabel(std::to_string(source.size()) + " bytes, the size of the room");
}
BENCHMARK(BM_MemoryCopy)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
