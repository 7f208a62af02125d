#include "obj/obj_writer.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <span>

#include "core/ascii_text.h"
#include "core/atomic_file.h"
#include "core/path_text.h"
#include "model_io/handedness.h"
#include "model_io/polygon.h"
#include "model_io/resource_path.h"
#include "model_io/texture_files.h"

namespace torvale {
namespace {

// The shortest text that reads back as the same float.
void AppendNumber(std::string& out, float value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr);
}

// What a name in an OBJ statement cannot hold, each written as '_': white space (`g` and `newmtl` end a name
// there, `mtllib` splits on blanks), line breaks and other control characters (they would end the statement or
// start another), '#' (a comment to many readers) and '\\' (an escape to our reader, a line continuation at
// the end of a line to others).
bool IsUnfitForName(char c) {
    return IsAsciiControl(c) || c == ' ' || c == '#' || c == '\\';
}

class NameCleaner {
public:
    std::string operator()(std::string_view name, std::string_view fallback) {
        std::string out(name.empty() ? fallback : name);
        for (char& c : out) {
            if (IsUnfitForName(c)) {
                controlReplaced_ = controlReplaced_ || (IsAsciiControl(c) && c != '\t');
                c = '_';
            }
        }
        return out;
    }
    bool controlReplaced() const { return controlReplaced_; }

private:
    bool controlReplaced_ = false;
};

}  // namespace

ObjFiles BuildObj(const Scene& gameScene,
                  std::string_view mtlName,
                  std::vector<std::string>& warnings,
                  const TextureImages& images) {
    const Scene scene = InOtherHandedness(gameScene);
    ObjFiles files;
    const TextureFilePlan plan = PlanTextureFiles(gameScene, images);
    files.images = EncodeTextureFiles(plan, warnings);
    NameCleaner safeName;
    std::string& obj = files.obj;
    obj = "# TORVALE\nmtllib " + safeName(mtlName, "") + "\n";
    std::map<std::string, std::string> materials;  // name -> its MTL statements
    std::size_t verticesBefore = 0, uvsBefore = 0;
    for (std::size_t s = 0; s < scene.objects.size(); ++s) {
        const SceneObject& object = scene.objects[s];
        if (object.faces.empty())
            continue;
        obj += "o " + safeName(object.name, "object_" + std::to_string(s)) + "\n";
        const Vector3 offset = WorldOffsetOf(scene, s);
        for (const Vector3& p : object.positions) {
            obj += "v ";
            AppendNumber(obj, p.x + offset.x);
            obj += ' ';
            AppendNumber(obj, p.y + offset.y);
            obj += ' ';
            AppendNumber(obj, p.z + offset.z);
            obj += '\n';
        }
        std::string current;
        for (std::size_t f = 0; f < object.faces.size(); ++f) {
            const SceneFace& face = object.faces[f];
            const std::span<const SceneCorner> corners = object.cornersOf(face);
            const std::size_t n = corners.size();
            if (n < 3) {
                warnings.push_back("sub-object " + std::to_string(s) + " face " + std::to_string(f) +
                                   ": has fewer than 3 corners; left out");
                continue;
            }
            const std::int32_t texture = face.texture;
            std::string name;
            if (texture != kUntextured) {
                name =
                    safeName(scene.textures[static_cast<std::size_t>(texture)], "texture_" + std::to_string(texture));
                std::string statements = "Kd 1 1 1\n";
                // The file's name holds no blank, '#' or '\\', so it stands in map_Kd as it is.
                if (const int file = plan.fileOf(texture);
                    file >= 0 && !files.images[static_cast<std::size_t>(file)].bytes.empty())
                    statements += "map_Kd " + files.images[static_cast<std::size_t>(file)].fileName + "\n";
                materials.try_emplace(name, statements);
            } else {
                const FaceColor color = face.color;
                name = ColorMaterialName(color);
                std::string kd = "Kd ";
                AppendNumber(kd, static_cast<float>(color.red) / 255.0f);
                kd += ' ';
                AppendNumber(kd, static_cast<float>(color.green) / 255.0f);
                kd += ' ';
                AppendNumber(kd, static_cast<float>(color.blue) / 255.0f);
                materials.try_emplace(name, kd + "\n");
            }
            if (name != current) {
                obj += "usemtl " + name + "\n";
                current = name;
            }
            for (std::size_t k = 0; k < n; ++k) {
                obj += "vt ";
                AppendNumber(obj, corners[k].u);
                obj += ' ';
                AppendNumber(obj, 1.0f - corners[k].v);
                obj += '\n';
            }
            obj += 'f';
            for (std::size_t k = 0; k < n; ++k) {
                obj += ' ' + std::to_string(verticesBefore + corners[k].vertex + 1) + '/' +
                       std::to_string(uvsBefore + k + 1);
            }
            obj += '\n';
            uvsBefore += n;
        }
        verticesBefore += object.positions.size();
    }
    if (safeName.controlReplaced())
        files.notes.push_back("names with line breaks or other control characters are written with '_' in their place");
    files.mtl = "# TORVALE\n";
    for (const auto& [name, statements] : materials)
        files.mtl += "\nnewmtl " + name + "\n" + statements;
    return files;
}

std::string MtlPathFor(const std::string& objPath) {
    const std::size_t start = FileNameStart(objPath);
    const std::size_t dot = objPath.rfind('.');
    const bool hasExtension = dot != std::string::npos && dot >= start;
    const std::string stem = objPath.substr(start, hasExtension ? dot - start : std::string::npos);
    // The .mtl is named by the same rule as the names inside the OBJ: "sp ace.obj" gets "sp_ace.mtl". A name
    // with blanks cannot stand in `mtllib` in a form every reader takes: ours splits it on blanks (with '\\' as
    // an escape), others take the whole rest of the line.
    // '%' and ':' go too, as in every side file's name: the reader takes `mtllib` names as percent-escaped.
    NameCleaner clean;
    return objPath.substr(0, start) + PlainSideFileName(clean(stem, "")) + ".mtl";
}

std::vector<std::string> ObjOutputPaths(const std::string& path, const Scene& scene, const TextureImages& images) {
    std::vector<std::string> paths = TextureFilePaths(path, PlanTextureFiles(scene, images));
    paths.insert(paths.begin(), {path, MtlPathFor(path)});
    return paths;
}

bool WriteObjModel(const Scene& scene,
                   const std::string& path,
                   std::vector<std::string>& warnings,
                   std::vector<std::string>& notes,
                   std::string& error,
                   const TextureImages& images) {
    const std::string mtlPath = MtlPathFor(path);
    const ObjFiles files = BuildObj(scene, mtlPath.substr(FileNameStart(mtlPath)), warnings, images);
    notes.insert(notes.end(), files.notes.begin(), files.notes.end());
    const auto bytes = [](const std::string& text) {
        return std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    };
    // The images and the .mtl first: an OBJ never stands beside files older than itself.
    std::vector<FileToWrite> all = PngFilesBeside(path, files.images);
    all.push_back({mtlPath, bytes(files.mtl)});
    all.push_back({path, bytes(files.obj)});
    return ReplaceFilesAtomically(all, error);
}

}  // namespace torvale
