#include "model_io/polygon.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace torvale {
namespace {

// Below this length a cross product counts as no turn at all (points on a line, or repeated).
constexpr float kNoArea = 1e-12f;

// Where a point lies against a triangle's edges seen along `normal`: inside or on an edge counts.
bool InsideTriangle(const Vector3& p, const Vector3& a, const Vector3& b, const Vector3& c, const Vector3& normal) {
    return Dot(Cross(b - a, p - a), normal) >= 0.0f && Dot(Cross(c - b, p - b), normal) >= 0.0f &&
           Dot(Cross(a - c, p - c), normal) >= 0.0f;
}

}  // namespace

bool IsConvexPolygon(std::span<const Vector3> corners, const Vector3& normal) {
    const std::size_t n = corners.size();
    if (n < 3)
        return false;
    for (std::size_t i = 0; i < n; ++i) {
        const Vector3 turn = Cross(corners[(i + 1) % n] - corners[i], corners[(i + 2) % n] - corners[(i + 1) % n]);
        if (Dot(turn, normal) < 0.0f)
            return false;
    }
    return true;
}

bool TriangulatePolygon(std::span<const Vector3> corners, std::vector<std::uint32_t>& triangles) {
    float area = 0.0f;
    const Vector3 normal = ComputeFaceNormal(corners, &area);
    if (area <= kNoArea)
        return false;
    const auto n = static_cast<std::uint32_t>(corners.size());
    if (IsConvexPolygon(corners, normal)) {
        for (std::uint32_t i = 1; i + 1 < n; ++i)
            triangles.insert(triangles.end(), {0, i, i + 1});
        return true;
    }
    // Ear clipping: cut off a corner whose triangle turns the polygon's way and holds no other corner.
    std::vector<std::uint32_t> left(n);
    for (std::uint32_t i = 0; i < n; ++i)
        left[i] = i;
    const std::size_t start = triangles.size();
    while (left.size() > 3) {
        bool cut = false;
        const std::size_t m = left.size();
        for (std::size_t i = 0; i < m && !cut; ++i) {
            const std::uint32_t ia = left[(i + m - 1) % m], ib = left[i], ic = left[(i + 1) % m];
            const Vector3 &a = corners[ia], &b = corners[ib], &c = corners[ic];
            if (Dot(Cross(b - a, c - b), normal) <= kNoArea)
                continue;
            bool empty = true;
            for (std::uint32_t k : left) {
                if (k != ia && k != ib && k != ic && InsideTriangle(corners[k], a, b, c, normal)) {
                    empty = false;
                    break;
                }
            }
            if (empty) {
                triangles.insert(triangles.end(), {ia, ib, ic});
                left.erase(left.begin() + static_cast<std::ptrdiff_t>(i));
                cut = true;
            }
        }
        if (!cut) {
            // A self-crossing outline has no ear left: the rest goes as a fan rather than being lost.
            for (std::size_t i = 1; i + 1 < left.size(); ++i)
                triangles.insert(triangles.end(), {left[0], left[i], left[i + 1]});
            return true;
        }
    }
    triangles.insert(triangles.end(), {left[0], left[1], left[2]});
    return triangles.size() > start;
}

Vector3 WorldOffsetOf(const Scene& scene, std::size_t subObject) {
    Vector3 offset;
    for (std::int32_t at = static_cast<std::int32_t>(subObject); at >= 0;) {
        const SceneObject& object = scene.objects[static_cast<std::size_t>(at)];
        offset = offset + object.offset;
        at = object.parent;
    }
    return offset;
}

std::string ColorMaterialName(const FaceColor& color) {
    char text[16];
    std::snprintf(text, sizeof text, "rgb_%02x%02x%02x", color.red, color.green, color.blue);
    return text;
}

}  // namespace torvale
