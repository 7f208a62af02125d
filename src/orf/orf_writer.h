#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

#include "core/byte_writer.h"
#include "core/little_endian.h"
#include "orf/room.h"

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

// Fills a block of records (vertices, or faces with their corners) whose size is known before it is filled.
// Records are put together in a small buffer of its own and appended to the file a few kilobytes at a time, so
// the file's bytes are written once and never zero-filled first. A record beyond the announced size, or a
// block closed short of it, throws std::length_error, which only a miscounted block can cause.
class OrfRecords {
public:
    OrfRecords(ByteWriter& out, std::size_t size) : out_(out), left_(size) {}
    OrfRecords(const OrfRecords&) = delete;
    OrfRecords& operator=(const OrfRecords&) = delete;

    void vector(const Vector3& value) {
        std::uint8_t* at = take(kOrfVectorBytes);
        StoreF32(at, value.x);
        StoreF32(at + 4, value.y);
        StoreF32(at + 8, value.z);
    }

    // Positions copied bit for bit, in one step where the machine's float layout is the file's.
    void vectors(std::span<const Vector3> values) {
        if constexpr (std::endian::native == std::endian::little && sizeof(Vector3) == kOrfVectorBytes) {
            const std::size_t size = kOrfVectorBytes * values.size();
            claim(size);
            flush();
            if (!values.empty())
                out_.writeBytes({reinterpret_cast<const std::uint8_t*>(values.data()), size});
        } else {
            for (const Vector3& value : values)
                vector(value);
        }
    }

    // A face record and its corner records. The face record's 19 bytes: the light multiple (4 in the rooms we
    // write), the corner count, the normal and the texture index. Each corner record's 30 bytes: the corner's
    // vertex index, u, v, four zero int32 and the alpha (1.0 is 00 00 80 3F).
    void face(const RoomFace& face, std::span<const RoomCorner> corners) {
        std::uint8_t* at = take(kOrfFaceRecordBytes);
        at[0] = face.lightMultiple;
        StoreU32(at + 1, static_cast<std::uint32_t>(corners.size()));
        StoreF32(at + 5, face.normal.x);
        StoreF32(at + 9, face.normal.y);
        StoreF32(at + 13, face.normal.z);
        StoreU16(at + 17, static_cast<std::uint16_t>(face.texture));
        for (const RoomCorner& c : corners)
            corner(c);
    }

    // Appends what is still buffered; the block must then be exactly full.
    void close() {
        flush();
        if (left_ != 0)
            Overrun();
    }

private:
    void corner(const RoomCorner& c) {
        std::uint8_t* at = take(kOrfCornerRecordBytes);
        StoreU16(at, static_cast<std::uint16_t>(c.vertex));
        StoreF32(at + 2, c.u);
        StoreF32(at + 6, c.v);
        std::memset(at + 10, 0, 16);
        StoreF32(at + 26, c.alpha);
    }
    void claim(std::size_t size) {
        if (left_ < size)
            Overrun();
        left_ -= size;
    }
    // Room for one record (at most a corner record) in the buffer.
    std::uint8_t* take(std::size_t size) {
        claim(size);
        if (sizeof buffer_ - used_ < size)
            flush();
        std::uint8_t* record = buffer_ + used_;
        used_ += size;
        return record;
    }
    void flush() {
        out_.writeBytes({buffer_, used_});
        used_ = 0;
    }
    [[noreturn]] static void Overrun();

    ByteWriter& out_;
    std::size_t left_;
    std::size_t used_ = 0;
    std::uint8_t buffer_[8192];
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
    // A block of `size` bytes of records, filled through the returned object and closed before the next write.
    OrfRecords appendRecords(std::size_t size) { return OrfRecords(out_, size); }

    std::size_t position() const { return out_.position(); }
    const std::vector<std::uint8_t>& bytes() const { return out_.bytes(); }
    std::vector<std::uint8_t> release() { return out_.release(); }

private:
    ByteWriter out_;
    std::size_t lengthAt_ = 0;
};

// The bytes of a room file holding `room` in the layout of version 4 (the version every room we write states),
// its names each followed by one zero byte.
std::vector<std::uint8_t> EncodeRoom(const Room& room);

}  // namespace torvale
