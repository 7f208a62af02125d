#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "oof/object_model.h"

namespace torvale {

// Builds an ObjectModel from the outside formats (glTF, OBJ): texture names are shared between sub-objects,
// every face's stored normal is computed from its corners, and names are stored with their trailing zero as
// an OOF file stores them.
class ModelAssembler {
public:
    // The texture's index, adding the name the first time it is seen.
    std::int32_t texture(std::string_view name);
    // Starts a sub-object and returns its number; the following vertices and faces go into it.
    std::int32_t subObject(std::string_view name, std::int32_t parent, const Vector3& attachOffset);
    // Adds a vertex to the current sub-object and returns its number there.
    std::int32_t vertex(const Vector3& position);
    // The current sub-object's vertex at exactly this position, added the first time it is seen. For formats
    // that repeat a position per face (glTF keeps a corner's normal and UV with its vertex), so that the faces
    // of a room meet in shared vertices as the level editor wants them.
    std::int32_t sharedVertex(const Vector3& position);
    // Adds a face to the current sub-object: `textureIndex` -1 makes it untextured with `color`.
    void face(std::span<const FaceVertex> corners, std::int32_t textureIndex, const FaceColor& color = {});

    std::size_t subObjectCount() const { return model_.subObjects.size(); }
    // The finished model: counts, capacities of the point tables and the bounding box set.
    ObjectModel finish();

private:
    ObjectModel model_;
    std::map<std::string, std::int32_t, std::less<>> textures_;
    std::unordered_map<std::uint64_t, std::vector<std::int32_t>> positions_;  // of the current sub-object
};

}  // namespace torvale
