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
#include <map>
#include <numbers>
#include <optional>
#include <tuple>

#include "model_io/copy_suffix.h"
#include "model_io/handedness.h"
#include "model_io/linear_color.h"
#include "model_io/model_images.h"
#include "model_io/polygon.h"
#include "model_io/resource_path.h"
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
constexpr int kByte = 5120;
constexpr int kUnsignedByte = 5121;
constexpr int kShort = 5122;
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

// A rotation as a unit quaternion.
struct Quaternion {
    double x = 0, y = 0, z = 0, w = 1;
};

Quaternion operator*(const Quaternion& a, const Quaternion& b) {
    return {a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y, a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
            a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w, a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

Quaternion Inverse(const Quaternion& q) {
    return {-q.x, -q.y, -q.z, q.w};
}

Vector3 Unit(const Vector3& v) {
    const float length = Length(v);
    return length > 0.0f ? Vector3{v.x / length, v.y / length, v.z / length} : v;
}

// A glTF vector (or a game one) in the other frame: x negated.
Vector3 Mirrored(const Vector3& v) {
    return {v.x == 0.0f ? 0.0f : -v.x, v.y, v.z};
}

// The value as a whole number in the range of the game's 32-bit fields, if it is one.
std::optional<std::int32_t> WholeNumber(const tinygltf::Value& v) {
    if (!v.IsInt() && !v.IsNumber())
        return std::nullopt;
    const double d = v.GetNumberAsDouble();
    if (d != std::floor(d) || std::abs(d) > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(d);
}

enum class PointKind { Gun, Attach, Ground };

// The kind of point an empty node's name makes: "Gun_<n>", "Attach_<n>", "Ground_<n>" in any case, or the
// older "gunpoint...", "attach...", "ground...". `rest` becomes what follows the prefix.
std::optional<PointKind> PointKindOf(std::string_view name, std::string_view& rest) {
    const auto startsWith = [&](std::string_view prefix, bool anyCase) {
        if (name.size() < prefix.size())
            return false;
        for (std::size_t i = 0; i < prefix.size(); ++i) {
            const char c = name[i];
            const char lower = anyCase && c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
            if (lower != prefix[i])
                return false;
        }
        rest = name.substr(prefix.size());
        return true;
    };
    if (startsWith("gun_", true) || startsWith("gunpoint", false))
        return PointKind::Gun;
    if (startsWith("attach_", true) || startsWith("attach", false))
        return PointKind::Attach;
    if (startsWith("ground_", true) || startsWith("ground", false))
        return PointKind::Ground;
    return std::nullopt;
}

// The number that ends a point's name ("3" of "Gun_3", "_3" of "gunpoint_3"), if that is all there is.
std::optional<std::int64_t> PointNumber(std::string_view rest) {
    if (!rest.empty() && rest.front() == '_')
        rest.remove_prefix(1);
    constexpr std::size_t kDigits = 9;
    if (rest.empty() || rest.size() > kDigits || rest.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    std::int64_t n = 0;
    for (char c : rest)
        n = n * 10 + (c - '0');
    return n;
}

// A gun, attach or ground point met in the node tree, placed once the sub-objects have their final numbers.
struct PendingPoint {
    PointKind kind = PointKind::Gun;
    int parentSub = -1;  // as the builder numbers sub-objects; -1 under no sub-object
    Vector3 world;       // its origin in the model
    Vector3 direction;   // in glTF numbers, like the position
    Vector3 up;
    std::optional<std::int64_t> number;
    std::string name;
};

// What is kept of a sub-object's node until the scene is finished.
struct SubObjectNode {
    int node = 0;
    std::optional<std::int64_t> index;  // extras.pof_index
    Vector3 origin;                     // in the model
    Matrix parentWorld;                 // the transform of its parent node
    bool rotationFromExtras = false;
    bool positionFromExtras = false;
    bool rotationAnimated = false;
    bool positionAnimated = false;
};

// A sampled value at a frame: a rotation (x, y, z, w) or a translation (x, y, z).
using Sample = std::pair<std::int32_t, std::array<double, 4>>;

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
            case kShort: {
                std::int16_t v;
                std::memcpy(&v, p + 2 * c, 2);
                return normalized ? std::max(v / 32767.0, -1.0) : v;
            }
            case kByte: {
                const auto v = static_cast<std::int8_t>(p[c]);
                return normalized ? std::max(v / 127.0, -1.0) : v;
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
    // The image each texture slot was named from (-1: named from a material), after convert().
    const std::vector<int>& textureImages() const { return textureImage_; }

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
    void visit(int nodeIndex, const Matrix& parentWorld, int parentSub, int depth);
    void addMesh(int meshIndex, const Matrix& world);
    void addPoint(const tinygltf::Node& node, const Matrix& world, int parentSub, const std::string& where);
    std::int32_t materialTexture(int materialIndex, FaceColor& color, UvTransform& uv);
    std::optional<std::int64_t> extrasInt(const tinygltf::Value& extras, const char* key, const std::string& where);
    std::optional<std::string> extrasText(const tinygltf::Value& extras, const char* key, const std::string& where);
    std::optional<Vector3> extrasVector(const tinygltf::Value& extras, const char* key, const std::string& where);
    template <typename Key, typename MakeKey>
    KeyTrack<Key> extrasTrack(const tinygltf::Value& track,
                              std::size_t width,
                              const std::string& where,
                              const MakeKey& makeKey);
    void readSubObjectExtras(const tinygltf::Value& extras, std::int32_t sub, const std::string& where);
    void readAnimations();
    std::vector<Sample> samples(const tinygltf::Animation& animation,
                                const tinygltf::AnimationChannel& channel,
                                const std::string& where);
    void setRotationKeys(std::int32_t sub, const std::vector<Sample>& samples);
    void setPositionKeys(std::int32_t sub, const std::vector<Sample>& samples);
    std::vector<std::int32_t> objectOrder() const;
    void placePoints(Scene& scene,
                     const std::vector<std::int32_t>& order,
                     const std::vector<std::int32_t>& finalNumber) const;
    std::size_t sceneIndex() const;
    void readBatteries(Scene& scene, const std::vector<std::int32_t>& order);
    void warnings(std::vector<std::string>& notes) const;

    const tinygltf::Model& gltf_;
    std::string_view title_;
    SceneBuilder assembler_;
    std::vector<bool> visited_;
    bool transformed_ = false;
    int mirroredNodes_ = 0;
    int skippedPrimitives_ = 0;
    std::size_t triangles_ = 0;
    std::vector<SubObjectNode> subNodes_;  // by the builder's sub-object number
    std::vector<int> subOfNode_;           // by node: its sub-object, or -1
    std::vector<PendingPoint> points_;
    bool attachUp_ = false;  // some attach point carries an up-vector
    bool skinned_ = false;
    bool morphed_ = false;
    int cubicChannels_ = 0;
    int stepChannels_ = 0;
    int scaleChannels_ = 0;
    int otherNodeChannels_ = 0;
    int repeatedChannels_ = 0;
    int sameFrameKeys_ = 0;
    std::deque<std::vector<std::uint8_t>> dense_;  // sparse accessors written out in full
    std::vector<int> textureImage_;
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
        color = {SrgbByteFromLinear(pbr.baseColorFactor[0]), SrgbByteFromLinear(pbr.baseColorFactor[1]),
                 SrgbByteFromLinear(pbr.baseColorFactor[2])};
    const int textureIndex = pbr.baseColorTexture.index;
    if (textureIndex >= 0)
        uv = uvTransform(pbr.baseColorTexture, "material " + std::to_string(materialIndex));
    int source = -1;
    std::string stem;
    // The game texture named outright wins over every name the material carries.
    std::string named;
    if (m.extras.Has("d3_texture")) {
        const tinygltf::Value& value = m.extras.Get("d3_texture");
        if (!value.IsString())
            refuse("material " + std::to_string(materialIndex), "its d3_texture is not a text");
        named = value.Get<std::string>();
    }
    if (textureIndex >= 0 && static_cast<std::size_t>(textureIndex) < gltf_.textures.size()) {
        source = gltf_.textures[static_cast<std::size_t>(textureIndex)].source;
        if (source >= 0 && static_cast<std::size_t>(source) < gltf_.images.size()) {
            const tinygltf::Image& image = gltf_.images[static_cast<std::size_t>(source)];
            // An image kept inside the file has only its own name.
            const bool inside = image.uri.empty() || image.uri.rfind("data:", 0) == 0;
            stem = inside ? image.name : FileStemOf(image.uri, PathSeparators::Any);
        } else {
            source = -1;
        }
    }
    if (named.empty() && stem.empty() && (m.name.empty() || IsColorName(m.name)))
        return -1;
    const std::int32_t slot = assembler_.texture(
        !named.empty()  ? named
        : !stem.empty() ? stem
                        : WithoutCopySuffix(m.name, [&](std::string_view base) {
                              return std::any_of(gltf_.materials.begin(), gltf_.materials.end(),
                                                 [&](const tinygltf::Material& other) { return other.name == base; });
                          }));
    const auto index = static_cast<std::size_t>(slot);
    if (textureImage_.size() <= index)
        textureImage_.resize(index + 1, -1);
    // Two images of one name are one texture: the first one met stands for it.
    if (textureImage_[index] < 0)
        textureImage_[index] = source;
    return slot;
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
        morphed_ = morphed_ || !primitive.targets.empty();
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

std::optional<std::int64_t> GltfConverter::extrasInt(const tinygltf::Value& extras,
                                                     const char* key,
                                                     const std::string& where) {
    if (!extras.IsObject() || !extras.Has(key))
        return std::nullopt;
    const std::optional<std::int32_t> n = WholeNumber(extras.Get(key));
    if (!n)
        refuse(where, std::string("its extras ") + key + " is not a whole number");
    return *n;
}

std::optional<std::string> GltfConverter::extrasText(const tinygltf::Value& extras,
                                                     const char* key,
                                                     const std::string& where) {
    if (!extras.IsObject() || !extras.Has(key))
        return std::nullopt;
    if (!extras.Get(key).IsString())
        refuse(where, std::string("its extras ") + key + " is not a text");
    return extras.Get(key).Get<std::string>();
}

std::optional<Vector3> GltfConverter::extrasVector(const tinygltf::Value& extras,
                                                   const char* key,
                                                   const std::string& where) {
    if (!extras.IsObject() || !extras.Has(key))
        return std::nullopt;
    const tinygltf::Value& v = extras.Get(key);
    const auto number = [&](int i) {
        const tinygltf::Value& c = v.Get(i);
        return c.IsInt() || c.IsNumber() ? static_cast<float>(c.GetNumberAsDouble()) : std::nanf("");
    };
    const Vector3 out = v.IsArray() && v.ArrayLen() == 3 ? Vector3{number(0), number(1), number(2)}
                                                         : Vector3{std::nanf(""), 0.0f, 0.0f};
    if (!IsFinite(out))
        refuse(where, std::string("its extras ") + key + " is not three finite numbers");
    return out;
}

// A key track written out in extras: {"first": f, "last": l, "keys": [[frame, ...], ...]}, each key `width`
// numbers, the first a whole frame number.
template <typename Key, typename MakeKey>
KeyTrack<Key> GltfConverter::extrasTrack(const tinygltf::Value& track,
                                         std::size_t width,
                                         const std::string& where,
                                         const MakeKey& makeKey) {
    if (!track.IsObject() || !track.Has("keys") || !track.Get("keys").IsArray())
        refuse(where, "is not an object with an array of keys");
    const tinygltf::Value& keys = track.Get("keys");
    KeyTrack<Key> out;
    std::vector<double> numbers(width);
    for (std::size_t k = 0; k < keys.ArrayLen(); ++k) {
        const tinygltf::Value& key = keys.Get(static_cast<int>(k));
        if (!key.IsArray() || key.ArrayLen() != width)
            refuse(where, "key " + std::to_string(k) + " is not " + std::to_string(width) + " numbers");
        for (std::size_t i = 0; i < width; ++i) {
            const tinygltf::Value& n = key.Get(static_cast<int>(i));
            numbers[i] = n.IsInt() || n.IsNumber() ? n.GetNumberAsDouble() : std::nan("");
            if (!std::isfinite(numbers[i]) || std::abs(numbers[i]) > std::numeric_limits<std::int32_t>::max())
                refuse(where, "key " + std::to_string(k) + " holds something other than a number in range");
        }
        if (numbers[0] != std::floor(numbers[0]))
            refuse(where, "key " + std::to_string(k) + " starts at a frame that is not a whole number");
        out.keys.push_back(makeKey(numbers));
    }
    const auto frame = [&](const char* name, std::int32_t fallback) {
        const std::optional<std::int64_t> f = extrasInt(track, name, where);
        return f ? static_cast<std::int32_t>(*f) : fallback;
    };
    out.firstFrame = frame("first", out.keys.empty() ? 0 : out.keys.front().frame);
    out.lastFrame = frame("last", out.keys.empty() ? 0 : out.keys.back().frame);
    return out;
}

// The name-independent extras of a sub-object's node: its properties, movement fields and key tracks, all in
// the game's own numbers.
void GltfConverter::readSubObjectExtras(const tinygltf::Value& extras, std::int32_t sub, const std::string& where) {
    SceneObject& object = assembler_.scene().objects[static_cast<std::size_t>(sub)];
    SubObjectNode& info = subNodes_[static_cast<std::size_t>(sub)];
    if (std::optional<std::string> properties = extrasText(extras, "pof_properties", where))
        object.properties = std::move(*properties);
    if (std::optional<std::int64_t> type = extrasInt(extras, "pof_movement_type", where))
        object.movementType = static_cast<std::int32_t>(*type);
    if (std::optional<std::int64_t> axis = extrasInt(extras, "pof_movement_axis", where))
        object.movementAxis = static_cast<std::int32_t>(*axis);
    const auto frameOf = [](double f) { return static_cast<std::int32_t>(f); };
    const auto toFloat = [](double f) { return static_cast<float>(f); };
    if (extras.IsObject() && extras.Has("pof_rotation_keys")) {
        object.rotation = extrasTrack<RotationKey>(extras.Get("pof_rotation_keys"), 5,
                                                   where + ": its extras pof_rotation_keys", [&](const auto& n) {
                                                       return RotationKey{frameOf(n[0]),
                                                                          {toFloat(n[1]), toFloat(n[2]), toFloat(n[3])},
                                                                          static_cast<std::int32_t>(std::lround(n[4]))};
                                                   });
        info.rotationFromExtras = true;
    }
    if (extras.IsObject() && extras.Has("pof_position_keys")) {
        object.position = extrasTrack<PositionKey>(
            extras.Get("pof_position_keys"), 4, where + ": its extras pof_position_keys", [&](const auto& n) {
                return PositionKey{frameOf(n[0]), {toFloat(n[1]), toFloat(n[2]), toFloat(n[3])}};
            });
        info.positionFromExtras = true;
    }
}

void GltfConverter::addPoint(const tinygltf::Node& node, const Matrix& world, int parentSub, const std::string& where) {
    std::string_view rest;
    const std::optional<PointKind> kind = PointKindOf(node.name, rest);
    if (!kind)
        return;
    PendingPoint point;
    point.kind = *kind;
    point.parentSub = parentSub;
    point.world = Translation(world);
    point.number = PointNumber(rest);
    point.name = node.name;
    // The node's local +Y is the point's direction and its local -Z the up-vector, unless extras say otherwise
    // in the game's numbers (or, as older files have it, "direction" in the file's own).
    if (std::optional<Vector3> d = extrasVector(node.extras, "pof_direction", where))
        point.direction = Mirrored(*d);
    else if (std::optional<Vector3> older = extrasVector(node.extras, "direction", where))
        point.direction = *older;
    else
        point.direction = Unit(ApplyLinear(world, 0, 1, 0));
    if (std::optional<Vector3> up = extrasVector(node.extras, "pof_up", where)) {
        point.up = Mirrored(*up);
        attachUp_ = attachUp_ || point.kind == PointKind::Attach;
    } else {
        point.up = Unit(ApplyLinear(world, 0, 0, -1));
    }
    if (point.kind == PointKind::Attach && node.extras.IsObject() && node.extras.Has("pof_has_uvec")) {
        const tinygltf::Value& flag = node.extras.Get("pof_has_uvec");
        attachUp_ = attachUp_ || (flag.IsBool() ? flag.Get<bool>() : flag.GetNumberAsDouble() != 0.0);
    }
    points_.push_back(std::move(point));
}

// The builder's sub-object numbers in their final order: by pof_index when every sub-object node has one (the
// order of the node tree breaking ties), otherwise as the tree was walked.
std::vector<std::int32_t> GltfConverter::objectOrder() const {
    std::vector<std::int32_t> order(subNodes_.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<std::int32_t>(i);
    if (std::all_of(subNodes_.begin(), subNodes_.end(), [](const SubObjectNode& s) { return s.index.has_value(); }))
        std::stable_sort(order.begin(), order.end(), [&](std::int32_t a, std::int32_t b) {
            return *subNodes_[static_cast<std::size_t>(a)].index < *subNodes_[static_cast<std::size_t>(b)].index;
        });
    return order;
}

// Gives the points their sub-objects (a point under none goes with the first root) and their order: by the
// number in their names, then those without one by name.
void GltfConverter::placePoints(Scene& scene,
                                const std::vector<std::int32_t>& order,
                                const std::vector<std::int32_t>& finalNumber) const {
    std::int32_t firstRoot = 0;
    while (static_cast<std::size_t>(firstRoot) < scene.objects.size() &&
           scene.objects[static_cast<std::size_t>(firstRoot)].parent >= 0)
        ++firstRoot;
    std::vector<const PendingPoint*> sorted;
    for (const PendingPoint& p : points_)
        sorted.push_back(&p);
    std::stable_sort(sorted.begin(), sorted.end(), [](const PendingPoint* a, const PendingPoint* b) {
        return std::make_tuple(a->number.has_value() ? 0 : 1, a->number.value_or(0), a->name) <
               std::make_tuple(b->number.has_value() ? 0 : 1, b->number.value_or(0), b->name);
    });
    for (const PendingPoint* p : sorted) {
        ScenePoint point;
        point.parent = p->parentSub >= 0 ? finalNumber[static_cast<std::size_t>(p->parentSub)] : firstRoot;
        point.position =
            p->world - subNodes_[static_cast<std::size_t>(order[static_cast<std::size_t>(point.parent)])].origin;
        point.direction = p->direction;
        if (p->kind == PointKind::Gun) {
            scene.gunpoints.push_back(point);
        } else if (p->kind == PointKind::Ground) {
            scene.groundPoints.push_back(point);
        } else {
            scene.attachPoints.push_back(point);
            if (attachUp_)
                scene.attachNormals.push_back({point.parent, point.position, p->up});
        }
    }
}

// Weapon batteries from extras.pof_batteries of sub-object 0's node or of the scene; without them a model
// with gun points gets one battery of its first eight.
void GltfConverter::readBatteries(Scene& scene, const std::vector<std::int32_t>& order) {
    const tinygltf::Value* found = nullptr;
    std::string where;
    if (!order.empty()) {
        const int node = subNodes_[static_cast<std::size_t>(order[0])].node;
        const tinygltf::Value& extras = gltf_.nodes[static_cast<std::size_t>(node)].extras;
        if (extras.IsObject() && extras.Has("pof_batteries")) {
            found = &extras.Get("pof_batteries");
            where = "node " + std::to_string(node) + ": its extras pof_batteries";
        }
    }
    if (found == nullptr && !gltf_.scenes.empty()) {
        const std::size_t s = sceneIndex();
        const tinygltf::Value& extras = gltf_.scenes[s].extras;
        if (extras.IsObject() && extras.Has("pof_batteries")) {
            found = &extras.Get("pof_batteries");
            where = "scene " + std::to_string(s) + ": its extras pof_batteries";
        }
    }
    if (found == nullptr) {
        constexpr std::size_t kGunsPerBattery = 8;
        if (!scene.gunpoints.empty()) {
            WeaponBattery battery;
            for (std::size_t g = 0; g < std::min(scene.gunpoints.size(), kGunsPerBattery); ++g)
                battery.guns.push_back(static_cast<std::int32_t>(g));
            scene.batteries.push_back(std::move(battery));
        }
        return;
    }
    if (!found->IsArray())
        refuse(where, "is not an array of batteries");
    const auto numbers = [&](const tinygltf::Value& battery, const char* key, std::size_t b) {
        std::vector<std::int32_t> out;
        if (!battery.Has(key))
            return out;
        const tinygltf::Value& list = battery.Get(key);
        if (!list.IsArray())
            refuse(where, "battery " + std::to_string(b) + ": " + key + " is not an array");
        for (std::size_t i = 0; i < list.ArrayLen(); ++i) {
            const std::optional<std::int32_t> n = WholeNumber(list.Get(static_cast<int>(i)));
            if (!n)
                refuse(where,
                       "battery " + std::to_string(b) + ": " + key + " holds something other than a whole number");
            out.push_back(*n);
        }
        return out;
    };
    for (std::size_t b = 0; b < found->ArrayLen(); ++b) {
        const tinygltf::Value& battery = found->Get(static_cast<int>(b));
        if (!battery.IsObject())
            refuse(where, "battery " + std::to_string(b) + " is not an object");
        scene.batteries.push_back({numbers(battery, "guns", b), numbers(battery, "turrets", b)});
    }
}

// The keys of one channel, at frames of 1/30 s, sorted; of two keys on one frame the later is kept.
std::vector<Sample> GltfConverter::samples(const tinygltf::Animation& animation,
                                           const tinygltf::AnimationChannel& channel,
                                           const std::string& where) {
    if (channel.sampler < 0 || static_cast<std::size_t>(channel.sampler) >= animation.samplers.size())
        refuse(where, "names sampler " + std::to_string(channel.sampler) + ", which its animation does not have");
    const tinygltf::AnimationSampler& sampler = animation.samplers[static_cast<std::size_t>(channel.sampler)];
    const bool rotation = channel.target_path == "rotation";
    const bool cubic = sampler.interpolation == "CUBICSPLINE";
    cubicChannels_ += cubic ? 1 : 0;
    stepChannels_ += sampler.interpolation == "STEP" ? 1 : 0;
    const AccessorData times = accessor(sampler.input, "animation input", {kFloat}, 1);
    const AccessorData values = rotation ? accessor(sampler.output, "rotation output",
                                                    {kFloat, kByte, kUnsignedByte, kShort, kUnsignedShort}, 4)
                                         : accessor(sampler.output, "translation output", {kFloat}, 3);
    // A cubic spline keeps an in-tangent, the value and an out-tangent per key: only the value is used.
    const std::size_t perKey = cubic ? 3 : 1;
    if (values.count / perKey != times.count || values.count % perKey != 0)
        refuse(where,
               std::to_string(values.count) + " output values for " + std::to_string(times.count) + " key times");
    constexpr double kLatest = 1e6;  // seconds; far past any frame number an object model can hold
    std::vector<Sample> out;
    for (std::size_t k = 0; k < times.count; ++k) {
        const double t = times.component(k, 0);
        if (!std::isfinite(t) || std::abs(t) > kLatest)
            refuse(where, "key time " + std::to_string(k) + " is not a number of seconds this program can keep");
        Sample sample{static_cast<std::int32_t>(std::lround(30.0 * t)), {0, 0, 0, 1}};
        for (int c = 0; c < values.components; ++c) {
            sample.second[static_cast<std::size_t>(c)] = values.component(k * perKey + (cubic ? 1 : 0), c);
            if (!std::isfinite(sample.second[static_cast<std::size_t>(c)]))
                refuse(where, "key " + std::to_string(k) + " holds a value that is not a finite number");
        }
        out.push_back(sample);
    }
    std::stable_sort(out.begin(), out.end(), [](const Sample& a, const Sample& b) { return a.first < b.first; });
    std::vector<Sample> kept;
    for (const Sample& sample : out) {
        if (!kept.empty() && kept.back().first == sample.first) {
            kept.back() = sample;
            ++sameFrameKeys_;
        } else {
            kept.push_back(sample);
        }
    }
    return kept;
}

// Rotation keys in the game's numbers: each key the turn from the pose before it (the first from the rest
// pose), about an axis in the model's frame, with the sense the mirror of the handedness gives it.
void GltfConverter::setRotationKeys(std::int32_t sub, const std::vector<Sample>& samples) {
    const SubObjectNode& info = subNodes_[static_cast<std::size_t>(sub)];
    const tinygltf::Node& node = gltf_.nodes[static_cast<std::size_t>(info.node)];
    Quaternion rest;
    if (node.rotation.size() == 4)
        rest = {node.rotation[0], node.rotation[1], node.rotation[2], node.rotation[3]};
    const bool parentMirrors = Determinant3(info.parentWorld) < 0.0;
    KeyTrack<RotationKey> track;
    Quaternion before;
    for (std::size_t k = 0; k < samples.size(); ++k) {
        const auto& v = samples[k].second;
        const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2] + v[3] * v[3]);
        if (!(length > 0.0))
            refuse("node " + std::to_string(info.node), "a rotation key is not a rotation (all zeros)");
        const Quaternion pose = Quaternion{v[0] / length, v[1] / length, v[2] / length, v[3] / length} * Inverse(rest);
        Quaternion step = pose * Inverse(before);
        before = pose;
        if (step.w < 0.0)
            step = {-step.x, -step.y, -step.z, -step.w};
        const double sine = std::sqrt(step.x * step.x + step.y * step.y + step.z * step.z);
        double angle = 2.0 * std::atan2(sine, step.w);
        Vector3 axis;
        if (sine > 0.0) {
            axis = Unit(ApplyLinear(info.parentWorld, step.x / sine, step.y / sine, step.z / sine));
            angle = parentMirrors ? -angle : angle;
        }
        // In the game's frame the axis has x negated and the turn goes the other way.
        track.keys.push_back({samples[k].first, Mirrored(axis),
                              static_cast<std::int32_t>(std::lround(-angle / (2.0 * std::numbers::pi) * 65536.0))});
    }
    track.firstFrame = track.keys.front().frame;
    track.lastFrame = track.keys.back().frame;
    assembler_.scene().objects[static_cast<std::size_t>(sub)].rotation = std::move(track);
}

// Position keys in the game's numbers: displacements from the node's rest translation, in the model's frame.
void GltfConverter::setPositionKeys(std::int32_t sub, const std::vector<Sample>& samples) {
    const SubObjectNode& info = subNodes_[static_cast<std::size_t>(sub)];
    const tinygltf::Node& node = gltf_.nodes[static_cast<std::size_t>(info.node)];
    std::array<double, 3> rest = {0, 0, 0};
    if (node.translation.size() == 3)
        rest = {node.translation[0], node.translation[1], node.translation[2]};
    KeyTrack<PositionKey> track;
    for (const Sample& sample : samples) {
        const Vector3 moved = ApplyLinear(info.parentWorld, sample.second[0] - rest[0], sample.second[1] - rest[1],
                                          sample.second[2] - rest[2]);
        if (!IsFinite(moved))
            refuse("node " + std::to_string(info.node), "a translation key is not a finite number once placed");
        track.keys.push_back({sample.first, Mirrored(moved)});
    }
    track.firstFrame = track.keys.front().frame;
    track.lastFrame = track.keys.back().frame;
    assembler_.scene().objects[static_cast<std::size_t>(sub)].position = std::move(track);
}

// Rotation and translation channels of sub-object nodes become their key tracks (unless their extras hold
// them); what an object model cannot hold is counted for the warnings.
void GltfConverter::readAnimations() {
    for (std::size_t a = 0; a < gltf_.animations.size(); ++a) {
        const tinygltf::Animation& animation = gltf_.animations[a];
        for (std::size_t c = 0; c < animation.channels.size(); ++c) {
            const tinygltf::AnimationChannel& channel = animation.channels[c];
            const std::string where = "animation " + std::to_string(a) + " channel " + std::to_string(c);
            if (channel.target_path == "weights") {
                morphed_ = true;
                continue;
            }
            if (channel.target_node < 0 || static_cast<std::size_t>(channel.target_node) >= gltf_.nodes.size())
                refuse(where,
                       "animates node " + std::to_string(channel.target_node) + ", which the file does not have");
            const int sub = subOfNode_[static_cast<std::size_t>(channel.target_node)];
            if (sub < 0) {
                ++otherNodeChannels_;
                continue;
            }
            if (channel.target_path == "scale") {
                ++scaleChannels_;
                continue;
            }
            const bool rotation = channel.target_path == "rotation";
            if (!rotation && channel.target_path != "translation")
                continue;
            SubObjectNode& info = subNodes_[static_cast<std::size_t>(sub)];
            if (rotation ? info.rotationFromExtras : info.positionFromExtras)
                continue;
            bool& animated = rotation ? info.rotationAnimated : info.positionAnimated;
            if (animated) {
                ++repeatedChannels_;
                continue;
            }
            animated = true;
            const std::vector<Sample> keys = samples(animation, channel, where);
            if (keys.empty())
                continue;
            if (rotation)
                setRotationKeys(sub, keys);
            else
                setPositionKeys(sub, keys);
        }
    }
}

// One line for each kind of thing read only in part or left out.
void GltfConverter::warnings(std::vector<std::string>& notes) const {
    const std::string title(title_);
    const auto warn = [&](int count, const std::string& what) {
        if (count > 0)
            notes.push_back("Warning: " + title + ": " + std::to_string(count) + " " + what);
    };
    warn(cubicChannels_,
         "animation channel(s) interpolate by cubic spline: their values at the keys were kept, "
         "their tangents dropped");
    warn(stepChannels_,
         "animation channel(s) step from key to key: read as keys at each of their times, which "
         "the game blends between");
    warn(scaleChannels_, "scale animation channel(s) left out: an object model has no scale keys");
    warn(otherNodeChannels_, "animation channel(s) of nodes that are not sub-objects left out");
    warn(repeatedChannels_, "animation channel(s) left out: an earlier animation already keys the same sub-object");
    if (morphed_)
        notes.push_back("Warning: " + title + ": morph targets left out: the meshes are read in their base shape");
    if (skinned_)
        notes.push_back("Warning: " + title + ": skins left out: the meshes are read in their rest pose, unbent");
    if (sameFrameKeys_ > 0)
        notes.push_back(title + ": " + std::to_string(sameFrameKeys_) +
                        " animation key(s) fell on the same frame (1/30 s) as another; the later one was kept");
}

// Image files are read only when asked for; one outside the model's folder is refused all the same.
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

void GltfConverter::visit(int nodeIndex, const Matrix& parentWorld, int parentSub, int depth) {
    const tinygltf::Node& node = enter(nodeIndex, depth, visited_);
    const Matrix local = LocalTransform(node);
    const Matrix world = Multiply(parentWorld, local);
    if (!IsFiniteMatrix(local) || !IsFiniteMatrix(world))
        refuse("node " + std::to_string(nodeIndex), "its transform holds a number that is not finite");
    skinned_ = skinned_ || node.skin >= 0;
    const std::string where = "node " + std::to_string(nodeIndex) + (node.name.empty() ? "" : " (" + node.name + ")");
    const std::optional<std::int64_t> index = extrasInt(node.extras, "pof_index", where);
    int sub = parentSub;
    // A node with a mesh is a sub-object; so is an empty node with a sub-object number (a joint). The turn of
    // a point without children only gives its direction: no vertex moves by it.
    const bool isSubObject = node.mesh >= 0 || index.has_value();
    transformed_ = transformed_ || ((isSubObject || !node.children.empty()) && !IsPureTranslation(local));
    if (isSubObject) {
        std::string name = extrasText(node.extras, "pof_name", where).value_or(node.name);
        if (name.empty() && node.mesh >= 0 && static_cast<std::size_t>(node.mesh) < gltf_.meshes.size())
            name = gltf_.meshes[static_cast<std::size_t>(node.mesh)].name;
        if (name.empty())
            name = "node_" + std::to_string(nodeIndex);
        const Vector3 origin = Translation(world);
        const Vector3 parentOrigin = parentSub >= 0 ? subNodes_[static_cast<std::size_t>(parentSub)].origin : Vector3{};
        sub = assembler_.subObject(name, parentSub, origin - parentOrigin);
        subNodes_.push_back({nodeIndex, index, origin, parentWorld});
        subOfNode_[static_cast<std::size_t>(nodeIndex)] = sub;
        readSubObjectExtras(node.extras, sub, where);
        if (node.mesh >= 0)
            addMesh(node.mesh, world);
    } else {
        addPoint(node, world, parentSub, where);
    }
    for (int child : node.children)
        visit(child, world, sub, depth + 1);
}

// The scene the file shows by default (the first when it names none or one it does not have).
std::size_t GltfConverter::sceneIndex() const {
    return gltf_.defaultScene >= 0 && static_cast<std::size_t>(gltf_.defaultScene) < gltf_.scenes.size()
               ? static_cast<std::size_t>(gltf_.defaultScene)
               : 0;
}

std::vector<int> GltfConverter::roots() const {
    std::vector<int> roots;
    if (!gltf_.scenes.empty()) {
        roots = gltf_.scenes[sceneIndex()].nodes;
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
    subOfNode_.assign(gltf_.nodes.size(), -1);
    for (int root : tops)
        visit(root, kIdentity, -1, 0);
    if (assembler_.subObjectCount() == 0)
        throw Refusal{std::string(title_) + ": no node of its scene has a mesh"};
    readAnimations();
    skinned_ = skinned_ || !gltf_.skins.empty();
    if (triangles_ == 0)
        throw Refusal{std::string(title_) + " has no faces to put in a room: " +
                      (skippedPrimitives_ > 0
                           ? std::to_string(skippedPrimitives_) +
                                 " line and point primitive(s) were left out; only triangles are read"
                           : std::string("its meshes hold no triangles"))};

    Scene built;
    std::string invalid;
    if (!assembler_.finish(built, invalid))
        throw Refusal{std::string(title_) + ": " + invalid};
    const std::vector<std::int32_t> order = objectOrder();
    std::vector<std::int32_t> finalNumber(order.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        finalNumber[static_cast<std::size_t>(order[i])] = static_cast<std::int32_t>(i);
    Scene scene;
    scene.textures = std::move(built.textures);
    for (std::int32_t from : order) {
        SceneObject& object = scene.objects.emplace_back(std::move(built.objects[static_cast<std::size_t>(from)]));
        if (object.parent >= 0)
            object.parent = finalNumber[static_cast<std::size_t>(object.parent)];
    }
    placePoints(scene, order, finalNumber);
    readBatteries(scene, order);
    if (std::string broken = ValidateScene(scene); !broken.empty())
        throw Refusal{std::string(title_) + ": " + broken};
    warnings(notes);
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
    bool keepImages = false;
    std::map<int, std::vector<std::uint8_t>> dataImages;  // the bytes of images given as data: URIs, by number
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
// Images are decoded by the program's own readers, and only when asked for; the library only hands over the
// bytes of a data: URI here. Images in a buffer view are taken from their buffer afterwards, where their bounds
// are checked.
bool KeepImageUndecoded(tinygltf::Image* image,
                        const int index,
                        std::string*,
                        std::string*,
                        int,
                        int,
                        const unsigned char* bytes,
                        int size,
                        void* user) {
    auto* context = static_cast<LoaderContext*>(user);
    if (context->keepImages && image->bufferView < 0 && bytes != nullptr && size > 0)
        context->dataImages[index].assign(bytes, bytes + size);
    return true;
}

// The encoded bytes of image `index` kept in a buffer view, or empty with `why` when its view does not lie
// inside its buffer.
std::span<const std::uint8_t> BufferViewImage(const tinygltf::Model& gltf, int viewIndex, std::string& why) {
    if (viewIndex < 0 || static_cast<std::size_t>(viewIndex) >= gltf.bufferViews.size()) {
        why = "its buffer view " + std::to_string(viewIndex) + " is not in the file";
        return {};
    }
    const tinygltf::BufferView& view = gltf.bufferViews[static_cast<std::size_t>(viewIndex)];
    if (view.buffer < 0 || static_cast<std::size_t>(view.buffer) >= gltf.buffers.size()) {
        why = "buffer view " + std::to_string(viewIndex) + " names a buffer the file does not have";
        return {};
    }
    const std::vector<unsigned char>& buffer = gltf.buffers[static_cast<std::size_t>(view.buffer)].data;
    if (view.byteOffset > buffer.size() || view.byteLength > buffer.size() - view.byteOffset) {
        why = "buffer view " + std::to_string(viewIndex) + " runs past the end of its buffer";
        return {};
    }
    return {buffer.data() + view.byteOffset, view.byteLength};
}

// The images the textures of the scene were named from, each read and decoded; `refusal` is set for an image
// file named outside the model's folder.
TextureImages ReadTextureImages(const tinygltf::Model& gltf,
                                const std::vector<int>& sources,
                                LoaderContext& context,
                                std::string_view title,
                                std::vector<std::string>& notes,
                                std::string& refusal) {
    TextureImages images(sources.size());
    for (std::size_t slot = 0; slot < sources.size() && refusal.empty(); ++slot) {
        const int source = sources[slot];
        if (source < 0)
            continue;
        const tinygltf::Image& image = gltf.images[static_cast<std::size_t>(source)];
        const std::string origin = "image " + std::to_string(source) + " of " + std::string(title);
        if (image.bufferView >= 0) {
            std::string why;
            const std::span<const std::uint8_t> bytes = BufferViewImage(gltf, image.bufferView, why);
            if (bytes.empty() && !why.empty())
                notes.push_back(std::string(title) + ": image " + std::to_string(source) + " not read (" + why +
                                "); its texture has no image");
            else
                images[slot] = DecodeModelImage(bytes, origin, title, notes);
        } else if (const auto data = context.dataImages.find(source); data != context.dataImages.end()) {
            images[slot] = DecodeModelImage(data->second, origin, title, notes);
        } else if (!image.uri.empty() && image.uri.rfind("data:", 0) != 0) {
            images[slot] = ReadModelImage(image.uri, *context.loader, title, notes, refusal);
        } else {
            notes.push_back(std::string(title) + ": image " + std::to_string(source) +
                            " not read (its data: URI holds no image data); its texture has no image");
        }
    }
    return images;
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
                   std::string& error,
                   TextureImages* images) {
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
    LoaderContext context{&loader, {}, images != nullptr, {}};
    tinygltf::TinyGLTF library;
    library.SetFsCallbacks({&AlwaysThere, &AsGiven, &ReadThroughLoader, &NoWriting, &context});
    library.SetImageLoader(&KeepImageUndecoded, &context);
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
        TextureImages read;
        if (images) {
            std::vector<int> sources = converter.textureImages();
            sources.resize(result.textures.size(), -1);
            std::string refusal;
            read = ReadTextureImages(gltf, sources, context, title, found, refusal);
            if (!refusal.empty()) {
                error = std::string(title) + ": " + refusal;
                return false;
            }
        }
        SwitchHandedness(result);
        scene = std::move(result);
        if (images)
            *images = std::move(read);
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
