#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "bitmap/image.h"

namespace torvale {

// True when the bytes begin with the PNG signature.
bool IsPng(std::span<const std::uint8_t> bytes);

// Reads a PNG of any colour type and depth into RGBA, 8 bits a channel. On failure `error` is one line and
// `image` is left as it was.
bool ReadPngImage(std::span<const std::uint8_t> bytes, Image& image, std::string& error);

// The bytes of a PNG file of the image (8-bit RGBA); empty when the image's size and pixels do not match.
std::vector<std::uint8_t> EncodePngImage(const ImageLevel& image);

// The bytes of a PNG file of `pixels`: rows from the top, `channels` bytes a pixel (3 RGB, 4 RGBA), no
// padding. Empty when the size is 0 or too large for the encoder, or the pixels do not fill it.
std::vector<std::uint8_t> EncodePngPixels(std::uint32_t width,
                                          std::uint32_t height,
                                          unsigned channels,
                                          std::span<const std::uint8_t> pixels);

}  // namespace torvale
