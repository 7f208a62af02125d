#include "scene/single_face.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>
#include <vector>

#include "core/ascii_text.h"

namespace torvale {

bool WantsSingleFace(std::string_view properties) {
    if (properties.size() < 3)
        return false;
    const std::size_t equals = properties.find('=');
    const std::string_view command = equals == std::string_view::npos ? properties : properties.substr(0, equals + 1);
    return EqualsIgnoringAsciiCase(command, "$glow=") || EqualsIgnoringAsciiCase(command, "$thruster=") ||
           (command.size() >= 7 && EqualsIgnoringAsciiCase(command.substr(0, 7), "$facing"));
}

bool JoinSingleFace(SceneObject& object, std::string& why) {
    const std::size_t count = object.faces.size();
    if (count < 2)
        return true;
    const SceneFace& first = object.faces[0];
    for (const SceneFace& face : object.faces) {
        if (face.cornerCount != 3) {
            why = "its " + std::to_string(count) + " faces are not all triangles, so they are not joined into one";
            return false;
        }
        if (face.texture != first.texture || (face.texture == kUntextured && !(face.color == first.color))) {
            why = "its " + std::to_string(count) + " faces do not share one texture, so they are not one face";
            return false;
        }
    }
    // The plane and facing of the first triangle, with a tolerance in proportion to the faces' size.
    const auto at = [&](const SceneCorner& c) { return object.positions[c.vertex]; };
    const std::span<const SceneCorner> c0 = object.cornersOf(first);
    const Vector3 normal = Cross(at(c0[1]) - at(c0[0]), at(c0[2]) - at(c0[1]));
    const float normalLength = Length(normal);
    float extent = 0.0f;
    for (const SceneCorner& c : object.corners)
        extent = std::max(extent, Length(at(c) - at(c0[0])));
    if (!(normalLength > 0.0f)) {
        why = "its first face has no area, so its faces are not joined into one";
        return false;
    }
    const Vector3 unit{normal.x / normalLength, normal.y / normalLength, normal.z / normalLength};
    const float tolerance = 1e-4f * std::max(extent, 1e-3f);
    for (const SceneFace& face : object.faces) {
        const std::span<const SceneCorner> c = object.cornersOf(face);
        const Vector3 n = Cross(at(c[1]) - at(c[0]), at(c[2]) - at(c[1]));
        const float length = Length(n);
        bool flat = length > 0.0f && Dot(n, unit) > length * 0.9999f;
        for (const SceneCorner& corner : c)
            flat = flat && std::fabs(Dot(at(corner) - at(c0[0]), unit)) <= tolerance;
        if (!flat) {
            why = "its " + std::to_string(count) +
                  " faces do not lie in one plane facing one way, so they are not one face";
            return false;
        }
    }
    // Edges met in both directions lie inside; the rest must form one loop with a corner per vertex.
    std::map<std::pair<std::uint32_t, std::uint32_t>, int> edges;
    std::map<std::uint32_t, SceneCorner> cornerOf;
    for (const SceneFace& face : object.faces) {
        const std::span<const SceneCorner> c = object.cornersOf(face);
        for (std::size_t k = 0; k < 3; ++k) {
            const auto [found, added] = cornerOf.emplace(c[k].vertex, c[k]);
            if (!added && !(found->second == c[k])) {
                why = "its faces give vertex " + std::to_string(c[k].vertex) +
                      " different texture coordinates, so they are not one face";
                return false;
            }
            ++edges[{c[k].vertex, c[(k + 1) % 3].vertex}];
        }
    }
    std::map<std::uint32_t, std::uint32_t> next;
    for (const auto& [edge, times] : edges) {
        const auto back = edges.find({edge.second, edge.first});
        const bool inner = back != edges.end();
        if (times > 1 || (inner && back->second > 1)) {
            why = "its faces overlap, so they are not one face";
            return false;
        }
        if (!inner && !next.emplace(edge.first, edge.second).second) {
            why = "its faces meet at a single corner, so they are not one polygon";
            return false;
        }
    }
    std::vector<SceneCorner> loop;
    std::uint32_t vertex = c0[0].vertex;
    while (loop.size() <= next.size()) {
        loop.push_back(cornerOf.at(vertex));
        const auto step = next.find(vertex);
        if (step == next.end())
            break;
        vertex = step->second;
        if (vertex == c0[0].vertex)
            break;
    }
    if (loop.size() != next.size() || loop.size() != count + 2 || vertex != c0[0].vertex) {
        why =
            "its " + std::to_string(count) + " faces do not cover one polygon without holes, so they are not one face";
        return false;
    }
    if (loop.size() > kSingleFaceMaxCorners) {
        why = "its faces make a polygon of " + std::to_string(loop.size()) + " corners, more than the " +
              std::to_string(kSingleFaceMaxCorners) + " the game takes in a single face";
        return false;
    }
    for (std::size_t k = 0; k < loop.size(); ++k) {
        const Vector3 a = at(loop[k]), b = at(loop[(k + 1) % loop.size()]), c = at(loop[(k + 2) % loop.size()]);
        if (Dot(Cross(b - a, c - b), unit) < -tolerance * tolerance) {
            why = "its faces make a polygon that is not convex, so they are not one face";
            return false;
        }
    }
    SceneFace joined = first;
    joined.firstCorner = 0;
    joined.cornerCount = static_cast<std::uint32_t>(loop.size());
    object.faces.assign(1, joined);
    object.corners = std::move(loop);
    return true;
}

bool JoinSingleFaces(Scene& scene, std::string& error) {
    for (std::size_t s = 0; s < scene.objects.size(); ++s) {
        SceneObject& object = scene.objects[s];
        std::string why;
        if (WantsSingleFace(object.properties) && !JoinSingleFace(object, why)) {
            error = SubObjectLabel(s) + " (" + object.name + ", " + object.properties + "): " + why;
            return false;
        }
    }
    return true;
}

}  // namespace torvale
