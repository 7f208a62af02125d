#include "builders/game_builder.h"
#include "builders/seeds.h"

namespace torvale::test {

Seeds GamSeeds() {
    Seeds seeds;
    seeds.emplace_back("every_type", EveryPageTypeTable());
    seeds.emplace_back("long_names",
                       GamBuilder().texture(std::string(40, 'N'), std::string(50, 'b') + ".ogf", "d", 0).take());
    seeds.emplace_back("one_texture", GamBuilder().texture("Metal", "metal.ogf").take());
    return seeds;
}

Seeds HogSeeds() {
    Seeds seeds;
    seeds.emplace_back("two_files",
                       HogFile({{"Table.gam", EveryPageTypeTable()}, {"readme.txt", Bytes{'h', 'i', '\n'}}}));
    seeds.emplace_back("empty", HogFile({}));
    return seeds;
}

}  // namespace torvale::test
