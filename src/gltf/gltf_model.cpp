// The one file that includes tiny_gltf.h: it turns the library's model into ours.
#include "gltf/gltf_model.h"
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
    std::int32_t materialTexture(int materialIndex, FaceColor& color, UvTransform& uv);

    const tinygltf::Model& gltf_;
    std::string_view title_;
    SceneBuilder assembler_;
    std::vector<bool> visited_;
    bool transformed_ = false;
    int mirroredNodes_ = 0;
    int skippedPrimitives_ = 0;
    std::size_t triangles_ = 0;
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
    Scene& scene = assembler_.scene();
    std::vector<ScenePoint>* table = nullptr;
    if (node.name.rfind("gunpoint", 0) == 0)
        table = &scene.gunpoints;
    else if (node.name.rfind("attach", 0) == 0)
        table = &scene.attachPoints;
    else if (node.name.rfind("ground", 0) == 0)
        table = &scene.groundPoints;
    if (table == nullptr || parentSub < 0)
        return;
    ScenePoint point;
    point.parent = parentSub;
    point.position = Translation(world) - Translation(parentSubWorld);
    if (node.extras.Has("direction")) {
        const tinygltf::Value& d = node.extras.Get("direction");
        if (d.IsArray() && d.ArrayLen() == 3)
            point.direction = {static_cast<float>(d.Get(0).GetNumberAsDouble()),
                               static_cast<float>(d.Get(1).GetNumberAsDouble()),
                               static_cast<float>(d.Get(2).GetNumberAsDouble())};
        if (!IsFinite(point.direction))
            refuse("node " + node.name, "its direction is not a finite number");
    }
    table->push_back(point);
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
    transformed_ = transformed_ || !IsPureTranslation(local);
    const Matrix world = Multiply(parentWorld, local);
    if (!IsFiniteMatrix(local) || !IsFiniteMatrix(world))
        refuse("node " + std::to_string(nodeIndex), "its transform holds a number that is not finite");
    int sub = parentSub;
    Matrix subWorld = parentSubWorld;
    if (node.mesh >= 0) {
        std::string name = node.name;
        if (name.empty() && static_cast<std::size_t>(node.mesh) < gltf_.meshes.size())
            name = gltf_.meshes[static_cast<std::size_t>(node.mesh)].name;
        if (name.empty())
            name = "node_" + std::to_string(nodeIndex);
        sub = assembler_.subObject(name, parentSub, Translation(world) - Translation(parentSubWorld));
        subWorld = world;
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
