#pragma once

#include <string>

#include "bitmap/image.h"

namespace torvale {

// A short block of lines about a bitmap: its name, type, size, pixel format and levels, then any notes.
std::string BitmapReport(const Image& image);

}  // namespace torvale
