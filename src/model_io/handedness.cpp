#include "model_io/handedness.h"

#include <algorithm>

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

void FlipPoints(std::vector<ScenePoint>& points) {
    for (ScenePoint& p : points) {
        FlipX(p.position);
        FlipX(p.direction);
    }
}

}  // namespace

void SwitchHandedness(Scene& scene) {
    for (SceneObject& object : scene.objects) {
        FlipAll(object.positions);
        FlipAll(object.normals);
        FlipX(object.offset);
        for (SpecialPoint& point : object.specialPoints)
            FlipX(point.position);
        for (SceneFace& face : object.faces) {
            FlipX(face.normal);
            if (face.cornerCount > 1) {
                SceneCorner* first = object.corners.data() + face.firstCorner;
                std::reverse(first + 1, first + face.cornerCount);
            }
        }
    }
    FlipPoints(scene.gunpoints);
    FlipPoints(scene.attachPoints);
    FlipPoints(scene.attachNormals);
    FlipPoints(scene.groundPoints);
}

Scene InOtherHandedness(const Scene& scene) {
    Scene copy = scene;
    SwitchHandedness(copy);
    return copy;
}

}  // namespace torvale
