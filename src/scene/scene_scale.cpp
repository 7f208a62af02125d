#include "scene/scene_scale.h"

#include <cmath>

#include "core/number_text.h"

namespace torvale {
namespace {

// Scaled in single precision, as the model stores it.
void Scale(Vector3& v, float f) {
    v.x *= f;
    v.y *= f;
    v.z *= f;
}

void ScalePositions(std::vector<ScenePoint>& points, float f) {
    for (ScenePoint& point : points)
        Scale(point.position, f);
}

}  // namespace

bool IsScaleFactor(double factor) {
    return std::isfinite(factor) && factor > 0.0;
}

std::string ScaleText(double factor) {
    return FormatSingle(static_cast<float>(factor));
}

std::string ScaleScene(Scene& scene, double factor) {
    const auto f = static_cast<float>(factor);
    for (SceneObject& object : scene.objects) {
        Scale(object.offset, f);
        for (Vector3& p : object.positions)
            Scale(p, f);
        for (SpecialPoint& point : object.specialPoints) {
            Scale(point.position, f);
            point.radius *= f;
        }
    }
    // Attach normals are directions; the other points are places.
    ScalePositions(scene.gunpoints, f);
    ScalePositions(scene.attachPoints, f);
    ScalePositions(scene.groundPoints, f);
    return ValidateScene(scene);
}

}  // namespace torvale
