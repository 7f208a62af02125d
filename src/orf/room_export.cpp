#include "orf/room_export.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/atomic_file.h"
#include "core/number_text.h"
#include "orf/orf_writer.h"

namespace torvale {
namespace {

// Names are ANSI text; the comparisons fold the ASCII letters only.
char FoldCase(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i]))
            return false;
    }
    return true;
}

std::size_t FindNoCase(std::string_view text, std::string_view what) {
    for (std::size_t at = 0; at + what.size() <= text.size(); ++at) {
        if (EqualNoCase(text.substr(at, what.size()), what))
            return at;
    }
    return std::string_view::npos;
}

// Turns the chosen file into the base path without extension. False when there is no name to work with.
bool DeriveBaseName(ExportNames& names, char separator) {
    if (names.orfTitle.empty() || names.orfPath.empty())
        return false;
    const std::string_view path = names.orfPath;
    if (path.size() >= names.orfTitle.size() &&
        EqualNoCase(path.substr(path.size() - names.orfTitle.size()), names.orfTitle)) {
        names.orfDirectory = std::string(path.substr(0, path.size() - names.orfTitle.size()));
    }
    if (names.orfDirectory.empty() || names.orfDirectory.back() != separator)
        names.orfDirectory += separator;
    const std::size_t extension = FindNoCase(names.orfTitle, ".orf");
    if (extension != std::string_view::npos)
        names.orfTitle.resize(extension);
    names.orfPath = names.orfDirectory + names.orfTitle;
    return true;
}

// Rooms of a per-sub-object export are numbered with at least two digits, unless there is only one.
std::string RoomFileName(const std::string& basePath, std::int32_t roomCount, std::int32_t room) {
    if (roomCount == 1)
        return basePath + ".orf";
    return basePath + (room < 10 ? "0" : "") + FormatInteger(room) + ".orf";
}

std::string SubObjectLabel(std::size_t index) {
    return "sub-object #" + FormatInteger(static_cast<std::int64_t>(index));
}

std::string RangeText(std::int64_t count, const char* none, const char* what) {
    if (count <= 0)
        return none;
    return std::string(what) + " 0 to " + FormatInteger(count - 1);
}

// Checks one sub-object's own tables; `faceBytes` receives the size of its face records.
std::string FindSubObjectDamage(const SubObject& sub,
                                std::size_t index,
                                std::int32_t textureCount,
                                std::int64_t& faceBytes) {
    const std::string label = SubObjectLabel(index);
    if (sub.vertexCount < 0 || static_cast<std::size_t>(sub.vertexCount) > sub.vertexPositions.size()) {
        return label + " lists " + FormatInteger(sub.vertexCount) + " vertices but holds " +
               FormatInteger(static_cast<std::int64_t>(sub.vertexPositions.size())) + " positions";
    }
    const std::size_t storedFaces = std::min({sub.faceNormals.size(), sub.faceVertexCounts.size(),
                                              sub.faceTextureIndices.size(), sub.faceFirstCorner.size()});
    if (sub.faceCount < 0 || static_cast<std::size_t>(sub.faceCount) > storedFaces) {
        return label + " lists " + FormatInteger(sub.faceCount) + " faces but holds the data of " +
               FormatInteger(static_cast<std::int64_t>(storedFaces));
    }
    faceBytes = 0;
    for (std::size_t face = 0; face < static_cast<std::size_t>(sub.faceCount); ++face) {
        const auto faceLabel = [&] { return label + ", face #" + FormatInteger(static_cast<std::int64_t>(face)); };
        const std::int32_t corners = sub.faceVertexCounts[face];
        const std::size_t first = sub.faceFirstCorner[face];
        if (corners < 0 || first > sub.faceVertices.size() ||
            static_cast<std::size_t>(corners) > sub.faceVertices.size() - first) {
            return faceLabel() + " lists " + FormatInteger(corners) + " corners, beyond the stored corners";
        }
        const std::int32_t texture = sub.faceTextureIndices[face];
        if (texture < -1 || texture >= textureCount) {
            return faceLabel() + " uses texture " + FormatInteger(texture) + ", but the model has " +
                   RangeText(textureCount, "no textures", "textures");
        }
        // One unsigned comparison per corner catches negative indices too; the reason is looked for only when
        // a corner is outside.
        const FaceVertex* corner = sub.cornersOf(face);
        const auto vertexCount = static_cast<std::uint32_t>(sub.vertexCount);
        bool outside = false;
        for (std::int32_t k = 0; k < corners; ++k) {
            outside |= static_cast<std::uint32_t>(corner[k].vertexIndex) >= vertexCount;
        }
        for (std::int32_t k = 0; outside && k < corners; ++k) {
            const std::int32_t vertex = corner[k].vertexIndex;
            if (vertex < 0 || vertex >= sub.vertexCount) {
                return faceLabel() + ", corner #" + FormatInteger(k) + " names vertex " + FormatInteger(vertex) +
                       ", but the sub-object has " + RangeText(sub.vertexCount, "no vertices", "vertices");
            }
        }
        faceBytes +=
            static_cast<std::int64_t>(kOrfFaceRecordBytes) + static_cast<std::int64_t>(kOrfCornerRecordBytes) * corners;
    }
    return {};
}

// Walks the parent chains of the sub-objects that put vertices into the combined room: every parent must
// be a sub-object of the model, and no chain may come back to a sub-object it has passed.
std::string FindParentChainDamage(const ObjectModel& model) {
    const auto count = static_cast<std::size_t>(model.subObjectCount);
    enum : std::uint8_t { kUnknown, kOnPath, kReachesRoot };
    std::vector<std::uint8_t> state(count, kUnknown);
    std::vector<std::size_t> path;
    for (std::size_t start = 0; start < count; ++start) {
        if (model.subObject(start).vertexCount == 0)
            continue;
        path.clear();
        std::size_t current = start;
        while (state[current] != kReachesRoot) {
            if (state[current] == kOnPath) {
                return "the parent chain of " + SubObjectLabel(start) + " loops back to " + SubObjectLabel(current);
            }
            state[current] = kOnPath;
            path.push_back(current);
            const std::int32_t parent = model.subObject(current).parent;
            if (parent == -1)
                break;
            if (parent < -1 || parent >= model.subObjectCount) {
                return SubObjectLabel(current) + " names parent #" + FormatInteger(parent) +
                       ", but the model has sub-objects #0 to #" + FormatInteger(model.subObjectCount - 1);
            }
            current = static_cast<std::size_t>(parent);
        }
        for (const std::size_t passed : path)
            state[passed] = kReachesRoot;
    }
    return {};
}

// The sub-object's own offset plus that of its parent, grandparent and so on up to the root, each step a
// single-precision addition in that order. The chain must have passed FindParentChainDamage.
Vector3 WorldOffset(const ObjectModel& model, std::size_t index) {
    const SubObject* sub = &model.subObject(index);
    Vector3 offset = sub->attachOffset;
    while (sub->parent != -1) {
        sub = &model.subObject(static_cast<std::size_t>(sub->parent));
        offset.x = offset.x + sub->attachOffset.x;
        offset.y = offset.y + sub->attachOffset.y;
        offset.z = offset.z + sub->attachOffset.z;
    }
    return offset;
}

std::string Describe(const Vector3& v) {
    std::string text = "(";
    text += FormatSingle(v.x);
    text += ", ";
    text += FormatSingle(v.y);
    text += ", ";
    text += FormatSingle(v.z);
    text += ")";
    return text;
}

bool HasUntexturedFace(const SubObject& sub) {
    for (std::size_t face = 0; face < static_cast<std::size_t>(sub.faceCount); ++face) {
        if (sub.faceTextureIndices[face] == -1)
            return true;
    }
    return false;
}

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
                                    std::span<const std::string> textureNames) {
    std::int32_t vertexCount = 0;
    std::int32_t faceCount = 0;
    std::size_t faceBytes = 0;
    bool untextured = false;
    for (const RoomPart& part : parts) {
        const SubObject& sub = *part.sub;
        vertexCount += sub.vertexCount;
        faceCount += sub.faceCount;
        for (std::size_t face = 0; face < static_cast<std::size_t>(sub.faceCount); ++face) {
            faceBytes +=
                kOrfFaceRecordBytes + kOrfCornerRecordBytes * static_cast<std::size_t>(sub.faceVertexCounts[face]);
        }
        untextured = untextured || HasUntexturedFace(sub);
    }
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
    OrfRecords vertices = writer.appendRecords(kOrfVectorBytes * static_cast<std::size_t>(vertexCount));
    for (const RoomPart& part : parts) {
        const SubObject& sub = *part.sub;
        const std::span<const Vector3> positions(sub.vertexPositions.data(), static_cast<std::size_t>(sub.vertexCount));
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
    OrfRecords faces = writer.appendRecords(faceBytes);
    std::int32_t base = 0;
    for (const RoomPart& part : parts) {
        const SubObject& sub = *part.sub;
        for (std::size_t face = 0; face < static_cast<std::size_t>(sub.faceCount); ++face) {
            const auto corners = static_cast<std::size_t>(sub.faceVertexCounts[face]);
            const std::int32_t texture = sub.faceTextureIndices[face];
            faces.face(sub.faceNormals[face], texture == -1 ? untexturedIndex : static_cast<std::int16_t>(texture),
                       {sub.cornersOf(face), corners}, base);
        }
        base += sub.vertexCount;
    }
    writer.patchLength();

    writer.finishFile();
    return writer.release();
}

// Reports one room and writes its bytes over the target in one step. False (after saying why) when the
// file could not be written.
bool WriteRoomFile(const std::string& fileName,
                   std::int64_t vertexCount,
                   std::int64_t faceCount,
                   const std::vector<std::uint8_t>& bytes,
                   OutputSink& out) {
    out.PrintOutput(std::string(kCrLf) + "Exporting " + fileName + "..." + std::string(kCrLf));
    out.PrintOutput("Number of Verts: " + FormatInteger(vertexCount) + std::string(kCrLf));
    out.PrintOutput("Number of Faces: " + FormatInteger(faceCount) + std::string(kCrLf));
    std::string error;
    if (ReplaceFileAtomically(fileName, bytes, error))
        return true;
    out.PrintOutput(std::string(kCrLf) + "Error: could not write " + fileName + ": " + error + std::string(kCrLf));
    return false;
}

}  // namespace

std::string FindExportDamage(const ObjectModel& model, bool combineSubObjects) {
    if (model.subObjectCount < 0) {
        return "the model lists " + FormatInteger(model.subObjectCount) + " sub-objects";
    }
    if (model.textureCount < 0 || model.textureCount > kRoomVertexLimit) {
        return "the model lists " + FormatInteger(model.textureCount) + " textures, outside the 0 to " +
               FormatInteger(kRoomVertexLimit) + " a room can name";
    }
    if (static_cast<std::size_t>(model.textureCount) > model.textureNames.size()) {
        return "the model lists " + FormatInteger(model.textureCount) + " textures but holds " +
               FormatInteger(static_cast<std::int64_t>(model.textureNames.size())) + " names";
    }
    constexpr std::int64_t kChunkLimit = std::numeric_limits<std::int32_t>::max();
    std::int64_t totalVertices = 0;
    std::int64_t totalFaceBytes = 0;
    for (std::size_t i = 0; i < static_cast<std::size_t>(model.subObjectCount); ++i) {
        const SubObject& sub = model.subObject(i);
        std::int64_t faceBytes = 0;
        std::string damage = FindSubObjectDamage(sub, i, model.textureCount, faceBytes);
        if (!damage.empty())
            return damage;
        if (!combineSubObjects && sub.vertexCount > kRoomVertexLimit) {
            return SubObjectLabel(i) + " has " + FormatInteger(sub.vertexCount) + " vertices, more than the " +
                   FormatInteger(kRoomVertexLimit) + " a room can hold";
        }
        if (!combineSubObjects && faceBytes > kChunkLimit) {
            return "the faces of " + SubObjectLabel(i) + " are more than a room file can hold";
        }
        totalVertices += sub.vertexCount;
        totalFaceBytes += faceBytes;
    }
    if (!combineSubObjects)
        return {};
    if (totalVertices > kRoomVertexLimit) {
        return "the combined room would hold " + FormatInteger(totalVertices) + " vertices, more than the " +
               FormatInteger(kRoomVertexLimit) + " a room can hold (one room per sub-object can hold them)";
    }
    if (totalFaceBytes > kChunkLimit)
        return "the model's faces are more than a room file can hold";
    std::string damage = FindParentChainDamage(model);
    if (!damage.empty())
        return damage;
    for (std::size_t i = 0; i < static_cast<std::size_t>(model.subObjectCount); ++i) {
        if (model.subObject(i).vertexCount == 0)
            continue;
        const Vector3 offset = WorldOffset(model, i);
        if (!std::isfinite(offset.x) || !std::isfinite(offset.y) || !std::isfinite(offset.z)) {
            return "the offsets along the parent chain of " + SubObjectLabel(i) + " add up to " + Describe(offset) +
                   ", which is not a finite position";
        }
    }
    return {};
}

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

std::vector<std::uint8_t> BuildCombinedRoom(const ObjectModel& model, std::span<const std::string> textureNames) {
    std::vector<RoomPart> parts;
    parts.reserve(static_cast<std::size_t>(model.subObjectCount));
    for (std::size_t i = 0; i < static_cast<std::size_t>(model.subObjectCount); ++i) {
        const SubObject& sub = model.subObject(i);
        parts.push_back({&sub, sub.vertexCount > 0 ? WorldOffset(model, i) : Vector3{}});
    }
    return BuildRoom(model, parts, true, textureNames);
}

std::vector<std::uint8_t> BuildSubObjectRoom(const ObjectModel& model,
                                             std::size_t index,
                                             std::span<const std::string> textureNames) {
    const RoomPart part{&model.subObject(index), {}};
    return BuildRoom(model, std::span<const RoomPart>(&part, 1), false, textureNames);
}

ExportOutcome WriteRooms(const ObjectModel& model,
                         const TextureTable& table,
                         const RoomExportOptions& options,
                         ExportNames& names,
                         OutputSink& out) {
    if (!DeriveBaseName(names, options.pathSeparator))
        return ExportOutcome::Skipped;
    const std::string damage = FindExportDamage(model, options.combineSubObjects);
    if (!damage.empty()) {
        out.PrintOutput(std::string(kCrLf) + "Error: " + damage + "; no room was written" + std::string(kCrLf));
        return ExportOutcome::Refused;
    }
    const std::vector<std::string> textureNames = RoomTextureNames(model, table);

    if (options.combineSubObjects) {
        std::int64_t vertexCount = 0;
        std::int64_t faceCount = 0;
        for (std::size_t i = 0; i < static_cast<std::size_t>(model.subObjectCount); ++i) {
            vertexCount += model.subObject(i).vertexCount;
            faceCount += model.subObject(i).faceCount;
        }
        const bool written =
            WriteRoomFile(names.orfPath + ".orf", vertexCount, faceCount, BuildCombinedRoom(model, textureNames), out);
        return written ? ExportOutcome::Written : ExportOutcome::Failed;
    }

    for (std::int32_t room = 1; room <= model.subObjectCount; ++room) {
        const SubObject& sub = model.subObject(static_cast<std::size_t>(room - 1));
        const bool written =
            WriteRoomFile(RoomFileName(names.orfPath, model.subObjectCount, room), sub.vertexCount, sub.faceCount,
                          BuildSubObjectRoom(model, static_cast<std::size_t>(room - 1), textureNames), out);
        if (!written)
            return ExportOutcome::Failed;
    }
    return ExportOutcome::Written;
}

}  // namespace torvale
