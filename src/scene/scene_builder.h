#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "scene/scene.h"

namespace torvale {

// Builds a Scene piece by piece for the readers: texture names are shared between sub-objects, every face's
// stored normal is computed from its corners, and finish() hands the scene over only once ValidateScene has
// passed it, so that a reader cannot hand out a broken one.
class SceneBuilder {
public:
    // The texture's index, adding the name the first time it is seen.
    std::int32_t texture(std::string_view name);
    // Starts a sub-object and returns its number; the following vertices and faces go into it. `vertices` is
    // how many vertices it will likely get (a hint that spares growing its tables; 0 when unknown).
    std::int32_t subObject(std::string_view name,
                           std::int32_t parent,
                           const Vector3& offset,
                           std::size_t expectedVertices = 0);
    // Makes room for `vertices` more vertices in the current sub-object, so that adding them (and joining them
    // by position) grows no table on the way.
    void reserve(std::size_t vertices);
    // Adds a vertex to the current sub-object and returns its number there.
    std::uint32_t vertex(const Vector3& position);
    // The current sub-object's vertex at exactly this position (bit for bit), added the first time it is seen.
    // For formats that repeat a position per face (glTF keeps a corner's normal and UV with its vertex), so that
    // the faces of a room meet in shared vertices as the level editor wants them.
    std::uint32_t sharedVertex(const Vector3& position);
    // Adds a face to the current sub-object: `texture` kUntextured makes it untextured with `color`.
    void face(std::span<const SceneCorner> corners, std::int32_t texture, const FaceColor& color = {});

    std::size_t subObjectCount() const { return scene_.objects.size(); }
    // The gun, attach and ground point tables, filled directly.
    Scene& scene() { return scene_; }

    // The finished scene, or false with the first reason it is not valid (see ValidateScene) in `error`.
    // Either way the builder is empty again.
    bool finish(Scene& scene, std::string& error);

private:
    void growJoinTable();

    Scene scene_;
    std::map<std::string, std::int32_t, std::less<>> textures_;
    // Open addressing over the current sub-object's positions: each slot holds a vertex number + 1, or 0.
    std::vector<std::uint32_t> joinSlots_;
    std::size_t joined_ = 0;
    std::vector<Vector3> facePositions_;  // scratch for one face's normal
};

}  // namespace torvale
