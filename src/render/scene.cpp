#include "render/scene.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace torvale {
namespace {

Vector3 Add(const Vector3& a, const Vector3& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

// Where each sub-object's vertices go: its attach offset plus those of its parents, in the order the combined
// room adds them. A parent out of range, or one this walk has passed already (a loop), ends the chain, so a
// walk passes each sub-object at most once.
class ParentChains {
public:
    explicit ParentChains(const ObjectModel& model)
        : model_(model), seen_(static_cast<std::size_t>(std::max(model.subObjectCount, 0))) {}

    Vector3 offset(std::size_t index) {
        ++walk_;
        const SubObject* sub = &model_.subObject(index);
        seen_[index] = walk_;
        Vector3 sum = sub->attachOffset;
        while (sub->parent >= 0 && static_cast<std::size_t>(sub->parent) < seen_.size()) {
            const auto parent = static_cast<std::size_t>(sub->parent);
            if (seen_[parent] == walk_)
                break;
            seen_[parent] = walk_;
            sub = &model_.subObject(parent);
            sum = Add(sum, sub->attachOffset);
        }
        return sum;
    }

private:
    const ObjectModel& model_;
    std::vector<std::uint32_t> seen_;  // the walk that last passed each sub-object
    std::uint32_t walk_ = 0;
};

std::uint32_t Pack(double r, double g, double b) {
    const auto channel = [](double c) {
        return static_cast<std::uint32_t>(std::clamp(std::lround(c * 255.0), 0L, 255L));
    };
    return (channel(r) << 16) | (channel(g) << 8) | channel(b);
}

std::uint32_t FaceColorOf(const ObjectModel& model, const SubObject& sub, std::size_t face) {
    const std::int32_t texture = face < sub.faceTextureIndices.size() ? sub.faceTextureIndices[face] : -1;
    if (texture < 0) {
        if (face >= sub.faceColors.size())
            return kUnknownTextureColor;
        const FaceColor& c = sub.faceColors[face];
        return (std::uint32_t{c.red} << 16) | (std::uint32_t{c.green} << 8) | c.blue;
    }
    if (static_cast<std::size_t>(texture) >= model.textureNames.size())
        return kUnknownTextureColor;
    return TextureColor(model.textureNames[static_cast<std::size_t>(texture)]);
}

void AddPoints(const ObjectModel& model,
               ParentChains& chains,
               const std::vector<PointRecord>& points,
               std::int32_t count,
               MarkerKind kind,
               PreviewScene& scene) {
    const std::size_t n = std::min(points.size(), static_cast<std::size_t>(std::max(count, 0)));
    for (std::size_t i = 0; i < n; ++i) {
        const PointRecord& point = points[i];
        Vector3 position = point.location;
        if (point.parent >= 0 && point.parent < model.subObjectCount)
            position = Add(position, chains.offset(static_cast<std::size_t>(point.parent)));
        scene.markers.push_back({position, kind});
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
        const auto byte = static_cast<unsigned char>(ch);
        hash ^= (byte >= 'A' && byte <= 'Z') ? byte + 32u : byte;
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

PreviewScene BuildPreviewScene(const ObjectModel& model, std::span<const std::size_t> flaggedFaces) {
    PreviewScene scene;
    ParentChains chains(model);
    const auto subCount = static_cast<std::size_t>(std::max(model.subObjectCount, 0));
    for (std::size_t s = 0; s < subCount; ++s) {
        const SubObject& sub = model.subObject(s);
        const auto base = static_cast<std::uint32_t>(scene.vertices.size());
        const std::size_t vertexCount =
            std::min(sub.vertexPositions.size(), static_cast<std::size_t>(std::max(sub.vertexCount, 0)));
        if (vertexCount > 0) {  // the slots no SOBJ chunk filled have none, and are many in a damaged file
            const Vector3 offset = chains.offset(s);
            for (std::size_t v = 0; v < vertexCount; ++v)
                scene.vertices.push_back(Add(sub.vertexPositions[v], offset));
        }

        std::size_t faceCount = static_cast<std::size_t>(std::max(sub.faceCount, 0));
        faceCount = std::min({faceCount, sub.faceVertexCounts.size(), sub.faceFirstCorner.size()});
        for (std::size_t f = 0; f < faceCount; ++f) {
            PreviewFace face;
            face.color = FaceColorOf(model, sub, f);
            face.firstCorner = static_cast<std::uint32_t>(scene.corners.size());
            const std::int32_t corners = sub.faceVertexCounts[f];
            const std::size_t first = sub.faceFirstCorner[f];
            bool drawable = corners >= 3 && first <= sub.faceVertices.size() &&
                            static_cast<std::size_t>(corners) <= sub.faceVertices.size() - first;
            for (std::int32_t c = 0; drawable && c < corners; ++c) {
                const std::int32_t vertex = sub.faceVertices[first + static_cast<std::size_t>(c)].vertexIndex;
                drawable = vertex >= 0 && static_cast<std::size_t>(vertex) < vertexCount;
                if (drawable)
                    scene.corners.push_back(base + static_cast<std::uint32_t>(vertex));
            }
            if (drawable) {
                face.cornerCount = static_cast<std::uint32_t>(corners);
            } else {
                scene.corners.resize(face.firstCorner);
            }
            scene.faces.push_back(face);
        }
    }
    for (const std::size_t flagged : flaggedFaces) {
        if (flagged < scene.faces.size())
            scene.faces[flagged].flagged = true;
    }
    AddPoints(model, chains, model.gunpoints, model.gunpointCount, MarkerKind::Gunpoint, scene);
    AddPoints(model, chains, model.attachPoints, model.attachPointCount, MarkerKind::AttachPoint, scene);
    FitSphere(scene);
    return scene;
}

}  // namespace torvale
