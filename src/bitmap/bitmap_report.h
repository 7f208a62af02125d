#pragma once

#include <string>
#include <string_view>

#include "bitmap/animated_texture.h"

#include "bitmap/image.h"

namespace torvale {

// A short block of lines about a bitmap: its name, type, size, pixel format and levels, then any notes.
std::string BitmapReport(const Image& image);

// The same for an animated texture read from the file `fileName`: its version, frames and frame time, the first
// frame's size and pixel format, then each frame's name inside and size, then any notes.
std::string AnimatedTextureReport(const AnimatedTexture& texture, std::string_view fileName);

}  // namespace torvale
