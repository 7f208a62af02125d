#pragma once

// Sub-objects that the game draws from one face (a glow, a thruster, a billboard): a model made elsewhere
// brings that face as triangles, which are joined back into the one polygon they cover.

#include <cstddef>
#include <string>
#include <string_view>

#include "scene/scene.h"

namespace torvale {

inline constexpr std::size_t kSingleFaceMaxCorners = 30;

// Whether the game wants exactly one face of a sub-object with these properties: the command (the text up to
// and including the first '=', or all of it) is "$glow=" or "$thruster=", or begins with "$facing", without
// regard to case and with nothing trimmed; a text shorter than 3 characters is no command.
bool WantsSingleFace(std::string_view properties);

// Joins the faces of `object` into one when they are triangles of one texture (or colour) lying in one plane,
// facing the same way, that together cover a single convex polygon of at most 30 corners, met in shared
// vertices with the same UVs. The polygon keeps the triangles' winding and each corner's UV, and starts at the
// first face's first corner. One face, or none, is left as it is. Otherwise returns false, `object` untouched,
// with why in `why` (no label: the caller names the sub-object).
bool JoinSingleFace(SceneObject& object, std::string& why);

// JoinSingleFace for every sub-object whose properties want one face. On the first that cannot be joined
// returns false with one line naming it and why; sub-objects joined before it stay joined.
bool JoinSingleFaces(Scene& scene, std::string& error);

}  // namespace torvale
