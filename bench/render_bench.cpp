// Drawing a closed 25,000-face model (a sphere of thin bands, half its faces turned away) into an 800 x 600
// frame, plain and with the wireframe and markers over it, beside a plain fill of the same frame's pixels and
// depth: the least any picture of that size costs. A frame every 16 ms keeps turning the model smooth. The
// same model with its two textures' images (64 x 64, one with holes, each band tiling them twice round) is
// drawn beside it untextured, and the textured time is printed as a share of the untextured one.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <memory>
#include <numbers>

#include "builders/model_builder.h"
#include "render/renderer.h"

namespace {

using namespace torvale;

constexpr int kWidth = 800, kHeight = 600;
constexpr int kBands = 100, kSegments = 125;  // 2 * 100 * 125 = 25,000 triangles

Vector3 Subtract(const Vector3& a, const Vector3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

const PreviewScene& SphereScene() {
    static const PreviewScene scene = [] {
        test::ModelBuilder b;
        b.texture("rock1").texture("metal_plate").subObject();
        for (int band = 0; band <= kBands; ++band) {
            const double theta = std::numbers::pi * band / kBands;
            for (int segment = 0; segment < kSegments; ++segment) {
                const double phi = 2 * std::numbers::pi * segment / kSegments;
                b.vertex(static_cast<float>(std::sin(theta) * std::cos(phi)), static_cast<float>(std::cos(theta)),
                         static_cast<float>(std::sin(theta) * std::sin(phi)));
            }
        }
        const auto& v = b.current().vertexPositions;
        // Each band takes u round the sphere twice and v once down it.
        const auto uv = [](std::int32_t index) {
            const std::int32_t band = index / kSegments, segment = index % kSegments;
            return test::Corner{index, 2.0f * static_cast<float>(segment) / kSegments,
                                static_cast<float>(band) / kBands};
        };
        const auto add = [&b, &v, &uv](std::int32_t i, std::int32_t j, std::int32_t k, std::int32_t texture) {
            // Corners clockwise seen from outside: (b - a) x (c - b) points away from the centre.
            const Vector3 e1 = Subtract(v[static_cast<std::size_t>(j)], v[static_cast<std::size_t>(i)]);
            const Vector3 e2 = Subtract(v[static_cast<std::size_t>(k)], v[static_cast<std::size_t>(j)]);
            const Vector3 n{e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z, e1.x * e2.y - e1.y * e2.x};
            const Vector3& a = v[static_cast<std::size_t>(i)];
            if (n.x * a.x + n.y * a.y + n.z * a.z >= 0.0f)
                b.face(texture, {uv(i), uv(j), uv(k)});
            else
                b.face(texture, {uv(i), uv(k), uv(j)});
        };
        for (std::int32_t band = 0; band < kBands; ++band) {
            for (std::int32_t segment = 0; segment < kSegments; ++segment) {
                const std::int32_t next = (segment + 1) % kSegments;
                const std::int32_t a = band * kSegments + segment, c = band * kSegments + next;
                const std::int32_t d = (band + 1) * kSegments + segment, e = (band + 1) * kSegments + next;
                add(a, c, e, (band + segment) % 2);
                add(a, e, d, (band + segment) % 2);
            }
        }
        ObjectModel model = b.build();
        model.gunpointCount = 2;
        model.gunpoints[0] = {0, {0, 0, -1}, {}};
        model.gunpoints[1] = {0, {1, 0, 0}, {}};
        return BuildPreviewScene(test::SceneOf(model));
    }();
    return scene;
}

void BM_Render(benchmark::State& state) {
    const bool overlays = state.range(0) != 0;
    FrameStore store(kWidth, kHeight);
    float yaw = 0.0f;
    for (auto _ : state) {
        yaw += 1.0f;  // a turning model, so no frame is the same as the last
        Render(SphereScene(), {yaw, 20.0f, 1.0f}, {overlays, false, overlays}, store.frame());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * SphereScene().faces.size()));
    state.SetLabel(overlays ? "25000 faces, wireframe and markers" : "25000 faces");
}
BENCHMARK(BM_Render)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Two 64 x 64 images: a plain gradient, and one whose every fourth texel is a hole.
const TextureImages& SphereImages() {
    static const TextureImages images = [] {
        TextureImages made;
        for (int k = 0; k < 2; ++k) {
            auto image = std::make_shared<Image>();
            image->level.width = image->level.height = 64;
            for (std::uint32_t i = 0; i < 64 * 64; ++i) {
                const auto x = static_cast<std::uint8_t>(i % 64 * 4), y = static_cast<std::uint8_t>(i / 64 * 4);
                const bool hole = k == 1 && i % 4 == 0;
                image->level.rgba.insert(image->level.rgba.end(), {x, y, static_cast<std::uint8_t>(255 - x),
                                                                   static_cast<std::uint8_t>(hole ? 0 : 255)});
            }
            made.push_back({image, "made in memory"});
        }
        return made;
    }();
    return images;
}

// The same turning frames with textures off and on; each run measures both, so that the share compares
// like with like on a busy machine.
void BM_RenderTexturedBesideUntextured(benchmark::State& state) {
    FrameStore store(kWidth, kHeight);
    RenderOptions plain, textured;
    textured.textures = true;
    double plainSeconds = 0.0, texturedSeconds = 0.0;
    float yaw = 0.0f;
    for (auto _ : state) {
        yaw += 1.0f;
        const auto t0 = std::chrono::steady_clock::now();
        Render(SphereScene(), {yaw, 20.0f, 1.0f}, plain, store.frame(), SphereImages());
        benchmark::ClobberMemory();
        const auto t1 = std::chrono::steady_clock::now();
        Render(SphereScene(), {yaw, 20.0f, 1.0f}, textured, store.frame(), SphereImages());
        benchmark::ClobberMemory();
        const auto t2 = std::chrono::steady_clock::now();
        plainSeconds += std::chrono::duration<double>(t1 - t0).count();
        texturedSeconds += std::chrono::duration<double>(t2 - t1).count();
    }
    const auto frames = static_cast<double>(state.iterations());
    state.counters["untextured_ms"] = plainSeconds / frames * 1000.0;
    state.counters["textured_ms"] = texturedSeconds / frames * 1000.0;
    state.counters["textured_share"] = plainSeconds > 0.0 ? texturedSeconds / plainSeconds : 0.0;
    state.SetLabel("25000 faces, both ways each frame; aim: share below 2");
}
BENCHMARK(BM_RenderTexturedBesideUntextured)->Unit(benchmark::kMillisecond);

void BM_BuildScene(benchmark::State& state) {
    const Scene model = test::SceneOf(test::FullCapacityModel());
    for (auto _ : state) {
        PreviewScene scene = BuildPreviewScene(model);
        benchmark::DoNotOptimize(scene.faces.data());
    }
    state.SetLabel("25000 vertices, 25000 faces");
}
BENCHMARK(BM_BuildScene)->Unit(benchmark::kMillisecond);

void BM_PlainFill(benchmark::State& state) {
    FrameStore store(kWidth, kHeight);
    const Frame frame = store.frame();
    for (auto _ : state) {
        std::fill(frame.pixels.begin(), frame.pixels.end(), kBackgroundColor);
        std::fill(frame.depth.begin(), frame.depth.end(), std::numeric_limits<float>::infinity());
        benchmark::ClobberMemory();
    }
    state.SetLabel("800 x 600 pixels and depth, the baseline");
}
BENCHMARK(BM_PlainFill)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
