#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "bitmap/texture_images.h"
#include "model_io/resource_loader.h"

namespace torvale {

// The image that a model brings for one of its textures: decoded from `bytes` (ReadImageFile), with `origin`
// kept for the log. An image that cannot be decoded gives an empty FoundImage and one line in `notes`, naming
// `title`, the image and why; the model is read all the same.
FoundImage DecodeModelImage(std::span<const std::uint8_t> bytes,
                            const std::string& origin,
                            std::string_view title,
                            std::vector<std::string>& notes);

// The same for an image file the model names by `uri`, read through `loader` from the model's own folder. A
// file that is missing or unreadable is a note like a broken one. A name that leads out of the folder is no
// note: it refuses the whole model, as every other file a model names does, and `refusal` says why.
FoundImage ReadModelImage(std::string_view uri,
                          const ResourceLoader& loader,
                          std::string_view title,
                          std::vector<std::string>& notes,
                          std::string& refusal);

}  // namespace torvale
