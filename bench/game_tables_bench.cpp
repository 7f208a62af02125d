// Loading the game's texture pages from a table of 3000 texture pages that sits behind 100 MB of other files in
// an archive, and resolving 34 model texture names against them, beside reading the same table's bytes from a
// loose file with ReadWholeFile and a plain memory copy of them. Opening the archive reads only its header and
// file table, so the archive's size should not show in the figures.

#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "builders/bytes.h"
#include "builders/game_builder.h"
#include "core/atomic_file.h"
#include "game/game_textures.h"
#include "game/texture_names.h"

namespace {

using namespace torvale;
namespace fs = std::filesystem;

constexpr std::size_t kPages = 3000;
constexpr std::size_t kFillerBytes = 100u << 20;

struct Fixture {
    fs::path dir;
    std::string archive;
    std::string looseTable;
    test::Bytes table;
    std::vector<std::string> names;  // 34 model texture names: bitmap names, page names and unknown names

    Fixture() {
        dir = fs::temp_directory_path() / "torvale_game_tables_bench";
        fs::create_directories(dir);
        test::GamBuilder gam;
        for (std::size_t i = 0; i < kPages; ++i) {
            const std::string n = std::to_string(i);
            gam.texture("Page Number " + n, "bitmap_" + n + ".ogf", "Page Number " + n + " destroyed", 40);
            if (i % 10 == 0)
                gam.other(3, 200);  // robots and the like between the texture pages
        }
        table = gam.take();
        archive = (dir / "d3.hog").string();
        looseTable = (dir / "Table.gam").string();
        test::WriteTestFile(archive, test::HogFile({{"sounds.bin", test::Bytes(kFillerBytes, 0x33)},
                                                    {"Table.gam", table},
                                                    {"more.bin", test::Bytes(1 << 20, 0x44)}}));
        test::WriteTestFile(looseTable, table);
        for (std::size_t i = 0; i < 34; ++i) {
            const std::size_t k = i * 88;
            names.push_back(i % 3 == 0   ? "BITMAP_" + std::to_string(k)
                            : i % 3 == 1 ? "page number " + std::to_string(k)
                                         : "unknown_" + std::to_string(k));
        }
    }
    ~Fixture() {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
};

const Fixture& Files() {
    static const Fixture fixture;
    return fixture;
}

void BM_LoadArchiveAndResolve(benchmark::State& state) {
    const Fixture& f = Files();
    const std::vector<std::string> paths = {f.archive};
    for (auto _ : state) {
        GameTextures game;
        if (!game.load(paths).problems.empty() || game.pages().size() != kPages) {
            state.SkipWithError("the archive did not load");
            break;
        }
        for (const std::string& name : f.names)
            benchmark::DoNotOptimize(ResolveTextureName(name, nullptr, game).page);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.table.size()));
    state.SetLabel("3000 pages inside a 101 MB archive, 34 names");
}
BENCHMARK(BM_LoadArchiveAndResolve)->Unit(benchmark::kMillisecond);

void BM_ResolveOnly(benchmark::State& state) {
    const Fixture& f = Files();
    GameTextures game;
    const std::vector<std::string> paths = {f.looseTable};
    game.load(paths);
    for (auto _ : state)
        for (const std::string& name : f.names)
            benchmark::DoNotOptimize(ResolveTextureName(name, nullptr, game).page);
    state.SetLabel("34 names");
}
BENCHMARK(BM_ResolveOnly)->Unit(benchmark::kMicrosecond);

void BM_BaselineReadWholeTableFile(benchmark::State& state) {
    const Fixture& f = Files();
    for (auto _ : state) {
        std::vector<std::uint8_t> bytes;
        std::string error;
        if (!ReadWholeFile(f.looseTable, bytes, error)) {
            state.SkipWithError(error.c_str());
            break;
        }
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.table.size()));
    state.SetLabel("baseline: the loose table's bytes alone");
}
BENCHMARK(BM_BaselineReadWholeTableFile)->Unit(benchmark::kMillisecond);

void BM_BaselineMemoryCopy(benchmark::State& state) {
    const Fixture& f = Files();
    std::vector<std::uint8_t> target(f.table.size());
    for (auto _ : state) {
        std::memcpy(target.data(), f.table.data(), f.table.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.table.size()));
    state.SetLabel("baseline: memcpy of the table's bytes");
}
BENCHMARK(BM_BaselineMemoryCopy)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
