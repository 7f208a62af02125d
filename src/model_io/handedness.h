#pragma once

#include "scene/scene.h"

namespace torvale {

// The game's frame is left-handed (+x right, +y up, +z forward); glTF and OBJ are right-handed (+y up, the
// front towards +z, -x to the right). A point (x, y, z) of one is (-x, y, z) of the other, and a face keeps its
// front only with its corners in the reverse order. The change is its own inverse: readers apply it to what
// the file says, writers to a copy of the scene before they write it.
//
// Negates x of every position, offset, normal, special point and point direction of `scene` and reverses the
// corners (with their UVs) of every face, keeping its first corner first (a, b, c, d becomes a, d, c, b), so
// that a fan from the first corner splits a face along the same diagonal either way.
void SwitchHandedness(Scene& scene);

// The scene as the right-handed formats store it (see SwitchHandedness).
Scene InOtherHandedness(const Scene& scene);

}  // namespace torvale
