#pragma once

#include <string>
#include <utility>
#include <vector>

#include "builders/bytes.h"

namespace torvale::test {

// Named sample inputs for one reader, made by the test builders: the fuzz targets' seed corpus.
using Seeds = std::vector<std::pair<std::string, Bytes>>;

Seeds OofSeeds();
Seeds SettingsSeeds();
Seeds TexlateSeeds();
Seeds BoxEntrySeeds();
Seeds GamSeeds();
Seeds HogSeeds();
Seeds OrfSeeds();
Seeds GltfSeeds();
Seeds ObjSeeds();
Seeds BitmapSeeds();
Seeds OafSeeds();
Seeds ImageSeeds();  // the game's bitmaps and the other image files a model may name

}  // namespace torvale::test
