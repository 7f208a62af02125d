#include "oof/model_scale.h"

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

void ScalePoints(std::vector<Vector3>& points, float f) {
    for (Vector3& p : points)
        Scale(p, f);
}

void ScaleLocations(std::vector<PointRecord>& records, float f) {
    for (PointRecord& record : records)
        Scale(record.location, f);
}

}  // namespace

bool IsScaleFactor(double factor) {
    return std::isfinite(factor) && factor > 0.0;
}

std::string ScaleText(double factor) {
    return FormatSingle(static_cast<float>(factor));
}

void ScaleModel(ObjectModel& model, double factor) {
    const auto f = static_cast<float>(factor);
    for (SubObject& sub : model.subObjects) {
        Scale(sub.modelPoint, f);
        sub.modelD *= f;
        Scale(sub.attachOffset, f);
        sub.radius *= f;
        Scale(sub.geometricCenter, f);
        ScalePoints(sub.vertexPositions, f);
        ScalePoints(sub.specialPointPositions, f);
        for (float& radius : sub.specialPointRadii)
            radius *= f;
        ScalePoints(sub.positionKeys, f);
    }
    model.maxRadius *= f;
    Scale(model.boundsMin, f);
    Scale(model.boundsMax, f);
    // Attach normals are directions; the other point records are places.
    ScaleLocations(model.gunpoints, f);
    ScaleLocations(model.attachPoints, f);
    ScaleLocations(model.groundPoints, f);
}

}  // namespace torvale
