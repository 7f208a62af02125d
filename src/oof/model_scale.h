#pragma once

#include <string>
#include <string_view>

#include "oof/object_model.h"

namespace torvale {

// A factor every export may scale the model by, for models built in other units (a modelling tool's 1 unit =
// 1 cm gives rooms a hundred times too small for the level editor's thresholds).
inline constexpr double kNoScale = 1.0;

// True for a factor a model can be scaled by: finite and above 0 (a negative one would turn the model inside
// out, 0 would fold it into a point). Tiny and huge factors stay allowed; the room check judges the result.
bool IsScaleFactor(double factor);

// The factor written as text: "100", "0.0254", "1E+07".
std::string ScaleText(double factor);

// Multiplies every position of the model by `factor`: vertices, offsets, centres, radii, plane distances,
// special points, position keys, gun points, attach and ground points, and the bounds. Directions and normals
// keep their length. `factor` must pass IsScaleFactor.
void ScaleModel(ObjectModel& model, double factor);

}  // namespace torvale
