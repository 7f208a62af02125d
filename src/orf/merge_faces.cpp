#include "orf/merge_faces.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <vector>

#include "model_io/polygon.h"

namespace torvale {
namespace {

// The level editor's limits for a face: its corner buffer, and its non-planar rule (a corner further than this
// from the corners' mean distance along the normal).
constexpr std::size_t kEditorCornerLimit = 64;
constexpr float kPlanarTolerance = 0.1f;
// Corners whose UVs differ by less than this agree.
constexpr float kUvTolerance = 1e-5f;
// A turn against the normal smaller than this (sine of the angle) still counts as straight, far inside the
// editor's concave threshold of 0.05.
constexpr float kStraightTolerance = 1e-3f;
constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;

std::uint64_t EdgeKey(std::uint32_t from, std::uint32_t to) {
    return (static_cast<std::uint64_t>(from) << 32) | to;
}

bool SameLook(const SceneObject& object, std::size_t a, std::size_t b) {
    const SceneFace& fa = object.faces[a];
    const SceneFace& fb = object.faces[b];
    if (fa.texture != fb.texture)
        return false;
    return fa.texture != kUntextured || fa.color == fb.color;
}

bool SameUv(const SceneCorner& a, const SceneCorner& b) {
    return std::abs(a.u - b.u) <= kUvTolerance && std::abs(a.v - b.v) <= kUvTolerance;
}

class Merger {
public:
    Merger(SceneObject& sub, const MergeFacesOptions& options)
        : sub_(sub),
          minCosine_(static_cast<float>(std::cos(static_cast<double>(options.maxAngleDegrees) * kRadiansPerDegree))) {}
    MergeFacesResult run();

private:
    bool usable(std::size_t face) const;
    bool tryJoin(std::vector<SceneCorner>& polygon, std::size_t edge, std::size_t seed);
    bool acceptable(const std::vector<SceneCorner>& polygon, std::size_t joining) const;
    const Vector3& position(const SceneCorner& c) const { return sub_.positions[c.vertex]; }
    std::span<const SceneCorner> cornersOf(std::size_t face) const { return sub_.cornersOf(sub_.faces[face]); }

    SceneObject& sub_;
    float minCosine_;
    std::vector<std::size_t> members_;  // the faces of the polygon being grown
    std::unordered_map<std::uint64_t, std::size_t> edgeOwner_;
    std::vector<bool> consumed_;
    std::vector<Vector3> normals_;
    mutable std::vector<Vector3> scratch_;  // corner positions, reused between faces
};

// A face can merge when it has at least 3 corners.
bool Merger::usable(std::size_t f) const {
    return sub_.faces[f].cornerCount >= 3;
}

// `joining` is the face about to join the members; every one of them must lie along the joined normal.
bool Merger::acceptable(const std::vector<SceneCorner>& polygon, std::size_t joining) const {
    if (polygon.size() > kEditorCornerLimit)
        return false;
    std::vector<Vector3>& points = scratch_;
    points.clear();
    for (const SceneCorner& c : polygon)
        points.push_back(position(c));
    const Vector3 normal = ComputeFaceNormal(points);
    const float length = Length(normal);
    if (!(length > 0.0f))
        return false;
    const auto alongNormal = [&](std::size_t face) {
        return Dot(normals_[face], normal) >= minCosine_ * length * Length(normals_[face]);
    };
    if (!alongNormal(joining) || !std::all_of(members_.begin(), members_.end(), alongNormal))
        return false;
    float mean = 0.0f;
    for (const Vector3& p : points)
        mean += Dot(p, normal);
    mean /= static_cast<float>(points.size());
    for (const Vector3& p : points)
        if (std::abs(Dot(p, normal) - mean) > kPlanarTolerance)
            return false;
    const std::size_t n = points.size();
    for (std::size_t i = 0; i < n; ++i) {
        const Vector3 e0 = points[(i + 1) % n] - points[i];
        const Vector3 e1 = points[(i + 2) % n] - points[(i + 1) % n];
        const float lengths = Length(e0) * Length(e1);
        if (lengths <= 0.0f || Dot(Cross(e0, e1), normal) < -kStraightTolerance * lengths)
            return false;
    }
    return true;
}

// Joins the face across edge `edge` (polygon[edge] -> polygon[edge + 1]) into `polygon` when the result passes.
bool Merger::tryJoin(std::vector<SceneCorner>& polygon, std::size_t edge, std::size_t seed) {
    const std::size_t n = polygon.size();
    const SceneCorner& a = polygon[edge];
    const SceneCorner& b = polygon[(edge + 1) % n];
    const auto owner = edgeOwner_.find(EdgeKey(b.vertex, a.vertex));
    if (owner == edgeOwner_.end())
        return false;
    const std::size_t other = owner->second;
    if (consumed_[other] || !SameLook(sub_, seed, other) || Dot(normals_[seed], normals_[other]) <= 0.0f)
        return false;
    const std::span<const SceneCorner> oc = cornersOf(other);
    const std::size_t m = oc.size();
    // The other face runs b -> a; its remaining corners follow a and come round to b.
    std::size_t at = 0;
    while (at < m && oc[at].vertex != a.vertex)
        ++at;
    if (at == m || oc[(at + m - 1) % m].vertex != b.vertex || !SameUv(oc[at], a) || !SameUv(oc[(at + m - 1) % m], b))
        return false;
    std::vector<SceneCorner> joined(polygon.begin(), polygon.begin() + static_cast<std::ptrdiff_t>(edge + 1));
    for (std::size_t k = 1; k + 1 < m; ++k) {
        const SceneCorner& c = oc[(at + k) % m];
        // A corner already on the polygon would pinch it into two loops.
        if (std::any_of(polygon.begin(), polygon.end(), [&](const SceneCorner& p) { return p.vertex == c.vertex; }))
            return false;
        joined.push_back(c);
    }
    joined.insert(joined.end(), polygon.begin() + static_cast<std::ptrdiff_t>(edge + 1), polygon.end());
    if (!acceptable(joined, other))
        return false;
    polygon = std::move(joined);
    consumed_[other] = true;
    members_.push_back(other);
    return true;
}

MergeFacesResult Merger::run() {
    const std::size_t faceCount = sub_.faces.size();
    MergeFacesResult result{faceCount, faceCount};
    consumed_.assign(faceCount, false);
    normals_.assign(faceCount, {});
    std::vector<bool> usable(faceCount, false);
    for (std::size_t f = 0; f < faceCount; ++f) {
        usable[f] = this->usable(f);
        if (!usable[f])
            continue;
        const std::span<const SceneCorner> c = cornersOf(f);
        const std::size_t n = c.size();
        scratch_.clear();
        for (std::size_t k = 0; k < n; ++k) {
            scratch_.push_back(position(c[k]));
            edgeOwner_.try_emplace(EdgeKey(c[k].vertex, c[(k + 1) % n].vertex), f);
        }
        normals_[f] = ComputeFaceNormal(scratch_);
    }

    std::vector<SceneFace> faces;
    std::vector<SceneCorner> corners;
    faces.reserve(faceCount);
    corners.reserve(sub_.corners.size());
    std::vector<SceneCorner> polygon;
    for (std::size_t f = 0; f < faceCount; ++f) {
        if (consumed_[f])
            continue;
        consumed_[f] = true;
        const std::span<const SceneCorner> c = cornersOf(f);
        polygon.assign(c.begin(), c.end());
        members_.assign(1, f);
        bool grew = false;
        if (usable[f] && Length(normals_[f]) > 0.0f) {
            for (bool joined = true; joined;) {
                joined = false;
                for (std::size_t e = 0; e < polygon.size() && !joined; ++e)
                    joined = tryJoin(polygon, e, f);
                grew = grew || joined;
            }
        }
        SceneFace face = sub_.faces[f];
        if (grew) {
            scratch_.clear();
            for (const SceneCorner& p : polygon)
                scratch_.push_back(position(p));
            face.normal = ComputeFaceNormal(scratch_);
        }
        face.firstCorner = static_cast<std::uint32_t>(corners.size());
        face.cornerCount = static_cast<std::uint32_t>(polygon.size());
        faces.push_back(face);
        corners.insert(corners.end(), polygon.begin(), polygon.end());
    }
    result.facesAfter = faces.size();
    sub_.faces = std::move(faces);
    sub_.corners = std::move(corners);
    return result;
}

}  // namespace

bool IsMergeAngle(double degrees) {
    return std::isfinite(degrees) && degrees >= 0.0 && degrees < 90.0;
}

MergeFacesResult MergeCoplanarFaces(SceneObject& object, const MergeFacesOptions& options) {
    return Merger(object, options).run();
}

MergeFacesResult MergeCoplanarFaces(Scene& scene, const MergeFacesOptions& options) {
    MergeFacesResult total;
    for (SceneObject& sub : scene.objects) {
        const MergeFacesResult one = MergeCoplanarFaces(sub, options);
        total.facesBefore += one.facesBefore;
        total.facesAfter += one.facesAfter;
    }
    return total;
}

}  // namespace torvale
