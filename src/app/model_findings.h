#pragma once

#include <cstddef>
#include <vector>

#include "oof/object_model.h"
#include "orf/room.h"
#include "scene/scene.h"

namespace torvale {

// The faces the room check finds fault with, as numbers of the room's faces (ascending, each once): in a room
// as read, or in the one combined room the model would export (its faces are the sub-objects' faces in order,
// as the preview numbers them). A model whose rooms the level editor could not take has none.
std::vector<std::size_t> FlaggedFacesOf(const Room& room);
std::vector<std::size_t> FlaggedFacesOf(const Scene& scene);
// The same for a model as an OOF file left it: none when the model is damaged.
std::vector<std::size_t> FlaggedFacesOf(const ObjectModel& model);

}  // namespace torvale
