#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

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

// Text that starts with a UTF-16 byte-order mark (either byte order) becomes UTF-8, and a UTF-8 byte-order mark
// is dropped, so that the text formats are told apart and read as UTF-8. Other bytes stay as they are.
void TextAsUtf8(std::vector<std::uint8_t>& bytes);
// Whether the text starts with a byte-order mark that TextAsUtf8 acts on (UTF-8, or UTF-16 in either byte order).
bool HasByteOrderMark(std::span<const std::uint8_t> bytes);

// The kinds of file TORVALE reads, for a refusal of any other: "OOF, ORF, glTF, GLB or OBJ".
inline constexpr std::string_view kReadableKinds = "an OOF model, an ORF room, or a glTF, GLB or OBJ model";

// "OOF model", "ORF room", "GLB model", "glTF model", "OBJ model", "unknown file".
std::string_view InputKindName(InputKind kind);

}  // namespace torvale
