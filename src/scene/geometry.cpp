#include "scene/geometry.h"

#include <cmath>

#include "core/number_text.h"

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

}  // namespace torvale
