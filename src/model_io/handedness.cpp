#include "model_io/handedness.h"

#include <algorithm>
#include <utility>

namespace torvale {
namespace {

// Zero stays +0, so that a file never gains "-0" where the model had 0.
void FlipX(Vector3& v) {
    v.x = v.x == 0.0f ? 0.0f : -v.x;
}

void FlipAll(std::vector<Vector3>& values) {
    for (Vector3& v : values)
        FlipX(v);
}

void FlipPoints(std::vector<PointRecord>& points) {
    for (PointRecord& p : points) {
        FlipX(p.location);
        FlipX(p.direction);
    }
}

}  // namespace

void SwitchHandedness(ObjectModel& model) {
    for (SubObject& sub : model.subObjects) {
        FlipAll(sub.vertexPositions);
        FlipAll(sub.vertexNormals);
        FlipAll(sub.faceNormals);
        FlipAll(sub.specialPointPositions);
        FlipAll(sub.positionKeys);
        FlipX(sub.modelVector);
        FlipX(sub.modelPoint);
        FlipX(sub.attachOffset);
        FlipX(sub.geometricCenter);
        const std::size_t faces = std::min(sub.faceFirstCorner.size(), sub.faceVertexCounts.size());
        for (std::size_t f = 0; f < faces; ++f) {
            const std::size_t first = sub.faceFirstCorner[f];
            const auto count = static_cast<std::size_t>(std::max(sub.faceVertexCounts[f], 0));
            if (count > 1 && first <= sub.faceVertices.size() && count <= sub.faceVertices.size() - first)
                std::reverse(sub.faceVertices.begin() + static_cast<std::ptrdiff_t>(first + 1),
                             sub.faceVertices.begin() + static_cast<std::ptrdiff_t>(first + count));
        }
    }
    FlipPoints(model.gunpoints);
    FlipPoints(model.attachPoints);
    FlipPoints(model.attachNormals);
    FlipPoints(model.groundPoints);
    std::swap(model.boundsMin.x, model.boundsMax.x);
    FlipX(model.boundsMin);
    FlipX(model.boundsMax);
}

ObjectModel InOtherHandedness(const ObjectModel& model) {
    ObjectModel copy = model;
    SwitchHandedness(copy);
    return copy;
}

}  // namespace torvale
