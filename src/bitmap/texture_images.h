#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "bitmap/image.h"

namespace torvale {

// An image found for one of a model's textures, and where it was found.
struct FoundImage {
    std::shared_ptr<const Image> image;  // the still image, or an animated texture's first frame; null: none found
    std::string origin;                  // for log lines: "textures/Brick.png", "d3.hog: Brick.ogf"
    bool pageBitmap = false;             // the bitmap file a texture page of the game's tables names
};

// The images of a scene's textures: slot k belongs to Scene::textures[k]. A table shorter than the names, or an
// empty slot, means that no image was found for those names, and they are drawn and written as without one.
using TextureImages = std::vector<FoundImage>;

// The image for texture `texture` of a scene, or null.
inline const Image* ImageOfTexture(const TextureImages& images, std::int32_t texture) {
    if (texture < 0 || static_cast<std::size_t>(texture) >= images.size())
        return nullptr;
    return images[static_cast<std::size_t>(texture)].image.get();
}

}  // namespace torvale
