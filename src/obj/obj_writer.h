#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "oof/object_model.h"

namespace torvale {

// An OBJ file's text and the material library it names.
struct ObjFiles {
    std::string obj;
    std::string mtl;
};

// The model as OBJ: an `o` per sub-object that has faces, its vertices at world positions (the attach offsets
// of its parent chain applied), polygons kept in their corner order, v written as 1 - v; a material per texture
// named after it, and per face colour named "rgb_7d66f3" with that Kd. A face naming a vertex its sub-object
// lacks is left out with a line in `warnings`.
ObjFiles BuildObj(const ObjectModel& model, std::string_view mtlName, std::vector<std::string>& warnings);

// Writes `path` and a .mtl of the same name beside it, each replaced atomically; on failure `error` says why.
bool WriteObjModel(const ObjectModel& model,
                   const std::string& path,
                   std::vector<std::string>& warnings,
                   std::string& error);

}  // namespace torvale
