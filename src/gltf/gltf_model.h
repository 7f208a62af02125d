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

// Reads a glTF 2.0 model held in memory, either a .gltf (JSON; its buffers come through `loader`, data: URIs
// are decoded in place) or a .glb, into `scene`.
// - Every node with a mesh becomes a sub-object, in the order the scene's node tree is walked; its parent is
//   the nearest ancestor node that has a mesh (or -1), its attach offset the distance from that ancestor.
// - Rotations and scales of the tree are applied to the vertices (a note says so); a node that mirrors has
//   its triangles' corners reversed so that they keep facing out.
// - Triangles become faces; a material's base-colour image file name (without extension; the name of an image
//   kept inside the file), or else its name, becomes the texture name. Faces without a material, or whose material is
//   only a colour (no name, or named "rgb_xxxxxx"), are untextured in that colour (white without a material).
// - Empty nodes named "gunpoint...", "attach..." or "ground..." under a mesh node become those points.
// `notes` receives one line per thing the log should mention. On refusal returns false, `error` is one line
// naming `title`, the element and why, and `scene` is untouched.
// With `images`, the base-colour images the texture names came from are read too (embedded in a buffer view,
// in a data: URI, or a file beside the model through `loader`): one slot per texture of the scene. An image
// that cannot be read is a note and an empty slot; without `images` no image is read at all.
bool ReadGltfModel(std::span<const std::uint8_t> bytes,
                   std::string_view title,
                   const ResourceLoader& loader,
                   Scene& scene,
                   std::vector<std::string>& notes,
                   std::string& error,
                   TextureImages* images = nullptr);

}  // namespace torvale
