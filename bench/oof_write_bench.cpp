// Writing an object model from glTF: the largest model the game takes, 90,000 triangles (30 sub-objects of 3,000,
// the game's limits) in a tree of 50 nodes (20 of them grouping nodes without a mesh), read from a GLB and
// written as an OOF, beside writing the same number of bytes to a file; and the OOF encoding alone beside a
// memory copy of the bytes it makes.

#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "builders/gltf_builder.h"
#include "core/atomic_file.h"
#include "gltf/gltf_model.h"
#include "oof/oof_writer.h"

namespace {

using torvale::test::Bytes;
namespace fs = std::filesystem;

constexpr int kMeshNodes = 30;
constexpr int kGroupNodes = 20;

// Each mesh node a flat grid of 50 x 30 squares cut into 3000 triangles; each group node holds one or two of
// them.
const Bytes& LargeGlb() {
    static const Bytes bytes = [] {
        torvale::test::GltfBuilder b;
        const int material = b.material({"floor", "", std::nullopt});
        constexpr int kColumns = 50, kRows = 30;
        std::vector<int> meshes;
        for (int n = 0; n < kMeshNodes; ++n) {
            torvale::test::GltfMeshFields grid = torvale::test::FlatGrid(kColumns, kRows);
            grid.material = material;
            meshes.push_back(b.node({"part" + std::to_string(n),
                                     b.mesh(grid),
                                     torvale::Vector3{0, 0, static_cast<float>(n % 3)},
                                     std::nullopt,
                                     std::nullopt,
                                     {}}));
        }
        std::vector<int> roots;
        for (int g = 0; g < kGroupNodes; ++g) {
            std::vector<int> children{meshes[static_cast<std::size_t>(g)]};
            if (g < kMeshNodes - kGroupNodes)
                children.push_back(meshes[static_cast<std::size_t>(kGroupNodes + g)]);
            roots.push_back(b.node({"group" + std::to_string(g), -1, torvale::Vector3{0, static_cast<float>(g), 0},
                                    std::nullopt, std::nullopt, children}));
        }
        b.rootNodes(roots);
        return b.glb();
    }();
    return bytes;
}

// The model as read, and the OOF it gives: what the baselines measure against.
const torvale::Scene& LargeScene() {
    static const torvale::Scene scene = [] {
        torvale::Scene read;
        std::vector<std::string> notes;
        std::string error;
        torvale::ReadGltfModel(LargeGlb(), "large.glb", {}, read, notes, error);
        return read;
    }();
    return scene;
}

const std::vector<std::uint8_t>& LargeOof() {
    static const std::vector<std::uint8_t> bytes = [] {
        std::vector<std::uint8_t> oof;
        std::string error;
        torvale::EncodeOof(LargeScene(), oof, error);
        return oof;
    }();
    return bytes;
}

const std::string& Target() {
    static const std::string path = (fs::temp_directory_path() / "torvale_oof_write_bench.oof").string();
    return path;
}

void BM_GlbToOofFile(benchmark::State& state) {
    const Bytes& glb = LargeGlb();
    std::size_t written = 0;
    for (auto _ : state) {
        torvale::Scene scene;
        std::vector<std::string> notes;
        std::string error;
        std::vector<std::uint8_t> oof;
        if (!torvale::ReadGltfModel(glb, "large.glb", {}, scene, notes, error) ||
            !torvale::EncodeOof(scene, oof, error) || !torvale::ReplaceFileAtomically(Target(), oof, error)) {
            state.SkipWithError(error.c_str());
            break;
        }
        written = oof.size();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * written));
    state.counters["oof_bytes"] = static_cast<double>(written);
}
BENCHMARK(BM_GlbToOofFile)->Unit(benchmark::kMillisecond);

// The baseline: the same number of bytes written to the same file the same way.
void BM_WriteSameBytes(benchmark::State& state) {
    const std::vector<std::uint8_t>& oof = LargeOof();
    std::string error;
    for (auto _ : state) {
        if (!torvale::ReplaceFileAtomically(Target(), oof, error)) {
            state.SkipWithError(error.c_str());
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * oof.size()));
}
BENCHMARK(BM_WriteSameBytes)->Unit(benchmark::kMillisecond);

void BM_EncodeOof(benchmark::State& state) {
    const torvale::Scene& scene = LargeScene();
    std::string error;
    std::size_t size = 0;
    for (auto _ : state) {
        std::vector<std::uint8_t> oof;
        if (!torvale::EncodeOof(scene, oof, error)) {
            state.SkipWithError(error.c_str());
            break;
        }
        size = oof.size();
        benchmark::DoNotOptimize(oof.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}
BENCHMARK(BM_EncodeOof)->Unit(benchmark::kMillisecond);

// The baseline of the encoding: a memory copy of as many bytes.
void BM_CopySameBytes(benchmark::State& state) {
    const std::vector<std::uint8_t>& oof = LargeOof();
    std::vector<std::uint8_t> copy(oof.size());
    for (auto _ : state) {
        std::memcpy(copy.data(), oof.data(), oof.size());
        benchmark::DoNotOptimize(copy.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * oof.size()));
}
BENCHMARK(BM_CopySameBytes)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
