#include "obj/obj_writer.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <span>

#include "core/atomic_file.h"
#include "model_io/handedness.h"
#include "model_io/polygon.h"

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

// OBJ names end at white space.
std::string SafeName(std::string_view name, std::string_view fallback) {
    std::string out(name.empty() ? fallback : name);
    std::replace_if(
        out.begin(), out.end(), [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }, '_');
    return out;
}

}  // namespace

ObjFiles BuildObj(const ObjectModel& gameModel, std::string_view mtlName, std::vector<std::string>& warnings) {
    const ObjectModel model = InOtherHandedness(gameModel);
    ObjFiles files;
    std::string& obj = files.obj;
    obj = "# TORVALE\nmtllib " + std::string(mtlName) + "\n";
    std::map<std::string, std::string> materials;  // name -> its MTL statements
    std::size_t verticesBefore = 0, uvsBefore = 0;
    for (std::size_t s = 0; s < model.subObjects.size(); ++s) {
        const SubObject& sub = model.subObjects[s];
        const std::size_t faceCount =
            std::min({sub.faceVertexCounts.size(), sub.faceFirstCorner.size(), sub.faceTextureIndices.size()});
        if (faceCount == 0)
            continue;
        obj += "o " + SafeName(WithoutZero(sub.name), "object_" + std::to_string(s)) + "\n";
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
                name = SafeName(TextureNameOf(model, texture), "texture_" + std::to_string(texture));
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
    files.mtl = "# TORVALE\n";
    for (const auto& [name, statements] : materials)
        files.mtl += "\nnewmtl " + name + "\n" + statements;
    return files;
}

bool WriteObjModel(const ObjectModel& model,
                   const std::string& path,
                   std::vector<std::string>& warnings,
                   std::string& error) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.find_last_of("/\\");
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    const std::string mtlPath = (hasExtension ? path.substr(0, dot) : path) + ".mtl";
    const ObjFiles files = BuildObj(model, mtlPath.substr(slash == std::string::npos ? 0 : slash + 1), warnings);
    const auto bytes = [](const std::string& text) {
        return std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    };
    return ReplaceFileAtomically(mtlPath, bytes(files.mtl), error) &&
           ReplaceFileAtomically(path, bytes(files.obj), error);
}

}  // namespace torvale
