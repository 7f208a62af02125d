#include "app/export_model.h"
#include "core/ascii_text.h"
#include "core/atomic_file.h"
#include "core/utf8_path.h"

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <vector>

#include "app/check_model.h"
#include "core/number_text.h"
#include "core/path_text.h"
#include "gltf/gltf_writer.h"
#include "model_io/texture_files.h"
#include "obj/obj_writer.h"
#include "oof/oof_writer.h"
#include "scene/single_face.h"

namespace torvale {
namespace {

// The dialog's types in order; the dialog counts them from 1.
constexpr struct {
    ModelTarget target;
    const char* extension;
} kTypes[] = {{ModelTarget::Gltf, ".gltf"},
              {ModelTarget::Glb, ".glb"},
              {ModelTarget::Obj, ".obj"},
              {ModelTarget::Oof, ".oof"}};

// Writes `scene` as an object model over `path`, keeping its bytes in `bytes`; false with the one line that says
// why not. A glow, thruster or billboard that comes as triangles (as glTF and OBJ bring every face) is joined
// back into the one face the game draws it from.
bool WriteOofModel(const Scene& scene,
                   const std::string& path,
                   std::vector<std::string>& notes,
                   std::string& refusal,
                   std::string& error,
                   std::vector<std::uint8_t>& bytes) {
    const Scene* model = &scene;
    Scene joined;
    if (std::any_of(scene.objects.begin(), scene.objects.end(), [](const SceneObject& object) {
            return object.faces.size() > 1 && WantsSingleFace(object.properties);
        })) {
        joined = scene;
        if (!JoinSingleFaces(joined, refusal))
            return false;
        model = &joined;
    }
    OofWriteNotes written;
    if (!EncodeOof(*model, bytes, refusal, &written))
        return false;
    if (written.splitFaces > 0)
        notes.push_back(FormatInteger(static_cast<std::int64_t>(written.splitFaces)) +
                        (written.splitFaces == 1 ? " face" : " faces") +
                        " of more than 32 corners cut into fans of at most 32, as the game takes them");
    std::string why;
    if (!ReplaceFileAtomically(path, bytes, why)) {
        error = path + ": " + why;
        return false;
    }
    return true;
}

}  // namespace

ModelTarget TargetOf(std::string_view path) {
    const std::string extension = AsciiLowered(Utf8FromPath(PathFromUtf8(path).extension()));
    for (const auto& type : kTypes) {
        if (extension == type.extension)
            return type.target;
    }
    return ModelTarget::Room;
}

std::vector<std::string> ExchangeModelFiles(const std::string& path,
                                            ModelTarget target,
                                            const Scene& scene,
                                            const TextureImages& images) {
    if (target == ModelTarget::Oof)
        return {path};
    return target == ModelTarget::Obj ? ObjOutputPaths(path, scene, images) : GltfOutputPaths(path, scene, images);
}

bool WriteExchangeModel(const Scene& scene,
                        const std::string& path,
                        ModelTarget target,
                        OutputSink& out,
                        const std::vector<std::string>& inputs,
                        const TextureImages& images) {
    const std::string crlf(kCrLf);
    out.PrintOutput(crlf + "Exporting " + path + "..." + crlf);
    for (const std::string& file : ExchangeModelFiles(path, target, scene, images)) {
        for (const std::string& input : inputs) {
            if (IsSameFile(file, input)) {
                out.PrintOutput(crlf + "Error: " + file + " is the file the model was read from; nothing was written" +
                                crlf);
                return false;
            }
        }
    }
    std::vector<std::string> warnings, notes;
    std::string error;
    std::string refusal;
    std::vector<std::uint8_t> oof;
    const bool written = target == ModelTarget::Oof   ? WriteOofModel(scene, path, notes, refusal, error, oof)
                         : target == ModelTarget::Obj ? WriteObjModel(scene, path, warnings, notes, error, images)
                                                      : WriteGltfModel(scene, path, warnings, error, images);
    if (!refusal.empty()) {
        out.PrintOutput(crlf + "Error: " + refusal + "; nothing was written" + crlf);
        return false;
    }
    for (const std::string& warning : warnings)
        out.PrintOutput("Warning: " + warning + crlf);
    for (const std::string& note : notes)
        out.PrintOutput("Note: " + note + crlf);
    if (!written) {
        // The writers name the file that failed, and which of the others are new, if any.
        out.PrintOutput(crlf + "Error: could not write " + error + crlf);
        return false;
    }
    if (target != ModelTarget::Glb && !images.empty()) {
        // One line per PNG written beside the model, so that the user sees which textures found an image.
        const TextureFilePlan plan = PlanTextureFiles(scene, images);
        const std::vector<std::string> paths = TextureFilePaths(path, plan);
        for (std::size_t i = 0; i < paths.size(); ++i) {
            const std::string& origin = plan.files[i].origin;
            out.PrintOutput("Wrote " + paths[i] + (origin.empty() ? "" : " from " + origin) + crlf);
        }
    }
    out.PrintOutput(crlf + "Finished exporting " + path + crlf);
    // What the game would make of the model just written, as torvale-cli check tells it.
    if (target == ModelTarget::Oof)
        PrintModelCheck(oof, FileNameOf(path), false, out);
    return true;
}

FileDialogRequest ExportModelDialog(std::string suggestedPath) {
    FileDialogRequest request;
    request.title = "Export Model";
    request.filter =
        "glTF 2.0 (*.gltf)|*.gltf|glTF 2.0 binary (*.glb)|*.glb|Wavefront OBJ (*.obj)|*.obj|"
        "Descent 3 object model (*.oof)|*.oof";
    request.initialPath = std::move(suggestedPath);
    // Like Export ORF: files of the same name are replaced without a question.
    return request;
}

std::string ExportModelPath(const FileDialogResult& chosen, ModelTarget& target) {
    target = TargetOf(chosen.path);
    if (target != ModelTarget::Room)
        return chosen.path;
    constexpr std::size_t kTypeCount = std::size(kTypes);
    const std::size_t type = chosen.filterIndex >= 1 && chosen.filterIndex <= kTypeCount ? chosen.filterIndex - 1 : 0;
    target = kTypes[type].target;
    return chosen.path + kTypes[type].extension;
}

}  // namespace torvale
