// Builds glTF JSON with nlohmann::json (the only library header this file sees).
#include "gltf/gltf_writer.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <numbers>
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

constexpr double kFramesPerSecond = 30.0;

json Numbers(const Vector3& v) {
    return {v.x, v.y, v.z};
}

// A rotation as a unit quaternion (x, y, z, w), composed as matrices are: (a * b) turns by b, then by a.
struct Quaternion {
    double x = 0, y = 0, z = 0, w = 1;
};

Quaternion operator*(const Quaternion& a, const Quaternion& b) {
    return {a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y, a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
            a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w, a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

Quaternion Normalized(Quaternion q) {
    const double length = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    if (!(length > 0.0))
        return {};
    return {q.x / length, q.y / length, q.z / length, q.w / length};
}

// A key's turn: `angle` (1/65536 of a turn) about `axis`, the game's own numbers. A zero axis does not turn.
Quaternion KeyTurn(const RotationKey& key) {
    const double x = static_cast<double>(key.axis.x), y = static_cast<double>(key.axis.y),
                 z = static_cast<double>(key.axis.z);
    const double length = std::sqrt(x * x + y * y + z * z);
    if (!(length > 0.0))
        return {};
    const double half = (key.angle % 65536) / 65536.0 * std::numbers::pi;
    const double s = std::sin(half) / length;
    return {x * s, y * s, z * s, std::cos(half)};
}

// The same turn seen in the mirrored frame (x negated): the axis mirrored and the sense reversed.
Quaternion Mirrored(const Quaternion& q) {
    return {q.x, -q.y, -q.z, q.w};
}

// The rotation that takes a node's local +Y to `direction` and, when `up` is not zero, its local -Z as near
// to `up` as a frame at right angles to `direction` allows. Both in the file's numbers.
Quaternion PointRotation(const Vector3& direction, const Vector3& up) {
    const auto unit = [](std::array<double, 3> v) {
        const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        if (!(length > 1e-12))
            return std::array<double, 3>{};
        return std::array<double, 3>{v[0] / length, v[1] / length, v[2] / length};
    };
    const auto cross = [](const std::array<double, 3>& a, const std::array<double, 3>& b) {
        return std::array<double, 3>{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
    };
    const auto wide = [](const Vector3& v) {
        return std::array<double, 3>{static_cast<double>(v.x), static_cast<double>(v.y), static_cast<double>(v.z)};
    };
    const std::array<double, 3> y = unit(wide(direction));
    if (y == std::array<double, 3>{})
        return {};
    std::array<double, 3> z{};
    const std::array<double, 3> back = unit(wide(Vector3{-up.x, -up.y, -up.z}));
    if (back != std::array<double, 3>{}) {
        const double along = back[0] * y[0] + back[1] * y[1] + back[2] * y[2];
        z = unit({back[0] - along * y[0], back[1] - along * y[1], back[2] - along * y[2]});
    }
    if (z == std::array<double, 3>{}) {
        // The shortest turn from +Y; half way round, about X.
        if (y[1] < -1.0 + 1e-12)
            return {1, 0, 0, 0};
        return Normalized({y[2], 0.0, -y[0], 1.0 + y[1]});
    }
    const std::array<double, 3> x = cross(y, z);
    // The quaternion of the matrix whose columns are x, y, z.
    const double m00 = x[0], m11 = y[1], m22 = z[2];
    const double trace = m00 + m11 + m22;
    Quaternion q;
    if (trace > 0.0) {
        const double s = std::sqrt(trace + 1.0) * 2.0;
        q = {(y[2] - z[1]) / s, (z[0] - x[2]) / s, (x[1] - y[0]) / s, 0.25 * s};
    } else if (m00 > m11 && m00 > m22) {
        const double s = std::sqrt(1.0 + m00 - m11 - m22) * 2.0;
        q = {0.25 * s, (y[0] + x[1]) / s, (z[0] + x[2]) / s, (y[2] - z[1]) / s};
    } else if (m11 > m22) {
        const double s = std::sqrt(1.0 + m11 - m00 - m22) * 2.0;
        q = {(y[0] + x[1]) / s, 0.25 * s, (z[1] + y[2]) / s, (z[0] - x[2]) / s};
    } else {
        const double s = std::sqrt(1.0 + m22 - m00 - m11) * 2.0;
        q = {(z[0] + x[2]) / s, (z[1] + y[2]) / s, 0.25 * s, (x[1] - y[0]) / s};
    }
    return Normalized(q);
}

template <typename Key>
bool Animates(const KeyTrack<Key>& track) {
    return track.keys.size() >= 2;
}

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
    // `scene` is `game` in the file's handedness; the extras carry the game's own numbers.
    GltfBuilder(const Scene& game,
                const Scene& scene,
                std::vector<std::string>& warnings,
                const TextureFilePlan& plan,
                const std::vector<PngFile>& pngs,
                ImagePlacement placement)
        : game_(game), scene_(scene), warnings_(warnings), plan_(plan), pngs_(pngs), placement_(placement) {}
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
                 const std::vector<float>* minMaxOf = nullptr,
                 std::size_t components = 3);
    std::optional<json> mesh(std::size_t sub);
    void addPoints(const std::vector<ScenePoint>& points,
                   const std::vector<ScenePoint>& gamePoints,
                   const std::vector<ScenePoint>* ups,
                   const char* label,
                   std::vector<json>& nodes,
                   std::vector<std::vector<int>>& children);
    json objectExtras(std::size_t s) const;
    json animation();
    int timeAccessor(const std::vector<float>& times);

    const Scene& game_;
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
    json entry = {{"name", name}, {"pbrMetallicRoughness", pbr}};
    if (textured)
        entry["extras"] = {{"d3_texture", name}};
    materials_.push_back(std::move(entry));
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
                          const std::vector<float>* minMaxOf,
                          std::size_t components) {
    // Every element is made of 4-byte components, so each view starts on a 4-byte boundary already.
    const std::size_t offset = bin_.size();
    bin_.resize(offset + bytes);
    std::memcpy(bin_.data() + offset, data, bytes);
    json view = {{"buffer", 0}, {"byteOffset", offset}, {"byteLength", bytes}};
    if (target != 0)
        view["target"] = target;
    views_.push_back(std::move(view));
    json a = {{"bufferView", views_.size() - 1}, {"componentType", componentType}, {"count", count}, {"type", type}};
    if (minMaxOf != nullptr) {
        std::vector<float> low(components, std::numeric_limits<float>::max());
        std::vector<float> high(components, std::numeric_limits<float>::lowest());
        for (std::size_t i = 0; i < minMaxOf->size(); ++i) {
            low[i % components] = std::min(low[i % components], (*minMaxOf)[i]);
            high[i % components] = std::max(high[i % components], (*minMaxOf)[i]);
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
                            const std::vector<ScenePoint>& gamePoints,
                            const std::vector<ScenePoint>* ups,
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
        json extras = {{"pof_direction", Numbers(gamePoints[i].direction)}};
        Vector3 up;
        if (ups != nullptr) {
            extras["pof_up"] = Numbers((*ups)[i].direction);
            up = game_.attachNormals.size() == points.size() ? scene_.attachNormals[i].direction : Vector3{};
        }
        json node = {{"name", std::string(label) + "_" + std::to_string(i)}, {"extras", std::move(extras)}};
        if (!(point.position == Vector3{}))
            node["translation"] = Numbers(point.position);
        const Quaternion turn = PointRotation(point.direction, up);
        if (turn.w != 1.0)
            node["rotation"] = {turn.x, turn.y, turn.z, turn.w};
        children[static_cast<std::size_t>(point.parent)].push_back(static_cast<int>(nodes.size()));
        nodes.push_back(std::move(node));
    }
}

json GltfBuilder::objectExtras(std::size_t s) const {
    const SceneObject& object = game_.objects[s];
    json extras = {{"pof_name", object.name},
                   {"pof_properties", object.properties},
                   {"pof_index", s},
                   {"pof_movement_type", object.movementType},
                   {"pof_movement_axis", object.movementAxis}};
    if (!object.rotation.keys.empty()) {
        json keys = json::array();
        for (const RotationKey& key : object.rotation.keys)
            keys.push_back({key.frame, key.axis.x, key.axis.y, key.axis.z, key.angle});
        extras["pof_rotation_keys"] = {
            {"first", object.rotation.firstFrame}, {"last", object.rotation.lastFrame}, {"keys", std::move(keys)}};
    }
    if (!object.position.keys.empty()) {
        json keys = json::array();
        for (const PositionKey& key : object.position.keys)
            keys.push_back({key.frame, key.position.x, key.position.y, key.position.z});
        extras["pof_position_keys"] = {
            {"first", object.position.firstFrame}, {"last", object.position.lastFrame}, {"keys", std::move(keys)}};
    }
    if (s == 0) {  // an empty list too, so that a reader adds no battery of its own
        json batteries = json::array();
        for (const WeaponBattery& battery : game_.batteries)
            batteries.push_back({{"guns", battery.guns}, {"turrets", battery.turrets}});
        extras["pof_batteries"] = std::move(batteries);
    }
    return extras;
}

int GltfBuilder::timeAccessor(const std::vector<float>& times) {
    return accessor(times.data(), times.size() * 4, times.size(), "SCALAR", kFloat, 0, &times, 1);
}

// One animation of every sub-object whose keys move it: rotations as the poses the keys compose to, positions
// as offset plus key, each key at its frame / 30 seconds. A track whose frames do not rise from 0 or above is
// left to the extras alone, with a warning.
json GltfBuilder::animation() {
    json channels = json::array(), samplers = json::array();
    const auto rising = [](const auto& keys) {
        for (std::size_t k = 0; k < keys.size(); ++k)
            if (keys[k].frame < 0 || (k > 0 && keys[k].frame <= keys[k - 1].frame))
                return false;
        return true;
    };
    const auto add = [&](std::size_t node, const char* path, int input, int output) {
        samplers.push_back({{"input", input}, {"output", output}, {"interpolation", "LINEAR"}});
        channels.push_back({{"sampler", samplers.size() - 1}, {"target", {{"node", node}, {"path", path}}}});
    };
    for (std::size_t s = 0; s < game_.objects.size(); ++s) {
        const SceneObject& object = game_.objects[s];
        std::vector<float> times, values;
        if (Animates(object.rotation)) {
            if (!rising(object.rotation.keys)) {
                warnings_.push_back(SubObjectLabel(s) +
                                    ": its rotation keys' frames do not rise from 0 or above; "
                                    "kept in the extras but not animated");
            } else {
                Quaternion pose;
                for (const RotationKey& key : object.rotation.keys) {
                    pose = Normalized(KeyTurn(key) * pose);
                    const Quaternion q = Mirrored(pose);
                    times.push_back(static_cast<float>(key.frame / kFramesPerSecond));
                    values.insert(values.end(), {static_cast<float>(q.x), static_cast<float>(q.y),
                                                 static_cast<float>(q.z), static_cast<float>(q.w)});
                }
                const int input = timeAccessor(times);
                add(s, "rotation", input, accessor(values.data(), values.size() * 4, times.size(), "VEC4", kFloat, 0));
            }
        }
        times.clear();
        values.clear();
        if (Animates(object.position)) {
            if (!rising(object.position.keys)) {
                warnings_.push_back(SubObjectLabel(s) +
                                    ": its position keys' frames do not rise from 0 or above; "
                                    "kept in the extras but not animated");
            } else {
                const Vector3& offset = scene_.objects[s].offset;
                for (const PositionKey& key : object.position.keys) {
                    times.push_back(static_cast<float>(key.frame / kFramesPerSecond));
                    values.insert(values.end(),
                                  {offset.x - key.position.x, offset.y + key.position.y, offset.z + key.position.z});
                }
                const int input = timeAccessor(times);
                add(s, "translation", input,
                    accessor(values.data(), values.size() * 4, times.size(), "VEC3", kFloat, 0));
            }
        }
    }
    if (channels.empty())
        return nullptr;
    return {{"name", "keys"}, {"channels", std::move(channels)}, {"samplers", std::move(samplers)}};
}

json GltfBuilder::build() {
    const std::size_t count = scene_.objects.size();
    std::vector<json> nodes;
    std::vector<std::vector<int>> children(count);
    std::vector<int> roots;
    for (std::size_t s = 0; s < count; ++s) {
        const SceneObject& object = scene_.objects[s];
        json node = {{"name", object.name}, {"extras", objectExtras(s)}};
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
    addPoints(scene_.gunpoints, game_.gunpoints, nullptr, "Gun", nodes, children);
    const bool ups = !game_.attachPoints.empty() && game_.attachNormals.size() == game_.attachPoints.size();
    addPoints(scene_.attachPoints, game_.attachPoints, ups ? &game_.attachNormals : nullptr, "Attach", nodes, children);
    addPoints(scene_.groundPoints, game_.groundPoints, nullptr, "Ground", nodes, children);
    json keys = animation();
    for (std::size_t s = 0; s < count; ++s)
        if (!children[s].empty())
            nodes[s]["children"] = children[s];

    json root = {{"asset", {{"version", "2.0"}, {"generator", "TORVALE"}}},
                 {"scene", 0},
                 {"scenes", {{{"nodes", roots}}}},
                 {"nodes", nodes}};
    if (!keys.is_null())
        root["animations"] = json::array({std::move(keys)});
    if (!meshes_.empty())
        root["meshes"] = meshes_;
    if (!materials_.empty())
        root["materials"] = materials_;
    if (!bin_.empty()) {
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
    GltfBuilder builder(scene, inFile, warnings, plan, pngs, ImagePlacement::Files);
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
    GltfBuilder builder(scene, inFile, warnings, plan, pngs, ImagePlacement::Buffer);
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
