#pragma once

// The model every format is read into and written from: sub-objects with their vertices and polygons, the
// texture names they share, and the model's points. A Scene that a reader or SceneBuilder hands out is valid
// (see ValidateScene): its numbers are finite, its indices in range, its parent chains end at a root and its
// names hold no zero byte, so that nothing that reads it has to check again.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "scene/geometry.h"

namespace torvale {

// The texture number of a face drawn in its flat colour.
inline constexpr std::int32_t kUntextured = -1;

struct SceneCorner {
    std::uint32_t vertex = 0;  // into the sub-object's positions
    float u = 0.0f;
    float v = 0.0f;
    friend bool operator==(const SceneCorner&, const SceneCorner&) = default;
};

// A polygon: its corners are corners[firstCorner .. firstCorner + cornerCount) of its sub-object.
struct SceneFace {
    std::uint32_t firstCorner = 0;
    std::uint32_t cornerCount = 0;
    std::int32_t texture = kUntextured;  // into Scene::textures, or kUntextured
    FaceColor color;                     // of an untextured face
    Vector3 normal;                      // as the model stores it
};

// A gun, attach or ground point: where it is in its sub-object's frame and which way it points.
struct ScenePoint {
    std::int32_t parent = -1;  // the sub-object it belongs to, or -1
    Vector3 position;
    Vector3 direction;
};

struct SpecialPoint {
    std::string name;
    std::string properties;
    Vector3 position;
    float radius = 0.0f;
};

// A key of a rotation track: from `frame` on, a turn by `angle` (1/65536 of a turn, used modulo a whole turn)
// about `axis` (in the parent's frame) composed after the turns of the keys before it.
struct RotationKey {
    std::int32_t frame = 0;
    Vector3 axis;
    std::int32_t angle = 0;
    friend bool operator==(const RotationKey&, const RotationKey&) = default;
};

// A key of a position track: from `frame` on, `position` added to the sub-object's offset.
struct PositionKey {
    std::int32_t frame = 0;
    Vector3 position;
    friend bool operator==(const PositionKey&, const PositionKey&) = default;
};

// A sub-object's keys and the frames its track spans. A track of fewer than two keys does not move.
template <typename Key>
struct KeyTrack {
    std::int32_t firstFrame = 0;
    std::int32_t lastFrame = 0;
    std::vector<Key> keys;
    friend bool operator==(const KeyTrack&, const KeyTrack&) = default;
};

// A weapon battery: the gun points it fires from and the turret sub-objects that aim them, in order.
struct WeaponBattery {
    std::vector<std::int32_t> guns;     // into Scene::gunpoints
    std::vector<std::int32_t> turrets;  // into Scene::objects
    friend bool operator==(const WeaponBattery&, const WeaponBattery&) = default;
};

struct SceneObject {
    std::string name;
    std::string properties;
    std::int32_t parent = -1;  // an earlier or later sub-object, or -1 for a root
    Vector3 offset;            // from the parent
    std::int32_t movementType = 0;
    std::int32_t movementAxis = 0;

    std::vector<Vector3> positions;
    std::vector<Vector3> normals;  // one per position
    std::vector<float> alphas;     // one per position
    std::vector<SceneFace> faces;
    std::vector<SceneCorner> corners;
    std::vector<SpecialPoint> specialPoints;
    KeyTrack<RotationKey> rotation;
    KeyTrack<PositionKey> position;

    std::span<const SceneCorner> cornersOf(const SceneFace& face) const {
        return {corners.data() + face.firstCorner, face.cornerCount};
    }
};

struct Scene {
    std::vector<std::string> textures;  // without a trailing zero
    std::vector<SceneObject> objects;
    std::vector<ScenePoint> gunpoints;
    std::vector<ScenePoint> attachPoints;
    std::vector<ScenePoint> attachNormals;  // directions of the attach points
    std::vector<ScenePoint> groundPoints;
    std::vector<WeaponBattery> batteries;

    std::size_t vertexCount() const;
    std::size_t faceCount() const;
};

// "sub-object #3": how messages name a sub-object.
std::string SubObjectLabel(std::size_t index);

// Returns an empty text for a valid scene, otherwise one line saying what is wrong with its first broken
// element: a position, normal, texture coordinate, offset, point or key that is not a finite number (also the
// offsets of a parent chain added up), a corner naming a vertex the sub-object lacks, a texture number beyond
// the names, a parent out of range or a chain that loops, a zero byte in a name, or tables of unequal length.
// Weapon batteries are kept as the input gives them: what they name is judged where they are written.
std::string ValidateScene(const Scene& scene);

// Hands `built` over to `scene` when ValidateScene passes it; otherwise returns false with its reason in `error`
// and leaves `scene` as it was. The one door through which readers give out a scene.
bool AcceptScene(Scene&& built, Scene& scene, std::string& error);

// "vertices 0 to 4", or `none` for a count of 0: the range of numbers a table of `count` elements answers to.
std::string NumberRange(std::int64_t count, const char* none, const char* what);

// The sub-object's own offset plus that of its parent, grandparent and so on up to the root, each step a
// single-precision addition in that order (the order the combined room adds them in).
Vector3 WorldOffset(const Scene& scene, std::size_t index);

// The lowest and highest world positions of all vertices; false for a scene without vertices.
bool SceneBounds(const Scene& scene, Vector3& low, Vector3& high);

}  // namespace torvale
