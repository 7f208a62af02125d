#pragma once

#include <cstddef>

#include "oof/object_model.h"

namespace torvale {

struct MergeFacesResult {
    std::size_t facesBefore = 0;
    std::size_t facesAfter = 0;
};

// Joins neighbouring faces of each sub-object into larger convex faces, for rooms built from triangle meshes:
// two faces merge across an edge they share (in opposite directions) when they face the same way, have the
// same texture (or, untextured, the same colour), give their shared corners the same UVs, and the joined face
// stays convex, flat within the level editor's tolerance (0.1 along its normal), free of repeated vertices and
// within the editor's 64 corners. A merged face keeps the first face's texture, colour and extras; its stored
// normal is computed from its corners. Faces that merge with nothing stay exactly as they were, in order.
MergeFacesResult MergeCoplanarFaces(ObjectModel& model);
MergeFacesResult MergeCoplanarFaces(SubObject& sub);

}  // namespace torvale
