#pragma once

#include <cstddef>
#include <vector>

#include "oof/object_model.h"
#include "orf/room.h"

namespace torvale {

// The faces the room check finds fault with, as numbers of the room's faces (ascending, each once): in a room
// as read, or in the one combined room the model would export (its faces are the sub-objects' faces in order,
// as the preview numbers them). A model the export would refuse as damaged has none.
std::vector<std::size_t> FlaggedFacesOf(const Room& room);
std::vector<std::size_t> FlaggedFacesOf(const ObjectModel& model);

}  // namespace torvale
