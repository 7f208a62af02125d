#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "oof/object_model.h"

namespace torvale {

// A room holds at most this many vertices: corners name them with 16-bit indices.
inline constexpr std::int64_t kRoomVertexLimit = 32767;

// Finds damaged model data in what the chosen mode reads: both modes read every sub-object's vertices,
// faces, corners and texture indices; only the combined room also walks the parent chains and adds the
// offsets. Returns an empty text when the model can be exported, otherwise one line saying what is wrong.
std::string FindExportDamage(const ObjectModel& model, bool combineSubObjects);

// The sub-object's own offset plus that of its parent, grandparent and so on up to the root, each step a
// single-precision addition in that order. The model must have passed FindExportDamage for the combined room.
Vector3 WorldOffset(const ObjectModel& model, std::size_t index);

}  // namespace torvale
