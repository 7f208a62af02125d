#include "builders/orf_builder.h"

#include "builders/seeds.h"

namespace torvale::test {

void OrfBuilder::begin(std::int32_t tag, const std::string& mark) {
    marks_[mark] = out_.size();
    out_.i32(tag);
    lengthAt_ = out_.size();
    out_.i32(0);
}

void OrfBuilder::finish() {
    patch(lengthAt_, static_cast<std::int32_t>(out_.size() - lengthAt_ - 4));
}

void OrfBuilder::patch(std::size_t offset, std::int32_t value) {
    Bytes bytes = out_.take();
    const auto v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        bytes.at(offset + static_cast<std::size_t>(i)) = static_cast<std::uint8_t>(v >> (8 * i));
    out_.raw(bytes);
}

OrfBuilder& OrfBuilder::header(std::int32_t vertexCount, std::int32_t faceCount) {
    begin(version_ == 0 ? 0 : 5, "header");
    if (version_ != 0)
        out_.i32(version_);
    marks_["header.vertices"] = out_.size();
    out_.i32(vertexCount);
    marks_["header.faces"] = out_.size();
    out_.i32(faceCount);
    finish();
    return *this;
}

OrfBuilder& OrfBuilder::vertices(const std::vector<Vector3>& positions) {
    begin(1, "vertices");
    for (const Vector3& p : positions)
        out_.vec(p.x, p.y, p.z);
    finish();
    return *this;
}

OrfBuilder& OrfBuilder::textures(const std::vector<std::string>& names) {
    begin(4, "textures");
    marks_["textures.count"] = out_.size();
    out_.i32(static_cast<std::int32_t>(names.size()));
    for (std::size_t k = 0; k < names.size(); ++k) {
        marks_["textures.name" + std::to_string(k)] = out_.size();
        out_.text(names[k]).u8(0);
    }
    finish();
    return *this;
}

OrfBuilder& OrfBuilder::faces(const std::vector<OrfFaceRecord>& faces) {
    begin(2, "faces");
    for (std::size_t f = 0; f < faces.size(); ++f) {
        const std::string face = "face" + std::to_string(f);
        const OrfFaceRecord& fields = faces[f];
        marks_[face] = out_.size();
        if (version_ >= 4)
            out_.u8(fields.lightMultiple);
        marks_[face + ".corners"] = out_.size();
        out_.i32(static_cast<std::int32_t>(fields.corners.size()));
        out_.vec(fields.normal.x, fields.normal.y, fields.normal.z);
        marks_[face + ".texture"] = out_.size();
        out_.i16(fields.texture);
        for (std::size_t k = 0; k < fields.corners.size(); ++k) {
            const OrfCornerRecord& c = fields.corners[k];
            marks_[face + ".corner" + std::to_string(k)] = out_.size();
            out_.i16(c.vertex).f32(c.u).f32(c.v);
            out_.f32(0.25f).f32(-3.0f).f32(7.0f).f32(0.0f);  // read and ignored by the editor
            if (version_ >= 1)
                out_.f32(c.alpha);
        }
    }
    finish();
    return *this;
}

OrfBuilder& OrfBuilder::chunk(std::int32_t tag, const Bytes& body) {
    begin(tag, "chunk" + std::to_string(tag));
    out_.raw(body);
    finish();
    return *this;
}

OrfBuilder& OrfBuilder::end(std::int32_t length) {
    begin(3, "end");
    patch(lengthAt_, length);
    return *this;
}

OrfBuilder& OrfBuilder::room(const std::vector<Vector3>& positions,
                             const std::vector<std::string>& names,
                             const std::vector<OrfFaceRecord>& faceList) {
    header(static_cast<std::int32_t>(positions.size()), static_cast<std::int32_t>(faceList.size()));
    vertices(positions).textures(names).faces(faceList);
    return end();
}

OrfBuilder& OrfBuilder::tail(const Bytes& bytes) {
    out_.raw(bytes);
    return *this;
}

OrfBuilder& OrfBuilder::statedLength(std::int32_t length) {
    patch(lengthAt_, length);
    return *this;
}

OrfBuilder& OrfBuilder::patchI32(const std::string& mark, std::int32_t value) {
    patch(at(mark), value);
    return *this;
}

OrfBuilder& OrfBuilder::patchI16(const std::string& mark, std::int16_t value) {
    Bytes bytes = out_.take();
    bytes.at(at(mark)) = static_cast<std::uint8_t>(static_cast<std::uint16_t>(value) & 0xFF);
    bytes.at(at(mark) + 1) = static_cast<std::uint8_t>(static_cast<std::uint16_t>(value) >> 8);
    out_.raw(bytes);
    return *this;
}

std::vector<Vector3> CubeVertices() {
    return {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};
}

std::vector<OrfFaceRecord> CubeFaces() {
    // Clockwise seen from outside, with the outward normal stored: (b - a) x (c - b) points outwards.
    auto quad = [](int a, int b, int c, int d, Vector3 normal, int texture) {
        return OrfFaceRecord{normal, texture, 4, {{a, 0, 0, 1}, {b, 1, 0, 1}, {c, 1, 1, 1}, {d, 0, 1, 1}}};
    };
    return {quad(0, 3, 2, 1, {0, 0, -1}, 0), quad(4, 5, 6, 7, {0, 0, 1}, 0),  quad(0, 1, 5, 4, {0, -1, 0}, 1),
            quad(3, 7, 6, 2, {0, 1, 0}, 1),  quad(0, 4, 7, 3, {-1, 0, 0}, 0), quad(1, 2, 6, 5, {1, 0, 0}, 1)};
}

Bytes CubeRoom(std::int32_t version) {
    return OrfBuilder(version).room(CubeVertices(), {"rock1", "metal_plate"}, CubeFaces()).bytes();
}

Seeds OrfSeeds() {
    Seeds seeds;
    for (std::int32_t version = 0; version <= 5; ++version)
        seeds.emplace_back("cube_v" + std::to_string(version), CubeRoom(version));
    OrfBuilder unknown(3);
    unknown.header(8, 6).chunk(9, {1, 2, 3}).vertices(CubeVertices()).textures({"a", "b"}).faces(CubeFaces());
    seeds.emplace_back("unknown_chunk", unknown.end(0).bytes());
    OrfBuilder open(4);
    seeds.emplace_back("no_end", open.header(8, 6).vertices(CubeVertices()).textures({"a", "b"}).bytes());
    return seeds;
}

}  // namespace torvale::test
