#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "bitmap/texture_images.h"
#include "model_io/resource_loader.h"
#include "scene/scene.h"

namespace torvale {

// Reads a Wavefront OBJ model held in memory into `scene`; `loader` gives the material libraries (.mtl) it
// names. Each `o` statement starts a sub-object (or each `g` when the file has no `o`), with no parent and no
// offset; sub-objects without faces are dropped. Polygons stay polygons in their corner order; a material's
// map_Kd file name (without extension), or else its `usemtl` name (a Blender copy suffix ".001" dropped when
// the material without it exists too), becomes the texture name; a material named
// "rgb_xxxxxx" without map_Kd, or no material at all, makes untextured faces in its Kd colour (white without).
// v becomes 1 - v. A material library that cannot be read is noted in `notes` and its names still used.
// On refusal returns false, `error` is one line naming `title`, the line and why, and `scene` is untouched.
// With `images`, each texture's map_Kd file (its options, such as "-s 1 1 1", skipped) is read through
// `loader` too: one slot per texture of the scene; a file that cannot be read is a note and an empty slot.
// Without `images` no image is read at all.
bool ReadObjModel(std::span<const std::uint8_t> bytes,
                  std::string_view title,
                  const ResourceLoader& loader,
                  Scene& scene,
                  std::vector<std::string>& notes,
                  std::string& error,
                  TextureImages* images = nullptr);

}  // namespace torvale
