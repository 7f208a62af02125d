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

std::uint64_t EdgeKey(std::int32_t from, std::int32_t to) {
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(from)) << 32) | static_cast<std::uint32_t>(to);
}

bool SameLook(const SubObject& sub, std::size_t a, std::size_t b) {
    if (sub.faceTextureIndices[a] != sub.faceTextureIndices[b])
        return false;
    if (sub.faceTextureIndices[a] >= 0)
        return true;
    const FaceColor& ca = sub.faceColors[a];
    const FaceColor& cb = sub.faceColors[b];
    return ca.red == cb.red && ca.green == cb.green && ca.blue == cb.blue;
}

bool SameUv(const FaceVertex& a, const FaceVertex& b) {
    return std::abs(a.u - b.u) <= kUvTolerance && std::abs(a.v - b.v) <= kUvTolerance;
}

class Merger {
public:
    Merger(SubObject& sub, const MergeFacesOptions& options)
        : sub_(sub),
          minCosine_(static_cast<float>(std::cos(static_cast<double>(options.maxAngleDegrees) * kRadiansPerDegree))) {}
    MergeFacesResult run();

private:
    bool usable(std::size_t face) const;
    bool tryJoin(std::vector<FaceVertex>& polygon, std::size_t edge, std::size_t seed);
    bool acceptable(const std::vector<FaceVertex>& polygon, std::size_t joining) const;
    const Vector3& position(const FaceVertex& c) const {
        return sub_.vertexPositions[static_cast<std::size_t>(c.vertexIndex)];
    }

    SubObject& sub_;
    float minCosine_;
    std::vector<std::size_t> members_;  // the faces of the polygon being grown
    std::unordered_map<std::uint64_t, std::size_t> edgeOwner_;
    std::vector<bool> consumed_;
    std::vector<Vector3> normals_;
    mutable std::vector<Vector3> scratch_;  // corner positions, reused between faces
};

// A face can merge when every corner names a vertex of the sub-object and it has an area.
bool Merger::usable(std::size_t f) const {
    if (sub_.faceVertexCounts[f] < 3)
        return false;
    const auto n = static_cast<std::size_t>(sub_.faceVertexCounts[f]);
    if (sub_.faceFirstCorner[f] > sub_.faceVertices.size() || n > sub_.faceVertices.size() - sub_.faceFirstCorner[f])
        return false;
    const FaceVertex* c = sub_.cornersOf(f);
    return std::all_of(c, c + n, [&](const FaceVertex& v) {
        return v.vertexIndex >= 0 && static_cast<std::size_t>(v.vertexIndex) < sub_.vertexPositions.size();
    });
}

// `joining` is the face about to join the members; every one of them must lie along the joined normal.
bool Merger::acceptable(const std::vector<FaceVertex>& polygon, std::size_t joining) const {
    if (polygon.size() > kEditorCornerLimit)
        return false;
    std::vector<Vector3>& points = scratch_;
    points.clear();
    for (const FaceVertex& c : polygon)
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
bool Merger::tryJoin(std::vector<FaceVertex>& polygon, std::size_t edge, std::size_t seed) {
    const std::size_t n = polygon.size();
    const FaceVertex& a = polygon[edge];
    const FaceVertex& b = polygon[(edge + 1) % n];
    const auto owner = edgeOwner_.find(EdgeKey(b.vertexIndex, a.vertexIndex));
    if (owner == edgeOwner_.end())
        return false;
    const std::size_t other = owner->second;
    if (consumed_[other] || !SameLook(sub_, seed, other) || Dot(normals_[seed], normals_[other]) <= 0.0f)
        return false;
    const FaceVertex* oc = sub_.cornersOf(other);
    const auto m = static_cast<std::size_t>(sub_.faceVertexCounts[other]);
    // The other face runs b -> a; its remaining corners follow a and come round to b.
    std::size_t at = 0;
    while (at < m && oc[at].vertexIndex != a.vertexIndex)
        ++at;
    if (at == m || oc[(at + m - 1) % m].vertexIndex != b.vertexIndex || !SameUv(oc[at], a) ||
        !SameUv(oc[(at + m - 1) % m], b))
        return false;
    std::vector<FaceVertex> joined(polygon.begin(), polygon.begin() + static_cast<std::ptrdiff_t>(edge + 1));
    for (std::size_t k = 1; k + 1 < m; ++k) {
        const FaceVertex& c = oc[(at + k) % m];
        // A corner already on the polygon would pinch it into two loops.
        if (std::any_of(polygon.begin(), polygon.end(),
                        [&](const FaceVertex& p) { return p.vertexIndex == c.vertexIndex; }))
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
    const std::size_t faceCount =
        std::min({sub_.faceVertexCounts.size(), sub_.faceFirstCorner.size(), sub_.faceTextureIndices.size(),
                  sub_.faceColors.size(), sub_.faceNormals.size(), sub_.faceTextured.size()});
    MergeFacesResult result{faceCount, faceCount};
    consumed_.assign(faceCount, false);
    normals_.assign(faceCount, {});
    std::vector<bool> usable(faceCount, false);
    for (std::size_t f = 0; f < faceCount; ++f) {
        usable[f] = this->usable(f);
        if (!usable[f])
            continue;
        const FaceVertex* c = sub_.cornersOf(f);
        const auto n = static_cast<std::size_t>(sub_.faceVertexCounts[f]);
        scratch_.clear();
        for (std::size_t k = 0; k < n; ++k) {
            scratch_.push_back(position(c[k]));
            edgeOwner_.try_emplace(EdgeKey(c[k].vertexIndex, c[(k + 1) % n].vertexIndex), f);
        }
        normals_[f] = ComputeFaceNormal(scratch_);
    }

    SubObject out = sub_;
    out.faceNormals.clear();
    out.faceVertexCounts.clear();
    out.faceTextured.clear();
    out.faceColors.clear();
    out.faceTextureIndices.clear();
    out.faceVertices.clear();
    out.faceFirstCorner.clear();
    out.faceExtraA.clear();
    out.faceExtraB.clear();
    std::vector<FaceVertex> polygon;
    for (std::size_t f = 0; f < faceCount; ++f) {
        if (consumed_[f])
            continue;
        consumed_[f] = true;
        const FaceVertex* c = sub_.cornersOf(f);
        polygon.assign(c, c + std::max(sub_.faceVertexCounts[f], 0));
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
        if (grew) {
            scratch_.clear();
            for (const FaceVertex& p : polygon)
                scratch_.push_back(position(p));
            out.faceNormals.push_back(ComputeFaceNormal(scratch_));
        } else {
            out.faceNormals.push_back(sub_.faceNormals[f]);
        }
        out.faceVertexCounts.push_back(static_cast<std::int32_t>(polygon.size()));
        out.faceTextured.push_back(sub_.faceTextured[f]);
        out.faceColors.push_back(sub_.faceColors[f]);
        out.faceTextureIndices.push_back(sub_.faceTextureIndices[f]);
        out.faceFirstCorner.push_back(out.faceVertices.size());
        out.faceVertices.insert(out.faceVertices.end(), polygon.begin(), polygon.end());
        out.faceExtraA.push_back(f < sub_.faceExtraA.size() ? sub_.faceExtraA[f] : 0);
        out.faceExtraB.push_back(f < sub_.faceExtraB.size() ? sub_.faceExtraB[f] : 0);
    }
    out.faceCount = static_cast<std::int32_t>(out.faceVertexCounts.size());
    result.facesAfter = out.faceVertexCounts.size();
    sub_ = std::move(out);
    return result;
}

}  // namespace

bool IsMergeAngle(double degrees) {
    return std::isfinite(degrees) && degrees >= 0.0 && degrees < 90.0;
}

MergeFacesResult MergeCoplanarFaces(SubObject& sub, const MergeFacesOptions& options) {
    return Merger(sub, options).run();
}

MergeFacesResult MergeCoplanarFaces(ObjectModel& model, const MergeFacesOptions& options) {
    MergeFacesResult total;
    for (SubObject& sub : model.subObjects) {
        const MergeFacesResult one = MergeCoplanarFaces(sub, options);
        total.facesBefore += one.facesBefore;
        total.facesAfter += one.facesAfter;
    }
    return total;
}

}  // namespace torvale
