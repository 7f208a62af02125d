#pragma once

#include <functional>

#include <cstddef>
#include <cstdint>
#include <string>

#include "oof/object_model.h"

namespace torvale {

// A room names its textures with 16-bit indices.
inline constexpr std::int64_t kRoomTextureLimit = 32767;

// The room file a sub-object's faces go to (its number from 0), or the combined room (kCombinedRoom), as the
// export names them; refusals name the room by it.
inline constexpr std::size_t kCombinedRoom = static_cast<std::size_t>(-1);
using RoomNamer = std::function<std::string(std::size_t subObject)>;

// Finds what keeps the model from being exported in the chosen mode: damaged model data in what the mode
// reads (both modes read every sub-object's vertices, faces, corners and texture indices; only the combined
// room also walks the parent chains and adds the offsets), and rooms beyond the level editor's hard limits
// (more than 10000 vertices or 3000 faces, a face of fewer than 3 or more than 64 corners), which would crash
// it. Returns an empty text when the model can be exported, otherwise one line saying what is wrong, which
// room and what to do; `roomName` names the rooms (without it they are named by sub-object).
std::string FindExportDamage(const ObjectModel& model, bool combineSubObjects, const RoomNamer& roomName = {});

// The sub-object's own offset plus that of its parent, grandparent and so on up to the root, each step a
// single-precision addition in that order. The model must have passed FindExportDamage for the combined room.
Vector3 WorldOffset(const ObjectModel& model, std::size_t index);

}  // namespace torvale
