#include "model_io/input_kind.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "core/byte_reader.h"

namespace torvale {
namespace {

bool StartsWith(std::span<const std::uint8_t> bytes, std::string_view text) {
    return bytes.size() >= text.size() && std::memcmp(bytes.data(), text.data(), text.size()) == 0;
}

bool IsBlank(std::uint8_t c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// A room starts with its header chunk: tag 5 with version and two counts, or tag 0 with two counts.
bool LooksLikeRoom(std::span<const std::uint8_t> bytes) {
    ByteReader reader(bytes);
    std::int32_t tag = 0, length = 0;
    if (!reader.readI32(tag) || !reader.readI32(length) || (tag != 5 && tag != 0))
        return false;
    const std::int32_t fields = tag == 5 ? 3 : 2;
    if (length < fields * 4 || static_cast<std::size_t>(length) > reader.remaining())
        return false;
    std::int32_t version = 0, vertices = 0, faces = 0;
    if (tag == 5 && (!reader.readI32(version) || version < 0 || version > 4))
        return false;
    return reader.readI32(vertices) && reader.readI32(faces) && vertices >= 0 && faces >= 0;
}

bool LooksLikeGltfJson(std::span<const std::uint8_t> bytes) {
    const auto first = std::find_if_not(bytes.begin(), bytes.end(), IsBlank);
    if (first == bytes.end() || *first != '{')
        return false;
    constexpr std::string_view kAsset = "\"asset\"";
    return std::search(first, bytes.end(), kAsset.begin(), kAsset.end()) != bytes.end();
}

// The statements an OBJ file is made of.
constexpr std::array<std::string_view, 14> kObjStatements = {"v",      "vt",     "vn", "f", "o",  "g",    "s",
                                                             "mtllib", "usemtl", "l",  "p", "vp", "curv", "cstype"};

bool LooksLikeObj(std::span<const std::uint8_t> bytes) {
    std::size_t at = 0;
    while (at < bytes.size()) {
        while (at < bytes.size() && IsBlank(bytes[at]))
            ++at;
        if (at == bytes.size())
            return false;
        if (bytes[at] == '#') {
            while (at < bytes.size() && bytes[at] != '\n' && bytes[at] != '\r')
                ++at;
            continue;
        }
        std::size_t end = at;
        while (end < bytes.size() && bytes[end] > ' ' && bytes[end] < 0x7F)
            ++end;
        if (end == bytes.size() || (bytes[end] != ' ' && bytes[end] != '\t'))
            return false;
        const std::string_view word(reinterpret_cast<const char*>(bytes.data() + at), end - at);
        return std::find(kObjStatements.begin(), kObjStatements.end(), word) != kObjStatements.end();
    }
    return false;
}

}  // namespace

InputKind DetectInputKind(std::span<const std::uint8_t> bytes) {
    if (StartsWith(bytes, "PSPO"))
        return InputKind::Oof;
    if (StartsWith(bytes, "glTF"))
        return InputKind::Glb;
    if (LooksLikeRoom(bytes))
        return InputKind::Orf;
    if (LooksLikeGltfJson(bytes))
        return InputKind::Gltf;
    if (LooksLikeObj(bytes))
        return InputKind::Obj;
    return InputKind::Unknown;
}

std::string_view InputKindName(InputKind kind) {
    switch (kind) {
        case InputKind::Oof:
            return "OOF model";
        case InputKind::Orf:
            return "ORF room";
        case InputKind::Glb:
            return "GLB model";
        case InputKind::Gltf:
            return "glTF model";
        case InputKind::Obj:
            return "OBJ model";
        case InputKind::Unknown:
            break;
    }
    return "unknown file";
}

}  // namespace torvale
