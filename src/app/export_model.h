#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "bitmap/texture_images.h"
#include "core/output_sink.h"
#include "platform/file_dialogs.h"
#include "scene/scene.h"

namespace torvale {

// What a conversion's target file is, by its extension (any case): a glTF 2.0 file with its .bin, one GLB,
// an OBJ with its .mtl, or else a room file (named as the room export names them).
enum class ModelTarget { Room, Gltf, Glb, Obj };
ModelTarget TargetOf(std::string_view path);

// The files an export of glTF, GLB or OBJ to `path` writes: the file, its .bin or .mtl, if any, and (but for a
// GLB, which holds them) the PNG files of the textures of `scene` that `images` has an image for.
std::vector<std::string> ExchangeModelFiles(const std::string& path,
                                            ModelTarget target,
                                            const Scene& scene = {},
                                            const TextureImages& images = {});

// Writes `scene` as glTF, GLB or OBJ over `path` (all its files replaced together) with the model's own
// texture names, logging CR LF "Exporting <name>..." CR LF, a "Warning: ..." line for each face left out,
// a "Note: ..." line for names written otherwise, a "Wrote <png> from <origin>" line for each texture image
// written beside the model, and CR LF "Finished exporting <name>" CR LF, or CR LF "Error: could not write
// <file>: <reason>" CR LF. A file of the export that is one of `inputs` refuses it before anything is written.
// The textures that `images` has an image for are written with it (see WriteGltfModel, WriteObjModel).
bool WriteExchangeModel(const Scene& scene,
                        const std::string& path,
                        ModelTarget target,
                        OutputSink& out,
                        const std::vector<std::string>& inputs = {},
                        const TextureImages& images = {});

// The save dialog of Export Model: its type list (glTF, GLB, OBJ) chooses the writer.
FileDialogRequest ExportModelDialog(std::string suggestedPath);
// The target a confirmed Export Model dialog chose: the path, with the extension of the chosen type added when
// the name has none of the three.
std::string ExportModelPath(const FileDialogResult& chosen, ModelTarget& target);

}  // namespace torvale
