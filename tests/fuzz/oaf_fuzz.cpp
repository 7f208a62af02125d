// Each input is read as an animated texture. A refusal is one line and leaves the texture as it was; an accepted
// one has 1 to 50 frames, each holding the pixels its size says, and writes back as an OAF of its first frame's
// size that reads again to as many frames.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "bitmap/animated_texture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace torvale;
    AnimatedTexture texture;
    texture.notes.push_back("untouched");
    std::string error;
    if (!ReadAnimatedTexture(std::span<const std::uint8_t>(data, size), texture, error)) {
        if (error.empty() || error.find('\n') != std::string::npos || texture.notes.size() != 1 ||
            !texture.frames.empty())
            std::abort();
        return 0;
    }
    if (texture.frames.empty() || texture.frames.size() > static_cast<std::size_t>(kMostOafFrames))
        std::abort();
    std::vector<OafFrameToWrite> frames;
    for (const Image& frame : texture.frames) {
        if (frame.level.width == 0 || frame.level.height == 0 ||
            frame.level.rgba.size() != std::size_t{frame.level.width} * frame.level.height * 4)
            std::abort();
        // Only frames of the first one's size can be written together.
        if (frame.width() == texture.frames.front().width() && frame.height() == texture.frames.front().height())
            frames.push_back({&frame.level, {.name = "f.ogf"}});
    }
    std::vector<std::uint8_t> oaf;
    if (!EncodeOaf(frames, oaf, error))
        std::abort();
    AnimatedTexture again;
    if (!ReadAnimatedTexture(oaf, again, error) || again.frames.size() != frames.size() || again.version != 1)
        std::abort();
    return 0;
}
