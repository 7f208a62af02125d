#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

#include "core/byte_writer.h"
#include "oof/object_model.h"

namespace torvale {

// Chunk tags of a room file; the chunks always come in the order header, vertices, textures, faces, end.
inline constexpr std::int32_t kOrfHeaderTag = 5;
inline constexpr std::int32_t kOrfVertexTag = 1;
inline constexpr std::int32_t kOrfTextureTag = 4;
inline constexpr std::int32_t kOrfFaceTag = 2;
inline constexpr std::int32_t kOrfEndTag = 3;

inline constexpr std::int32_t kOrfHeaderConstant = 4;  // the header's first value, before V and F
inline constexpr std::uint8_t kOrfFaceMarker = 4;      // the first byte of every face record
inline constexpr std::size_t kOrfVectorBytes = 12;
inline constexpr std::size_t kOrfFaceRecordBytes = 19;
inline constexpr std::size_t kOrfCornerRecordBytes = 30;
inline constexpr std::size_t kOrfChunkHeadBytes = 8;  // tag and length

// Little-endian stores into a record. On a little-endian machine each is one plain store, which keeps the
// face chunk of a full model (millions of fields) close to copying speed.
inline void PutU16(std::uint8_t* at, std::uint16_t value) {
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(at, &value, 2);
    } else {
        at[0] = static_cast<std::uint8_t>(value);
        at[1] = static_cast<std::uint8_t>(value >> 8);
    }
}

inline void PutU32(std::uint8_t* at, std::uint32_t value) {
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(at, &value, 4);
    } else {
        for (int i = 0; i < 4; ++i)
            at[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

inline void PutF32(std::uint8_t* at, float value) {
    PutU32(at, std::bit_cast<std::uint32_t>(value));
}

// Fills a block of records (vertices, or faces with their corners) in place. The block's size is known before
// it is filled; a record that would not fit throws std::length_error, which only a miscounted block can cause.
class OrfRecords {
public:
    explicit OrfRecords(std::span<std::uint8_t> block) : at_(block.data()), end_(block.data() + block.size()) {}

    void vector(const Vector3& value) {
        std::uint8_t* at = take(kOrfVectorBytes);
        PutF32(at, value.x);
        PutF32(at + 4, value.y);
        PutF32(at + 8, value.z);
    }

    // Positions copied bit for bit, in one step where the machine's float layout is the file's.
    void vectors(std::span<const Vector3> values) {
        if constexpr (std::endian::native == std::endian::little && sizeof(Vector3) == kOrfVectorBytes) {
            std::uint8_t* at = take(kOrfVectorBytes * values.size());
            if (!values.empty())
                std::memcpy(at, values.data(), kOrfVectorBytes * values.size());
        } else {
            for (const Vector3& value : values)
                vector(value);
        }
    }

    // A face record and its corner records. The face record's 19 bytes: the marker 4, the corner count, the
    // normal and the texture index. Each corner record's 30 bytes: the corner's vertex index plus
    // `vertexBase`, u, v, four zero int32 and the float 1.0 (00 00 80 3F).
    void face(const Vector3& normal,
              std::int16_t textureIndex,
              std::span<const FaceVertex> corners,
              std::int32_t vertexBase) {
        std::uint8_t* at = take(kOrfFaceRecordBytes + kOrfCornerRecordBytes * corners.size());
        at[0] = kOrfFaceMarker;
        PutU32(at + 1, static_cast<std::uint32_t>(corners.size()));
        PutF32(at + 5, normal.x);
        PutF32(at + 9, normal.y);
        PutF32(at + 13, normal.z);
        PutU16(at + 17, static_cast<std::uint16_t>(textureIndex));
        at += kOrfFaceRecordBytes;
        for (const FaceVertex& corner : corners) {
            PutU16(at, static_cast<std::uint16_t>(corner.vertexIndex + vertexBase));
            PutF32(at + 2, corner.u);
            PutF32(at + 6, corner.v);
            std::memset(at + 10, 0, 16);
            PutF32(at + 26, 1.0f);
            at += kOrfCornerRecordBytes;
        }
    }

    std::size_t remaining() const { return static_cast<std::size_t>(end_ - at_); }

private:
    std::uint8_t* take(std::size_t size) {
        if (remaining() < size)
            Overrun();
        std::uint8_t* record = at_;
        at_ += size;
        return record;
    }
    [[noreturn]] static void Overrun();

    std::uint8_t* at_;
    std::uint8_t* end_;
};

// Builds one room file in memory. Every chunk but the last starts with its tag and the placeholder length -1;
// once its content is written, patchLength() puts the content's byte count in its place.
class OrfWriter {
public:
    void reserve(std::size_t size) { out_.reserve(size); }

    // Writes the tag and the placeholder -1 (FF FF FF FF), remembering where the length field is.
    void beginChunk(std::int32_t tag);
    // Writes P - L - 4 into the remembered length field at L, P being the current end of the file.
    void patchLength();
    // The end chunk: tag 3 and the length 4, although nothing follows it.
    void finishFile();

    void writeI32(std::int32_t value) { out_.writeI32(value); }
    // One name: its bytes as given (the caller supplies the terminating zero).
    void writeName(std::string_view name) { out_.writeText(name); }
    // Appends `size` bytes for records and returns them to be filled; valid until the next write.
    OrfRecords appendRecords(std::size_t size) { return OrfRecords(out_.appendZeros(size)); }

    std::size_t position() const { return out_.position(); }
    const std::vector<std::uint8_t>& bytes() const { return out_.bytes(); }
    std::vector<std::uint8_t> release() { return out_.release(); }

private:
    ByteWriter out_;
    std::size_t lengthAt_ = 0;
};

}  // namespace torvale
