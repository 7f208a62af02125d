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

bool HasByteOrderMark(std::span<const std::uint8_t> bytes) {
    return StartsWith(bytes, "\xEF\xBB\xBF") || StartsWith(bytes, "\xFF\xFE") || StartsWith(bytes, "\xFE\xFF");
}

void TextAsUtf8(std::vector<std::uint8_t>& bytes) {
    if (StartsWith(bytes, "\xEF\xBB\xBF")) {
        bytes.erase(bytes.begin(), bytes.begin() + 3);
        return;
    }
    const bool little = StartsWith(bytes, "\xFF\xFE");
    if (!little && !StartsWith(bytes, "\xFE\xFF"))
        return;
    std::vector<std::uint8_t> out;
    out.reserve(bytes.size());
    const auto unit = [&](std::size_t at) {
        return static_cast<std::uint32_t>(little ? bytes[at] | (bytes[at + 1] << 8) : (bytes[at] << 8) | bytes[at + 1]);
    };
    for (std::size_t at = 2; at + 1 < bytes.size(); at += 2) {
        std::uint32_t c = unit(at);
        if (c >= 0xD800 && c < 0xDC00 && at + 3 < bytes.size() && unit(at + 2) >= 0xDC00 && unit(at + 2) < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(at + 2) - 0xDC00);
            at += 2;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;  // a lone surrogate
        }
        const auto put = [&](std::uint32_t b) { out.push_back(static_cast<std::uint8_t>(b)); };
        if (c < 0x80) {
            put(c);
        } else if (c < 0x800) {
            put(0xC0 | (c >> 6)), put(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            put(0xE0 | (c >> 12)), put(0x80 | ((c >> 6) & 0x3F)), put(0x80 | (c & 0x3F));
        } else {
            put(0xF0 | (c >> 18)), put(0x80 | ((c >> 12) & 0x3F)), put(0x80 | ((c >> 6) & 0x3F)),
                put(0x80 | (c & 0x3F));
        }
    }
    bytes = std::move(out);
}

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
