#include "orf/room_report.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/number_text.h"
#include "oof/model_report.h"

namespace torvale {
namespace {

std::string Count(std::size_t n) {
    return FormatInteger(static_cast<std::int64_t>(n));
}

void Bounds(const std::vector<Vector3>& points, Vector3& low, Vector3& high) {
    low = high = points.front();
    for (const Vector3& p : points) {
        low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
    }
}

std::string WithZero(std::string_view text) {
    std::string stored(text);
    stored += '\0';
    return stored;
}

}  // namespace

void ReportRoom(const Room& room,
                std::string_view fileName,
                OutputSink& out,
                const std::function<std::string(std::string_view)>& gameText) {
    const std::string crlf(kCrLf);
    out.PrintOutput("Room: " + std::string(fileName) + crlf);
    out.PrintOutput("Version: " + FormatInteger(room.version) + crlf);
    out.PrintOutput("Number of Verts: " + Count(room.vertices.size()) + crlf);
    out.PrintOutput("Number of Faces: " + Count(room.faces.size()) + crlf);
    out.PrintOutput("Number of Corners: " + Count(room.corners.size()) + crlf);
    out.PrintOutput("Number of Textures: " + Count(room.textureNames.size()) + crlf);
    for (std::size_t t = 0; t < room.textureNames.size(); ++t)
        out.PrintOutput("Texture " + Count(t) + ": " +
                        (gameText ? gameText(room.textureNames[t]) : room.textureNames[t]) + crlf);
    if (room.vertices.empty()) {
        out.PrintOutput("Bounds: none, the room has no vertices" + crlf);
        return;
    }
    Vector3 low;
    Vector3 high;
    Bounds(room.vertices, low, high);
    out.PrintOutput("Bounds: " + FormatPoint(low) + " to " + FormatPoint(high) + crlf);
}

ObjectModel ModelFromRoom(const Room& room, std::string_view name) {
    ObjectModel model;
    model.fileId = "PSPO";
    model.fileVersion = 2300;
    for (const std::string& texture : room.textureNames) {
        model.textureNames.push_back(WithZero(texture));
        model.textureNameLengths.push_back(static_cast<std::int32_t>(texture.size() + 1));
    }
    model.textureCount = static_cast<std::int32_t>(room.textureNames.size());
    model.resizeSubObjects(1);  // also sets up the weapon-battery tables, empty
    model.subObjects.resize(1);

    SubObject& sub = model.subObjects[0];
    sub.number = 0;
    sub.parent = -1;
    sub.name = WithZero(name);
    sub.nameLength = static_cast<std::int32_t>(sub.name.size());
    sub.propertyName = WithZero("");
    sub.propertyLength = 1;

    sub.vertexCount = static_cast<std::int32_t>(room.vertices.size());
    sub.vertexPositions = room.vertices;
    sub.vertexNormals.assign(room.vertices.size(), Vector3{});
    sub.vertexAlphas.assign(room.vertices.size(), 1.0f);

    sub.faceCount = static_cast<std::int32_t>(room.faces.size());
    sub.faceVertices.reserve(room.corners.size());
    for (const RoomFace& face : room.faces) {
        sub.faceNormals.push_back(face.normal);
        sub.faceVertexCounts.push_back(static_cast<std::int32_t>(face.cornerCount));
        sub.faceTextured.push_back(1);
        sub.faceColors.push_back({});
        sub.faceTextureIndices.push_back(face.texture);
        sub.faceFirstCorner.push_back(sub.faceVertices.size());
        sub.faceExtraA.push_back(0);
        sub.faceExtraB.push_back(0);
        for (const RoomCorner& corner : room.cornersOf(face)) {
            sub.faceVertices.push_back({corner.vertex, corner.u, corner.v});
            Vector3& n = sub.vertexNormals[static_cast<std::size_t>(corner.vertex)];
            n = {n.x + face.normal.x, n.y + face.normal.y, n.z + face.normal.z};
        }
    }
    for (Vector3& n : sub.vertexNormals) {
        const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
        n = length > 0.0f ? Vector3{n.x / length, n.y / length, n.z / length} : Vector3{0.0f, 0.0f, 1.0f};
    }

    if (!room.vertices.empty()) {
        Bounds(room.vertices, model.boundsMin, model.boundsMax);
        float radius = 0.0f;
        for (const Vector3& p : room.vertices)
            radius = std::max(radius, std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z));
        model.maxRadius = radius;
        sub.radius = radius;
        sub.geometricCenter = {(model.boundsMin.x + model.boundsMax.x) / 2, (model.boundsMin.y + model.boundsMax.y) / 2,
                               (model.boundsMin.z + model.boundsMax.z) / 2};
    }
    return model;
}

}  // namespace torvale
