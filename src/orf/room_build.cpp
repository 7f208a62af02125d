#include "orf/room_build.h"

#include "orf/export_damage.h"
#include "orf/orf_writer.h"

namespace torvale {
namespace {

// One sub-object's part of a room: where its vertices go and how its corners are numbered.
struct RoomPart {
    const SubObject* sub;
    Vector3 offset;
};

// Writes one room of the given parts. `moveVertices` adds each part's offset (the combined room, where even
// a zero offset is a float32 addition); a per-sub-object room copies the positions bit for bit.
std::vector<std::uint8_t> BuildRoom(const ObjectModel& model,
                                    std::span<const RoomPart> parts,
                                    bool moveVertices,
                                    std::span<const std::string> textureNames,
                                    const RoomBuildOptions& options) {
    std::int32_t vertexCount = 0;
    std::int32_t faceCount = 0;
    std::size_t cornerCount = 0;
    bool untextured = false;
    for (const RoomPart& part : parts) {
        const SubObject& sub = *part.sub;
        vertexCount += sub.vertexCount;
        faceCount += sub.faceCount;
        for (std::size_t face = 0; face < static_cast<std::size_t>(sub.faceCount); ++face) {
            cornerCount += static_cast<std::size_t>(sub.faceVertexCounts[face]);
            untextured |= sub.faceTextureIndices[face] == -1;
        }
    }
    const std::size_t faceBytes =
        kOrfFaceRecordBytes * static_cast<std::size_t>(faceCount) + kOrfCornerRecordBytes * cornerCount;
    // Untextured faces use "SAMPLE TEXTURE": the list's only name when the model has no textures, otherwise
    // one more name after the model's own, so that the textured faces keep their indices.
    const bool appendSample = untextured && model.textureCount > 0;
    const auto untexturedIndex = static_cast<std::int16_t>(model.textureCount > 0 ? textureNames.size() : 0);
    std::size_t nameBytes = appendSample ? kSampleTexture.size() : 0;
    for (const std::string& name : textureNames)
        nameBytes += name.size();

    OrfWriter writer;
    writer.reserve(5 * kOrfChunkHeadBytes + 12 + kOrfVectorBytes * static_cast<std::size_t>(vertexCount) + 4 +
                   nameBytes + faceBytes);

    writer.beginChunk(kOrfHeaderTag);
    writer.writeI32(kOrfHeaderConstant);
    writer.writeI32(vertexCount);
    writer.writeI32(faceCount);
    writer.patchLength();

    writer.beginChunk(kOrfVertexTag);
    {
        OrfRecords vertices = writer.appendRecords(kOrfVectorBytes * static_cast<std::size_t>(vertexCount));
        for (const RoomPart& part : parts) {
            const SubObject& sub = *part.sub;
            const std::span<const Vector3> positions(sub.vertexPositions.data(),
                                                     static_cast<std::size_t>(sub.vertexCount));
            if (!moveVertices) {
                vertices.vectors(positions);
                continue;
            }
            for (const Vector3& p : positions) {
                Vector3 moved;
                moved.x = p.x + part.offset.x;
                moved.y = p.y + part.offset.y;
                moved.z = p.z + part.offset.z;
                vertices.vector(moved);
            }
        }
        vertices.close();
    }
    writer.patchLength();

    writer.beginChunk(kOrfTextureTag);
    writer.writeI32(static_cast<std::int32_t>(textureNames.size() + (appendSample ? 1 : 0)));
    for (const std::string& name : textureNames)
        writer.writeName(name);
    if (appendSample)
        writer.writeName(kSampleTexture);
    writer.patchLength();

    // Corners point into the room's vertex list: each part's indices move up by the vertices of the parts
    // before it.
    writer.beginChunk(kOrfFaceTag);
    {
        OrfRecords faces = writer.appendRecords(faceBytes);
        std::int32_t base = 0;
        for (const RoomPart& part : parts) {
            const SubObject& sub = *part.sub;
            for (std::size_t face = 0; face < static_cast<std::size_t>(sub.faceCount); ++face) {
                const auto corners = static_cast<std::size_t>(sub.faceVertexCounts[face]);
                const std::int32_t texture = sub.faceTextureIndices[face];
                faces.face(sub.faceNormals[face], texture == -1 ? untexturedIndex : static_cast<std::int16_t>(texture),
                           {sub.cornersOf(face), corners}, base, options.reverseFaces);
            }
            base += sub.vertexCount;
        }
        faces.close();
    }
    writer.patchLength();

    writer.finishFile();
    return writer.release();
}

}  // namespace

std::vector<std::string> RoomTextureNames(const ObjectModel& model, const TextureTable& table) {
    if (model.textureCount <= 0)
        return {std::string(kSampleTexture)};
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(model.textureCount));
    for (std::size_t k = 0; k < static_cast<std::size_t>(model.textureCount); ++k) {
        names.push_back(table.TranslateTextureName(model.textureNames[k]));
    }
    return names;
}

std::vector<std::uint8_t> BuildCombinedRoom(const ObjectModel& model,
                                            std::span<const std::string> textureNames,
                                            const RoomBuildOptions& options) {
    std::vector<RoomPart> parts;
    parts.reserve(static_cast<std::size_t>(model.subObjectCount));
    for (std::size_t i = 0; i < static_cast<std::size_t>(model.subObjectCount); ++i) {
        const SubObject& sub = model.subObject(i);
        parts.push_back({&sub, sub.vertexCount > 0 ? WorldOffset(model, i) : Vector3{}});
    }
    return BuildRoom(model, parts, true, textureNames, options);
}

std::vector<std::uint8_t> BuildSubObjectRoom(const ObjectModel& model,
                                             std::size_t index,
                                             std::span<const std::string> textureNames,
                                             const RoomBuildOptions& options) {
    const RoomPart part{&model.subObject(index), {}};
    return BuildRoom(model, std::span<const RoomPart>(&part, 1), false, textureNames, options);
}

}  // namespace torvale
