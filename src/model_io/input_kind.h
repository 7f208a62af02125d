#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace torvale {

enum class InputKind { Oof, Orf, Glb, Gltf, Obj, Unknown };

// Tells what a file is by its content, never its name:
// - "PSPO" at the start: an OOF model;
// - int32 tag 5 (header) or 0 (old header) at the start, its length fitting the file and the counts that
//   follow not negative: an ORF room;
// - "glTF" at the start: a GLB;
// - first non-blank byte '{' and an "asset" member named in the text: a glTF (JSON);
// - text whose first statement (past blank and '#' comment lines) is an OBJ statement: an OBJ;
// - anything else: unknown.
InputKind DetectInputKind(std::span<const std::uint8_t> bytes);

// "OOF model", "ORF room", "GLB model", "glTF model", "OBJ model", "unknown file".
std::string_view InputKindName(InputKind kind);

}  // namespace torvale
