#pragma once

#include <cstddef>
#include <vector>

#include "orf/room.h"
#include "scene/scene.h"

namespace torvale {

// The faces the room check finds fault with, as numbers of the room's faces (ascending, each once): in a room
// as read, or in the one combined room the model would export (its faces are the sub-objects' faces in order,
// as the preview numbers them). A model whose rooms the level editor could not take has none.
std::vector<std::size_t> FlaggedFacesOf(const Room& room);
std::vector<std::size_t> FlaggedFacesOf(const Scene& scene);

}  // namespace torvale
