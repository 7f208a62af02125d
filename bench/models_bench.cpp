// glTF reading with face merging (100,000 triangles in 50 nodes), glTF reading of one node at two sizes ten
// times apart (its vertices joined by position: the time must grow tenfold, no more), and glTF writing (a
// 25,000-face model), each beside a plain copy of the same number of bytes: the copy is the ceiling they are
// measured against.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "builders/gltf_builder.h"
#include "builders/model_builder.h"
#include "gltf/gltf_model.h"
#include "gltf/gltf_writer.h"
#include "orf/merge_faces.h"

namespace {

using torvale::test::Bytes;

// 50 nodes, each a flat grid of 40 x 25 squares cut into 2000 triangles.
const Bytes& LargeGlb() {
    static const Bytes bytes = [] {
        torvale::test::GltfBuilder b;
        const int material = b.material({"floor", "", std::nullopt});
        std::vector<int> roots;
        constexpr int kColumns = 40, kRows = 25;
        for (int n = 0; n < 50; ++n) {
            torvale::test::GltfMeshFields grid = torvale::test::FlatGrid(kColumns, kRows);
            grid.material = material;
            roots.push_back(b.node({"part" + std::to_string(n),
                                    b.mesh(grid),
                                    torvale::Vector3{0, 0, static_cast<float>(n)},
                                    std::nullopt,
                                    std::nullopt,
                                    {}}));
        }
        b.rootNodes(roots);
        return b.glb();
    }();
    return bytes;
}

void BM_ReadGlbAndMergeFaces(benchmark::State& state) {
    const Bytes& bytes = LargeGlb();
    std::size_t after = 0;
    for (auto _ : state) {
        torvale::Scene model;
        std::vector<std::string> notes;
        std::string error;
        if (!torvale::ReadGltfModel(bytes, "large.glb", {}, model, notes, error))
            state.SkipWithError(error.c_str());
        after = torvale::MergeCoplanarFaces(model).facesAfter;
        benchmark::DoNotOptimize(model.objects.data());
    }
    state.counters["faces_after_merge"] = static_cast<double>(after);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_ReadGlbAndMergeFaces)->Unit(benchmark::kMillisecond);

// One node: a grid of `rows` x 100 squares, each two triangles whose corners repeat their positions (as glTF
// exporters write a corner per face for its own normal and UV), so every position is joined several times.
Bytes GridGlb(int rows) {
    torvale::test::GltfBuilder b;
    torvale::test::GltfMeshFields grid;
    constexpr int kColumns = 100;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < kColumns; ++x) {
            const auto fx = static_cast<float>(x), fy = static_cast<float>(y);
            const auto first = static_cast<std::uint32_t>(grid.positions.size());
            for (const auto& [px, py] : {std::pair{fx, fy}, {fx + 1, fy}, {fx + 1, fy + 1}, {fx, fy + 1}}) {
                grid.positions.push_back({px, py, 0.001f * px * py});
                grid.uvs.emplace_back(px, py);
            }
            grid.indices.insert(grid.indices.end(), {first, first + 1, first + 2, first, first + 2, first + 3});
        }
    b.rootNodes({b.node({"grid", b.mesh(grid), std::nullopt, std::nullopt, std::nullopt, {}})});
    return b.glb();
}

void BM_ReadGlbJoiningVertices(benchmark::State& state) {
    const Bytes bytes = GridGlb(static_cast<int>(state.range(0)));
    std::size_t vertices = 0;
    for (auto _ : state) {
        torvale::Scene model;
        std::vector<std::string> notes;
        std::string error;
        if (!torvale::ReadGltfModel(bytes, "grid.glb", {}, model, notes, error))
            state.SkipWithError(error.c_str());
        vertices = model.vertexCount();
        benchmark::DoNotOptimize(model.objects.data());
    }
    state.counters["triangles"] = static_cast<double>(state.range(0) * 200);
    state.counters["joined_vertices"] = static_cast<double>(vertices);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_ReadGlbJoiningVertices)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_CopyLargeGlbBytes(benchmark::State& state) {
    const Bytes& bytes = LargeGlb();
    std::vector<std::uint8_t> copy(bytes.size());
    for (auto _ : state) {
        std::memcpy(copy.data(), bytes.data(), bytes.size());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_CopyLargeGlbBytes)->Unit(benchmark::kMillisecond);

// 25,000 triangles over a gently curved grid of 125 x 100 squares, four textures in stripes.
const torvale::Scene& FaceModel() {
    static const torvale::Scene model = [] {
        torvale::test::ModelBuilder b;
        b.texture("rock").texture("metal").texture("glass").texture("grass").subObject();
        constexpr int kColumns = 125, kRows = 100;
        for (int y = 0; y <= kRows; ++y)
            for (int x = 0; x <= kColumns; ++x)
                b.vertex(static_cast<float>(x), static_cast<float>(y), 0.001f * static_cast<float>(x * x));
        for (int y = 0; y < kRows; ++y)
            for (int x = 0; x < kColumns; ++x) {
                const std::int32_t a = y * (kColumns + 1) + x, c = a + kColumns + 2;
                b.face(y % 4, {{a, 0, 0}, {a + 1, 1, 0}, {c, 1, 1}}).face(y % 4, {{a, 0, 0}, {c, 1, 1}, {c - 1, 0, 1}});
            }
        return b.scene();
    }();
    return model;
}

std::size_t GlbSize() {
    std::vector<std::string> warnings;
    static const std::size_t size = torvale::BuildGlb(FaceModel(), warnings).size();
    return size;
}

void BM_WriteGlbOf25000Faces(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<std::string> warnings;
        const std::vector<std::uint8_t> glb = torvale::BuildGlb(FaceModel(), warnings);
        benchmark::DoNotOptimize(glb.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(GlbSize()));
}
BENCHMARK(BM_WriteGlbOf25000Faces)->Unit(benchmark::kMillisecond);

void BM_CopyBytesOfThatGlb(benchmark::State& state) {
    const std::vector<std::uint8_t> source(GlbSize(), 7);
    std::vector<std::uint8_t> copy(source.size());
    for (auto _ : state) {
        std::memcpy(copy.data(), source.data(), source.size());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(source.size()));
}
BENCHMARK(BM_CopyBytesOfThatGlb)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
