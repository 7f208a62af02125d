#pragma once

#include <cstddef>

#include "scene/scene.h"

namespace torvale {

struct MergeFacesResult {
    std::size_t facesBefore = 0;
    std::size_t facesAfter = 0;
};

struct MergeFacesOptions {
    // The most that the normal of any face taking part may differ from the merged face's normal. The editor's
    // 0.1 alone is a distance: on a small model it lets faces 80 degrees apart pass as one plane.
    float maxAngleDegrees = 1.0f;
};

// The angle a merge may have: finite, from 0 to below 90 degrees.
bool IsMergeAngle(double degrees);

// Joins neighbouring faces of each sub-object into larger convex faces, for rooms built from triangle meshes:
// two faces merge across an edge they share (in opposite directions) when they have the same texture (or,
// untextured, the same colour), give their shared corners the same UVs, and the joined face stays convex,
// flat (every corner within the level editor's 0.1 of its plane, and every face taking part within
// `maxAngleDegrees` of its normal), free of repeated vertices and within the editor's 64 corners. A merged
// face keeps the first face's texture and colour; its stored normal is computed from its corners.
// Faces that merge with nothing stay exactly as they were, in order.
MergeFacesResult MergeCoplanarFaces(Scene& scene, const MergeFacesOptions& options = {});
MergeFacesResult MergeCoplanarFaces(SceneObject& object, const MergeFacesOptions& options = {});

}  // namespace torvale
