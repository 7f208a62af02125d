#include "scene/geometry.h"

#include <cmath>

#include "core/number_text.h"
#include "scene/face_shape.h"

namespace torvale {

float Length(const Vector3& v) {
    return std::sqrt(Dot(v, v));
}

Vector3 ComputeFaceNormal(std::span<const Vector3> corners, float* length) {
    const std::size_t n = corners.size();
    Vector3 best;
    float bestLength = 0.0f;
    for (std::size_t i = 0; i < n && n >= 3; ++i) {
        const Vector3& a = corners[i];
        const Vector3& b = corners[(i + 1) % n];
        const Vector3& c = corners[(i + 2) % n];
        const Vector3 cross = Cross(b - a, c - b);
        const float l = Length(cross);
        if (l > bestLength) {
            bestLength = l;
            best = cross;
        }
    }
    if (length != nullptr)
        *length = bestLength;
    if (bestLength <= 0.0f)
        return {};
    return {best.x / bestLength, best.y / bestLength, best.z / bestLength};
}

bool IsFinite(const Vector3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

std::string FormatPoint(const Vector3& v) {
    std::string text("(");
    for (const float value : {v.x, v.y, v.z}) {
        if (text.size() > 1)
            text += ", ";
        text += FormatSingle(value);
    }
    text += ')';
    return text;
}

namespace {

// The two coordinates the concavity test projects a corner on, chosen from the normal's largest component.
struct Axes {
    float Vector3::*i;
    float Vector3::*j;
};

Axes ProjectionAxes(const Vector3& n) {
    const float ax = std::fabs(n.x);
    const float ay = std::fabs(n.y);
    const float az = std::fabs(n.z);
    if (ax > ay) {
        if (ax > az)
            return n.x > 0 ? Axes{&Vector3::z, &Vector3::y} : Axes{&Vector3::y, &Vector3::z};
        return n.z > 0 ? Axes{&Vector3::y, &Vector3::x} : Axes{&Vector3::x, &Vector3::y};
    }
    if (ay > az)
        return n.y > 0 ? Axes{&Vector3::x, &Vector3::z} : Axes{&Vector3::z, &Vector3::x};
    return n.z > 0 ? Axes{&Vector3::y, &Vector3::x} : Axes{&Vector3::x, &Vector3::y};
}

}  // namespace

std::int64_t ConcaveCorner(std::span<const Vector3> corners, const Vector3& normal) {
    const Axes axes = ProjectionAxes(normal);
    const std::size_t n = corners.size();
    auto at = [&](std::size_t k) -> const Vector3& { return corners[k % n]; };
    for (std::size_t k = 0; k < n; ++k) {
        const Vector3 in = at(k) - at(k + n - 1);
        const Vector3 out = at(k + 1) - at(k);
        const float i0 = in.*axes.i;
        const float j0 = in.*axes.j;
        const float i1 = out.*axes.i;
        const float j1 = out.*axes.j;
        const float d = (-j0 * i1 + i0 * j1) / (std::sqrt(i0 * i0 + j0 * j0) * std::sqrt(i1 * i1 + j1 * j1));
        if (d > kConcaveLimit)
            return static_cast<std::int64_t>(k);
    }
    return -1;
}

bool IsPlanar(std::span<const Vector3> corners, const Vector3& normal) {
    if (corners.size() < 4)
        return true;
    float sum = 0.0f;
    for (const Vector3& c : corners)
        sum += Dot(normal, c);
    const float average = sum / static_cast<float>(corners.size());
    for (const Vector3& c : corners) {
        if (std::fabs(Dot(normal, c) - average) > kPlanarLimit)
            return false;
    }
    return true;
}

}  // namespace torvale
