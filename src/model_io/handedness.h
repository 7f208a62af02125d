#pragma once

#include "oof/object_model.h"

namespace torvale {

// The game's frame is left-handed (+x right, +y up, +z forward); glTF and OBJ are right-handed (+y up, the
// front towards +z, -x to the right). A point (x, y, z) of one is (-x, y, z) of the other, and a face keeps its
// front only with its corners in the reverse order. The change is its own inverse: readers apply it to what
// the file says, writers to a copy of the model before they write it.
//
// Negates x of every position, offset, normal and point direction of `model`, swaps the x of its bounding box
// and reverses the corners (with their UVs) of every face, keeping its first corner first (a, b, c, d becomes
// a, d, c, b), so that a fan from the first corner splits a face along the same diagonal either way.
void SwitchHandedness(ObjectModel& model);

// The model as the right-handed formats store it (see SwitchHandedness).
ObjectModel InOtherHandedness(const ObjectModel& model);

}  // namespace torvale
