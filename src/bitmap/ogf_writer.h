#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "bitmap/image.h"

namespace torvale {

// Which 16-bit layout an OGF gets.
enum class OgfPixels {
    Automatic,  // 4444 when some pixel's alpha is neither 0 nor 255, otherwise 1555
    Argb1555,
    Argb4444,
};

struct OgfOptions {
    std::string name;  // the name inside the file: the file's own name, at most 33 characters
    OgfPixels pixels = OgfPixels::Automatic;
    std::size_t levels = 1;  // 1, or up to MostOgfLevels(): the smaller ones box-filtered
};

// True when some pixel's alpha is neither 0 nor 255, which 1555 cannot keep.
bool HasGradedAlpha(const ImageLevel& image);

// The most levels an image of this size can have before a level would be 0 pixels wide or high.
std::size_t MostOgfLevels(std::uint32_t width, std::uint32_t height);

// RGBA to the game's 16-bit words, by truncation: 1555 makes alpha 0 transparent (0x0000) and any other alpha
// opaque; 4444 keeps the high 4 bits of every channel.
std::vector<std::uint16_t> ToOgfWords(const ImageLevel& image, bool as4444);

// The next level down of `words` (width x height), as the game makes it: each pixel from a 2 x 2 block. In
// 1555 a block of more than 2 transparent pixels stays transparent, otherwise each channel is the sum over the
// opaque pixels divided by 4; in 4444 every channel, alpha too, is the sum over the 4 pixels divided by 4.
std::vector<std::uint16_t> BoxFilterOgfLevel(const std::vector<std::uint16_t>& words,
                                             std::uint32_t width,
                                             std::uint32_t height,
                                             bool as4444);

// The bytes of an OGF as the game writes it: type 122 (1555) or 121 (4444), the name, the level count, the
// size, and each level run-length coded. Built in memory; the caller writes the file. False, with `error`
// saying why, when the image or the options cannot make one.
bool EncodeOgf(const ImageLevel& image, const OgfOptions& options, std::vector<std::uint8_t>& out, std::string& error);

}  // namespace torvale
