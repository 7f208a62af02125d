#include "scene/scene.h"

#include <algorithm>
#include <cmath>

#include "core/number_text.h"

namespace torvale {
namespace {

std::string Number(std::size_t n) {
    return FormatInteger(static_cast<std::int64_t>(n));
}

std::string NameProblem(const std::string& name, const std::string& what) {
    if (name.find('\0') == std::string::npos)
        return {};
    return what + " holds a zero byte";
}

// The first broken element of one sub-object's own tables, in the order: vertices, faces (corners and texture
// numbers first, then their numbers), special points.
std::string FindObjectDamage(const SceneObject& object, std::size_t index, std::size_t textureCount) {
    const std::string label = SubObjectLabel(index);
    if (std::string problem = NameProblem(object.name, "the name of " + label); !problem.empty())
        return problem;
    if (std::string problem = NameProblem(object.properties, "the properties of " + label); !problem.empty())
        return problem;
    if (object.normals.size() != object.positions.size() || object.alphas.size() != object.positions.size())
        return label + " has " + Number(object.positions.size()) + " positions but " + Number(object.normals.size()) +
               " normals and " + Number(object.alphas.size()) + " alphas";
    const std::size_t vertices = object.positions.size();
    for (std::size_t f = 0; f < object.faces.size(); ++f) {
        const SceneFace& face = object.faces[f];
        const std::string faceLabel = label + ", face #" + Number(f);
        if (face.firstCorner > object.corners.size() || face.cornerCount > object.corners.size() - face.firstCorner)
            return faceLabel + " lists " + Number(face.cornerCount) + " corners, beyond the stored corners";
        if (face.texture < kUntextured || (face.texture >= 0 && static_cast<std::size_t>(face.texture) >= textureCount))
            return faceLabel + " uses texture " + FormatInteger(face.texture) + ", but the model has " +
                   NumberRange(static_cast<std::int64_t>(textureCount), "no textures", "textures");
        const std::span<const SceneCorner> corners = object.cornersOf(face);
        for (std::size_t k = 0; k < corners.size(); ++k) {
            if (corners[k].vertex >= vertices)
                return faceLabel + ", corner #" + Number(k) + " names vertex " + Number(corners[k].vertex) +
                       ", but the sub-object has " +
                       NumberRange(static_cast<std::int64_t>(vertices), "no vertices", "vertices");
        }
    }
    for (std::size_t v = 0; v < vertices; ++v) {
        if (!IsFinite(object.positions[v]))
            return label + ", vertex #" + Number(v) + " is at " + FormatPoint(object.positions[v]) +
                   ", which is not a finite position";
        if (!IsFinite(object.normals[v]) || !std::isfinite(object.alphas[v]))
            return label + ", vertex #" + Number(v) + " has a normal or alpha that is not a finite number";
    }
    for (std::size_t f = 0; f < object.faces.size(); ++f) {
        const SceneFace& face = object.faces[f];
        const std::string faceLabel = label + ", face #" + Number(f);
        if (!IsFinite(face.normal))
            return faceLabel + " has a normal of " + FormatPoint(face.normal) + ", which is not finite";
        for (const SceneCorner& corner : object.cornersOf(face))
            if (!std::isfinite(corner.u) || !std::isfinite(corner.v))
                return faceLabel + " has a texture coordinate that is not a finite number";
    }
    for (std::size_t k = 0; k < object.rotation.keys.size(); ++k)
        if (!IsFinite(object.rotation.keys[k].axis))
            return label + ", rotation key #" + Number(k) + " has an axis of " +
                   FormatPoint(object.rotation.keys[k].axis) + ", which is not finite";
    for (std::size_t k = 0; k < object.position.keys.size(); ++k)
        if (!IsFinite(object.position.keys[k].position))
            return label + ", position key #" + Number(k) + " is at " + FormatPoint(object.position.keys[k].position) +
                   ", which is not a finite position";
    for (std::size_t p = 0; p < object.specialPoints.size(); ++p) {
        const SpecialPoint& point = object.specialPoints[p];
        const std::string pointLabel = label + ", special point #" + Number(p);
        if (std::string problem = NameProblem(point.name, "the name of " + pointLabel); !problem.empty())
            return problem;
        if (std::string problem = NameProblem(point.properties, "the properties of " + pointLabel); !problem.empty())
            return problem;
        if (!IsFinite(point.position) || !std::isfinite(point.radius))
            return pointLabel + " is at " + FormatPoint(point.position) + " with a radius that is not finite";
    }
    return {};
}

// Every parent must be a sub-object of the model, and no chain may come back to a sub-object it has passed.
std::string FindParentChainDamage(const Scene& scene) {
    const std::size_t count = scene.objects.size();
    enum : std::uint8_t { kUnknown, kOnPath, kReachesRoot };
    std::vector<std::uint8_t> state(count, kUnknown);
    std::vector<std::size_t> path;
    for (std::size_t start = 0; start < count; ++start) {
        path.clear();
        std::size_t current = start;
        while (state[current] != kReachesRoot) {
            if (state[current] == kOnPath)
                return "the parent chain of " + SubObjectLabel(start) + " loops back to " + SubObjectLabel(current);
            state[current] = kOnPath;
            path.push_back(current);
            const std::int32_t parent = scene.objects[current].parent;
            if (parent == -1)
                break;
            if (parent < -1 || static_cast<std::size_t>(parent) >= count)
                return SubObjectLabel(current) + " names parent #" + FormatInteger(parent) +
                       ", but the model has sub-objects #0 to #" + FormatInteger(static_cast<std::int64_t>(count) - 1);
            current = static_cast<std::size_t>(parent);
        }
        for (const std::size_t passed : path)
            state[passed] = kReachesRoot;
    }
    return {};
}

std::string FindPointDamage(const std::vector<ScenePoint>& points, const char* what, std::size_t objects) {
    for (std::size_t i = 0; i < points.size(); ++i) {
        const ScenePoint& point = points[i];
        const std::string label = std::string(what) + " #" + Number(i);
        if (point.parent < -1 || (point.parent >= 0 && static_cast<std::size_t>(point.parent) >= objects))
            return label + " belongs to sub-object #" + FormatInteger(point.parent) + ", but the model has " +
                   NumberRange(static_cast<std::int64_t>(objects), "no sub-objects", "sub-objects");
        if (!IsFinite(point.position) || !IsFinite(point.direction))
            return label + " is at " + FormatPoint(point.position) + ", which is not a finite position";
    }
    return {};
}

}  // namespace

std::size_t Scene::vertexCount() const {
    std::size_t n = 0;
    for (const SceneObject& object : objects)
        n += object.positions.size();
    return n;
}

std::size_t Scene::faceCount() const {
    std::size_t n = 0;
    for (const SceneObject& object : objects)
        n += object.faces.size();
    return n;
}

std::string SubObjectLabel(std::size_t index) {
    return "sub-object #" + Number(index);
}

std::string ValidateScene(const Scene& scene) {
    for (std::size_t t = 0; t < scene.textures.size(); ++t)
        if (std::string problem = NameProblem(scene.textures[t], "the name of texture #" + Number(t)); !problem.empty())
            return problem;
    for (std::size_t i = 0; i < scene.objects.size(); ++i)
        if (std::string damage = FindObjectDamage(scene.objects[i], i, scene.textures.size()); !damage.empty())
            return damage;
    if (std::string damage = FindParentChainDamage(scene); !damage.empty())
        return damage;
    for (std::size_t i = 0; i < scene.objects.size(); ++i) {
        const Vector3 offset = WorldOffset(scene, i);
        if (!IsFinite(offset))
            return "the offsets along the parent chain of " + SubObjectLabel(i) + " add up to " + FormatPoint(offset) +
                   ", which is not a finite position";
    }
    const std::size_t objects = scene.objects.size();
    for (const auto& [points, what] : {std::pair{&scene.gunpoints, "gun point"},
                                       {&scene.attachPoints, "attach point"},
                                       {&scene.attachNormals, "attach normal"},
                                       {&scene.groundPoints, "ground point"}})
        if (std::string damage = FindPointDamage(*points, what, objects); !damage.empty())
            return damage;
    return {};
}

bool AcceptScene(Scene&& built, Scene& scene, std::string& error) {
    error = ValidateScene(built);
    if (!error.empty())
        return false;
    scene = std::move(built);
    return true;
}

std::string NumberRange(std::int64_t count, const char* none, const char* what) {
    if (count <= 0)
        return none;
    return std::string(what) + " 0 to " + FormatInteger(count - 1);
}

Vector3 WorldOffset(const Scene& scene, std::size_t index) {
    const SceneObject* object = &scene.objects[index];
    Vector3 offset = object->offset;
    while (object->parent != -1) {
        object = &scene.objects[static_cast<std::size_t>(object->parent)];
        offset.x = offset.x + object->offset.x;
        offset.y = offset.y + object->offset.y;
        offset.z = offset.z + object->offset.z;
    }
    return offset;
}

bool SceneBounds(const Scene& scene, Vector3& low, Vector3& high) {
    bool any = false;
    for (std::size_t i = 0; i < scene.objects.size(); ++i) {
        const SceneObject& object = scene.objects[i];
        if (object.positions.empty())
            continue;
        const Vector3 offset = WorldOffset(scene, i);
        for (const Vector3& p : object.positions) {
            const Vector3 w = p + offset;
            if (!any) {
                low = high = w;
                any = true;
            }
            low = {std::min(low.x, w.x), std::min(low.y, w.y), std::min(low.z, w.z)};
            high = {std::max(high.x, w.x), std::max(high.y, w.y), std::max(high.z, w.z)};
        }
    }
    return any;
}

}  // namespace torvale
