// Decoding and encoding a 256 x 256 OGF with every mip level (the largest texture the game takes), beside a
// plain copy of the same pixels in the same run: the copy is the ceiling the codec is measured against. The
// picture is made here, smooth shading with grain as a photograph has, so that the run-length code meets short
// runs rather than a few long ones. At the end each codec's speed is printed as a share of the copy's.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "bitmap/game_bitmap_reader.h"
#include "bitmap/ogf_writer.h"

namespace {

constexpr std::uint32_t kSide = 256;

torvale::ImageLevel Photograph() {
    torvale::ImageLevel image{kSide, kSide, std::vector<std::uint8_t>(std::size_t{kSide} * kSide * 4)};
    std::uint32_t seed = 12345;
    const auto grain = [&seed]() {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<int>(seed >> 28) - 8;  // -8 .. 7
    };
    const auto channel = [](double value, int noise) {
        const int v = static_cast<int>(value) + noise;
        return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
    };
    for (std::uint32_t y = 0; y < kSide; ++y) {
        for (std::uint32_t x = 0; x < kSide; ++x) {
            const double fx = x / double{kSide};
            const double fy = y / double{kSide};
            std::uint8_t* p = &image.rgba[(std::size_t{y} * kSide + x) * 4];
            p[0] = channel(128 + 100 * std::sin(6.0 * fx + 2.0 * fy), grain());
            p[1] = channel(110 + 90 * std::cos(4.0 * fy - 3.0 * fx * fy), grain());
            p[2] = channel(60 + 150 * fx * fy, grain());
            p[3] = 255;
        }
    }
    return image;
}

struct Fixture {
    torvale::ImageLevel image = Photograph();
    torvale::OgfOptions options{.name = "photo.ogf",
                                .pixels = torvale::OgfPixels::Argb1555,
                                .levels = torvale::MostOgfLevels(kSide, kSide)};
    std::vector<std::uint8_t> ogf;
    std::size_t pixelBytes = 0;  // RGBA bytes of every level

    Fixture() {
        std::string error;
        if (!torvale::EncodeOgf(image, options, ogf, error))
            std::fprintf(stderr, "cannot encode the picture: %s\n", error.c_str());
        for (std::size_t level = 0; level < options.levels; ++level)
            pixelBytes += std::size_t{kSide >> level} * (kSide >> level) * 4;
    }
};

const Fixture& Shared() {
    static const Fixture fixture;
    return fixture;
}

void Processed(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(Shared().pixelBytes));
}

void BM_DecodeOgf256Mipped(benchmark::State& state) {
    const Fixture& f = Shared();
    torvale::Image image;
    std::string error;
    for (auto _ : state) {
        if (!torvale::ReadGameBitmap(f.ogf, image, error))
            state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(image.level.rgba.data());
    }
    Processed(state);
}
BENCHMARK(BM_DecodeOgf256Mipped);

void BM_EncodeOgf256Mipped(benchmark::State& state) {
    const Fixture& f = Shared();
    std::vector<std::uint8_t> out;
    std::string error;
    for (auto _ : state) {
        if (!torvale::EncodeOgf(f.image, f.options, out, error))
            state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(out.data());
    }
    Processed(state);
}
BENCHMARK(BM_EncodeOgf256Mipped);

void BM_CopyPixels(benchmark::State& state) {
    const Fixture& f = Shared();
    const std::vector<std::uint8_t> source(f.pixelBytes, 7);
    std::vector<std::uint8_t> target(f.pixelBytes);
    for (auto _ : state) {
        std::memcpy(target.data(), source.data(), source.size());
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    Processed(state);
}
BENCHMARK(BM_CopyPixels);

// The console's table, then each benchmark's MB/s beside the copy's.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const auto rate = run.counters.find("bytes_per_second");
            if (run.run_type == Run::RT_Iteration && !run.error_occurred && rate != run.counters.end())
                speeds_[run.benchmark_name()] = rate->second.value;
        }
    }

    void printRatios() const {
        const auto copy = speeds_.find("BM_CopyPixels");
        if (copy == speeds_.end() || copy->second <= 0)
            return;
        std::printf("\n%-28s %12s %14s\n", "pixels of every level", "MB/s", "of the copy's");
        for (const auto& [name, speed] : speeds_)
            std::printf("%-28s %12.1f %13.4f\n", name.c_str(), speed / 1e6, speed / copy->second);
    }

private:
    std::map<std::string, double> speeds_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    std::printf("OGF of %u x %u, %zu levels: %zu bytes for %zu bytes of RGBA\n", kSide, kSide, Shared().options.levels,
                Shared().ogf.size(), Shared().pixelBytes);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
