// Each input is read as a TGA or OGF. A refusal is one line and leaves the image as it was; an accepted image
// has the pixels its levels' sizes say, and writes back as an OGF that reads again to the same size.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "bitmap/game_bitmap_reader.h"
#include "bitmap/ogf_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace torvale;
    Image image;
    image.name = "untouched";
    std::string error;
    if (!ReadGameBitmap(std::span<const std::uint8_t>(data, size), image, error)) {
        if (error.empty() || error.find('\n') != std::string::npos || image.name != "untouched")
            std::abort();
        return 0;
    }
    const auto holds = [](const ImageLevel& level) {
        return level.rgba.size() == std::size_t{level.width} * level.height * 4;
    };
    if (!holds(image.level) || image.level.width == 0 || image.level.height == 0)
        std::abort();
    for (const ImageLevel& mip : image.mips)
        if (!holds(mip))
            std::abort();
    std::vector<std::uint8_t> ogf;
    if (!EncodeOgf(image.level, {.name = "fuzz.ogf", .levels = 1}, ogf, error))
        std::abort();
    Image again;
    if (!ReadGameBitmap(ogf, again, error) || again.width() != image.width() || again.height() != image.height())
        std::abort();
    return 0;
}
