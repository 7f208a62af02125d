#include "orf/room_build.h"

namespace torvale {
namespace {

// One sub-object's part of a room, and where its vertices go.
struct RoomPiece {
    const SceneObject* object;
    Vector3 offset;
};

std::string_view WithoutZero(std::string_view name) {
    return name.ends_with('\0') ? name.substr(0, name.size() - 1) : name;
}

// `moveVertices` adds each part's offset (the combined room); a per-sub-object room copies the positions.
Room BuildRoom(const Scene& scene,
               std::span<const RoomPiece> parts,
               bool moveVertices,
               std::span<const std::string> textureNames,
               const RoomBuildOptions& options) {
    Room room;
    room.version = 4;
    std::size_t vertexCount = 0;
    std::size_t faceCount = 0;
    std::size_t cornerCount = 0;
    bool untextured = false;
    for (const RoomPiece& part : parts) {
        vertexCount += part.object->positions.size();
        faceCount += part.object->faces.size();
        cornerCount += part.object->corners.size();
        for (const SceneFace& face : part.object->faces)
            untextured |= face.texture == kUntextured;
    }
    // Untextured faces use "SAMPLE TEXTURE": the list's only name when the model has no textures, otherwise
    // one more name after the model's own, so that the textured faces keep their indices.
    const bool modelTextures = !scene.textures.empty();
    const auto untexturedIndex = static_cast<std::int32_t>(modelTextures ? textureNames.size() : 0);
    room.textureNames.reserve(textureNames.size() + 1);
    for (const std::string& name : textureNames)
        room.textureNames.emplace_back(WithoutZero(name));
    if (untextured && modelTextures)
        room.textureNames.emplace_back(WithoutZero(kSampleTexture));

    room.vertices.reserve(vertexCount);
    room.faces.reserve(faceCount);
    room.corners.reserve(cornerCount);
    std::uint32_t base = 0;
    for (const RoomPiece& part : parts) {
        const SceneObject& object = *part.object;
        if (moveVertices) {
            for (const Vector3& p : object.positions) {
                Vector3 moved;
                moved.x = p.x + part.offset.x;
                moved.y = p.y + part.offset.y;
                moved.z = p.z + part.offset.z;
                room.vertices.push_back(moved);
            }
        } else {
            room.vertices.insert(room.vertices.end(), object.positions.begin(), object.positions.end());
        }
        // Corners point into the room's vertex list: each part's indices move up by the vertices before it.
        for (const SceneFace& face : object.faces) {
            RoomFace& out = room.faces.emplace_back();
            out.normal = options.reverseFaces ? Vector3{-face.normal.x, -face.normal.y, -face.normal.z} : face.normal;
            out.texture = face.texture == kUntextured ? untexturedIndex : face.texture;
            out.firstCorner = static_cast<std::uint32_t>(room.corners.size());
            out.cornerCount = face.cornerCount;
            const std::span<const SceneCorner> corners = object.cornersOf(face);
            const std::size_t n = corners.size();
            for (std::size_t k = 0; k < n; ++k) {
                const SceneCorner& c = corners[options.reverseFaces ? n - 1 - k : k];
                room.corners.push_back({static_cast<std::int32_t>(c.vertex + base), c.u, c.v, 1.0f});
            }
        }
        base += static_cast<std::uint32_t>(object.positions.size());
    }
    return room;
}

}  // namespace

std::vector<std::string> RoomTextureNames(const Scene& scene, const TextureTable& table) {
    if (scene.textures.empty())
        return {std::string(kSampleTexture)};
    std::vector<std::string> names;
    names.reserve(scene.textures.size());
    for (const std::string& name : scene.textures)
        names.push_back(table.TranslateTextureName(name));
    return names;
}

Room BuildCombinedRoom(const Scene& scene, std::span<const std::string> textureNames, const RoomBuildOptions& options) {
    std::vector<RoomPiece> parts;
    parts.reserve(scene.objects.size());
    for (std::size_t i = 0; i < scene.objects.size(); ++i) {
        const SceneObject& object = scene.objects[i];
        parts.push_back({&object, object.positions.empty() ? Vector3{} : WorldOffset(scene, i)});
    }
    return BuildRoom(scene, parts, true, textureNames, options);
}

Room BuildSubObjectRoom(const Scene& scene,
                        std::size_t index,
                        std::span<const std::string> textureNames,
                        const RoomBuildOptions& options) {
    static const SceneObject empty;
    const RoomPiece part{index < scene.objects.size() ? &scene.objects[index] : &empty, {}};
    return BuildRoom(scene, std::span<const RoomPiece>(&part, 1), false, textureNames, options);
}

}  // namespace torvale
