#include "scene/scene_builder.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace torvale {
namespace {

std::uint64_t PositionHash(const Vector3& p) {
    std::uint64_t h = std::bit_cast<std::uint32_t>(p.x);
    h = h * 0x9E3779B97F4A7C15ULL ^ std::bit_cast<std::uint32_t>(p.y);
    h = h * 0x9E3779B97F4A7C15ULL ^ std::bit_cast<std::uint32_t>(p.z);
    h *= 0xC2B2AE3D27D4EB4FULL;
    return h ^ (h >> 29);
}

bool SameBits(const Vector3& a, const Vector3& b) {
    return std::bit_cast<std::uint32_t>(a.x) == std::bit_cast<std::uint32_t>(b.x) &&
           std::bit_cast<std::uint32_t>(a.y) == std::bit_cast<std::uint32_t>(b.y) &&
           std::bit_cast<std::uint32_t>(a.z) == std::bit_cast<std::uint32_t>(b.z);
}

// A power of two at least twice `count`, so that the table stays at most half full.
std::size_t SlotsFor(std::size_t count) {
    return std::bit_ceil(std::max<std::size_t>(16, 2 * count));
}

}  // namespace

std::int32_t SceneBuilder::texture(std::string_view name) {
    if (const auto found = textures_.find(name); found != textures_.end())
        return found->second;
    const auto index = static_cast<std::int32_t>(scene_.textures.size());
    scene_.textures.emplace_back(name);
    textures_.emplace(std::string(name), index);
    return index;
}

std::int32_t SceneBuilder::subObject(std::string_view name,
                                     std::int32_t parent,
                                     const Vector3& offset,
                                     std::size_t expectedVertices) {
    SceneObject& object = scene_.objects.emplace_back();
    object.name = name;
    object.parent = parent;
    object.offset = offset;
    object.positions.reserve(expectedVertices);
    object.normals.reserve(expectedVertices);
    object.alphas.reserve(expectedVertices);
    joinSlots_.assign(SlotsFor(expectedVertices), 0);
    joined_ = 0;
    return static_cast<std::int32_t>(scene_.objects.size() - 1);
}

void SceneBuilder::reserve(std::size_t vertices) {
    SceneObject& object = scene_.objects.back();
    const std::size_t total = object.positions.size() + vertices;
    // Grown by at least half each time, so that many small reservations stay linear.
    if (object.positions.capacity() < total) {
        const std::size_t capacity = std::max(total, object.positions.capacity() + object.positions.capacity() / 2);
        object.positions.reserve(capacity);
        object.normals.reserve(capacity);
        object.alphas.reserve(capacity);
    }
    while (joinSlots_.size() < SlotsFor(joined_ + vertices))
        growJoinTable();
}

std::uint32_t SceneBuilder::vertex(const Vector3& position) {
    SceneObject& object = scene_.objects.back();
    object.positions.push_back(position);
    object.normals.push_back({});
    object.alphas.push_back(1.0f);
    return static_cast<std::uint32_t>(object.positions.size() - 1);
}

void SceneBuilder::growJoinTable() {
    const std::vector<Vector3>& positions = scene_.objects.back().positions;
    std::vector<std::uint32_t> old = std::exchange(joinSlots_, std::vector<std::uint32_t>(2 * joinSlots_.size(), 0));
    const std::size_t mask = joinSlots_.size() - 1;
    for (const std::uint32_t entry : old) {
        if (entry == 0)
            continue;
        std::size_t slot = static_cast<std::size_t>(PositionHash(positions[entry - 1])) & mask;
        while (joinSlots_[slot] != 0)
            slot = (slot + 1) & mask;
        joinSlots_[slot] = entry;
    }
}

std::uint32_t SceneBuilder::sharedVertex(const Vector3& position) {
    if (2 * (joined_ + 1) > joinSlots_.size())
        growJoinTable();
    const std::vector<Vector3>& positions = scene_.objects.back().positions;
    const std::size_t mask = joinSlots_.size() - 1;
    std::size_t slot = static_cast<std::size_t>(PositionHash(position)) & mask;
    while (joinSlots_[slot] != 0) {
        const std::uint32_t number = joinSlots_[slot] - 1;
        if (SameBits(positions[number], position))
            return number;
        slot = (slot + 1) & mask;
    }
    const std::uint32_t number = vertex(position);
    joinSlots_[slot] = number + 1;
    ++joined_;
    return number;
}

void SceneBuilder::face(std::span<const SceneCorner> corners, std::int32_t texture, const FaceColor& color) {
    SceneObject& object = scene_.objects.back();
    facePositions_.clear();
    for (const SceneCorner& c : corners)
        facePositions_.push_back(object.positions[c.vertex]);
    SceneFace& face = object.faces.emplace_back();
    face.firstCorner = static_cast<std::uint32_t>(object.corners.size());
    face.cornerCount = static_cast<std::uint32_t>(corners.size());
    face.texture = texture;
    face.color = texture == kUntextured ? color : FaceColor{};
    face.normal = ComputeFaceNormal(facePositions_);
    object.corners.insert(object.corners.end(), corners.begin(), corners.end());
}

bool SceneBuilder::finish(Scene& scene, std::string& error) {
    Scene built = std::exchange(scene_, Scene{});
    textures_.clear();
    joinSlots_.clear();
    joined_ = 0;
    return AcceptScene(std::move(built), scene, error);
}

}  // namespace torvale
