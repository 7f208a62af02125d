#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace torvale {

struct Vector3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    friend bool operator==(const Vector3&, const Vector3&) = default;
};

inline Vector3 operator-(const Vector3& a, const Vector3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vector3 operator+(const Vector3& a, const Vector3& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vector3 Cross(const Vector3& a, const Vector3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Dot(const Vector3& a, const Vector3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

struct FaceColor {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const FaceColor&, const FaceColor&) = default;
};

float Length(const Vector3& v);

// A face's normal as the game computes it from its corners: for every corner a, the next b and the one after
// c, the cross product (b - a) x (c - b); the longest of these, normalised. `length` receives the longest
// length before normalising (0 for a face without area, whose normal is then zero).
Vector3 ComputeFaceNormal(std::span<const Vector3> corners, float* length = nullptr);

bool IsFinite(const Vector3& v);

// A position in messages other than the report: "(x, y, z)", with the point.
std::string FormatPoint(const Vector3& v);

}  // namespace torvale
