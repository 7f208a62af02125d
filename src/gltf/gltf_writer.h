#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "bitmap/texture_images.h"
#include "model_io/texture_files.h"
#include "scene/scene.h"

namespace torvale {

// A .gltf file's JSON text and the .bin file it names.
struct GltfFiles {
    std::string json;
    std::vector<std::uint8_t> bin;
    std::vector<PngFile> images;  // the textures' PNG files the JSON names, written beside it (none: not encoded)
};

// The model as glTF 2.0: a node per sub-object (its name, its attach offset as translation, children as in the
// parent chain); a mesh per sub-object that has faces, with one primitive per texture or face colour holding
// POSITION, NORMAL (each face's own, so faces share no corners), TEXCOORD_0 and indices; a material per
// texture, named after it (extras.d3_texture), and per face colour, named "rgb_7d66f3" with that base colour
// (linear, see linear_color.h). Each sub-object node carries the model's record in its extras, in the game's own
// numbers (never mirrored): pof_name, pof_properties, pof_index, pof_movement_type, pof_movement_axis,
// pof_rotation_keys and pof_position_keys ({"first", "last", "keys"}), and on sub-object 0 pof_batteries.
// Gun, attach and ground points are empty nodes "Gun_N", "Attach_N", "Ground_N" under their sub-object, turned
// so that local +Y is the point's direction (and local -Z an attach point's up-vector), with pof_direction and
// pof_up in their extras. Sub-objects whose keys move them get channels of one animation (frame / 30 seconds).
// Polygons become triangles of the same winding (a fan when convex, ear clipping otherwise). A face without
// area, or naming a vertex its sub-object lacks, is left out with a line in `warnings`.
// A material of a texture that `images` has an image for takes it as its base colour texture (one sampler for
// all: repeated, filtered linearly), as a PNG (see PlanTextureFiles): in a GLB inside the binary chunk, in a
// .gltf as a file beside it. Without images the output is as it always was.
GltfFiles BuildGltf(const Scene& scene,
                    std::string_view binUri,
                    std::vector<std::string>& warnings,
                    const TextureImages& images = {});
std::vector<std::uint8_t> BuildGlb(const Scene& scene,
                                   std::vector<std::string>& warnings,
                                   const TextureImages& images = {});

// A file name as a glTF `uri`: percent-encoded but for unreserved characters and '/' (RFC 3986), so that a
// blank, a '%' or a '\\' (no separator on POSIX) reads back as the same name.
std::string GltfUriOf(std::string_view fileName);

// The files WriteGltfModel writes for `path`: the .glb alone, or the .gltf, the .bin beside it and the PNG
// files of the textures that have images.
std::vector<std::string> GltfOutputPaths(const std::string& path,
                                         const Scene& scene = {},
                                         const TextureImages& images = {});

// Writes `path` as one .glb when its extension is .glb (any case), otherwise as .gltf with a .bin of the same
// name beside it and the textures' PNG files. All files are replaced together or not at all; on failure `error`
// says why.
bool WriteGltfModel(const Scene& scene,
                    const std::string& path,
                    std::vector<std::string>& warnings,
                    std::string& error,
                    const TextureImages& images = {});

}  // namespace torvale
