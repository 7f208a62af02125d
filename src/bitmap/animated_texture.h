#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "bitmap/image.h"
#include "bitmap/ogf_writer.h"

namespace torvale {

// The most frames the game holds for one animation: it does not check the count and writes past its table.
inline constexpr int kMostOafFrames = 50;
// The frame time the game writes into every OAF (and uses for clips that are not textures).
inline constexpr float kOafFrameTime = 0.07f;

// An animated texture (OAF) as its file holds it.
struct AnimatedTexture {
    int version = 1;                 // 1: the game's layout (first byte 0x7F); 0: the older one (any other first byte)
    float frameTime = 0;             // seconds, as the file stores it; the game never uses it
    std::vector<Image> frames;       // each frame as stored, with its own name inside and its own size
    std::vector<std::string> notes;  // things worth telling that did not stop the reading
};

// Reads an OAF as the game reads it: version 1 (0x7F, version byte, a signed frame count, the frame time) or
// version 0 (an unsigned frame count, play time, frame time, flags, light), then every frame through
// ReadGameBitmap, each starting where the one before it ended. Refused: fewer than 1 frame, more than
// kMostOafFrames, a frame the bitmap reader refuses. Frames of differing sizes are read and noted (the game
// resizes each to its texture's size), as are bytes after the last frame (the game never reads them).
// On failure `error` is one line ("frame 3 at byte 812: level 0 at byte 840: ...") and `texture` is left as it
// was.
bool ReadAnimatedTexture(std::span<const std::uint8_t> bytes, AnimatedTexture& texture, std::string& error);

// One frame to write: its pixels and the OGF it becomes (name inside, layout, levels).
struct OafFrameToWrite {
    const ImageLevel* image = nullptr;
    OgfOptions ogf;
};

// The bytes of an OAF as the game writes it: 0x7F, version 1, the frame count, 0.07, then each frame as an OGF.
// 1 to kMostOafFrames frames, all of one size. Built in memory; the caller writes the file. False, with `error`
// naming the frame, when the frames cannot make one.
bool EncodeOaf(std::span<const OafFrameToWrite> frames, std::vector<std::uint8_t>& out, std::string& error);

}  // namespace torvale
