#pragma once

// Test-side room files, written byte by byte for any version the level editor reads (0 to 4 and later). The
// builder knows the layout on its own (it shares no code with the program's reader or writer) and remembers where
// every chunk and field went, so that a test can damage one and expect the reader to name that offset.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "builders/bytes.h"
#include "oof/object_model.h"

namespace torvale::test {

struct OrfCornerRecord {
    std::int32_t vertex = 0;
    float u = 0.0f;
    float v = 0.0f;
    float alpha = 1.0f;  // written from version 1 on
};

struct OrfFaceRecord {
    Vector3 normal{0.0f, 0.0f, 1.0f};
    std::int32_t texture = 0;
    std::uint8_t lightMultiple = 4;  // written from version 4 on
    std::vector<OrfCornerRecord> corners;
};

class OrfBuilder {
public:
    explicit OrfBuilder(std::int32_t version = 4) : version_(version) {}

    // A tag-0 header for version 0, otherwise tag 5 with the version.
    OrfBuilder& header(std::int32_t vertexCount, std::int32_t faceCount);
    OrfBuilder& vertices(const std::vector<Vector3>& positions);
    // Each name followed by a zero byte.
    OrfBuilder& textures(const std::vector<std::string>& names);
    OrfBuilder& faces(const std::vector<OrfFaceRecord>& faces);
    OrfBuilder& chunk(std::int32_t tag, const Bytes& body);
    // The end chunk: its tag and `length`, nothing after it.
    OrfBuilder& end(std::int32_t length = 4);
    // The whole room in the usual order, the header's counts taken from the tables.
    OrfBuilder& room(const std::vector<Vector3>& positions,
                     const std::vector<std::string>& names,
                     const std::vector<OrfFaceRecord>& faces);
    OrfBuilder& tail(const Bytes& bytes);

    // Overwrites the length of the last chunk written.
    OrfBuilder& statedLength(std::int32_t length);
    OrfBuilder& patchI32(const std::string& mark, std::int32_t value);
    OrfBuilder& patchI16(const std::string& mark, std::int16_t value);

    // Offsets: chunk starts "header", "vertices", "textures", "faces", "end", "chunk<tag>"; fields
    // "header.vertices", "header.faces", "textures.count", "textures.name1", "face2" (its first byte),
    // "face2.corners", "face2.texture", "face2.corner1" (the corner's vertex index).
    std::size_t at(const std::string& mark) const { return marks_.at(mark); }
    std::size_t size() const { return out_.size(); }
    Bytes bytes() const { return out_.bytes(); }

private:
    void begin(std::int32_t tag, const std::string& mark);
    void finish();
    void patch(std::size_t offset, std::int32_t value);

    std::int32_t version_;
    ByteBuilder out_;
    std::map<std::string, std::size_t> marks_;
    std::size_t lengthAt_ = 0;
};

// The room of a unit cube seen from outside: 8 vertices, 6 quads on two textures, clockwise as seen from outside.
std::vector<Vector3> CubeVertices();
std::vector<OrfFaceRecord> CubeFaces();
Bytes CubeRoom(std::int32_t version = 4);

}  // namespace torvale::test
