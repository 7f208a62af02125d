#pragma once

#include <string>
#include <string_view>

#include "scene/scene.h"

namespace torvale {

// A factor every export may scale the model by, for models built in other units (a modelling tool's 1 unit =
// 1 cm gives rooms a hundred times too small for the level editor's thresholds).
inline constexpr double kNoScale = 1.0;

// True for a factor a model can be scaled by: finite and above 0 (a negative one would turn the model inside
// out, 0 would fold it into a point). Tiny and huge factors stay allowed; the room check judges the result.
bool IsScaleFactor(double factor);

// The factor written as text: "100", "0.0254", "1E+07".
std::string ScaleText(double factor);

// Multiplies every position of the scene by `factor`: vertices, offsets, special points with their radii, gun
// points, attach and ground points. Directions and normals keep their length. `factor` must pass
// IsScaleFactor. Returns an empty text, or (for numbers that grew beyond single precision) the one line of
// ValidateScene saying which element is no longer finite; the scene is then no longer valid.
std::string ScaleScene(Scene& scene, double factor);

}  // namespace torvale
