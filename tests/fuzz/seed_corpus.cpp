// Writes the fuzz targets' seed corpus: <dir>/<reader>/<name> for every sample the test builders make.
#include <cstdio>
#include <filesystem>

#include "builders/seeds.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: torvale_seed_corpus DIR\n");
        return 2;
    }
    using namespace torvale::test;
    const std::pair<const char*, Seeds> sets[] = {{"oof", OofSeeds()},         {"settings", SettingsSeeds()},
                                                  {"texlate", TexlateSeeds()}, {"box_entry", BoxEntrySeeds()},
                                                  {"render", OofSeeds()},      {"gam", GamSeeds()},
                                                  {"hog", HogSeeds()},         {"orf", OrfSeeds()},
                                                  {"gltf", GltfSeeds()},       {"obj", ObjSeeds()},
                                                  {"bitmap", BitmapSeeds()},   {"png", ImageSeeds()},
                                                  {"oaf", OafSeeds()}};
    for (const auto& [reader, seeds] : sets) {
        const auto dir = std::filesystem::path(argv[1]) / reader;
        std::filesystem::create_directories(dir);
        for (const auto& [name, bytes] : seeds) {
            if (!WriteTestFile((dir / name).string(), bytes)) {
                std::fprintf(stderr, "cannot write %s\n", (dir / name).string().c_str());
                return 1;
            }
        }
        std::printf("%s: %zu seeds\n", reader, seeds.size());
    }
    return 0;
}
