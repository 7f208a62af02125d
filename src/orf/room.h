#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "scene/geometry.h"

namespace torvale {

// What the level editor and the game can hold (fixed-size buffers: more corrupts memory or crashes).
inline constexpr std::int64_t kEditorVertexLimit = 10000;
inline constexpr std::int64_t kEditorFaceLimit = 3000;
inline constexpr std::int64_t kEditorCornerLimit = 64;
// The editor keeps this many characters of a texture name; it reads the rest and drops it.
inline constexpr std::size_t kEditorTextureNameChars = 34;

struct RoomCorner {
    std::int32_t vertex = 0;
    float u = 0.0f;
    float v = 0.0f;
    float alpha = 1.0f;  // 1 in version-0 rooms, which store none
    friend bool operator==(const RoomCorner&, const RoomCorner&) = default;
};

struct RoomFace {
    Vector3 normal;  // as stored; the editor recomputes its own
    std::int32_t texture = 0;
    std::uint8_t lightMultiple = 4;  // in quarters (4 = 1.0); 4 in rooms before version 4, which store none
    std::uint32_t firstCorner = 0;
    std::uint32_t cornerCount = 0;
    friend bool operator==(const RoomFace&, const RoomFace&) = default;
};

// A room as the level editor sees it: plain tables, faces pointing into `corners`, corners into `vertices`.
struct Room {
    std::int32_t version = 4;  // as the file states it; versions above 4 are laid out like 4
    std::vector<Vector3> vertices;
    std::vector<std::string> textureNames;  // without their terminating zero
    std::vector<RoomFace> faces;
    std::vector<RoomCorner> corners;

    std::span<const RoomCorner> cornersOf(const RoomFace& face) const {
        return {corners.data() + face.firstCorner, face.cornerCount};
    }
};

}  // namespace torvale
