#include "orf/room_limits.h"

#include <limits>

#include "core/number_text.h"
#include "orf/orf_writer.h"

namespace torvale {
namespace {

// No chunk of a room may be longer than its 32-bit length field can say.
constexpr std::int64_t kChunkLimit = std::numeric_limits<std::int32_t>::max();

// What one room would hold. Every size rule of a room is checked against these, the same way for a combined
// room and for a room of one sub-object.
struct RoomTotals {
    std::int64_t vertices = 0;
    std::int64_t faces = 0;
    std::int64_t faceBytes = 0;
    std::int64_t triangles = 0;
    std::int64_t subObjects = 0;  // that hold faces

    void add(const RoomTotals& other) {
        vertices += other.vertices;
        faces += other.faces;
        faceBytes += other.faceBytes;
        triangles += other.triangles;
        subObjects += other.subObjects;
    }
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
std::string FindRoomSizeProblem(const RoomTotals& totals, const std::string& room, bool combined) {
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

// The first face of `object` with fewer corners than a face needs or more than the level editor takes, and
// the object's room totals.
std::string FindCornerCountProblem(const SceneObject& object, const std::string& label, RoomTotals& totals) {
    for (std::size_t face = 0; face < object.faces.size(); ++face) {
        const std::uint32_t corners = object.faces[face].cornerCount;
        totals.triangles += corners == 3 ? 1 : 0;
        if (corners >= 3 && corners <= kEditorCornerLimit)
            continue;
        const std::string faceLabel = label + ": face " + FormatInteger(static_cast<std::int64_t>(face)) + " has " +
                                      FormatInteger(corners) + (corners == 1 ? " corner" : " corners");
        if (corners < 3)
            return faceLabel + ", but a face needs at least 3; remove the face in the modelling tool";
        return faceLabel + ", more than the " + FormatInteger(kEditorCornerLimit) +
               " the level editor takes in a face; split the face in the modelling tool";
    }
    totals.vertices = static_cast<std::int64_t>(object.positions.size());
    totals.faces = static_cast<std::int64_t>(object.faces.size());
    totals.subObjects = object.faces.empty() ? 0 : 1;
    totals.faceBytes = static_cast<std::int64_t>(kOrfFaceRecordBytes * object.faces.size() +
                                                 kOrfCornerRecordBytes * object.corners.size());
    return {};
}

}  // namespace

std::string FindRoomLimitProblem(const Scene& scene, bool combineSubObjects, const RoomNamer& roomName) {
    const auto nameOf = [&](std::size_t subObject) {
        if (roomName)
            return roomName(subObject);
        return subObject == kCombinedRoom ? std::string("the combined room") : SubObjectLabel(subObject);
    };
    const auto textures = static_cast<std::int64_t>(scene.textures.size());
    if (textures > kRoomTextureLimit) {
        return "the model lists " + FormatInteger(textures) + " textures, outside the 0 to " +
               FormatInteger(kRoomTextureLimit) + " a room can name";
    }
    RoomTotals combined;
    for (std::size_t i = 0; i < scene.objects.size(); ++i) {
        const std::string room = roomName ? roomName(combineSubObjects ? kCombinedRoom : i) : std::string();
        RoomTotals own;
        std::string problem = FindCornerCountProblem(
            scene.objects[i], room.empty() ? SubObjectLabel(i) : room + " (" + SubObjectLabel(i) + ")", own);
        if (problem.empty() && !combineSubObjects)
            problem = FindRoomSizeProblem(own, roomName ? room + " (" + SubObjectLabel(i) + ")" : nameOf(i), false);
        if (!problem.empty())
            return problem;
        combined.add(own);
    }
    if (!combineSubObjects)
        return {};
    return FindRoomSizeProblem(combined, nameOf(kCombinedRoom), true);
}

}  // namespace torvale
