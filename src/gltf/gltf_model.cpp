// The one file that includes tiny_gltf.h: it turns the library's model into ours.
#include "gltf/gltf_model.h"
#include "core/ascii_text.h"
#include "core/path_text.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <deque>
#include <exception>
#include <fstream>  // tiny_gltf.h uses it even when it opens no files
#include <limits>
#include <optional>
#include <tuple>
#include <type_traits>

#include "model_io/handedness.h"
#include "model_io/polygon.h"
#include "model_io/resource_path.h"
#include "model_io/srgb_color.h"
#include "scene/scene_builder.h"

#define TINYGLTF_IMPLEMENTATION
#define TINYGLTF_NO_STB_IMAGE
#define TINYGLTF_NO_STB_IMAGE_WRITE
#define TINYGLTF_NO_EXTERNAL_IMAGE
#define TINYGLTF_NO_FS
#include <tiny_gltf.h>

namespace torvale {
namespace {

// glTF's primitive mode and component types.
constexpr int kTriangles = 4;
constexpr int kUnsignedByte = 5121;
constexpr int kUnsignedShort = 5123;
constexpr int kUnsignedInt = 5125;
constexpr int kFloat = 5126;

// JSON nested deeper than this is no glTF anyone wrote; the parser recurses once per level, so deeper input is
// refused before it runs.
constexpr int kNestingLimit = 64;
// The most a model built from a glTF may hold, counted over every instance of every mesh before anything is
// built: a small file whose nodes share one mesh can otherwise ask for any amount of memory.
constexpr std::uint64_t kCornerBudget = 50'000'000;
constexpr std::uint64_t kVertexBudget = 50'000'000;
// Deeper trees than this are no models anyone built; the limit keeps the walk off the end of the stack.
constexpr int kDepthLimit = 512;

// A column-major 4 x 4 transform, as glTF stores its matrices.
using Matrix = std::array<double, 16>;
constexpr Matrix kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

Matrix Multiply(const Matrix& a, const Matrix& b) {
    Matrix r{};
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 4; ++row)
            for (int k = 0; k < 4; ++k)
                r[static_cast<std::size_t>(col * 4 + row)] +=
                    a[static_cast<std::size_t>(k * 4 + row)] * b[static_cast<std::size_t>(col * 4 + k)];
    return r;
}

Matrix LocalTransform(const tinygltf::Node& node) {
    if (node.matrix.size() == 16) {
        Matrix m;
        std::copy(node.matrix.begin(), node.matrix.end(), m.begin());
        return m;
    }
    const double tx = node.translation.size() == 3 ? node.translation[0] : 0.0;
    const double ty = node.translation.size() == 3 ? node.translation[1] : 0.0;
    const double tz = node.translation.size() == 3 ? node.translation[2] : 0.0;
    double x = 0, y = 0, z = 0, w = 1;
    if (node.rotation.size() == 4) {
        x = node.rotation[0], y = node.rotation[1], z = node.rotation[2], w = node.rotation[3];
    }
    const double sx = node.scale.size() == 3 ? node.scale[0] : 1.0;
    const double sy = node.scale.size() == 3 ? node.scale[1] : 1.0;
    const double sz = node.scale.size() == 3 ? node.scale[2] : 1.0;
    // Translation * rotation * scale, the rotation from its unit quaternion.
    return {(1 - 2 * (y * y + z * z)) * sx,
            (2 * (x * y + z * w)) * sx,
            (2 * (x * z - y * w)) * sx,
            0,
            (2 * (x * y - z * w)) * sy,
            (1 - 2 * (x * x + z * z)) * sy,
            (2 * (y * z + x * w)) * sy,
            0,
            (2 * (x * z + y * w)) * sz,
            (2 * (y * z - x * w)) * sz,
            (1 - 2 * (x * x + y * y)) * sz,
            0,
            tx,
            ty,
            tz,
            1};
}

bool IsFiniteMatrix(const Matrix& m) {
    return std::all_of(m.begin(), m.end(), [](double v) { return std::isfinite(v); });
}

// KHR_texture_transform of a material's base-colour texture: the UV set it reads, and
// (u, v) -> (a u + b v + c, d u + e v + f), offset * rotation * scale.
struct UvTransform {
    int texCoord = 0;
    std::array<double, 6> m = {1, 0, 0, 0, 1, 0};
    std::pair<float, float> apply(double u, double v) const {
        return {static_cast<float>(m[0] * u + m[1] * v + m[2]), static_cast<float>(m[3] * u + m[4] * v + m[5])};
    }
};

// Extensions named in extensionsRequired that change only how materials look or how lights shine: the
// geometry is read as it is (the texture transform is applied to the UVs).
bool IsReadableExtension(std::string_view name) {
    return name.rfind("KHR_materials_", 0) == 0 || name == "KHR_texture_transform" || name == "KHR_texture_basisu" ||
           name == "EXT_texture_webp" || name == "MSFT_texture_dds" || name == "KHR_lights_punctual";
}

bool IsPureTranslation(const Matrix& m) {
    constexpr double kTolerance = 1e-9;
    for (std::size_t col = 0; col < 3; ++col)
        for (std::size_t row = 0; row < 3; ++row)
            if (std::abs(m[col * 4 + row] - (col == row ? 1.0 : 0.0)) > kTolerance)
                return false;
    return true;
}

double Determinant3(const Matrix& m) {
    return m[0] * (m[5] * m[10] - m[9] * m[6]) - m[4] * (m[1] * m[10] - m[9] * m[2]) +
           m[8] * (m[1] * m[6] - m[5] * m[2]);
}

Vector3 Translation(const Matrix& m) {
    return {static_cast<float>(m[12]), static_cast<float>(m[13]), static_cast<float>(m[14])};
}

Vector3 ApplyLinear(const Matrix& m, double x, double y, double z) {
    return {static_cast<float>(m[0] * x + m[4] * y + m[8] * z), static_cast<float>(m[1] * x + m[5] * y + m[9] * z),
            static_cast<float>(m[2] * x + m[6] * y + m[10] * z)};
}

bool IsColorName(std::string_view name) {
    if (name.size() != 10 || name.substr(0, 4) != "rgb_")
        return false;
    return name.find_first_not_of("0123456789abcdefABCDEF", 4) == std::string_view::npos;
}

struct Refusal {
    std::string message;
};

// What a sub-object node's extras say beyond its geometry (the game's own numbers, never mirrored).
struct ObjectRecord {
    std::optional<std::int64_t> index;
    std::optional<std::string> properties;
    std::optional<std::int32_t> movementType, movementAxis;
    std::optional<KeyTrack<RotationKey>> rotation;
    std::optional<KeyTrack<PositionKey>> position;
};

enum class PointKind { Gun, Attach, Ground };

// A gun, attach or ground point met in the node tree, placed in its table once the tree is walked.
struct FoundPoint {
    PointKind kind = PointKind::Gun;
    std::optional<std::uint64_t> number;  // after the name's prefix
    std::string name;
    ScenePoint point;  // in the file's handedness
    Vector3 world;     // of a point under no sub-object, placed later
    std::optional<Vector3> up;
};

// "Gun_12" -> 12; nothing when the text after the prefix is not a number (or too long to be one).
std::optional<std::uint64_t> NumberAfter(std::string_view name, std::size_t prefix) {
    std::string_view digits = name.substr(prefix);
    if (!digits.empty() && digits.front() == '_')
        digits.remove_prefix(1);
    if (digits.empty() || digits.size() > 18 || digits.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    std::uint64_t n = 0;
    for (const char c : digits)
        n = n * 10 + static_cast<std::uint64_t>(c - '0');
    return n;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

// One accessor's elements, checked to lie inside their buffer view and buffer.
struct AccessorData {
    const std::uint8_t* base = nullptr;
    std::size_t stride = 0;
    std::size_t count = 0;
    int componentType = 0;
    int components = 0;
    bool normalized = false;

    double component(std::size_t element, int c) const {
        const std::uint8_t* p = base + element * stride;
        switch (componentType) {
            case kFloat: {
                float f;
                std::memcpy(&f, p + 4 * c, 4);
                return static_cast<double>(f);
            }
            case kUnsignedInt: {
                std::uint32_t v;
                std::memcpy(&v, p + 4 * c, 4);
                return normalized ? v / 4294967295.0 : v;
            }
            case kUnsignedShort: {
                std::uint16_t v;
                std::memcpy(&v, p + 2 * c, 2);
                return normalized ? v / 65535.0 : v;
            }
            default:
                return normalized ? p[c] / 255.0 : p[c];
        }
    }
};

class GltfConverter {
public:
    GltfConverter(const tinygltf::Model& gltf, std::string_view title) : gltf_(gltf), title_(title) {}

    Scene convert(std::vector<std::string>& notes);

private:
    [[noreturn]] void refuse(const std::string& where, const std::string& why) const {
        throw Refusal{std::string(title_) + ": " + where + ": " + why};
    }
    AccessorData accessor(int index, const std::string& user, std::initializer_list<int> types, int components);
    void checkImages() const;
    const tinygltf::Node& enter(int nodeIndex, int depth, std::vector<bool>& seen) const;
    std::vector<int> roots() const;
    void tally(int nodeIndex,
               int depth,
               std::vector<bool>& seen,
               std::uint64_t& vertices,
               std::uint64_t& corners) const;
    const std::uint8_t* viewBytes(int viewIndex,
                                  std::size_t byteOffset,
                                  std::size_t count,
                                  std::size_t elementSize,
                                  std::size_t& stride,
                                  const std::string& where);
    void applySparse(const tinygltf::Accessor& a, int index, AccessorData& data);
    UvTransform uvTransform(const tinygltf::TextureInfo& info, const std::string& where);
    void visit(int nodeIndex, const Matrix& parentWorld, int parentSub, const Matrix& parentSubWorld, int depth);
    void addMesh(int meshIndex, const Matrix& world);
    void addPoint(const tinygltf::Node& node, const Matrix& world, int parentSub, const Matrix& parentSubWorld);
    ObjectRecord record(const tinygltf::Node& node, const std::string& where) const;
    std::int32_t integer(const tinygltf::Value& value, const std::string& where, const std::string& what) const;
    float number(const tinygltf::Value& value, const std::string& where, const std::string& what) const;
    Vector3 vector(const tinygltf::Value& value, const std::string& where, const std::string& what) const;
    template <typename Key>
    std::optional<KeyTrack<Key>> track(const tinygltf::Value& extras,
                                       const char* field,
                                       const std::string& where) const;
    void batteries(const tinygltf::Value& extras, const std::string& where);
    void placePoints(Scene& scene);
    void applyRecords(Scene& scene);
    std::int32_t materialTexture(int materialIndex, FaceColor& color, UvTransform& uv);

    const tinygltf::Model& gltf_;
    std::string_view title_;
    SceneBuilder assembler_;
    std::vector<bool> visited_;
    bool transformed_ = false;
    int mirroredNodes_ = 0;
    int skippedPrimitives_ = 0;
    std::size_t triangles_ = 0;
    std::vector<ObjectRecord> records_;  // by sub-object, in the order the tree is walked
    std::vector<FoundPoint> points_;
    std::optional<std::vector<WeaponBattery>> batteries_;
    std::deque<std::vector<std::uint8_t>> dense_;  // sparse accessors written out in full
};

AccessorData GltfConverter::accessor(int index,
                                     const std::string& user,
                                     std::initializer_list<int> types,
                                     int components) {
    const std::string where = "accessor " + std::to_string(index);
    if (index < 0 || static_cast<std::size_t>(index) >= gltf_.accessors.size())
        refuse(user, "names accessor " + std::to_string(index) + ", which the file does not have");
    const tinygltf::Accessor& a = gltf_.accessors[static_cast<std::size_t>(index)];
    if (std::find(types.begin(), types.end(), a.componentType) == types.end())
        refuse(where, "component type " + std::to_string(a.componentType) + " cannot serve as " + user);
    const int found = tinygltf::GetNumComponentsInType(static_cast<std::uint32_t>(a.type));
    if (found != components)
        refuse(where, std::to_string(found) + " components per element where " + user + " needs " +
                          std::to_string(components));
    AccessorData data;
    data.count = a.count;
    data.componentType = a.componentType;
    data.components = components;
    data.normalized = a.normalized;
    const auto elementSize =
        static_cast<std::size_t>(tinygltf::GetComponentSizeInBytes(static_cast<std::uint32_t>(a.componentType))) *
        static_cast<std::size_t>(components);
    if (a.count != 0 && a.bufferView >= 0)
        data.base = viewBytes(a.bufferView, a.byteOffset, a.count, elementSize, data.stride, where);
    else if (a.count != 0 && !a.sparse.isSparse)
        refuse(where, "has no buffer view");
    if (a.sparse.isSparse)
        applySparse(a, index, data);
    return data;
}

// `count` elements of `elementSize` bytes from `byteOffset` of buffer view `viewIndex`, checked to lie inside
// the view and its buffer; `stride` becomes the view's stride (or the element size).
const std::uint8_t* GltfConverter::viewBytes(int viewIndex,
                                             std::size_t byteOffset,
                                             std::size_t count,
                                             std::size_t elementSize,
                                             std::size_t& stride,
                                             const std::string& where) {
    if (viewIndex < 0 || static_cast<std::size_t>(viewIndex) >= gltf_.bufferViews.size())
        refuse(where, "has no buffer view");
    const tinygltf::BufferView& view = gltf_.bufferViews[static_cast<std::size_t>(viewIndex)];
    if (view.buffer < 0 || static_cast<std::size_t>(view.buffer) >= gltf_.buffers.size())
        refuse("buffer view " + std::to_string(viewIndex), "names a buffer the file does not have");
    const std::vector<unsigned char>& buffer = gltf_.buffers[static_cast<std::size_t>(view.buffer)].data;
    if (view.byteOffset > buffer.size() || view.byteLength > buffer.size() - view.byteOffset)
        refuse("buffer view " + std::to_string(viewIndex),
               "bytes " + std::to_string(view.byteOffset) + " to " + std::to_string(view.byteOffset + view.byteLength) +
                   " run past the end of buffer " + std::to_string(view.buffer) + " (" + std::to_string(buffer.size()) +
                   " bytes)");
    stride = view.byteStride != 0 ? view.byteStride : elementSize;
    if (stride < elementSize)
        refuse(where, "stride " + std::to_string(stride) + " is shorter than its elements");
    const std::size_t available = view.byteLength;
    if (byteOffset > available || elementSize > available - byteOffset ||
        (count - 1) > (available - byteOffset - elementSize) / stride)
        refuse(where, std::to_string(count) + " elements from byte " + std::to_string(byteOffset) +
                          " run past the end of buffer view " + std::to_string(viewIndex) + " (" +
                          std::to_string(available) + " bytes)");
    return buffer.data() + view.byteOffset + byteOffset;
}

// A sparse accessor: its base elements (or zeros without a buffer view), some replaced by the values of its
// sparse part at the element numbers its indices give.
void GltfConverter::applySparse(const tinygltf::Accessor& a, int index, AccessorData& data) {
    const std::string where = "accessor " + std::to_string(index) + " (sparse)";
    const auto elementSize =
        static_cast<std::size_t>(tinygltf::GetComponentSizeInBytes(static_cast<std::uint32_t>(a.componentType))) *
        static_cast<std::size_t>(data.components);
    const auto sparseCount = static_cast<std::size_t>(std::max(a.sparse.count, 0));
    if (sparseCount == 0 || sparseCount > data.count)
        refuse(where, std::to_string(a.sparse.count) + " replaced elements of " + std::to_string(data.count));
    // Without a base the elements are zeros the file does not hold: keep them in proportion to what it holds.
    std::size_t held = 0;
    for (const tinygltf::Buffer& b : gltf_.buffers)
        held += b.data.size();
    if (data.base == nullptr && data.count / 64 > held / elementSize + 1)
        refuse(where, std::to_string(data.count) + " elements of zeros are far more than the file holds");
    std::vector<std::uint8_t>& dense = dense_.emplace_back(data.count * elementSize, 0);
    if (data.base != nullptr)
        for (std::size_t e = 0; e < data.count; ++e)
            std::memcpy(dense.data() + e * elementSize, data.base + e * data.stride, elementSize);
    const int indexType = a.sparse.indices.componentType;
    if (indexType != kUnsignedByte && indexType != kUnsignedShort && indexType != kUnsignedInt)
        refuse(where, "index component type " + std::to_string(indexType) + " is not an unsigned integer");
    const auto indexSize =
        static_cast<std::size_t>(tinygltf::GetComponentSizeInBytes(static_cast<std::uint32_t>(indexType)));
    std::size_t indexStride = 0, valueStride = 0;
    const std::uint8_t* indices =
        viewBytes(a.sparse.indices.bufferView, static_cast<std::size_t>(std::max(a.sparse.indices.byteOffset, 0)),
                  sparseCount, indexSize, indexStride, where + " indices");
    const std::uint8_t* values =
        viewBytes(a.sparse.values.bufferView, static_cast<std::size_t>(std::max(a.sparse.values.byteOffset, 0)),
                  sparseCount, elementSize, valueStride, where + " values");
    for (std::size_t k = 0; k < sparseCount; ++k) {
        std::uint32_t at = 0;
        std::memcpy(&at, indices + k * indexSize, indexSize);  // little-endian, as the format stores it
        if (at >= data.count)
            refuse(where, "replaces element " + std::to_string(at) + " of its " + std::to_string(data.count));
        std::memcpy(dense.data() + static_cast<std::size_t>(at) * elementSize, values + k * elementSize, elementSize);
    }
    data.base = dense.data();
    data.stride = elementSize;
}

UvTransform GltfConverter::uvTransform(const tinygltf::TextureInfo& info, const std::string& where) {
    UvTransform t;
    t.texCoord = std::max(info.texCoord, 0);
    const auto found = info.extensions.find("KHR_texture_transform");
    if (found == info.extensions.end())
        return t;
    const tinygltf::Value& e = found->second;
    const auto number = [&](const tinygltf::Value& v, double fallback) {
        const double d = v.IsNumber() || v.IsInt() ? v.GetNumberAsDouble() : fallback;
        if (!std::isfinite(d))
            refuse(where, "its KHR_texture_transform holds a number that is not finite");
        return d;
    };
    const auto pair = [&](const char* key, double fallback) {
        std::array<double, 2> out = {fallback, fallback};
        if (e.Has(key) && e.Get(key).IsArray() && e.Get(key).ArrayLen() == 2)
            out = {number(e.Get(key).Get(0), fallback), number(e.Get(key).Get(1), fallback)};
        return out;
    };
    const std::array<double, 2> offset = pair("offset", 0.0), scale = pair("scale", 1.0);
    const double rotation = e.Has("rotation") ? number(e.Get("rotation"), 0.0) : 0.0;
    if (e.Has("texCoord") && e.Get("texCoord").IsInt())
        t.texCoord = std::max(e.Get("texCoord").GetNumberAsInt(), 0);
    const double c = std::cos(rotation), s = std::sin(rotation);
    t.m = {c * scale[0], s * scale[1], offset[0], -s * scale[0], c * scale[1], offset[1]};
    return t;
}

std::int32_t GltfConverter::materialTexture(int materialIndex, FaceColor& color, UvTransform& uv) {
    uv = {};
    color = {255, 255, 255};  // glTF's default material is white
    if (materialIndex < 0)
        return -1;
    if (static_cast<std::size_t>(materialIndex) >= gltf_.materials.size())
        refuse("material " + std::to_string(materialIndex), "is named by a mesh but the file does not have it");
    const tinygltf::Material& m = gltf_.materials[static_cast<std::size_t>(materialIndex)];
    const auto& pbr = m.pbrMetallicRoughness;
    if (pbr.baseColorFactor.size() >= 3)
        color = {SrgbByteOfLinear(pbr.baseColorFactor[0]), SrgbByteOfLinear(pbr.baseColorFactor[1]),
                 SrgbByteOfLinear(pbr.baseColorFactor[2])};
    const int textureIndex = pbr.baseColorTexture.index;
    if (textureIndex >= 0)
        uv = uvTransform(pbr.baseColorTexture, "material " + std::to_string(materialIndex));
    if (textureIndex >= 0 && static_cast<std::size_t>(textureIndex) < gltf_.textures.size()) {
        const int source = gltf_.textures[static_cast<std::size_t>(textureIndex)].source;
        if (source >= 0 && static_cast<std::size_t>(source) < gltf_.images.size()) {
            const tinygltf::Image& image = gltf_.images[static_cast<std::size_t>(source)];
            std::string stem =
                image.uri.rfind("data:", 0) == 0 ? image.name : FileStemOf(image.uri, PathSeparators::Any);
            if (!stem.empty())
                return assembler_.texture(stem);
        }
    }
    if (m.name.empty() || IsColorName(m.name))
        return -1;
    return assembler_.texture(m.name);
}

void GltfConverter::addMesh(int meshIndex, const Matrix& world) {
    if (meshIndex < 0 || static_cast<std::size_t>(meshIndex) >= gltf_.meshes.size())
        refuse("mesh " + std::to_string(meshIndex), "is named by a node but the file does not have it");
    const tinygltf::Mesh& mesh = gltf_.meshes[static_cast<std::size_t>(meshIndex)];
    const bool mirrored = Determinant3(world) < 0.0;
    mirroredNodes_ += mirrored ? 1 : 0;
    for (std::size_t p = 0; p < mesh.primitives.size(); ++p) {
        const tinygltf::Primitive& primitive = mesh.primitives[p];
        const std::string where = "mesh " + std::to_string(meshIndex) + " primitive " + std::to_string(p);
        if (primitive.mode != kTriangles && primitive.mode != -1) {
            ++skippedPrimitives_;
            continue;
        }
        const auto position = primitive.attributes.find("POSITION");
        if (position == primitive.attributes.end())
            refuse(where, "has no POSITION");
        const AccessorData positions = accessor(position->second, "POSITION", {kFloat}, 3);
        FaceColor color;
        UvTransform uvTransform;
        const std::int32_t texture = materialTexture(primitive.material, color, uvTransform);
        const std::string uvName = "TEXCOORD_" + std::to_string(uvTransform.texCoord);
        std::optional<AccessorData> uvs;
        if (const auto uv = primitive.attributes.find(uvName); uv != primitive.attributes.end())
            uvs = accessor(uv->second, uvName, {kFloat, kUnsignedByte, kUnsignedShort}, 2);
        if (uvs && uvs->count != positions.count)
            refuse(where, uvName + " has " + std::to_string(uvs->count) + " elements but POSITION " +
                              std::to_string(positions.count));
        if (const auto normal = primitive.attributes.find("NORMAL"); normal != primitive.attributes.end()) {
            // The faces' normals come from their corners, but a file whose normals are not numbers is damaged.
            const AccessorData normals = accessor(normal->second, "NORMAL", {kFloat}, 3);
            for (std::size_t v = 0; v < normals.count; ++v)
                for (int c = 0; c < 3; ++c)
                    if (!std::isfinite(normals.component(v, c)))
                        refuse("accessor " + std::to_string(normal->second),
                               "NORMAL element " + std::to_string(v) + " is not a finite number");
        }
        std::optional<AccessorData> indices;
        if (primitive.indices >= 0)
            indices = accessor(primitive.indices, "indices", {kUnsignedByte, kUnsignedShort, kUnsignedInt}, 1);
        const std::size_t cornerCount = indices ? indices->count : positions.count;
        if (cornerCount % 3 != 0)
            refuse(where, std::to_string(cornerCount) + " corners are not a whole number of triangles");

        std::vector<std::uint32_t> numbers(positions.count);
        assembler_.reserve(positions.count);
        for (std::size_t v = 0; v < positions.count; ++v) {
            const Vector3 at =
                ApplyLinear(world, positions.component(v, 0), positions.component(v, 1), positions.component(v, 2));
            if (!IsFinite(at))
                refuse("accessor " + std::to_string(position->second),
                       "POSITION element " + std::to_string(v) + " is not a finite number" +
                           (std::isfinite(positions.component(v, 0)) && std::isfinite(positions.component(v, 1)) &&
                                    std::isfinite(positions.component(v, 2))
                                ? " once its node transforms are applied"
                                : ""));
            numbers[v] = assembler_.sharedVertex(at);
        }
        for (std::size_t t = 0; t < cornerCount; t += 3) {
            std::array<SceneCorner, 3> corners;
            for (std::size_t k = 0; k < 3; ++k) {
                const std::size_t at = t + (mirrored ? 2 - k : k);
                const double index = indices ? indices->component(at, 0) : static_cast<double>(at);
                if (index >= static_cast<double>(positions.count))
                    refuse(where, "index " + std::to_string(static_cast<std::uint64_t>(index)) + " at corner " +
                                      std::to_string(at) + " is past its " + std::to_string(positions.count) +
                                      " vertices");
                const auto vertex = static_cast<std::size_t>(index);
                corners[k].vertex = numbers[vertex];
                if (uvs) {
                    std::tie(corners[k].u, corners[k].v) =
                        uvTransform.apply(uvs->component(vertex, 0), uvs->component(vertex, 1));
                    if (!std::isfinite(corners[k].u) || !std::isfinite(corners[k].v))
                        refuse("accessor " + std::to_string(primitive.attributes.at(uvName)),
                               uvName + " element " + std::to_string(vertex) + " is not a finite number");
                }
            }
            assembler_.face(corners, texture, color);
            ++triangles_;
        }
    }
}

void GltfConverter::addPoint(const tinygltf::Node& node,
                             const Matrix& world,
                             int parentSub,
                             const Matrix& parentSubWorld) {
    FoundPoint found;
    found.name = node.name;
    if (StartsWithIgnoringCase(node.name, "Gun_"))
        found.number = NumberAfter(node.name, 3);
    else if (StartsWithIgnoringCase(node.name, "Attach_"))
        found.kind = PointKind::Attach, found.number = NumberAfter(node.name, 6);
    else if (StartsWithIgnoringCase(node.name, "Ground_"))
        found.kind = PointKind::Ground, found.number = NumberAfter(node.name, 6);
    else if (node.name.rfind("gunpoint", 0) == 0)
        found.kind = PointKind::Gun;
    else if (node.name.rfind("attach", 0) == 0)
        found.kind = PointKind::Attach;
    else if (node.name.rfind("ground", 0) == 0)
        found.kind = PointKind::Ground;
    else
        return;
    const std::string where = "node " + QuotedName(node.name);
    ScenePoint& point = found.point;
    point.parent = parentSub;
    point.position = Translation(world) - Translation(parentSubWorld);
    found.world = Translation(world);
    // The extras hold the game's numbers; the point is kept in the file's handedness until the whole scene turns.
    const auto mirrored = [](Vector3 v) {
        v.x = -v.x;
        return v;
    };
    if (node.extras.Has("pof_direction")) {
        point.direction = mirrored(vector(node.extras.Get("pof_direction"), where, "pof_direction"));
    } else if (node.extras.Has("direction")) {
        const tinygltf::Value& d = node.extras.Get("direction");
        if (d.IsArray() && d.ArrayLen() == 3)
            point.direction = {static_cast<float>(d.Get(0).GetNumberAsDouble()),
                               static_cast<float>(d.Get(1).GetNumberAsDouble()),
                               static_cast<float>(d.Get(2).GetNumberAsDouble())};
        if (!IsFinite(point.direction))
            refuse("node " + node.name, "its direction is not a finite number");
    } else if (node.rotation.size() == 4 || node.matrix.size() == 16) {
        point.direction = ApplyLinear(LocalTransform(node), 0.0, 1.0, 0.0);
    }
    if (found.kind == PointKind::Attach && node.extras.Has("pof_up"))
        found.up = mirrored(vector(node.extras.Get("pof_up"), where, "pof_up"));
    points_.push_back(std::move(found));
}

std::int32_t GltfConverter::integer(const tinygltf::Value& value,
                                    const std::string& where,
                                    const std::string& what) const {
    const double n = value.IsNumber() ? value.GetNumberAsDouble() : std::nan("");
    if (!(n >= std::numeric_limits<std::int32_t>::min() && n <= std::numeric_limits<std::int32_t>::max()) ||
        n != std::floor(n))
        refuse(where, what + " is not a whole number from -2147483648 to 2147483647");
    return static_cast<std::int32_t>(n);
}

float GltfConverter::number(const tinygltf::Value& value, const std::string& where, const std::string& what) const {
    const double n = value.IsNumber() ? value.GetNumberAsDouble() : std::nan("");
    if (!(std::fabs(n) <= double{std::numeric_limits<float>::max()}))
        refuse(where, what + " is not a finite number");
    return static_cast<float>(n);
}

Vector3 GltfConverter::vector(const tinygltf::Value& value, const std::string& where, const std::string& what) const {
    if (!value.IsArray() || value.ArrayLen() != 3)
        refuse(where, what + " is not a list of three numbers");
    return {number(value.Get(0), where, what), number(value.Get(1), where, what), number(value.Get(2), where, what)};
}

// {"first": f, "last": l, "keys": [[frame, ...numbers], ...]}: rotation keys give an axis and an angle,
// position keys a position.
template <typename Key>
std::optional<KeyTrack<Key>> GltfConverter::track(const tinygltf::Value& extras,
                                                  const char* field,
                                                  const std::string& where) const {
    if (!extras.Has(field))
        return std::nullopt;
    const tinygltf::Value& value = extras.Get(field);
    const std::string what = field;
    if (!value.IsObject() || !value.Has("first") || !value.Has("last") || !value.Get("keys").IsArray())
        refuse(where, what + " is not an object of \"first\", \"last\" and a list of \"keys\"");
    KeyTrack<Key> result;
    result.firstFrame = integer(value.Get("first"), where, what + " first");
    result.lastFrame = integer(value.Get("last"), where, what + " last");
    const tinygltf::Value& keys = value.Get("keys");
    constexpr std::size_t width = std::is_same_v<Key, RotationKey> ? 5 : 4;
    for (std::size_t k = 0; k < keys.ArrayLen(); ++k) {
        const tinygltf::Value& key = keys.Get(static_cast<int>(k));
        const std::string label = what + " key " + std::to_string(k);
        if (!key.IsArray() || key.ArrayLen() != width)
            refuse(where, label + " is not a list of " + std::to_string(width) + " numbers");
        Key read;
        read.frame = integer(key.Get(0), where, label + " frame");
        const Vector3 v = {number(key.Get(1), where, label), number(key.Get(2), where, label),
                           number(key.Get(3), where, label)};
        if constexpr (std::is_same_v<Key, RotationKey>) {
            read.axis = v;
            read.angle = integer(key.Get(4), where, label + " angle");
        } else {
            read.position = v;
        }
        result.keys.push_back(read);
    }
    return result;
}

ObjectRecord GltfConverter::record(const tinygltf::Node& node, const std::string& where) const {
    ObjectRecord r;
    const tinygltf::Value& extras = node.extras;
    if (!extras.IsObject())
        return r;
    if (extras.Has("pof_index"))
        r.index = integer(extras.Get("pof_index"), where, "pof_index");
    if (extras.Has("pof_properties")) {
        if (!extras.Get("pof_properties").IsString())
            refuse(where, "pof_properties is not a text");
        r.properties = extras.Get("pof_properties").Get<std::string>();
    }
    if (extras.Has("pof_movement_type"))
        r.movementType = integer(extras.Get("pof_movement_type"), where, "pof_movement_type");
    if (extras.Has("pof_movement_axis"))
        r.movementAxis = integer(extras.Get("pof_movement_axis"), where, "pof_movement_axis");
    r.rotation = track<RotationKey>(extras, "pof_rotation_keys", where);
    r.position = track<PositionKey>(extras, "pof_position_keys", where);
    return r;
}

// [{"guns": [...], "turrets": [...]}, ...]; what the numbers name is judged where the batteries are written.
void GltfConverter::batteries(const tinygltf::Value& extras, const std::string& where) {
    if (!extras.IsObject() || !extras.Has("pof_batteries"))
        return;
    const tinygltf::Value& list = extras.Get("pof_batteries");
    if (!list.IsArray())
        refuse(where, "pof_batteries is not a list");
    std::vector<WeaponBattery> result;
    for (std::size_t b = 0; b < list.ArrayLen(); ++b) {
        const tinygltf::Value& entry = list.Get(static_cast<int>(b));
        const std::string label = "pof_batteries entry " + std::to_string(b);
        WeaponBattery battery;
        for (const auto& [field, table] : {std::pair{"guns", &battery.guns}, std::pair{"turrets", &battery.turrets}}) {
            // The JSON library drops empty lists, so a list not there is an empty one.
            if (!entry.IsObject())
                refuse(where, label + " is not an object of guns and turrets");
            if (!entry.Has(field))
                continue;
            const tinygltf::Value& numbers = entry.Get(field);
            if (!numbers.IsArray())
                refuse(where, label + " " + field + " is not a list");
            for (std::size_t i = 0; i < numbers.ArrayLen(); ++i)
                table->push_back(integer(numbers.Get(static_cast<int>(i)), where, label + " " + field));
        }
        result.push_back(std::move(battery));
    }
    batteries_ = std::move(result);
}

// Points go into their tables ordered by the number after their prefix, those without one after, by name; a
// point under no sub-object belongs to the first root.
void GltfConverter::placePoints(Scene& scene) {
    std::stable_sort(points_.begin(), points_.end(), [](const FoundPoint& a, const FoundPoint& b) {
        if (a.number.has_value() != b.number.has_value())
            return a.number.has_value();
        return a.number ? *a.number < *b.number : a.name < b.name;
    });
    std::int32_t firstRoot = 0;
    while (firstRoot < static_cast<std::int32_t>(scene.objects.size()) - 1 &&
           scene.objects[static_cast<std::size_t>(firstRoot)].parent >= 0)
        ++firstRoot;
    bool allUps = true;
    std::size_t attaches = 0;
    for (FoundPoint& found : points_) {
        if (found.point.parent < 0) {
            found.point.parent = firstRoot;
            found.point.position = found.world - WorldOffset(scene, static_cast<std::size_t>(firstRoot));
        }
        if (found.kind == PointKind::Gun)
            scene.gunpoints.push_back(found.point);
        else if (found.kind == PointKind::Ground)
            scene.groundPoints.push_back(found.point);
        else {
            scene.attachPoints.push_back(found.point);
            allUps = allUps && found.up.has_value();
            ++attaches;
        }
    }
    if (allUps && attaches > 0)
        for (const FoundPoint& found : points_)
            if (found.kind == PointKind::Attach)
                scene.attachNormals.push_back({found.point.parent, {}, *found.up});
}

// The extras' record over what the geometry gave, then the sub-objects in the order of their pof_index when
// every one has a different one.
void GltfConverter::applyRecords(Scene& scene) {
    for (std::size_t s = 0; s < scene.objects.size(); ++s) {
        SceneObject& object = scene.objects[s];
        const ObjectRecord& r = records_[s];
        object.properties = r.properties.value_or(object.properties);
        object.movementType = r.movementType.value_or(object.movementType);
        object.movementAxis = r.movementAxis.value_or(object.movementAxis);
        if (r.rotation)
            object.rotation = *r.rotation;
        if (r.position)
            object.position = *r.position;
    }
    std::vector<std::size_t> order(scene.objects.size());
    for (std::size_t s = 0; s < order.size(); ++s)
        order[s] = s;
    const bool indexed = std::all_of(records_.begin(), records_.end(), [](const ObjectRecord& r) { return r.index; });
    if (indexed) {
        std::stable_sort(order.begin(), order.end(),
                         [&](std::size_t a, std::size_t b) { return *records_[a].index < *records_[b].index; });
        for (std::size_t k = 1; k < order.size(); ++k)
            if (*records_[order[k]].index == *records_[order[k - 1]].index)
                return;
    }
    std::vector<std::int32_t> newNumber(order.size());
    for (std::size_t k = 0; k < order.size(); ++k)
        newNumber[order[k]] = static_cast<std::int32_t>(k);
    const auto renumber = [&](std::int32_t& n) {
        if (n >= 0 && static_cast<std::size_t>(n) < newNumber.size())
            n = newNumber[static_cast<std::size_t>(n)];
    };
    std::vector<SceneObject> sorted;
    sorted.reserve(order.size());
    for (std::size_t s : order) {
        sorted.push_back(std::move(scene.objects[s]));
        renumber(sorted.back().parent);
    }
    scene.objects = std::move(sorted);
    for (auto* table : {&scene.gunpoints, &scene.attachPoints, &scene.attachNormals, &scene.groundPoints})
        for (ScenePoint& point : *table)
            renumber(point.parent);
}

// Image files are never read, only named; one outside the model's folder is refused all the same.
void GltfConverter::checkImages() const {
    for (std::size_t i = 0; i < gltf_.images.size(); ++i) {
        const std::string& uri = gltf_.images[i].uri;
        std::string relative, why;
        if (!uri.empty() && uri.rfind("data:", 0) != 0 && !ResolveModelUri(uri, relative, why))
            refuse("image " + std::to_string(i), "URI " + QuotedName(uri) + " " + why);
    }
}

// The node at `nodeIndex`, checked to exist, to lie within the depth limit and to be met once in the tree.
const tinygltf::Node& GltfConverter::enter(int nodeIndex, int depth, std::vector<bool>& seen) const {
    if (depth > kDepthLimit)
        refuse("node " + std::to_string(nodeIndex), "lies deeper than " + std::to_string(kDepthLimit) + " levels");
    if (nodeIndex < 0 || static_cast<std::size_t>(nodeIndex) >= gltf_.nodes.size())
        refuse("node " + std::to_string(nodeIndex), "is named in the node tree but the file does not have it");
    if (seen[static_cast<std::size_t>(nodeIndex)])
        refuse("node " + std::to_string(nodeIndex), "appears twice in the node tree");
    seen[static_cast<std::size_t>(nodeIndex)] = true;
    return gltf_.nodes[static_cast<std::size_t>(nodeIndex)];
}

// Counts what the tree below `nodeIndex` expands to, every primitive of every instance, before anything is built.
void GltfConverter::tally(int nodeIndex,
                          int depth,
                          std::vector<bool>& seen,
                          std::uint64_t& vertices,
                          std::uint64_t& corners) const {
    const tinygltf::Node& node = enter(nodeIndex, depth, seen);
    if (node.mesh >= 0 && static_cast<std::size_t>(node.mesh) < gltf_.meshes.size()) {
        const auto countOf = [&](int accessor) -> std::uint64_t {
            return accessor >= 0 && static_cast<std::size_t>(accessor) < gltf_.accessors.size()
                       ? gltf_.accessors[static_cast<std::size_t>(accessor)].count
                       : 0;
        };
        for (const tinygltf::Primitive& primitive : gltf_.meshes[static_cast<std::size_t>(node.mesh)].primitives) {
            if (primitive.mode != kTriangles && primitive.mode != -1)
                continue;
            const auto position = primitive.attributes.find("POSITION");
            const std::uint64_t count = position == primitive.attributes.end() ? 0 : countOf(position->second);
            const std::uint64_t used = primitive.indices >= 0 ? countOf(primitive.indices) : count;
            if (count > kVertexBudget - vertices)
                refuse("node tree", "its meshes expand to more than " + std::to_string(kVertexBudget) +
                                        " vertices over all their instances, more than this program builds");
            if (used > kCornerBudget - corners)
                refuse("node tree", "its meshes expand to more than " + std::to_string(kCornerBudget) +
                                        " corners over all their instances, more than this program builds");
            vertices += count;
            corners += used;
        }
    }
    for (int child : node.children)
        tally(child, depth + 1, seen, vertices, corners);
}

void GltfConverter::visit(int nodeIndex,
                          const Matrix& parentWorld,
                          int parentSub,
                          const Matrix& parentSubWorld,
                          int depth) {
    const tinygltf::Node& node = enter(nodeIndex, depth, visited_);
    const Matrix local = LocalTransform(node);
    const bool joint = node.mesh < 0 && node.extras.IsObject() && node.extras.Has("pof_index");
    // A point's turn gives its direction; it moves no vertex.
    if (node.mesh >= 0 || joint || !node.children.empty())
        transformed_ = transformed_ || !IsPureTranslation(local);
    const Matrix world = Multiply(parentWorld, local);
    if (!IsFiniteMatrix(local) || !IsFiniteMatrix(world))
        refuse("node " + std::to_string(nodeIndex), "its transform holds a number that is not finite");
    int sub = parentSub;
    Matrix subWorld = parentSubWorld;
    if (node.mesh >= 0 || joint) {
        const std::string where = "node " + std::to_string(nodeIndex);
        std::string name = node.name;
        if (node.extras.IsObject() && node.extras.Has("pof_name")) {
            if (!node.extras.Get("pof_name").IsString())
                refuse(where, "pof_name is not a text");
            name = node.extras.Get("pof_name").Get<std::string>();
        }
        if (name.empty() && node.mesh >= 0 && static_cast<std::size_t>(node.mesh) < gltf_.meshes.size())
            name = gltf_.meshes[static_cast<std::size_t>(node.mesh)].name;
        if (name.empty())
            name = "node_" + std::to_string(nodeIndex);
        sub = assembler_.subObject(name, parentSub, Translation(world) - Translation(parentSubWorld));
        subWorld = world;
        records_.push_back(record(node, where));
        if (sub == 0 || (records_.back().index && *records_.back().index == 0))
            batteries(node.extras, where);
        if (node.mesh >= 0)
            addMesh(node.mesh, world);
    } else {
        addPoint(node, world, parentSub, parentSubWorld);
    }
    for (int child : node.children)
        visit(child, world, sub, subWorld, depth + 1);
}

std::vector<int> GltfConverter::roots() const {
    std::vector<int> roots;
    if (!gltf_.scenes.empty()) {
        const std::size_t scene =
            gltf_.defaultScene >= 0 && static_cast<std::size_t>(gltf_.defaultScene) < gltf_.scenes.size()
                ? static_cast<std::size_t>(gltf_.defaultScene)
                : 0;
        roots = gltf_.scenes[scene].nodes;
    } else {
        // Without a scene every node that is nobody's child is a root.
        std::vector<bool> child(gltf_.nodes.size(), false);
        for (const tinygltf::Node& node : gltf_.nodes)
            for (int c : node.children)
                if (c >= 0 && static_cast<std::size_t>(c) < child.size())
                    child[static_cast<std::size_t>(c)] = true;
        for (std::size_t i = 0; i < child.size(); ++i)
            if (!child[i])
                roots.push_back(static_cast<int>(i));
    }
    return roots;
}

Scene GltfConverter::convert(std::vector<std::string>& notes) {
    checkImages();
    const std::vector<int> tops = roots();
    std::vector<bool> seen(gltf_.nodes.size(), false);
    std::uint64_t vertices = 0, corners = 0;
    for (int root : tops)
        tally(root, 0, seen, vertices, corners);
    visited_.assign(gltf_.nodes.size(), false);
    if (!gltf_.scenes.empty())
        batteries(
            gltf_
                .scenes[gltf_.defaultScene > 0 && static_cast<std::size_t>(gltf_.defaultScene) < gltf_.scenes.size()
                            ? static_cast<std::size_t>(gltf_.defaultScene)
                            : 0]
                .extras,
            "scene");
    for (int root : tops)
        visit(root, kIdentity, -1, kIdentity, 0);
    if (assembler_.subObjectCount() == 0)
        throw Refusal{std::string(title_) + ": no node of its scene has a mesh"};
    if (triangles_ == 0)
        throw Refusal{std::string(title_) + " has no faces to put in a room: " +
                      (skippedPrimitives_ > 0
                           ? std::to_string(skippedPrimitives_) +
                                 " line and point primitive(s) were left out; only triangles are read"
                           : std::string("its meshes hold no triangles"))};

    // The points first: renumbering the sub-objects renumbers their parents too.
    placePoints(assembler_.scene());
    applyRecords(assembler_.scene());
    if (batteries_)
        assembler_.scene().batteries = std::move(*batteries_);
    else if (!assembler_.scene().gunpoints.empty()) {
        // The game fires a ship's weapons from battery 0: without one given, the first eight guns make it.
        WeaponBattery battery;
        for (std::int32_t g = 0; g < 8 && static_cast<std::size_t>(g) < assembler_.scene().gunpoints.size(); ++g)
            battery.guns.push_back(g);
        assembler_.scene().batteries.push_back(std::move(battery));
    }
    Scene scene;
    std::string invalid;
    if (!assembler_.finish(scene, invalid))
        throw Refusal{std::string(title_) + ": " + invalid};
    if (transformed_)
        notes.push_back(std::string(title_) + ": the rotations and scales of its nodes were applied to the vertices");
    if (mirroredNodes_ > 0)
        notes.push_back(std::string(title_) + ": " + std::to_string(mirroredNodes_) +
                        " mirrored mesh node(s): their triangles were turned to keep facing out");
    if (skippedPrimitives_ > 0)
        notes.push_back(std::string(title_) + ": " + std::to_string(skippedPrimitives_) +
                        " primitive(s) of points, lines, strips or fans were left out; only triangle lists are read");
    return scene;
}

std::string FirstLine(std::string_view text) {
    const std::size_t end = text.find_first_of("\r\n");
    return std::string(text.substr(0, end));
}

// The library hands every file it wants to the caller's loader; it never opens a file itself.
struct LoaderContext {
    const ResourceLoader* loader;
    std::string refusal;  // a buffer named outside the model's folder
};

bool AlwaysThere(const std::string&, void*) {
    return true;
}
std::string AsGiven(const std::string& path, void*) {
    return path;
}
bool ReadThroughLoader(std::vector<unsigned char>* out, std::string* err, const std::string& path, void* user) {
    auto* context = static_cast<LoaderContext*>(user);
    std::string why, relative;
    // The library has decoded the URI's %XX escapes already; what it asks for must still lie in the folder.
    if (!CheckInsideFolder(path, relative, why)) {
        context->refusal = "buffer URI " + QuotedName(path) + " " + why;
        *err = context->refusal;
        return false;
    }
    if (context->loader == nullptr || !*context->loader) {
        *err = "no way to read files beside this model";
        return false;
    }
    const ResourceRead read = (*context->loader)(relative, *out, why);
    if (read.refused())
        context->refusal = "buffer URI " + why;
    if (!read) {
        *err = why;
        return false;
    }
    return true;
}
bool NoWriting(std::string* err, const std::string&, const std::vector<unsigned char>&, void*) {
    *err = "writing is not done here";
    return false;
}
// Image pixels are never needed: only the image's name is kept.
bool KeepImageUndecoded(tinygltf::Image*,
                        const int,
                        std::string*,
                        std::string*,
                        int,
                        int,
                        const unsigned char*,
                        int,
                        void*) {
    return true;
}

// Where JSON text nests arrays and objects deeper than `limit`, or npos; strings and their escapes are skipped,
// so brackets inside them do not count.
std::size_t TooDeepAt(std::span<const std::uint8_t> text, int limit) {
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::uint8_t c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > limit)
                return i;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return std::string_view::npos;
}

// The JSON text of a .gltf, or the JSON chunk of a .glb as far as the bytes reach.
std::span<const std::uint8_t> JsonText(std::span<const std::uint8_t> bytes, bool binary) {
    if (!binary)
        return bytes;
    constexpr std::size_t kChunkStart = 20;  // 12-byte header, then the chunk's length and type
    if (bytes.size() < kChunkStart)
        return {};
    const std::size_t length = static_cast<std::size_t>(bytes[12]) | static_cast<std::size_t>(bytes[13]) << 8 |
                               static_cast<std::size_t>(bytes[14]) << 16 | static_cast<std::size_t>(bytes[15]) << 24;
    return bytes.subspan(kChunkStart, std::min(length, bytes.size() - kChunkStart));
}

}  // namespace

bool ReadGltfModel(std::span<const std::uint8_t> bytes,
                   std::string_view title,
                   const ResourceLoader& loader,
                   Scene& scene,
                   std::vector<std::string>& notes,
                   std::string& error) {
    if (bytes.size() > std::numeric_limits<unsigned int>::max()) {
        error = std::string(title) + ": too large for a glTF model (" + std::to_string(bytes.size()) + " bytes)";
        return false;
    }
    const bool binary = bytes.size() >= 4 && std::memcmp(bytes.data(), "glTF", 4) == 0;
    const std::span<const std::uint8_t> json = JsonText(bytes, binary);
    if (const std::size_t at = TooDeepAt(json, kNestingLimit); at != std::string_view::npos) {
        error = std::string(title) + ": JSON at byte " +
                std::to_string(at + static_cast<std::size_t>(json.data() - bytes.data())) +
                " nests arrays and objects deeper than " + std::to_string(kNestingLimit) + " levels";
        return false;
    }
    LoaderContext context{&loader, {}};
    tinygltf::TinyGLTF library;
    library.SetFsCallbacks({&AlwaysThere, &AsGiven, &ReadThroughLoader, &NoWriting, &context});
    library.SetImageLoader(&KeepImageUndecoded, nullptr);
    tinygltf::Model gltf;
    std::string err, warn;
    const std::string oldVersion = std::string(title) + ": glTF 1.0; save it as glTF 2.0";
    if (binary && bytes.size() >= 8 && bytes[4] == 1 && bytes[5] == 0 && bytes[6] == 0 && bytes[7] == 0) {
        error = oldVersion;
        return false;
    }
    bool loaded = false;
    try {
        const auto length = static_cast<unsigned int>(bytes.size());
        loaded = binary ? library.LoadBinaryFromMemory(&gltf, &err, &warn, bytes.data(), length, "")
                        : library.LoadASCIIFromString(&gltf, &err, &warn, reinterpret_cast<const char*>(bytes.data()),
                                                      length, "");
    } catch (const std::exception& e) {
        err = e.what();
    }
    if (!loaded && !context.refusal.empty()) {
        error = std::string(title) + ": " + context.refusal;
        return false;
    }
    // The version and the required extensions are read first, so they explain a file the library cannot take.
    if (gltf.asset.version.rfind("1.", 0) == 0 || gltf.asset.version == "1") {
        error = oldVersion;
        return false;
    }
    for (const std::string& name : gltf.extensionsRequired) {
        if (!IsReadableExtension(name)) {
            error = std::string(title) + ": needs the glTF extension " + name +
                    ", which TORVALE does not read; export it again without mesh compression or quantization";
            return false;
        }
    }
    if (!loaded) {
        error = std::string(title) + ": " + (err.empty() ? std::string("not a glTF model") : FirstLine(err));
        return false;
    }
    try {
        std::vector<std::string> found;
        GltfConverter converter(gltf, title);
        Scene result = converter.convert(found);
        SwitchHandedness(result);
        scene = std::move(result);
        notes.insert(notes.end(), found.begin(), found.end());
        return true;
    } catch (const Refusal& refusal) {
        error = refusal.message;
    } catch (const std::bad_alloc&) {
        error = std::string(title) + ": more data than this computer's memory holds";
    }
    return false;
}

}  // namespace torvale
