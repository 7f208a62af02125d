#pragma once

// Object models (OOF, version 2300) written from a scene, as the game loads them: every field the game trusts
// computed afresh (face normals from the corners' winding, radii, boxes and centres), every limit of the game
// refused with one line before anything is written.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "scene/scene.h"

namespace torvale {

inline constexpr std::int32_t kOofWriteVersion = 2300;

// The game's limits for an object model.
inline constexpr std::size_t kOofMaxSubObjects = 30;
inline constexpr std::size_t kOofMaxDepth = 29;              // sub-objects on a chain from a root to a leaf
inline constexpr std::size_t kOofMaxVertices = 2499;         // per sub-object
inline constexpr std::size_t kOofMaxFaces = 3000;            // per sub-object
inline constexpr std::size_t kOofMaxCorners = 32;            // per face that can be hit
inline constexpr std::size_t kOofMaxSingleFaceCorners = 30;  // the one face of a glow, thruster or billboard
inline constexpr std::size_t kOofMaxTextures = 34;
inline constexpr std::size_t kOofMaxNameLength = 34;          // a sub-object's name, without its zero byte
inline constexpr std::size_t kOofMaxTextureNameLength = 127;  // what the file can hold; 34 find a page
inline constexpr std::size_t kOofMaxPropertyLength = 255;
inline constexpr std::size_t kOofMaxPropertyPart = 199;  // the command up to its '=', and the data after it
inline constexpr std::size_t kOofMaxBatteries = 21;
inline constexpr std::size_t kOofMaxBatteryEntries = 8;  // guns, and turrets, per battery
inline constexpr std::size_t kOofMaxAttachPoints = 127;
inline constexpr std::int32_t kOofMaxFrame = 32767;

// What the writer did beyond copying: faces of more corners than the game takes that were cut into several.
struct OofWriteNotes {
    std::size_t splitFaces = 0;
};

// Encodes `scene` as an OOF file of version 2300. The sub-objects' vertices, offsets, hierarchy, names and
// properties, the faces with their texture coordinates and textures (flat colours for untextured ones), the
// points, batteries and key tracks are written as the scene has them; face normals, vertex normals the scene
// leaves at zero, radii, boxes and geometric centres are computed. A face of more than 32 corners is cut into
// fans of at most 32 (30 in a sub-object whose property wants exactly one face, which is refused instead).
// Special points are written for the sub-objects that have them (only a model read from an OOF has any).
// On a scene the game could not load, returns false with one line in `error` naming the element and the limit,
// and `bytes` untouched.
bool EncodeOof(const Scene& scene,
               std::vector<std::uint8_t>& bytes,
               std::string& error,
               OofWriteNotes* notes = nullptr);

// The largest distance from the model's origin of any vertex at rest (offsets of the parents added).
float ModelRadius(const Scene& scene);

}  // namespace torvale
