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

namespace torvale {
namespace {

// The shortest text that reads back as the same float.
void AppendNumber(std::string& out, float value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr);
}

std::string_view WithoutZero(std::string_view stored) {
    if (!stored.empty() && stored.back() == '\0')
        stored.remove_suffix(1);
    return stored;
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

ObjFiles BuildObj(const ObjectModel& gameModel, std::string_view mtlName, std::vector<std::string>& warnings) {
    const ObjectModel model = InOtherHandedness(gameModel);
    ObjFiles files;
    NameCleaner safeName;
    std::string& obj = files.obj;
    obj = "# TORVALE\nmtllib " + safeName(mtlName, "") + "\n";
    std::map<std::string, std::string> materials;  // name -> its MTL statements
    std::size_t verticesBefore = 0, uvsBefore = 0;
    for (std::size_t s = 0; s < model.subObjects.size(); ++s) {
        const SubObject& sub = model.subObjects[s];
        const std::size_t faceCount =
            std::min({sub.faceVertexCounts.size(), sub.faceFirstCorner.size(), sub.faceTextureIndices.size()});
        if (faceCount == 0)
            continue;
        obj += "o " + safeName(WithoutZero(sub.name), "object_" + std::to_string(s)) + "\n";
        const Vector3 offset = WorldOffsetOf(model, s);
        for (const Vector3& p : sub.vertexPositions) {
            obj += "v ";
            AppendNumber(obj, p.x + offset.x);
            obj += ' ';
            AppendNumber(obj, p.y + offset.y);
            obj += ' ';
            AppendNumber(obj, p.z + offset.z);
            obj += '\n';
        }
        std::string current;
        for (std::size_t f = 0; f < faceCount; ++f) {
            const auto n = static_cast<std::size_t>(std::max(sub.faceVertexCounts[f], 0));
            const bool cornersThere = sub.faceFirstCorner[f] <= sub.faceVertices.size() &&
                                      n <= sub.faceVertices.size() - sub.faceFirstCorner[f];
            const FaceVertex* corners = cornersThere ? sub.cornersOf(f) : nullptr;
            const bool valid =
                cornersThere && n >= 3 && std::all_of(corners, corners + n, [&](const FaceVertex& c) {
                    return c.vertexIndex >= 0 && static_cast<std::size_t>(c.vertexIndex) < sub.vertexPositions.size();
                });
            if (!valid) {
                warnings.push_back("sub-object " + std::to_string(s) + " face " + std::to_string(f) +
                                   ": names a vertex the sub-object does not have; left out");
                continue;
            }
            const std::int32_t texture = sub.faceTextureIndices[f];
            std::string name;
            if (texture >= 0 && static_cast<std::size_t>(texture) < model.textureNames.size()) {
                name = safeName(TextureNameOf(model, texture), "texture_" + std::to_string(texture));
                materials.try_emplace(name, "Kd 1 1 1\n");
            } else {
                const FaceColor color = f < sub.faceColors.size() ? sub.faceColors[f] : FaceColor{};
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
                obj += ' ' + std::to_string(verticesBefore + static_cast<std::size_t>(corners[k].vertexIndex) + 1) +
                       '/' + std::to_string(uvsBefore + k + 1);
            }
            obj += '\n';
            uvsBefore += n;
        }
        verticesBefore += sub.vertexPositions.size();
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

std::vector<std::string> ObjOutputPaths(const std::string& path) {
    return {path, MtlPathFor(path)};
}

bool WriteObjModel(const ObjectModel& model,
                   const std::string& path,
                   std::vector<std::string>& warnings,
                   std::vector<std::string>& notes,
                   std::string& error) {
    const std::string mtlPath = MtlPathFor(path);
    const ObjFiles files = BuildObj(model, mtlPath.substr(FileNameStart(mtlPath)), warnings);
    notes.insert(notes.end(), files.notes.begin(), files.notes.end());
    const auto bytes = [](const std::string& text) {
        return std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    };
    // The .mtl first: an OBJ never stands beside a material library older than itself.
    const FileToWrite both[] = {{mtlPath, bytes(files.mtl)}, {path, bytes(files.obj)}};
    return ReplaceFilesAtomically(both, error);
}

}  // namespace torvale
