#include "render/scene.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include "core/ascii_text.h"

namespace torvale {
namespace {

std::uint32_t Pack(double r, double g, double b) {
    const auto channel = [](double c) {
        return static_cast<std::uint32_t>(std::clamp(std::lround(c * 255.0), 0L, 255L));
    };
    return (channel(r) << 16) | (channel(g) << 8) | channel(b);
}

std::uint32_t FaceColorOf(const Scene& scene, const SceneFace& face) {
    if (face.texture == kUntextured)
        return (std::uint32_t{face.color.red} << 16) | (std::uint32_t{face.color.green} << 8) | face.color.blue;
    return TextureColor(scene.textures[static_cast<std::size_t>(face.texture)]);
}

void AddPoints(const Scene& scene, const std::vector<ScenePoint>& points, MarkerKind kind, PreviewScene& preview) {
    for (const ScenePoint& point : points) {
        Vector3 position = point.position;
        if (point.parent >= 0)
            position = position + WorldOffset(scene, static_cast<std::size_t>(point.parent));
        preview.markers.push_back({position, kind});
    }
}

void FitSphere(PreviewScene& scene) {
    const auto fit = [&scene](auto begin, auto end, auto position) {
        double low[3] = {std::numeric_limits<double>::max(), std::numeric_limits<double>::max(),
                         std::numeric_limits<double>::max()};
        double high[3] = {-low[0], -low[1], -low[2]};
        bool any = false;
        for (auto it = begin; it != end; ++it) {
            const Vector3& p = position(*it);
            if (!IsFinite(p))
                continue;
            any = true;
            const double v[3] = {static_cast<double>(p.x), static_cast<double>(p.y), static_cast<double>(p.z)};
            for (int axis = 0; axis < 3; ++axis) {
                low[axis] = std::min(low[axis], v[axis]);
                high[axis] = std::max(high[axis], v[axis]);
            }
        }
        if (!any)
            return false;
        const double c[3] = {(low[0] + high[0]) / 2, (low[1] + high[1]) / 2, (low[2] + high[2]) / 2};
        double farthest = 0.0;
        for (auto it = begin; it != end; ++it) {
            const Vector3& p = position(*it);
            if (IsFinite(p))
                farthest =
                    std::max(farthest, std::hypot(static_cast<double>(p.x) - c[0], static_cast<double>(p.y) - c[1],
                                                  static_cast<double>(p.z) - c[2]));
        }
        scene.centre = {static_cast<float>(c[0]), static_cast<float>(c[1]), static_cast<float>(c[2])};
        const auto radius = static_cast<float>(farthest);
        // A single point, or sizes beyond float: keep a unit sphere so the picture still has a scale.
        scene.radius = std::isfinite(radius) && radius > 0.0f ? radius : 1.0f;
        return true;
    };
    if (!fit(scene.vertices.begin(), scene.vertices.end(), [](const Vector3& v) -> const Vector3& { return v; }))
        fit(scene.markers.begin(), scene.markers.end(),
            [](const PreviewMarker& m) -> const Vector3& { return m.position; });
}

}  // namespace

std::uint32_t TextureColor(std::string_view name) {
    while (!name.empty() && name.back() == '\0')
        name.remove_suffix(1);
    std::uint32_t hash = 2166136261u;  // FNV-1a
    for (const char ch : name) {
        hash ^= static_cast<unsigned char>(AsciiLower(ch));
        hash *= 16777619u;
    }
    // Hue from the whole hash; saturation 0.55..0.75 and value 0.80..0.95 from its top bits, so that no texture
    // is grey, black or glaring and the shading still shows.
    const double hue = static_cast<double>(hash % 360u) / 60.0;
    const double saturation = 0.55 + 0.20 * static_cast<double>((hash >> 16) & 0xFF) / 255.0;
    const double value = 0.80 + 0.15 * static_cast<double>(hash >> 24) / 255.0;
    const double chroma = value * saturation;
    const double x = chroma * (1.0 - std::fabs(std::fmod(hue, 2.0) - 1.0));
    const double m = value - chroma;
    double r = 0, g = 0, b = 0;
    switch (static_cast<int>(hue)) {
        case 0:
            r = chroma, g = x;
            break;
        case 1:
            r = x, g = chroma;
            break;
        case 2:
            g = chroma, b = x;
            break;
        case 3:
            g = x, b = chroma;
            break;
        case 4:
            r = x, b = chroma;
            break;
        default:
            r = chroma, b = x;
            break;
    }
    return Pack(r + m, g + m, b + m);
}

PreviewScene BuildPreviewScene(const Scene& model, std::span<const std::size_t> flaggedFaces) {
    PreviewScene scene;
    for (std::size_t s = 0; s < model.objects.size(); ++s) {
        const SceneObject& object = model.objects[s];
        const auto base = static_cast<std::uint32_t>(scene.vertices.size());
        if (!object.positions.empty()) {
            const Vector3 offset = WorldOffset(model, s);
            for (const Vector3& p : object.positions)
                scene.vertices.push_back(p + offset);
        }
        for (const SceneFace& face : object.faces) {
            PreviewFace drawn;
            drawn.color = FaceColorOf(model, face);
            drawn.texture = face.texture;
            drawn.firstCorner = static_cast<std::uint32_t>(scene.corners.size());
            if (face.cornerCount >= 3) {
                for (const SceneCorner& corner : object.cornersOf(face)) {
                    scene.corners.push_back(base + corner.vertex);
                    scene.uvs.push_back({corner.u, corner.v});
                }
                drawn.cornerCount = face.cornerCount;
            }
            scene.faces.push_back(drawn);
        }
    }
    for (const std::size_t flagged : flaggedFaces) {
        if (flagged < scene.faces.size())
            scene.faces[flagged].flagged = true;
    }
    AddPoints(model, model.gunpoints, MarkerKind::Gunpoint, scene);
    AddPoints(model, model.attachPoints, MarkerKind::AttachPoint, scene);
    FitSphere(scene);
    return scene;
}

}  // namespace torvale
