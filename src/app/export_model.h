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
// an OBJ with its .mtl, an object model of the game (.oof), or else a room file (named as the room export names
// them).
enum class ModelTarget { Room, Gltf, Glb, Obj, Oof };
ModelTarget TargetOf(std::string_view path);

// The files an export of glTF, GLB, OBJ or OOF to `path` writes: the file, its .bin or .mtl, if any, and (but
// for a GLB, which holds them, and an OOF, which names its textures only) the PNG files of the textures of `scene`
// that `images` has an image for.
std::vector<std::string> ExchangeModelFiles(const std::string& path,
                                            ModelTarget target,
                                            const Scene& scene = {},
                                            const TextureImages& images = {});

// Writes `scene` as glTF, GLB, OBJ or an object model over `path` (all its files replaced together) with the
// model's own texture names, logging CR LF "Exporting <name>..." CR LF, a "Warning: ..." line for each face left
// out, a "Note: ..." line for names written otherwise (and for faces an object model had to cut), a "Wrote <png>
// from <origin>" line for each texture image written beside the model, and CR LF "Finished exporting <name>" CR
// LF, or CR LF "Error: could not write <file>: <reason>" CR LF. A scene the game could not load as an object
// model is refused with CR LF "Error: <what and which limit>; nothing was written". A file of the export that is
// one of `inputs` refuses it before anything is written. The textures that `images` has an image for are
// written with a glTF or OBJ (see WriteGltfModel, WriteObjModel).
bool WriteExchangeModel(const Scene& scene,
                        const std::string& path,
                        ModelTarget target,
                        OutputSink& out,
                        const std::vector<std::string>& inputs = {},
                        const TextureImages& images = {});

// The save dialog of Export Model: its type list (glTF, GLB, OBJ, OOF) chooses the writer.
FileDialogRequest ExportModelDialog(std::string suggestedPath);
// The target a confirmed Export Model dialog chose: the path, with the extension of the chosen type added when
// the name has none of the four.
std::string ExportModelPath(const FileDialogResult& chosen, ModelTarget& target);

}  // namespace torvale
