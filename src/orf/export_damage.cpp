#include "orf/export_damage.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "core/number_text.h"
#include "oof/model_report.h"
#include "orf/orf_writer.h"
#include "orf/room.h"

namespace torvale {
namespace {

// No chunk of a room may be longer than its 32-bit length field can say.
constexpr std::int64_t kChunkLimit = std::numeric_limits<std::int32_t>::max();

std::string SubObjectLabel(std::size_t index) {
    return "sub-object #" + FormatInteger(static_cast<std::int64_t>(index));
}

std::string RangeText(std::int64_t count, const char* none, const char* what) {
    if (count <= 0)
        return none;
    return std::string(what) + " 0 to " + FormatInteger(count - 1);
}

// What one room would hold. Every size rule of a room is checked against these in FindRoomSizeDamage, the
// same way for a combined room and for a room of one sub-object.
struct RoomTotals {
    std::int64_t vertices = 0;
    std::int64_t faces = 0;
    std::int64_t faceBytes = 0;
    std::int64_t triangles = 0;
    std::int64_t subObjects = 0;  // that hold faces
};

// What can bring a room within the editor's limits: merging helps only against faces, and only a mesh of
// triangles; several sub-objects can go to rooms of their own; anything else is the modelling tool's work.
std::string LimitAdvice(const RoomTotals& totals, bool overFaces, bool combined) {
    std::string advice;
    if (overFaces && totals.triangles * 2 > totals.faces)
        advice = "merge its triangles into larger faces (torvale-cli export --merge-faces)";
    if (combined && totals.subObjects > 1)
        advice += (advice.empty() ? "" : " or ") + std::string("export one room per sub-object");
    if (advice.empty())
        advice = combined ? "split the model into smaller parts in the modelling tool"
                          : "split the sub-object into smaller ones in the modelling tool";
    return advice;
}

// `room` names the room in the message; `combined` tells whether it gathers every sub-object.
std::string FindRoomSizeDamage(const RoomTotals& totals, const std::string& room, bool combined) {
    const auto over = [&](std::int64_t count, const char* what, std::int64_t limit) {
        return room + " would hold " + FormatInteger(count) + " " + what + ", more than the " + FormatInteger(limit) +
               " the level editor takes in a room; " + LimitAdvice(totals, limit == kEditorFaceLimit, combined);
    };
    if (totals.vertices > kEditorVertexLimit)
        return over(totals.vertices, "vertices", kEditorVertexLimit);
    if (totals.faces > kEditorFaceLimit)
        return over(totals.faces, "faces", kEditorFaceLimit);
    if (totals.faceBytes > kChunkLimit)
        return "the faces of " + room + " are more than a room file can hold";
    return {};
}

// The first face of `sub` with fewer corners than a face needs or more than the level editor takes.
std::string FindCornerCountProblem(const SubObject& sub, const std::string& label) {
    for (std::size_t face = 0; face < static_cast<std::size_t>(sub.faceCount); ++face) {
        const std::int32_t corners = sub.faceVertexCounts[face];
        if (corners >= 3 && corners <= kEditorCornerLimit)
            continue;
        const std::string faceLabel = label + ": face " + FormatInteger(static_cast<std::int64_t>(face)) + " has " +
                                      FormatInteger(corners) + (corners == 1 ? " corner" : " corners");
        if (corners < 3)
            return faceLabel + ", but a face needs at least 3; remove the face in the modelling tool";
        return faceLabel + ", more than the " + FormatInteger(kEditorCornerLimit) +
               " the level editor takes in a face; split the face in the modelling tool";
    }
    return {};
}

// Tells in words the first face of `sub` whose corners or texture cannot be exported. Only called once the
// quick check has found that one of them is wrong.
std::string DescribeFaceDamage(const SubObject& sub, const std::string& label, std::int32_t textureCount) {
    for (std::size_t face = 0; face < static_cast<std::size_t>(sub.faceCount); ++face) {
        const std::string faceLabel = label + ", face #" + FormatInteger(static_cast<std::int64_t>(face));
        const std::int32_t corners = sub.faceVertexCounts[face];
        const std::size_t first = sub.faceFirstCorner[face];
        if (corners < 0 || first > sub.faceVertices.size() ||
            static_cast<std::size_t>(corners) > sub.faceVertices.size() - first) {
            return faceLabel + " lists " + FormatInteger(corners) + " corners, beyond the stored corners";
        }
        const std::int32_t texture = sub.faceTextureIndices[face];
        if (texture < -1 || texture >= textureCount) {
            return faceLabel + " uses texture " + FormatInteger(texture) + ", but the model has " +
                   RangeText(textureCount, "no textures", "textures");
        }
        const FaceVertex* corner = sub.cornersOf(face);
        for (std::int32_t k = 0; k < corners; ++k) {
            const std::int32_t vertex = corner[k].vertexIndex;
            if (vertex < 0 || vertex >= sub.vertexCount) {
                return faceLabel + ", corner #" + FormatInteger(k) + " names vertex " + FormatInteger(vertex) +
                       ", but the sub-object has " + RangeText(sub.vertexCount, "no vertices", "vertices");
            }
        }
    }
    return {};
}

bool IsFinite(const Vector3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// The first vertex, face normal or texture coordinate of a sound sub-object that is not a finite number: a room
// holding one shows nothing sensible in the level editor.
std::string FindNonFiniteNumber(const SubObject& sub, const std::string& label) {
    for (std::size_t v = 0; v < static_cast<std::size_t>(sub.vertexCount); ++v)
        if (!IsFinite(sub.vertexPositions[v]))
            return label + ", vertex #" + FormatInteger(static_cast<std::int64_t>(v)) + " is at " +
                   FormatPoint(sub.vertexPositions[v]) + ", which is not a finite position";
    for (std::size_t face = 0; face < static_cast<std::size_t>(sub.faceCount); ++face) {
        const std::string faceLabel = label + ", face #" + FormatInteger(static_cast<std::int64_t>(face));
        if (!IsFinite(sub.faceNormals[face]))
            return faceLabel + " has a normal of " + FormatPoint(sub.faceNormals[face]) + ", which is not finite";
        const FaceVertex* corner = sub.cornersOf(face);
        for (std::int32_t k = 0; k < sub.faceVertexCounts[face]; ++k)
            if (!std::isfinite(corner[k].u) || !std::isfinite(corner[k].v))
                return faceLabel + " has a texture coordinate that is not a finite number";
    }
    return {};
}

// Checks one sub-object's own tables and adds up its room totals. `room` names the room file its faces go
// to, for the refusals of the editor's limits (empty: the sub-object alone names them).
std::string FindSubObjectDamage(const SubObject& sub,
                                std::size_t index,
                                std::int32_t textureCount,
                                const std::string& room,
                                RoomTotals& totals) {
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
    // The quick check: counts and textures face by face, noting whether the faces' corners follow one another
    // in the corner table as the reader stores them; then every vertex number in one run over those corners.
    // One unsigned comparison catches negative numbers too. Any doubt goes to DescribeFaceDamage.
    const auto faces = static_cast<std::size_t>(sub.faceCount);
    const std::size_t stored = sub.faceVertices.size();
    const auto textures = static_cast<std::uint32_t>(textureCount) + 1;  // -1 moves to 0
    bool sound = true;
    bool shapely = true;  // every face has 3 to 64 corners
    bool inOrder = true;
    std::size_t next = 0;
    std::int64_t corners = 0;
    std::int64_t triangles = 0;
    for (std::size_t face = 0; face < faces; ++face) {
        const std::int32_t n = sub.faceVertexCounts[face];
        triangles += n == 3 ? 1 : 0;
        const std::size_t first = sub.faceFirstCorner[face];
        sound &= n >= 0 && first <= stored && static_cast<std::size_t>(n) <= stored - first;
        shapely &= n >= 3 && n <= kEditorCornerLimit;
        sound &= static_cast<std::uint32_t>(sub.faceTextureIndices[face]) + 1u < textures;
        inOrder &= first == next;
        next = first + static_cast<std::size_t>(n);
        corners += n;
    }
    if (sound) {
        const auto vertexCount = static_cast<std::uint32_t>(sub.vertexCount);
        bool outside = false;
        if (inOrder) {
            const FaceVertex* corner = sub.faceVertices.data();
            for (std::size_t k = 0; k < next; ++k)
                outside |= static_cast<std::uint32_t>(corner[k].vertexIndex) >= vertexCount;
        } else {
            for (std::size_t face = 0; face < faces; ++face) {
                const FaceVertex* corner = sub.cornersOf(face);
                for (std::int32_t k = 0; k < sub.faceVertexCounts[face]; ++k)
                    outside |= static_cast<std::uint32_t>(corner[k].vertexIndex) >= vertexCount;
            }
        }
        sound = !outside;
    }
    if (!sound)
        return DescribeFaceDamage(sub, SubObjectLabel(index), textureCount);
    if (!shapely)
        return FindCornerCountProblem(sub,
                                      room.empty() ? SubObjectLabel(index) : room + " (" + SubObjectLabel(index) + ")");
    if (std::string numbers = FindNonFiniteNumber(sub, SubObjectLabel(index)); !numbers.empty())
        return numbers;
    totals.vertices += sub.vertexCount;
    totals.faces += sub.faceCount;
    totals.triangles += triangles;
    totals.subObjects += sub.faceCount > 0 ? 1 : 0;
    totals.faceBytes += static_cast<std::int64_t>(kOrfFaceRecordBytes) * sub.faceCount +
                        static_cast<std::int64_t>(kOrfCornerRecordBytes) * corners;
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

}  // namespace

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

std::string FindExportDamage(const ObjectModel& model, bool combineSubObjects, const RoomNamer& roomName) {
    const auto nameOf = [&](std::size_t subObject) {
        if (roomName)
            return roomName(subObject);
        return subObject == kCombinedRoom ? std::string("the combined room") : SubObjectLabel(subObject);
    };
    if (model.subObjectCount < 0) {
        return "the model lists " + FormatInteger(model.subObjectCount) + " sub-objects";
    }
    if (model.textureCount < 0 || model.textureCount > kRoomTextureLimit) {
        return "the model lists " + FormatInteger(model.textureCount) + " textures, outside the 0 to " +
               FormatInteger(kRoomTextureLimit) + " a room can name";
    }
    if (static_cast<std::size_t>(model.textureCount) > model.textureNames.size()) {
        return "the model lists " + FormatInteger(model.textureCount) + " textures but holds " +
               FormatInteger(static_cast<std::int64_t>(model.textureNames.size())) + " names";
    }
    RoomTotals combined;
    for (std::size_t i = 0; i < static_cast<std::size_t>(model.subObjectCount); ++i) {
        RoomTotals own;
        const std::string room = roomName ? roomName(combineSubObjects ? kCombinedRoom : i) : std::string();
        std::string damage = FindSubObjectDamage(model.subObject(i), i, model.textureCount, room, own);
        if (damage.empty() && !combineSubObjects)
            damage = FindRoomSizeDamage(own, roomName ? room + " (" + SubObjectLabel(i) + ")" : nameOf(i), false);
        if (!damage.empty())
            return damage;
        combined.vertices += own.vertices;
        combined.faces += own.faces;
        combined.faceBytes += own.faceBytes;
        combined.triangles += own.triangles;
        combined.subObjects += own.subObjects;
    }
    if (!combineSubObjects)
        return {};
    std::string damage = FindRoomSizeDamage(combined, nameOf(kCombinedRoom), true);
    if (damage.empty())
        damage = FindParentChainDamage(model);
    if (!damage.empty())
        return damage;
    for (std::size_t i = 0; i < static_cast<std::size_t>(model.subObjectCount); ++i) {
        if (model.subObject(i).vertexCount == 0)
            continue;
        const Vector3 offset = WorldOffset(model, i);
        if (!std::isfinite(offset.x) || !std::isfinite(offset.y) || !std::isfinite(offset.z)) {
            return "the offsets along the parent chain of " + SubObjectLabel(i) + " add up to " + FormatPoint(offset) +
                   ", which is not a finite position";
        }
    }
    return {};
}

}  // namespace torvale
