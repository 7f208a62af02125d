// Builds glTF JSON with nlohmann::json (the only library header this file sees).
#include "gltf/gltf_writer.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <optional>

#include <nlohmann/json.hpp>

#include "core/ascii_text.h"
#include "core/atomic_file.h"
#include "core/path_text.h"
#include "model_io/handedness.h"
#include "model_io/linear_color.h"
#include "model_io/polygon.h"
#include "model_io/resource_path.h"
#include "model_io/texture_files.h"

namespace torvale {
namespace {

using nlohmann::json;

constexpr int kFloat = 5126;
constexpr int kUnsignedInt = 5125;
constexpr int kArrayBuffer = 34962;
constexpr int kElementArrayBuffer = 34963;
constexpr int kLinear = 9729;
constexpr int kRepeat = 10497;

// One primitive being filled: a texture index, or -1 with a colour.
struct PrimitiveData {
    std::vector<float> positions, normals, uvs;
    std::vector<std::uint32_t> indices;
};

// Where the images of textured materials go: into the binary buffer (GLB), or into files the JSON names by their
// `uri`.
enum class ImagePlacement { Buffer, Files };

class GltfBuilder {
public:
    GltfBuilder(const Scene& scene,
                std::vector<std::string>& warnings,
                const TextureFilePlan& plan,
                const std::vector<PngFile>& pngs,
                ImagePlacement placement)
        : scene_(scene), warnings_(warnings), plan_(plan), pngs_(pngs), placement_(placement) {}
    json build();
    std::vector<std::uint8_t>& bin() { return bin_; }

private:
    int material(std::int32_t texture, const FaceColor& color);
    int textureOfFile(std::size_t file);
    int accessor(const void* data,
                 std::size_t bytes,
                 std::size_t count,
                 const char* type,
                 int componentType,
                 int target,
                 const std::vector<float>* minMaxOf = nullptr);
    std::optional<json> mesh(std::size_t sub);
    void addPoints(const std::vector<ScenePoint>& points,
                   const char* label,
                   std::vector<json>& nodes,
                   std::vector<std::vector<int>>& children);

    const Scene& scene_;
    std::vector<std::string>& warnings_;
    const TextureFilePlan& plan_;
    const std::vector<PngFile>& pngs_;
    ImagePlacement placement_;
    std::vector<std::uint8_t> bin_;
    json accessors_ = json::array(), views_ = json::array(), materials_ = json::array(), meshes_ = json::array();
    json images_ = json::array(), textures_ = json::array();
    std::map<std::string, int> materialByName_;
    std::map<std::size_t, int> textureByFile_;
};

int GltfBuilder::material(std::int32_t texture, const FaceColor& color) {
    const bool textured = texture >= 0;
    const std::string name = textured ? scene_.textures[static_cast<std::size_t>(texture)] : ColorMaterialName(color);
    std::string key(textured ? "t:" : "c:");
    key += name;
    if (const auto found = materialByName_.find(key); found != materialByName_.end())
        return found->second;
    json pbr = {{"metallicFactor", 0.0}, {"roughnessFactor", 1.0}};
    if (!textured)
        pbr["baseColorFactor"] = {LinearFromSrgbByte(color.red), LinearFromSrgbByte(color.green),
                                  LinearFromSrgbByte(color.blue), 1.0};
    else if (const int file = plan_.fileOf(texture); file >= 0 && !pngs_[static_cast<std::size_t>(file)].bytes.empty())
        pbr["baseColorTexture"] = {{"index", textureOfFile(static_cast<std::size_t>(file))}};
    materials_.push_back({{"name", name}, {"pbrMetallicRoughness", pbr}});
    const int index = static_cast<int>(materials_.size()) - 1;
    materialByName_.emplace(key, index);
    return index;
}

int GltfBuilder::textureOfFile(std::size_t file) {
    if (const auto found = textureByFile_.find(file); found != textureByFile_.end())
        return found->second;
    const PngFile& png = pngs_[file];
    if (placement_ == ImagePlacement::Buffer) {
        const std::size_t offset = bin_.size();
        bin_.insert(bin_.end(), png.bytes.begin(), png.bytes.end());
        // The accessors' views that follow start on a 4-byte boundary.
        bin_.resize(bin_.size() + (4 - bin_.size() % 4) % 4, 0);
        views_.push_back({{"buffer", 0}, {"byteOffset", offset}, {"byteLength", png.bytes.size()}});
        images_.push_back({{"bufferView", views_.size() - 1}, {"mimeType", "image/png"}});
    } else {
        images_.push_back({{"uri", GltfUriOf(png.fileName)}});
    }
    // One sampler for all: the game tiles its textures and filters them linearly.
    textures_.push_back({{"sampler", 0}, {"source", images_.size() - 1}});
    const int index = static_cast<int>(textures_.size()) - 1;
    textureByFile_.emplace(file, index);
    return index;
}

int GltfBuilder::accessor(const void* data,
                          std::size_t bytes,
                          std::size_t count,
                          const char* type,
                          int componentType,
                          int target,
                          const std::vector<float>* minMaxOf) {
    // Every element is made of 4-byte components, so each view starts on a 4-byte boundary already.
    const std::size_t offset = bin_.size();
    bin_.resize(offset + bytes);
    std::memcpy(bin_.data() + offset, data, bytes);
    views_.push_back({{"buffer", 0}, {"byteOffset", offset}, {"byteLength", bytes}, {"target", target}});
    json a = {{"bufferView", views_.size() - 1}, {"componentType", componentType}, {"count", count}, {"type", type}};
    if (minMaxOf != nullptr) {
        std::array<float, 3> low{}, high{};
        low.fill(std::numeric_limits<float>::max());
        high.fill(std::numeric_limits<float>::lowest());
        for (std::size_t i = 0; i < minMaxOf->size(); ++i) {
            low[i % 3] = std::min(low[i % 3], (*minMaxOf)[i]);
            high[i % 3] = std::max(high[i % 3], (*minMaxOf)[i]);
        }
        a["min"] = low;
        a["max"] = high;
    }
    accessors_.push_back(std::move(a));
    return static_cast<int>(accessors_.size()) - 1;
}

std::optional<json> GltfBuilder::mesh(std::size_t s) {
    const SceneObject& object = scene_.objects[s];
    // Primitives in the order their texture or colour first appears.
    std::vector<std::pair<std::string, PrimitiveData>> primitives;
    std::map<std::string, std::size_t> primitiveByKey;
    std::vector<std::pair<std::int32_t, FaceColor>> primitiveMaterial;
    std::vector<Vector3> corners;
    std::vector<std::uint32_t> triangles;
    for (std::size_t f = 0; f < object.faces.size(); ++f) {
        const SceneFace& face = object.faces[f];
        const std::span<const SceneCorner> fv = object.cornersOf(face);
        const std::size_t n = fv.size();
        corners.clear();
        for (const SceneCorner& c : fv)
            corners.push_back(object.positions[c.vertex]);
        triangles.clear();
        if (!TriangulatePolygon(corners, triangles)) {
            warnings_.push_back("sub-object " + std::to_string(s) + " face " + std::to_string(f) +
                                ": has no area; left out");
            continue;
        }
        Vector3 normal = face.normal;
        const float length = Length(normal);
        normal = length > 1e-6f ? Vector3{normal.x / length, normal.y / length, normal.z / length}
                                : ComputeFaceNormal(corners);
        const std::int32_t texture = face.texture;
        const FaceColor color = face.color;
        // Textures by number, colours by name: the two kinds of key never meet.
        std::string key = ColorMaterialName(color);
        if (texture >= 0)
            key = std::to_string(texture);
        auto [found, added] = primitiveByKey.emplace(key, primitives.size());
        if (added) {
            primitives.emplace_back(key, PrimitiveData{});
            primitiveMaterial.emplace_back(texture, color);
        }
        PrimitiveData& p = primitives[found->second].second;
        const auto base = static_cast<std::uint32_t>(p.positions.size() / 3);
        for (std::size_t k = 0; k < n; ++k) {
            p.positions.insert(p.positions.end(), {corners[k].x, corners[k].y, corners[k].z});
            p.normals.insert(p.normals.end(), {normal.x, normal.y, normal.z});
            p.uvs.insert(p.uvs.end(), {fv[k].u, fv[k].v});
        }
        for (std::uint32_t t : triangles)
            p.indices.push_back(base + t);
    }
    if (primitives.empty())
        return std::nullopt;
    json list = json::array();
    for (std::size_t i = 0; i < primitives.size(); ++i) {
        const PrimitiveData& p = primitives[i].second;
        const std::size_t vertices = p.positions.size() / 3;
        const int position =
            accessor(p.positions.data(), p.positions.size() * 4, vertices, "VEC3", kFloat, kArrayBuffer, &p.positions);
        const int normal = accessor(p.normals.data(), p.normals.size() * 4, vertices, "VEC3", kFloat, kArrayBuffer);
        const int uv = accessor(p.uvs.data(), p.uvs.size() * 4, vertices, "VEC2", kFloat, kArrayBuffer);
        const int indices = accessor(p.indices.data(), p.indices.size() * 4, p.indices.size(), "SCALAR", kUnsignedInt,
                                     kElementArrayBuffer);
        list.push_back({{"attributes", {{"POSITION", position}, {"NORMAL", normal}, {"TEXCOORD_0", uv}}},
                        {"indices", indices},
                        {"material", material(primitiveMaterial[i].first, primitiveMaterial[i].second)},
                        {"mode", 4}});
    }
    return json{{"name", object.name}, {"primitives", std::move(list)}};
}

void GltfBuilder::addPoints(const std::vector<ScenePoint>& points,
                            const char* label,
                            std::vector<json>& nodes,
                            std::vector<std::vector<int>>& children) {
    for (std::size_t i = 0; i < points.size(); ++i) {
        const ScenePoint& point = points[i];
        if (point.parent < 0) {
            warnings_.push_back(std::string(label) + " " + std::to_string(i) + ": its sub-object " +
                                std::to_string(point.parent) + " does not exist; left out");
            continue;
        }
        json node = {{"name", std::string(label) + "_" + std::to_string(i)},
                     {"extras", {{"direction", {point.direction.x, point.direction.y, point.direction.z}}}}};
        if (!(point.position == Vector3{}))
            node["translation"] = {point.position.x, point.position.y, point.position.z};
        children[static_cast<std::size_t>(point.parent)].push_back(static_cast<int>(nodes.size()));
        nodes.push_back(std::move(node));
    }
}

json GltfBuilder::build() {
    const std::size_t count = scene_.objects.size();
    std::vector<json> nodes;
    std::vector<std::vector<int>> children(count);
    std::vector<int> roots;
    for (std::size_t s = 0; s < count; ++s) {
        const SceneObject& object = scene_.objects[s];
        json node = {{"name", object.name}};
        if (!(object.offset == Vector3{}))
            node["translation"] = {object.offset.x, object.offset.y, object.offset.z};
        if (std::optional<json> m = mesh(s)) {
            meshes_.push_back(std::move(*m));
            node["mesh"] = meshes_.size() - 1;
        }
        nodes.push_back(std::move(node));
        if (object.parent >= 0)
            children[static_cast<std::size_t>(object.parent)].push_back(static_cast<int>(s));
        else
            roots.push_back(static_cast<int>(s));
    }
    addPoints(scene_.gunpoints, "gunpoint", nodes, children);
    addPoints(scene_.attachPoints, "attach", nodes, children);
    addPoints(scene_.groundPoints, "ground", nodes, children);
    for (std::size_t s = 0; s < count; ++s)
        if (!children[s].empty())
            nodes[s]["children"] = children[s];

    json root = {{"asset", {{"version", "2.0"}, {"generator", "TORVALE"}}},
                 {"scene", 0},
                 {"scenes", {{{"nodes", roots}}}},
                 {"nodes", nodes}};
    if (!meshes_.empty()) {
        root["meshes"] = meshes_;
        root["materials"] = materials_;
        root["accessors"] = accessors_;
        root["bufferViews"] = views_;
        root["buffers"] = json::array({{{"byteLength", bin_.size()}}});
        if (!textures_.empty()) {
            root["images"] = images_;
            root["textures"] = textures_;
            root["samplers"] =
                json::array({{{"magFilter", kLinear}, {"minFilter", kLinear}, {"wrapS", kRepeat}, {"wrapT", kRepeat}}});
        }
    }
    return root;
}

void AppendU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

}  // namespace

GltfFiles BuildGltf(const Scene& scene,
                    std::string_view binUri,
                    std::vector<std::string>& warnings,
                    const TextureImages& images) {
    const Scene inFile = InOtherHandedness(scene);
    const TextureFilePlan plan = PlanTextureFiles(scene, images);
    std::vector<PngFile> pngs = EncodeTextureFiles(plan, warnings);
    GltfBuilder builder(inFile, warnings, plan, pngs, ImagePlacement::Files);
    json root = builder.build();
    GltfFiles files;
    if (root.contains("buffers"))
        root["buffers"][0]["uri"] = std::string(binUri);
    // A name that is no UTF-8 (an old model's Latin-1 texture name) is written with U+FFFD in place of its
    // stray bytes rather than refused.
    files.json = root.dump(1, ' ', false, json::error_handler_t::replace);
    files.bin = std::move(builder.bin());
    files.images = std::move(pngs);
    return files;
}

std::vector<std::uint8_t> BuildGlb(const Scene& scene,
                                   std::vector<std::string>& warnings,
                                   const TextureImages& images) {
    const Scene inFile = InOtherHandedness(scene);
    const TextureFilePlan plan = PlanTextureFiles(scene, images);
    const std::vector<PngFile> pngs = EncodeTextureFiles(plan, warnings);
    GltfBuilder builder(inFile, warnings, plan, pngs, ImagePlacement::Buffer);
    std::string text = builder.build().dump(-1, ' ', false, json::error_handler_t::replace);
    std::vector<std::uint8_t>& bin = builder.bin();
    // Both chunks end on a 4-byte boundary: JSON padded with spaces, the binary chunk with zeros.
    text.append((4 - text.size() % 4) % 4, ' ');
    bin.resize(bin.size() + (4 - bin.size() % 4) % 4, 0);
    std::vector<std::uint8_t> out;
    const std::size_t total = 12 + 8 + text.size() + (bin.empty() ? 0 : 8 + bin.size());
    out.reserve(total);
    out.insert(out.end(), {'g', 'l', 'T', 'F'});
    AppendU32(out, 2);
    AppendU32(out, static_cast<std::uint32_t>(total));
    AppendU32(out, static_cast<std::uint32_t>(text.size()));
    out.insert(out.end(), {'J', 'S', 'O', 'N'});
    out.insert(out.end(), text.begin(), text.end());
    if (!bin.empty()) {
        AppendU32(out, static_cast<std::uint32_t>(bin.size()));
        out.insert(out.end(), {'B', 'I', 'N', '\0'});
        out.insert(out.end(), bin.begin(), bin.end());
    }
    return out;
}

namespace {

// The extension's dot in `path`, or npos when the file name has none.
std::size_t ExtensionDot(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    return dot != std::string::npos && dot >= FileNameStart(path) ? dot : std::string::npos;
}

bool IsGlbPath(const std::string& path) {
    const std::size_t dot = ExtensionDot(path);
    return dot != std::string::npos && EqualsIgnoringAsciiCase(std::string_view(path).substr(dot), ".glb");
}

}  // namespace

std::string GltfUriOf(std::string_view fileName) {
    std::string uri;
    for (const char c : fileName) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) != 0 && byte < 0x80)
            uri += c;
        else if (c == '-' || c == '.' || c == '_' || c == '~' || c == '/')
            uri += c;
        else
            uri += {'%', "0123456789ABCDEF"[byte >> 4], "0123456789ABCDEF"[byte & 0xF]};
    }
    return uri;
}

std::vector<std::string> GltfOutputPaths(const std::string& path, const Scene& scene, const TextureImages& images) {
    if (IsGlbPath(path))
        return {path};
    const std::size_t start = FileNameStart(path);
    const std::size_t dot = ExtensionDot(path);
    const std::string stem = path.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
    std::vector<std::string> paths = TextureFilePaths(path, PlanTextureFiles(scene, images));
    paths.insert(paths.begin(), {path, path.substr(0, start) + PlainSideFileName(stem) + ".bin"});
    return paths;
}

bool WriteGltfModel(const Scene& scene,
                    const std::string& path,
                    std::vector<std::string>& warnings,
                    std::string& error,
                    const TextureImages& images) {
    if (IsGlbPath(path)) {
        const std::vector<std::uint8_t> glb = BuildGlb(scene, warnings, images);
        const FileToWrite file{path, glb};
        return ReplaceFilesAtomically({&file, 1}, error);
    }
    const std::string binPath = GltfOutputPaths(path)[1];
    GltfFiles files = BuildGltf(scene, GltfUriOf(binPath.substr(FileNameStart(binPath))), warnings, images);
    const auto* text = reinterpret_cast<const std::uint8_t*>(files.json.data());
    // The images and the .bin first: a .gltf never stands beside files older than itself.
    std::vector<FileToWrite> all = PngFilesBeside(path, files.images);
    all.push_back({binPath, files.bin});
    all.push_back({path, {text, files.json.size()}});
    return ReplaceFilesAtomically(all, error);
}

}  // namespace torvale
