#pragma once

#include <cstdint>
#include <span>

#include "scene/geometry.h"

namespace torvale {

// The level editor's limits on a face's shape: the sine of the turn at a corner against the face's turning, and
// a corner's distance along the normal from the corners' average.
inline constexpr float kConcaveLimit = 0.05f;
inline constexpr float kPlanarLimit = 0.1f;

// The first corner where a face's outline, projected along its computed normal, turns against the face: the edge
// into corner k is v[k-1] -> v[k], the edge out of it v[k] -> v[k+1]. -1 when the face is convex.
std::int64_t ConcaveCorner(std::span<const Vector3> corners, const Vector3& normal);
// Whether every corner lies within kPlanarLimit of the corners' average along the normal (a triangle always does).
bool IsPlanar(std::span<const Vector3> corners, const Vector3& normal);

}  // namespace torvale
