#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/output_sink.h"
#include "orf/room.h"
#include "scene/scene.h"

namespace torvale {

// A short description of a room for the log, one message per line, each ending in CR LF:
//   Room: <file name>
//   Version: <v>
//   Number of Verts: <n>
//   Number of Faces: <n>
//   Number of Corners: <n>
//   Number of Textures: <n>
//   Texture <t>: <name>                    (one line per name)
//   Bounds: (<x>, <y>, <z>) to (<x>, <y>, <z>)   or "Bounds: none, the room has no vertices"
// Texture names are the game's texts: they reach the log through `gameText` when one is given.
void ReportRoom(const Room& room,
                std::string_view fileName,
                OutputSink& out,
                const std::function<std::string(std::string_view)>& gameText = {});

// The room as a scene of one sub-object named `name`: its vertices, its faces textured with their texture
// numbers and its texture names. BuildSubObjectRoom(scene, 0, names) writes the room again, except what a scene
// cannot carry (corner alphas and light multiples: the export writes 1.0 and 4) and the version (always 4).
// Vertex normals are the normalised sums of the stored normals of the faces using each vertex.
// The room must be one ReadOrfFile accepted (faces naming existing vertices and textures, finite numbers).
Scene SceneFromRoom(const Room& room, std::string_view name);

}  // namespace torvale
