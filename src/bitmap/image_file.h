#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "bitmap/image.h"

namespace torvale {

// Reads an image file that a model names for a texture, told apart by its content: PNG, or one of the game's
// own TGA and OGF bitmaps (ReadGameBitmap). A JPEG is refused by name. On failure `error` is one line saying
// why, and `image` is left as it was.
bool ReadImageFile(std::span<const std::uint8_t> bytes, Image& image, std::string& error);

}  // namespace torvale
