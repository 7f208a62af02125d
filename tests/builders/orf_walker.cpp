#include "builders/orf_walker.h"

namespace torvale::test {
namespace {

class Cursor {
public:
    explicit Cursor(const Bytes& bytes) : bytes_(bytes) {}

    std::size_t at() const { return at_; }
    bool has(std::size_t count) const { return count <= bytes_.size() - at_; }
    bool atEnd() const { return at_ == bytes_.size(); }

    bool i32(std::int32_t& out) {
        if (!has(4))
            return false;
        out = I32At(bytes_, at_);
        at_ += 4;
        return true;
    }
    bool i16(std::int16_t& out) {
        if (!has(2))
            return false;
        out = I16At(bytes_, at_);
        at_ += 2;
        return true;
    }
    bool f32(float& out) {
        if (!has(4))
            return false;
        out = F32At(bytes_, at_);
        at_ += 4;
        return true;
    }
    bool u8(std::uint8_t& out) {
        if (!has(1))
            return false;
        out = bytes_[at_++];
        return true;
    }

private:
    const Bytes& bytes_;
    std::size_t at_ = 0;
};

struct Walker {
    Cursor cursor;
    OrfWalk result;

    bool fail(const std::string& what) {
        result.ok = false;
        result.problem = "at byte " + std::to_string(cursor.at()) + ": " + what;
        return false;
    }

    // Reads a chunk's tag and length; `bodyStart` is where its content begins.
    bool chunk(std::int32_t expectedTag, std::size_t index, std::size_t& bodyStart) {
        std::int32_t tag = 0;
        std::int32_t length = 0;
        if (!cursor.i32(tag) || !cursor.i32(length))
            return fail("file ends inside a chunk head");
        if (tag != expectedTag) {
            return fail("chunk " + std::to_string(index + 1) + " has tag " + std::to_string(tag) + ", expected " +
                        std::to_string(expectedTag));
        }
        result.room.lengths[index] = length;
        bodyStart = cursor.at();
        return true;
    }

    bool closeChunk(std::size_t index, std::size_t bodyStart) {
        const auto body = static_cast<std::int64_t>(cursor.at() - bodyStart);
        if (body != result.room.lengths[index]) {
            return fail("chunk " + std::to_string(index + 1) + " says " + std::to_string(result.room.lengths[index]) +
                        " bytes, its content is " + std::to_string(body));
        }
        return true;
    }

    bool header() {
        std::size_t start = 0;
        std::int32_t constant = 0;
        if (!chunk(5, 0, start))
            return false;
        OrfRoom& room = result.room;
        if (!cursor.i32(constant) || !cursor.i32(room.vertexCount) || !cursor.i32(room.faceCount)) {
            return fail("header cut short");
        }
        if (constant != 4)
            return fail("header constant " + std::to_string(constant));
        if (room.vertexCount < 0 || room.faceCount < 0)
            return fail("negative counts");
        return closeChunk(0, start);
    }

    bool vertices() {
        std::size_t start = 0;
        if (!chunk(1, 1, start))
            return false;
        for (std::int32_t i = 0; i < result.room.vertexCount; ++i) {
            std::array<float, 3> v{};
            if (!cursor.f32(v[0]) || !cursor.f32(v[1]) || !cursor.f32(v[2]))
                return fail("vertices cut short");
            result.room.vertices.push_back(v);
        }
        return closeChunk(1, start);
    }

    bool textures() {
        std::size_t start = 0;
        std::int32_t count = 0;
        if (!chunk(4, 2, start))
            return false;
        if (!cursor.i32(count))
            return fail("texture count cut short");
        if (count < 1)
            return fail("a room lists " + std::to_string(count) + " names");
        for (std::int32_t i = 0; i < count; ++i) {
            std::string name;
            std::uint8_t c = 0;
            for (;;) {
                if (!cursor.u8(c))
                    return fail("name " + std::to_string(i) + " has no terminating zero");
                if (c == 0)
                    break;
                name += static_cast<char>(c);
            }
            result.room.names.push_back(name);
        }
        return closeChunk(2, start);
    }

    bool corner(OrfFace& face) {
        OrfCorner c;
        if (!cursor.i16(c.vertex) || !cursor.f32(c.u) || !cursor.f32(c.v))
            return fail("corner cut short");
        for (int k = 0; k < 4; ++k) {
            std::int32_t zero = -1;
            if (!cursor.i32(zero))
                return fail("corner cut short");
            if (zero != 0)
                return fail("corner padding is not zero");
        }
        std::int32_t one = 0;
        if (!cursor.i32(one))
            return fail("corner cut short");
        if (one != 0x3F800000)
            return fail("corner does not end in 00 00 80 3F");
        face.corners.push_back(c);
        return true;
    }

    bool faces() {
        std::size_t start = 0;
        if (!chunk(2, 3, start))
            return false;
        for (std::int32_t i = 0; i < result.room.faceCount; ++i) {
            OrfFace face;
            std::uint8_t marker = 0;
            if (!cursor.u8(marker) || !cursor.i32(face.cornerCount) || !cursor.f32(face.normal[0]) ||
                !cursor.f32(face.normal[1]) || !cursor.f32(face.normal[2]) || !cursor.i16(face.texture)) {
                return fail("face record cut short");
            }
            if (marker != 4)
                return fail("face record starts with " + std::to_string(marker));
            if (face.cornerCount < 0)
                return fail("negative corner count");
            for (std::int32_t k = 0; k < face.cornerCount; ++k) {
                if (!corner(face))
                    return false;
            }
            result.room.faces.push_back(std::move(face));
        }
        return closeChunk(3, start);
    }

    bool end() {
        std::size_t start = 0;
        if (!chunk(3, 4, start))
            return false;
        if (result.room.lengths[4] != 4)
            return fail("end chunk length " + std::to_string(result.room.lengths[4]));
        if (!cursor.atEnd())
            return fail("bytes after the end chunk");
        return true;
    }
};

}  // namespace

OrfWalk WalkOrf(const Bytes& bytes) {
    Walker walker{Cursor(bytes), {}};
    if (walker.header() && walker.vertices() && walker.textures() && walker.faces() && walker.end()) {
        walker.result.ok = true;
    }
    return std::move(walker.result);
}

}  // namespace torvale::test
