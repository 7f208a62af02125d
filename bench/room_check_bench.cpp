// The room check of a room at the level editor's limits (10000 vertices, 3000 faces), beside building the same
// room's bytes from its model and writing them to a file, measured in the same run. After the table the check's
// time is printed beside the build and write it is meant to undercut.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "builders/model_builder.h"
#include "core/atomic_file.h"
#include "orf/orf_reader.h"
#include "orf/orf_writer.h"
#include "orf/room_check.h"
#include "orf/room_export.h"

namespace {

using namespace torvale;

// A clean room at the limits: 2500 separate unit squares (four vertices each) and 500 triangles, each half of
// one of the squares.
ObjectModel CleanRoomModel() {
    test::ModelBuilder b;
    b.texture("rock").subObject();
    for (int k = 0; k < 2500; ++k) {
        const auto x = static_cast<float>(k % 50 * 2);
        const auto y = static_cast<float>(k / 50 * 2);
        b.vertex(x, y, 0).vertex(x, y + 1, 0).vertex(x + 1, y + 1, 0).vertex(x + 1, y, 0);
        b.face(0, {{4 * k, 0, 0}, {4 * k + 1, 0, 1}, {4 * k + 2, 1, 1}, {4 * k + 3, 1, 0}}, {0, 0, -1});
    }
    for (int k = 0; k < 500; ++k)
        b.face(0, {{4 * k}, {4 * k + 1}, {4 * k + 2}}, {0, 0, -1});
    return b.build();
}

const Scene& Model() {
    static const Scene scene = test::SceneOf(CleanRoomModel());
    return scene;
}

const std::vector<std::string>& Names() {
    static const std::vector<std::string> names = RoomTextureNames(Model(), TextureTable{});
    return names;
}

const Room& TheRoom() {
    static const Room room = [] {
        Room r;
        std::string error;
        if (!ReadOrfFile(EncodeRoom(BuildSubObjectRoom(Model(), 0, Names())), r, error))
            std::abort();
        return r;
    }();
    return room;
}

void BM_CheckRoom(benchmark::State& state) {
    std::size_t findings = 0;
    for (auto _ : state) {
        const std::vector<RoomFinding> found = CheckRoom(TheRoom());
        findings = found.size();
        benchmark::DoNotOptimize(found.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * TheRoom().faces.size()));
    state.SetLabel(std::to_string(TheRoom().vertices.size()) + " vertices, " + std::to_string(TheRoom().faces.size()) +
                   " faces, " + std::to_string(findings) + " findings");
}
BENCHMARK(BM_CheckRoom)->Unit(benchmark::kMicrosecond);

void BM_ReadRoom(benchmark::State& state) {
    const std::vector<std::uint8_t> bytes = EncodeRoom(BuildSubObjectRoom(Model(), 0, Names()));
    for (auto _ : state) {
        Room room;
        std::string error;
        benchmark::DoNotOptimize(ReadOrfFile(bytes, room, error));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ReadRoom)->Unit(benchmark::kMicrosecond);

// The baseline: the same room's bytes built from its model.
void BM_BuildRoomBaseline(benchmark::State& state) {
    std::size_t size = 0;
    for (auto _ : state) {
        std::vector<std::uint8_t> bytes = EncodeRoom(BuildSubObjectRoom(Model(), 0, Names()));
        size = bytes.size();
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * Model().objects[0].faces.size()));
    state.SetLabel(std::to_string(size) + " bytes");
}
BENCHMARK(BM_BuildRoomBaseline)->Unit(benchmark::kMicrosecond);

// The baseline the check is held against: the room built and written to its file as an export does it.
void BM_BuildAndWriteRoomBaseline(benchmark::State& state) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "torvale-room-check-bench";
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "room.orf").string();
    for (auto _ : state) {
        const std::vector<std::uint8_t> bytes = EncodeRoom(BuildSubObjectRoom(Model(), 0, Names()));
        std::string error;
        if (!ReplaceFileAtomically(path, bytes, error)) {
            state.SkipWithError(error.c_str());
            break;
        }
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}
BENCHMARK(BM_BuildAndWriteRoomBaseline)->Unit(benchmark::kMicrosecond);

// The console table, then one line that sets the check's time beside the build and write.
class SideBySide : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                microseconds_[run.run_name.function_name] = run.GetAdjustedRealTime();
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        const auto check = microseconds_.find("BM_CheckRoom");
        const auto write = microseconds_.find("BM_BuildAndWriteRoomBaseline");
        if (check == microseconds_.end() || write == microseconds_.end())
            return;
        std::printf("\nroom check %.0f us beside build and write %.0f us: %.2f x\n", check->second, write->second,
                    check->second / write->second);
    }

private:
    std::map<std::string, double> microseconds_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    SideBySide reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
