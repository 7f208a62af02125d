#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "scene/scene.h"

namespace torvale {

// True when every turn of the polygon agrees with `normal` (a polygon on a line counts as not convex).
bool IsConvexPolygon(std::span<const Vector3> corners, const Vector3& normal);

// Cuts a polygon into triangles that keep its winding: a fan from the first corner when it is convex, ear
// clipping otherwise. Appends corner numbers (0-based, three per triangle) to `triangles`. Returns false and
// appends nothing for a polygon without area.
bool TriangulatePolygon(std::span<const Vector3> corners, std::vector<std::uint32_t>& triangles);

// The scene's world positions: a sub-object's vertices moved by its attach offset and those of all its
// parents, added to zero in that order.
Vector3 WorldOffsetOf(const Scene& scene, std::size_t subObject);

// The name an untextured face's colour goes by in glTF and OBJ materials: "rgb_7d66f3".
std::string ColorMaterialName(const FaceColor& color);

}  // namespace torvale
