#include "orf/orf_reader.h"

#include <cmath>

#include <string_view>

#include "core/field_reader.h"
#include "core/number_text.h"

namespace torvale {
namespace {

// Chunk tags as the level editor knows them. Tag 0 is the header of version-0 rooms, which has no version.
constexpr std::int32_t kOldHeaderTag = 0;
constexpr std::int32_t kHeaderTag = 5;
constexpr std::int32_t kVerticesTag = 1;
constexpr std::int32_t kTexturesTag = 4;
constexpr std::int32_t kFacesTag = 2;
constexpr std::int32_t kEndTag = 3;

// Versions from which a field is present.
constexpr std::int32_t kAlphaVersion = 1;
constexpr std::int32_t kLightMultipleVersion = 4;

constexpr std::size_t kVectorBytes = 12;
// The face record before its corners: corner count, normal, texture index (plus the light byte from v4).
constexpr std::size_t kFaceHeadBytes = 4 + kVectorBytes + 2;
// A corner: vertex index, u, v and four floats the editor ignores (plus alpha from v1).
constexpr std::size_t kCornerBytes = 2 + 4 + 4 + 16;
constexpr std::size_t kLeastCorners = 3;

constexpr RefusalWording kOrfWording{"Error: ", ": the file ends inside ", ""};

std::string Int(std::int64_t value) {
    return FormatInteger(value);
}

std::string ChunkName(std::int32_t tag) {
    switch (tag) {
        case kOldHeaderTag:
            return "old header";
        case kHeaderTag:
            return "header";
        case kVerticesTag:
            return "vertices";
        case kTexturesTag:
            return "textures";
        case kFacesTag:
            return "faces";
        case kEndTag:
            return "end";
        default:
            return "chunk " + Int(tag);
    }
}

class OrfReader {
public:
    OrfReader(std::span<const std::uint8_t> bytes, Room& room, std::string& error)
        : in_(bytes, kOrfWording), room_(room), error_(error) {}

    bool read();

private:
    bool readChunks();
    bool refuse(std::size_t at, std::string_view rest) { return in_.refuse(at, rest); }
    // A count read from the file: refused when negative.
    bool count(std::int32_t& out, std::string_view what);
    // `count` elements of at least `leastBytes` each must fit in what is left.
    bool fits(std::int64_t count, std::size_t leastBytes, std::string_view what);

    bool readHeader(std::int32_t tag);
    bool readVertices();
    bool readTextures();
    bool readFaces();
    bool readFace(std::size_t face);
    // After a known chunk: its stated length must be the bytes its content took.
    bool checkLength(std::int32_t length, std::size_t bodyStart);
    bool finish(std::size_t endAt);

    std::int32_t layout() const { return room_.version; }

    FieldReader in_;
    Room& room_;
    std::string& error_;
    bool header_ = false;
    bool vertices_ = false;
    bool textures_ = false;
    bool faces_ = false;
    std::int32_t vertexCount_ = 0;
    std::int32_t faceCount_ = 0;
};

bool OrfReader::count(std::int32_t& out, std::string_view what) {
    const std::size_t at = in_.position();
    if (!in_.readI32(out))
        return in_.cutShort("the " + std::string(what) + " count");
    // "vertices announce", "header announces"
    const std::string_view verb = in_.chunk().ends_with('s') ? " announce " : " announces ";
    return out >= 0 || refuse(at, std::string(verb) + Int(out) + " " + std::string(what) + ", a negative number");
}

bool OrfReader::fits(std::int64_t count, std::size_t leastBytes, std::string_view what) {
    if (in_.canHold(static_cast<std::size_t>(count), leastBytes))
        return true;
    return in_.refuseChunk(" announce " + Int(count) + " " + std::string(what) + ", but only " +
                           Int(static_cast<std::int64_t>(in_.remaining())) + " bytes are left");
}

bool OrfReader::read() {
    room_ = Room{};
    if (readChunks())
        return true;
    error_ = in_.error();
    return false;
}

bool OrfReader::readChunks() {
    for (;;) {
        const std::size_t chunkAt = in_.position();
        if (in_.atEnd()) {
            in_.enterChunk("end", chunkAt);
            return in_.refuseChunk(": the file ends without an end chunk; the level editor reads past the end here");
        }
        in_.enterChunk("chunk", chunkAt);
        std::int32_t tag = 0;
        std::int32_t length = 0;
        if (!in_.i32(tag, "a chunk's tag"))
            return false;
        in_.enterChunk(ChunkName(tag), chunkAt);
        if (!in_.i32(length, "the chunk's length"))
            return false;
        const std::size_t bodyStart = in_.position();
        switch (tag) {
            case kOldHeaderTag:
            case kHeaderTag:
                if (!readHeader(tag) || !checkLength(length, bodyStart))
                    return false;
                break;
            case kVerticesTag:
                if (!readVertices() || !checkLength(length, bodyStart))
                    return false;
                break;
            case kTexturesTag:
                if (!readTextures() || !checkLength(length, bodyStart))
                    return false;
                break;
            case kFacesTag:
                if (!readFaces() || !checkLength(length, bodyStart))
                    return false;
                break;
            case kEndTag:
                return finish(chunkAt);
            default:
                // The editor skips chunks it does not know by their length.
                if (length < 0 || !in_.skip(static_cast<std::size_t>(length))) {
                    return in_.refuseChunk(": length " + Int(length) + ", but " +
                                           Int(static_cast<std::int64_t>(in_.remaining())) + " bytes are left");
                }
                break;
        }
    }
}

bool OrfReader::checkLength(std::int32_t length, std::size_t bodyStart) {
    const auto took = static_cast<std::int64_t>(in_.position() - bodyStart);
    if (length == took)
        return true;
    return in_.refuseChunk(": the chunk's length is " + Int(length) + ", but its content takes " + Int(took) +
                           " bytes");
}

bool OrfReader::readHeader(std::int32_t tag) {
    if (header_)
        return in_.refuseChunk(": a second header");
    header_ = true;
    room_.version = 0;
    if (tag == kHeaderTag) {
        const std::size_t at = in_.position();
        if (!in_.i32(room_.version, "the version"))
            return false;
        if (room_.version < 0)
            return refuse(at, ": version " + Int(room_.version) + ", a negative number");
    }
    return count(vertexCount_, "vertices") && count(faceCount_, "faces");
}

bool OrfReader::readVertices() {
    if (!header_)
        return in_.refuseChunk(" come before the header; the level editor reads outside its vertex list here");
    if (vertices_)
        return in_.refuseChunk(": a second vertices chunk");
    vertices_ = true;
    if (!fits(vertexCount_, kVectorBytes, "vertices"))
        return false;
    room_.vertices.resize(static_cast<std::size_t>(vertexCount_));
    for (std::size_t i = 0; i < room_.vertices.size(); ++i) {
        // Present: the count was checked against the bytes left.
        Vector3& v = room_.vertices[i];
        const std::size_t at = in_.position();
        if (!in_.readF32(v.x) || !in_.readF32(v.y) || !in_.readF32(v.z))
            return refuse(at, ": the file ends inside a vertex");
        if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z))
            return refuse(at, ": vertex " + Int(static_cast<std::int64_t>(i)) + " is not a finite position");
    }
    return true;
}

bool OrfReader::readTextures() {
    if (textures_)
        return in_.refuseChunk(": a second textures chunk");
    textures_ = true;
    std::int32_t names = 0;
    if (!count(names, "names"))
        return false;
    // Each name takes at least its terminating zero.
    if (!fits(names, 1, "names"))
        return false;
    room_.textureNames.reserve(static_cast<std::size_t>(names));
    for (std::int32_t k = 0; k < names; ++k) {
        const std::size_t at = in_.position();
        std::string name;
        std::uint8_t c = 0;
        for (;;) {
            if (!in_.readU8(c))
                return refuse(at, ": name " + Int(k) + " has no terminating zero before the end of the file");
            if (c == 0)
                break;
            name += static_cast<char>(c);
        }
        room_.textureNames.push_back(std::move(name));
    }
    return true;
}

bool OrfReader::readFaces() {
    if (!header_)
        return in_.refuseChunk(" come before the header; the level editor reads outside its face list here");
    if (!textures_)
        return in_.refuseChunk(" come before the textures; the level editor reads outside its texture list here");
    if (faces_)
        return in_.refuseChunk(": a second faces chunk");
    faces_ = true;
    const std::size_t leastFace = kFaceHeadBytes + (layout() >= kLightMultipleVersion ? 1 : 0) +
                                  kLeastCorners * (kCornerBytes + (layout() >= kAlphaVersion ? 4 : 0));
    if (!fits(faceCount_, leastFace, "faces"))
        return false;
    room_.faces.reserve(static_cast<std::size_t>(faceCount_));
    for (std::size_t face = 0; face < static_cast<std::size_t>(faceCount_); ++face) {
        if (!readFace(face))
            return false;
    }
    return true;
}

bool OrfReader::readFace(std::size_t face) {
    // Named only when refused: a room has tens of thousands of faces.
    const auto label = [face] { return "face " + Int(static_cast<std::int64_t>(face)); };
    const std::size_t faceAt = in_.position();
    RoomFace f;
    if (layout() >= kLightMultipleVersion && !in_.readU8(f.lightMultiple))
        return refuse(faceAt, ": the file ends inside the light multiple of " + label());
    const std::size_t countAt = in_.position();
    std::int32_t corners = 0;
    if (!in_.readI32(corners))
        return in_.cutShort("the corner count of " + label());
    if (corners < static_cast<std::int32_t>(kLeastCorners)) {
        return refuse(countAt, ": " + label() + " has " + Int(corners) + " corners; the level editor needs at least " +
                                   Int(kLeastCorners));
    }
    const std::size_t cornerBytes = kCornerBytes + (layout() >= kAlphaVersion ? 4 : 0);
    if (!in_.canHold(static_cast<std::size_t>(corners), cornerBytes)) {
        return refuse(countAt, ": " + label() + " announces " + Int(corners) + " corners, but only " +
                                   Int(static_cast<std::int64_t>(in_.remaining())) + " bytes are left");
    }
    std::int16_t texture = 0;
    if (!in_.readF32(f.normal.x) || !in_.readF32(f.normal.y) || !in_.readF32(f.normal.z))
        return in_.cutShort("the normal of " + label());
    if (!std::isfinite(f.normal.x) || !std::isfinite(f.normal.y) || !std::isfinite(f.normal.z))
        return refuse(in_.position() - 12, ": the normal of " + label() + " is not a finite number");
    const std::size_t textureAt = in_.position();
    if (!in_.readI16(texture))
        return in_.cutShort("the texture index of " + label());
    f.texture = texture;
    if (texture < 0 || static_cast<std::size_t>(texture) >= room_.textureNames.size()) {
        return refuse(textureAt, ": " + label() + " uses texture " + Int(texture) + ", but the room names " +
                                     Int(static_cast<std::int64_t>(room_.textureNames.size())) +
                                     "; the level editor reads outside its texture list here");
    }
    f.firstCorner = static_cast<std::uint32_t>(room_.corners.size());
    f.cornerCount = static_cast<std::uint32_t>(corners);
    for (std::int32_t k = 0; k < corners; ++k) {
        // The corner's bytes are present: the corner count was checked against the bytes left.
        const std::size_t at = in_.position();
        RoomCorner c;
        std::int16_t vertex = 0;
        float ignored = 0.0f;
        bool ok = in_.readI16(vertex) && in_.readF32(c.u) && in_.readF32(c.v);
        for (int i = 0; i < 4; ++i)
            ok = ok && in_.readF32(ignored);
        if (layout() >= kAlphaVersion)
            ok = ok && in_.readF32(c.alpha);
        if (!ok)
            return refuse(at, ": the file ends inside corner " + Int(k) + " of " + label());
        c.vertex = vertex;
        if (!std::isfinite(c.u) || !std::isfinite(c.v))
            return refuse(
                at, ": the texture coordinates of corner " + Int(k) + " of " + label() + " are not finite numbers");
        if (vertex < 0 || vertex >= vertexCount_) {
            return refuse(at, ": corner " + Int(k) + " of " + label() + " names vertex " + Int(vertex) +
                                  ", but the room has " + Int(vertexCount_) +
                                  " vertices; the level editor reads outside its vertex list here");
        }
        room_.corners.push_back(c);
    }
    room_.faces.push_back(f);
    return true;
}

bool OrfReader::finish(std::size_t endAt) {
    // The editor stops at the end chunk's tag; its length (4 in the game's own rooms) is not used.
    if (!header_)
        return refuse(endAt, ": the room has no header");
    if (!vertices_ && vertexCount_ > 0)
        return refuse(endAt, ": the room has no vertices chunk for its " + Int(vertexCount_) + " vertices");
    if (!faces_ && faceCount_ > 0)
        return refuse(endAt, ": the room has no faces chunk for its " + Int(faceCount_) + " faces");
    if (!in_.atEnd()) {
        return refuse(endAt, ": " + Int(static_cast<std::int64_t>(in_.remaining())) +
                                 " bytes follow the end chunk's tag and length");
    }
    return true;
}

}  // namespace

bool ReadOrfFile(std::span<const std::uint8_t> bytes, Room& room, std::string& error) {
    error.clear();
    return OrfReader(bytes, room, error).read();
}

}  // namespace torvale
