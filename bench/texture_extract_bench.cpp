// Extracting every bitmap of an archive of 3000 texture bitmaps (64 x 64 OGFs whose rows mix runs and lone
// pixels, as real textures do) into PNG files, beside reading the archive's bytes whole. The extraction reads
// each bitmap out of the archive, decodes it, encodes it as PNG and writes it, all files replaced together.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/texture_finder.h"
#include "builders/bitmap_builder.h"
#include "builders/bytes.h"
#include "builders/game_builder.h"
#include "core/atomic_file.h"
#include "game/game_files.h"
#include "game/game_textures.h"

namespace {

using namespace torvale;
namespace fs = std::filesystem;

constexpr std::size_t kBitmaps = 3000;
constexpr unsigned kSide = 64;

// A 64 x 64 level: runs of 2 to 17 pixels of one colour between lone pixels of slowly changing colours.
test::Bytes TextureOgf(const std::string& name, std::size_t seed) {
    test::ByteBuilder out = test::OgfHeader(122, name, 1, kSide, kSide);
    std::size_t left = kSide * kSide;
    std::uint32_t state = static_cast<std::uint32_t>(seed * 2654435761u + 1);
    while (left > 0) {
        state = state * 1664525u + 1013904223u;
        const auto word = static_cast<std::uint16_t>(0x8000 | ((state >> 8) & 0x7FFF));
        const std::size_t run = std::min<std::size_t>(left, 2 + (state >> 28));
        if ((state & 0x1000) && run >= 2) {
            out.raw(test::OgfRun(static_cast<unsigned>(run), word));
            left -= run;
        } else {
            out.raw(test::OgfLonePixels({word}));
            left -= 1;
        }
    }
    return out.take();
}

struct Fixture {
    fs::path dir;
    std::string archive;
    GameTextures pages;
    GameFiles files;
    std::vector<const TexturePage*> all;

    Fixture() {
        dir = fs::temp_directory_path() / "torvale_texture_extract_bench";
        fs::remove_all(dir);
        fs::create_directories(dir / "d3");
        test::GamBuilder gam;
        test::HogFiles hog;
        for (std::size_t i = 0; i < kBitmaps; ++i) {
            const std::string bitmap = "bitmap_" + std::to_string(i) + ".ogf";
            gam.texture("Page " + std::to_string(i), bitmap);
            hog.emplace_back(bitmap, TextureOgf(bitmap, i));
        }
        hog.emplace_back("Table.gam", gam.take());
        archive = (dir / "d3" / "textures.hog").string();
        test::WriteTestFile(archive, test::HogFile(hog));
        const std::vector<std::string> paths = {(dir / "d3").string()};
        pages.load(paths);
        files.open(paths);
        for (const TexturePage& page : pages.pages())
            all.push_back(&page);
    }
    ~Fixture() {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
};

Fixture& Files() {
    static Fixture fixture;
    return fixture;
}

void BM_ExtractEveryBitmap(benchmark::State& state) {
    Fixture& f = Files();
    const std::string out = (f.dir / "out").string();
    for (auto _ : state) {
        const BitmapExtraction done = ExtractPageBitmaps(f.all, f.files, out);
        if (done.files != kBitmaps || !done.writeError.empty()) {
            state.SkipWithError(
                ("the extraction failed: " + done.writeError + (done.problems.empty() ? "" : done.problems[0]))
                    .c_str());
            break;
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kBitmaps));
}
BENCHMARK(BM_ExtractEveryBitmap)->Unit(benchmark::kMillisecond);

// Baseline: the archive's bytes read whole.
void BM_ReadArchiveBytes(benchmark::State& state) {
    Fixture& f = Files();
    std::vector<std::uint8_t> bytes;
    std::string error;
    for (auto _ : state) {
        if (!ReadWholeFile(f.archive, bytes, error)) {
            state.SkipWithError("the archive could not be read");
            break;
        }
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ReadArchiveBytes)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
