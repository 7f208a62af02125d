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

Scene SceneFromRoom(const Room& room, std::string_view name) {
    Scene scene;
    scene.textures = room.textureNames;
    SceneObject& object = scene.objects.emplace_back();
    object.name = name.substr(0, name.find('\0'));
    object.positions = room.vertices;
    object.normals.assign(room.vertices.size(), Vector3{});
    object.alphas.assign(room.vertices.size(), 1.0f);
    object.faces.reserve(room.faces.size());
    object.corners.reserve(room.corners.size());
    for (const RoomFace& face : room.faces) {
        SceneFace& out = object.faces.emplace_back();
        out.firstCorner = static_cast<std::uint32_t>(object.corners.size());
        out.cornerCount = face.cornerCount;
        out.texture = face.texture;
        out.normal = face.normal;
        for (const RoomCorner& corner : room.cornersOf(face)) {
            const auto vertex = static_cast<std::uint32_t>(corner.vertex);
            object.corners.push_back({vertex, corner.u, corner.v});
            Vector3& n = object.normals[vertex];
            n = {n.x + face.normal.x, n.y + face.normal.y, n.z + face.normal.z};
        }
    }
    for (Vector3& n : object.normals) {
        const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
        n = length > 0.0f && std::isfinite(length) ? Vector3{n.x / length, n.y / length, n.z / length}
                                                   : Vector3{0.0f, 0.0f, 1.0f};
    }
    return scene;
}

}  // namespace torvale
