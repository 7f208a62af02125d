#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "scene/scene.h"

namespace torvale {

// A room names its textures with 16-bit indices.
inline constexpr std::int64_t kRoomTextureLimit = 32767;

// The room file a sub-object's faces go to (its number from 0), or the combined room (kCombinedRoom), as the
// export names them; refusals name the room by it.
inline constexpr std::size_t kCombinedRoom = static_cast<std::size_t>(-1);
using RoomNamer = std::function<std::string(std::size_t subObject)>;

// What keeps a valid scene from becoming rooms in the chosen mode: more textures than a room can name, and
// rooms beyond the level editor's hard limits (more than 10000 vertices or 3000 faces, a face of fewer than 3
// or more than 64 corners, faces beyond what a chunk's length can say), which would crash it. Returns an
// empty text when the rooms can be built, otherwise one line saying which room, what is wrong and what to do;
// `roomName` names the rooms (without it they are named by sub-object).
std::string FindRoomLimitProblem(const Scene& scene, bool combineSubObjects, const RoomNamer& roomName = {});

}  // namespace torvale
