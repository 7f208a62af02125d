#pragma once

#include <cstdint>

#include "bitmap/image.h"

namespace torvale {

// The side of the square texture an image of this size becomes: the largest of 32, 64 and 128 that is not
// larger than its longer side, and 32 for anything smaller (the sizes the level editor takes for a texture).
std::uint32_t TextureSquareSide(std::uint32_t width, std::uint32_t height);

// `image` scaled to `width` x `height` by area averaging: each new pixel is the mean of the old pixels it
// covers, each weighted by the part of it that lies under the new one (so an enlargement blends only at the
// edges between old pixels). Colours are averaged weighted by their alpha, so that a transparent pixel gives no
// colour to its neighbours. An empty image, or a size of 0, gives an empty level.
ImageLevel ResizeImage(const ImageLevel& image, std::uint32_t width, std::uint32_t height);

}  // namespace torvale
