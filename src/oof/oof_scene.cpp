#include "oof/oof_scene.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "core/number_text.h"

namespace torvale {
namespace {

std::string FaceLabel(std::size_t index, std::size_t face) {
    return SubObjectLabel(index) + ", face #" + FormatInteger(static_cast<std::int64_t>(face));
}

std::string CText(std::string_view stored) {
    return std::string(stored.substr(0, stored.find('\0')));
}

// The first table of `sub` that lists more than it holds, or a face whose corners or texture number point
// past what the model has, in face order.
std::string FindTableDamage(const SubObject& sub, std::size_t index, std::int32_t textureCount) {
    if (sub.vertexCount < 0 || static_cast<std::size_t>(sub.vertexCount) > sub.vertexPositions.size()) {
        return SubObjectLabel(index) + " lists " + FormatInteger(sub.vertexCount) + " vertices but holds " +
               FormatInteger(static_cast<std::int64_t>(sub.vertexPositions.size())) + " positions";
    }
    const std::size_t storedFaces = std::min({sub.faceNormals.size(), sub.faceVertexCounts.size(),
                                              sub.faceTextureIndices.size(), sub.faceFirstCorner.size()});
    if (sub.faceCount < 0 || static_cast<std::size_t>(sub.faceCount) > storedFaces) {
        return SubObjectLabel(index) + " lists " + FormatInteger(sub.faceCount) + " faces but holds the data of " +
               FormatInteger(static_cast<std::int64_t>(storedFaces));
    }
    const std::size_t stored = sub.faceVertices.size();
    const auto vertexCount = static_cast<std::uint32_t>(sub.vertexCount);
    for (std::size_t face = 0; face < static_cast<std::size_t>(sub.faceCount); ++face) {
        const std::int32_t corners = sub.faceVertexCounts[face];
        const std::size_t first = sub.faceFirstCorner[face];
        if (corners < 0 || first > stored || static_cast<std::size_t>(corners) > stored - first)
            return FaceLabel(index, face) + " lists " + FormatInteger(corners) + " corners, beyond the stored corners";
        const std::int32_t texture = sub.faceTextureIndices[face];
        if (texture < -1 || texture >= textureCount) {
            return FaceLabel(index, face) + " uses texture " + FormatInteger(texture) + ", but the model has " +
                   NumberRange(textureCount, "no textures", "textures");
        }
        const FaceVertex* corner = sub.cornersOf(face);
        for (std::int32_t k = 0; k < corners; ++k) {
            // One unsigned comparison catches negative numbers too.
            if (static_cast<std::uint32_t>(corner[k].vertexIndex) >= vertexCount) {
                return FaceLabel(index, face) + ", corner #" + FormatInteger(k) + " names vertex " +
                       FormatInteger(corner[k].vertexIndex) + ", but the sub-object has " +
                       NumberRange(sub.vertexCount, "no vertices", "vertices");
            }
        }
    }
    return {};
}

SceneObject ObjectOf(const SubObject& sub, std::size_t index, std::vector<std::string>* notes) {
    SceneObject object;
    object.name = CText(sub.name);
    object.properties = CText(sub.propertyName);
    object.parent = sub.parent;
    object.offset = sub.attachOffset;
    object.movementType = sub.movementType;
    object.movementAxis = sub.movementAxis;

    const auto vertices = static_cast<std::size_t>(sub.vertexCount);
    object.positions.assign(sub.vertexPositions.begin(), sub.vertexPositions.begin() + sub.vertexCount);
    object.normals.assign(vertices, Vector3{});
    std::copy_n(sub.vertexNormals.begin(), std::min(vertices, sub.vertexNormals.size()), object.normals.begin());
    object.alphas.assign(vertices, 1.0f);
    std::copy_n(sub.vertexAlphas.begin(), std::min(vertices, sub.vertexAlphas.size()), object.alphas.begin());
    std::size_t mended = 0;
    for (std::size_t v = 0; v < vertices; ++v) {
        if (!IsFinite(object.normals[v]) || !std::isfinite(object.alphas[v])) {
            object.normals[v] = IsFinite(object.normals[v]) ? object.normals[v] : Vector3{};
            object.alphas[v] = std::isfinite(object.alphas[v]) ? object.alphas[v] : 1.0f;
            ++mended;
        }
    }
    if (mended > 0 && notes)
        notes->push_back(SubObjectLabel(index) + " has " + FormatInteger(static_cast<std::int64_t>(mended)) +
                         (mended == 1 ? " vertex" : " vertices") +
                         " whose normal or alpha is not a finite number; taken as no normal and alpha 1");

    const auto faces = static_cast<std::size_t>(sub.faceCount);
    object.faces.resize(faces);
    std::size_t cornerCount = 0;
    for (std::size_t f = 0; f < faces; ++f)
        cornerCount += static_cast<std::size_t>(sub.faceVertexCounts[f]);
    object.corners.reserve(cornerCount);
    for (std::size_t f = 0; f < faces; ++f) {
        SceneFace& face = object.faces[f];
        face.firstCorner = static_cast<std::uint32_t>(object.corners.size());
        face.cornerCount = static_cast<std::uint32_t>(sub.faceVertexCounts[f]);
        face.texture = sub.faceTextureIndices[f];
        if (face.texture == kUntextured && f < sub.faceColors.size())
            face.color = sub.faceColors[f];
        face.normal = sub.faceNormals[f];
        const FaceVertex* corner = sub.cornersOf(f);
        for (std::uint32_t k = 0; k < face.cornerCount; ++k)
            object.corners.push_back({static_cast<std::uint32_t>(corner[k].vertexIndex), corner[k].u, corner[k].v});
    }

    const std::size_t points =
        std::min({static_cast<std::size_t>(std::max(sub.specialPointCount, 0)), sub.specialPointNames.size(),
                  sub.specialPointProperties.size(), sub.specialPointPositions.size(), sub.specialPointRadii.size()});
    for (std::size_t p = 0; p < points; ++p)
        object.specialPoints.push_back({CText(sub.specialPointNames[p]), CText(sub.specialPointProperties[p]),
                                        sub.specialPointPositions[p], sub.specialPointRadii[p]});
    const std::size_t rotationKeys =
        std::min({static_cast<std::size_t>(std::max(sub.rotationKeyCount, 0)), sub.rotationKeyTimes.size(),
                  sub.rotationKeyAxes.size(), sub.rotationKeyAngles.size()});
    object.rotation.firstFrame = sub.rotationTrackMin;
    object.rotation.lastFrame = sub.rotationTrackMax;
    for (std::size_t k = 0; k < rotationKeys; ++k)
        object.rotation.keys.push_back({sub.rotationKeyTimes[k], sub.rotationKeyAxes[k], sub.rotationKeyAngles[k]});
    const std::size_t positionKeys = std::min({static_cast<std::size_t>(std::max(sub.positionKeyCount, 0)),
                                               sub.positionKeyTimes.size(), sub.positionKeys.size()});
    object.position.firstFrame = sub.positionTrackMin;
    object.position.lastFrame = sub.positionTrackMax;
    for (std::size_t k = 0; k < positionKeys; ++k)
        object.position.keys.push_back({sub.positionKeyTimes[k], sub.positionKeys[k]});
    return object;
}

std::vector<WeaponBattery> BatteriesOf(const ObjectModel& model) {
    std::vector<WeaponBattery> batteries;
    const std::size_t count = std::min({static_cast<std::size_t>(std::max(model.weaponBatteryCount, 0)),
                                        model.batteryGunpointCounts.size(), model.batteryGunpointIndices.size(),
                                        model.batteryTurretCounts.size(), model.batteryTurretIndices.size()});
    for (std::size_t b = 0; b < count; ++b) {
        WeaponBattery battery;
        constexpr auto kMost = static_cast<std::int32_t>(kIndicesPerBattery);
        const auto guns = std::clamp<std::int32_t>(model.batteryGunpointCounts[b], 0, kMost);
        const auto turrets = std::clamp<std::int32_t>(model.batteryTurretCounts[b], 0, kMost);
        battery.guns.assign(model.batteryGunpointIndices[b].begin(), model.batteryGunpointIndices[b].begin() + guns);
        battery.turrets.assign(model.batteryTurretIndices[b].begin(), model.batteryTurretIndices[b].begin() + turrets);
        batteries.push_back(std::move(battery));
    }
    return batteries;
}

std::vector<ScenePoint> PointsOf(const std::vector<PointRecord>& records, std::int32_t count) {
    std::vector<ScenePoint> points;
    const std::size_t n = std::min(records.size(), static_cast<std::size_t>(std::max(count, 0)));
    for (std::size_t i = 0; i < n; ++i)
        points.push_back({records[i].parent, records[i].location, records[i].direction});
    return points;
}

}  // namespace

namespace {

// The conversion, giving back each sub-object's tables as soon as its part of the scene is made when `spent`
// (the model itself) is given, so that a large model is not held twice.
bool Convert(const ObjectModel& model,
             ObjectModel* spent,
             Scene& scene,
             std::string& error,
             std::vector<std::string>* notes) {
    if (model.subObjectCount < 0) {
        error = "the model lists " + FormatInteger(model.subObjectCount) + " sub-objects";
        return false;
    }
    if (model.textureCount < 0) {
        error = "the model lists " + FormatInteger(model.textureCount) + " textures";
        return false;
    }
    if (static_cast<std::size_t>(model.textureCount) > model.textureNames.size()) {
        error = "the model lists " + FormatInteger(model.textureCount) + " textures but holds " +
                FormatInteger(static_cast<std::int64_t>(model.textureNames.size())) + " names";
        return false;
    }
    const auto objects = static_cast<std::size_t>(model.subObjectCount);
    for (std::size_t i = 0; i < objects; ++i) {
        error = FindTableDamage(model.subObject(i), i, model.textureCount);
        if (!error.empty())
            return false;
    }
    Scene built;
    built.textures.reserve(static_cast<std::size_t>(model.textureCount));
    for (std::size_t t = 0; t < static_cast<std::size_t>(model.textureCount); ++t)
        built.textures.push_back(CText(model.textureNames[t]));
    built.objects.reserve(objects);
    for (std::size_t i = 0; i < objects; ++i) {
        built.objects.push_back(ObjectOf(model.subObject(i), i, notes));
        // A slot that no SOBJ chunk filled holds nothing, and hangs from nothing.
        if (i >= model.subObjects.size())
            built.objects.back().parent = -1;
        else if (spent)
            spent->subObjects[i] = SubObject{};
    }
    built.gunpoints = PointsOf(model.gunpoints, model.gunpointCount);
    built.attachPoints = PointsOf(model.attachPoints, model.attachPointCount);
    built.attachNormals = PointsOf(model.attachNormals, model.attachNormalCount);
    built.groundPoints = PointsOf(model.groundPoints, model.groundPointCount);
    built.batteries = BatteriesOf(model);
    return AcceptScene(std::move(built), scene, error);
}

}  // namespace

bool SceneFromOof(const ObjectModel& model, Scene& scene, std::string& error, std::vector<std::string>* notes) {
    return Convert(model, nullptr, scene, error, notes);
}

bool SceneFromOof(ObjectModel&& model, Scene& scene, std::string& error, std::vector<std::string>* notes) {
    return Convert(model, &model, scene, error, notes);
}

}  // namespace torvale
