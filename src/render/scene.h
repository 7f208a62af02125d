#pragma once

// What the preview draws of a model: every sub-object's vertices moved to where the room puts them, the faces
// with their colours, and the model's gun points and attach points. Faces keep the numbers they have in the
// combined room (the faces of all sub-objects in order), so the room check's findings can mark them.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "scene/scene.h"

namespace torvale {

// Colours are 0x00RRGGBB.

struct PreviewFace {
    std::uint32_t firstCorner = 0;       // into PreviewScene::corners
    std::uint32_t cornerCount = 0;       // 0 for a face that cannot be drawn (fewer than 3 corners, a missing vertex)
    std::uint32_t color = 0;             // untextured faces, and textured ones drawn without their image
    std::int32_t texture = kUntextured;  // into the model's textures, or kUntextured
    bool flagged = false;                // a finding of the room check names this face
};

// Where a corner lies on its face's texture: u to the right, v downwards, (0, 0) the top-left texel's corner.
struct PreviewUv {
    float u = 0.0f;
    float v = 0.0f;
};

enum class MarkerKind { Gunpoint, AttachPoint };

struct PreviewMarker {
    Vector3 position;
    MarkerKind kind = MarkerKind::Gunpoint;
};

struct PreviewScene {
    std::vector<Vector3> vertices;       // world space, all sub-objects in order
    std::vector<std::uint32_t> corners;  // indices into vertices
    std::vector<PreviewUv> uvs;          // one per corner; a scene without them draws every face flat
    std::vector<PreviewFace> faces;      // face k is face k of the combined room
    std::vector<PreviewMarker> markers;  // world space
    Vector3 centre;                      // of the bounding sphere of the vertices (markers if none)
    float radius = 1.0f;                 // always positive and finite
};

// The colour a texture gets: a stable hash of its name (without the stored trailing zero, and without regard
// to case, as the game matches names) turned into a fairly saturated, fairly light colour.
std::uint32_t TextureColor(std::string_view name);

// Builds the preview of `model`. A sub-object's world position is its vertices plus the attach offsets of it
// and its parents up to the root, added in single precision in that order, as the combined room places them.
// Faces of fewer than 3 corners stay in the list, with no corners. `flaggedFaces` are room face numbers;
// numbers beyond the faces are ignored.
PreviewScene BuildPreviewScene(const Scene& model, std::span<const std::size_t> flaggedFaces = {});

}  // namespace torvale
