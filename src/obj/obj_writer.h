#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "bitmap/texture_images.h"
#include "model_io/texture_files.h"
#include "scene/scene.h"

namespace torvale {

// An OBJ file's text and the material library it names.
struct ObjFiles {
    std::string obj;
    std::string mtl;
    std::vector<std::string> notes;  // said once: names that had characters replaced that a user would miss
    std::vector<PngFile> images;     // the textures' PNG files the .mtl names, written beside it (none: not encoded)
};

// The model as OBJ: an `o` per sub-object that has faces, its vertices at world positions (the attach offsets
// of its parent chain applied), polygons kept in their corner order, v written as 1 - v; a material per texture
// named after it, and per face colour named "rgb_7d66f3" with that Kd. A face naming a vertex its sub-object
// lacks is left out with a line in `warnings`. Names are written with '_' in place of white space, control
// characters, '#' and '\\', which no OBJ statement holds in a form every reader takes back. A material of a
// texture that `images` has an image for names its PNG file (see PlanTextureFiles) in `map_Kd`.
ObjFiles BuildObj(const Scene& scene,
                  std::string_view mtlName,
                  std::vector<std::string>& warnings,
                  const TextureImages& images = {});

// The material library written beside the OBJ `path`: its name without extension, with the OBJ names'
// replacements ("sp ace.obj" gives "sp_ace.mtl"), and ".mtl".
std::string MtlPathFor(const std::string& objPath);
// The files WriteObjModel writes for `path`: the OBJ, its .mtl and the PNG files of the textures that have images.
std::vector<std::string> ObjOutputPaths(const std::string& path,
                                        const Scene& scene = {},
                                        const TextureImages& images = {});

// Writes `path`, its .mtl (MtlPathFor) and the textures' PNG files, all replaced together or not at all; on
// failure `error` says why.
// `notes` gets what the user should know about the names written.
bool WriteObjModel(const Scene& scene,
                   const std::string& path,
                   std::vector<std::string>& warnings,
                   std::vector<std::string>& notes,
                   std::string& error,
                   const TextureImages& images = {});

}  // namespace torvale
