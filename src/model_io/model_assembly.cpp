#include "model_io/model_assembly.h"

#include <bit>

#include <algorithm>
#include <vector>

#include "model_io/polygon.h"

namespace torvale {

std::int32_t ModelAssembler::texture(std::string_view name) {
    if (const auto found = textures_.find(name); found != textures_.end())
        return found->second;
    const auto index = static_cast<std::int32_t>(model_.textureNames.size());
    std::string stored(name);
    stored += '\0';
    model_.textureNameLengths.push_back(static_cast<std::int32_t>(stored.size()));
    model_.textureNames.push_back(std::move(stored));
    model_.textureCount = index + 1;
    textures_.emplace(std::string(name), index);
    return index;
}

std::int32_t ModelAssembler::subObject(std::string_view name, std::int32_t parent, const Vector3& attachOffset) {
    positions_.clear();
    SubObject sub;
    sub.number = static_cast<std::int32_t>(model_.subObjects.size());
    sub.parent = parent;
    sub.attachOffset = attachOffset;
    sub.name = std::string(name) + '\0';
    sub.nameLength = static_cast<std::int32_t>(sub.name.size());
    sub.propertyName = std::string(1, '\0');
    sub.propertyLength = 1;
    model_.subObjects.push_back(std::move(sub));
    model_.subObjectCount = static_cast<std::int32_t>(model_.subObjects.size());
    return model_.subObjectCount - 1;
}

std::int32_t ModelAssembler::sharedVertex(const Vector3& position) {
    const auto bits = [](float f) { return static_cast<std::uint64_t>(std::bit_cast<std::uint32_t>(f)); };
    const std::uint64_t key = (bits(position.x) * 0x9E3779B97F4A7C15ULL) ^ (bits(position.y) << 21) ^
                              (bits(position.z) * 0xC2B2AE3D27D4EB4FULL);
    const SubObject& sub = model_.subObjects.back();
    std::vector<std::int32_t>& same = positions_[key];
    for (const std::int32_t number : same) {
        const Vector3& p = sub.vertexPositions[static_cast<std::size_t>(number)];
        if (bits(p.x) == bits(position.x) && bits(p.y) == bits(position.y) && bits(p.z) == bits(position.z))
            return number;
    }
    const std::int32_t number = vertex(position);
    same.push_back(number);
    return number;
}

std::int32_t ModelAssembler::vertex(const Vector3& position) {
    SubObject& sub = model_.subObjects.back();
    sub.vertexPositions.push_back(position);
    sub.vertexNormals.push_back({});
    sub.vertexAlphas.push_back(1.0f);
    return sub.vertexCount++;
}

void ModelAssembler::face(std::span<const FaceVertex> corners, std::int32_t textureIndex, const FaceColor& color) {
    SubObject& sub = model_.subObjects.back();
    std::vector<Vector3> positions;
    positions.reserve(corners.size());
    for (const FaceVertex& c : corners)
        positions.push_back(sub.vertexPositions[static_cast<std::size_t>(c.vertexIndex)]);
    sub.faceNormals.push_back(ComputeFaceNormal(positions));
    sub.faceVertexCounts.push_back(static_cast<std::int32_t>(corners.size()));
    sub.faceTextured.push_back(textureIndex >= 0 ? 1 : 0);
    sub.faceColors.push_back(textureIndex >= 0 ? FaceColor{} : color);
    sub.faceTextureIndices.push_back(textureIndex);
    sub.faceFirstCorner.push_back(sub.faceVertices.size());
    sub.faceVertices.insert(sub.faceVertices.end(), corners.begin(), corners.end());
    sub.faceExtraA.push_back(0);
    sub.faceExtraB.push_back(0);
    ++sub.faceCount;
}

ObjectModel ModelAssembler::finish() {
    ObjectModel model = std::move(model_);
    model_ = {};
    textures_.clear();
    model.fileId = "PSPO";
    bool any = false;
    for (std::size_t i = 0; i < model.subObjects.size(); ++i) {
        SubObject& sub = model.subObjects[i];
        const Vector3 offset = WorldOffsetOf(model, i);
        float radius = 0.0f;
        for (const Vector3& p : sub.vertexPositions) {
            radius = std::max(radius, Length(p));
            const Vector3 w = p + offset;
            if (!any) {
                model.boundsMin = model.boundsMax = w;
                any = true;
            }
            model.boundsMin = {std::min(model.boundsMin.x, w.x), std::min(model.boundsMin.y, w.y),
                               std::min(model.boundsMin.z, w.z)};
            model.boundsMax = {std::max(model.boundsMax.x, w.x), std::max(model.boundsMax.y, w.y),
                               std::max(model.boundsMax.z, w.z)};
        }
        sub.radius = radius;
        model.maxRadius = std::max(model.maxRadius, radius + Length(offset));
    }
    return model;
}

}  // namespace torvale
