#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/byte_reader.h"

namespace torvale {

// How a binary format words its refusals. Each is one line,
//   <lead><chunk> at byte <offset><rest>
// ("at byte <offset><rest>" before the first chunk),
// and a field that the end of the data cuts short has as its <rest>
//   <cutShortBefore><field><cutShortAfter>.
struct RefusalWording {
    std::string_view lead;            // "Error: ", or nothing when the caller puts the file's name first
    std::string_view cutShortBefore;  // ": the file ends inside "
    std::string_view cutShortAfter;
};

// The reader every binary format reads its fields with: a ByteReader that knows the chunk it is in (a tag or a
// name, and where it starts) and turns a read that does not fit into the one refusal line that says which
// field, which chunk and which byte. A failed read moves nothing. Offsets in refusals are file offsets: `base`
// is the file offset of the first of `bytes`, for a reader over a piece of a file.
class FieldReader : public ByteReader {
public:
    FieldReader(std::span<const std::uint8_t> bytes, const RefusalWording& wording, std::size_t base = 0)
        : ByteReader(bytes), bytes_(bytes), wording_(wording), base_(base) {}

    // From here on refusals name `name`; `start` is where the chunk begins, a position in these bytes.
    void enterChunk(std::string_view name, std::size_t start) {
        chunk_.assign(name);
        chunkStart_ = start;
    }
    const std::string& chunk() const { return chunk_; }
    std::size_t chunkStart() const { return chunkStart_; }

    // Named field reads: a read that the end of the data cuts short refuses, naming `field`.
    [[nodiscard]] bool u8(std::uint8_t& out, std::string_view field) { return readU8(out) || cutShort(field); }
    [[nodiscard]] bool i16(std::int16_t& out, std::string_view field) { return readI16(out) || cutShort(field); }
    [[nodiscard]] bool u16(std::uint16_t& out, std::string_view field) { return readU16(out) || cutShort(field); }
    [[nodiscard]] bool i32(std::int32_t& out, std::string_view field) { return readI32(out) || cutShort(field); }
    [[nodiscard]] bool u32(std::uint32_t& out, std::string_view field) { return readU32(out) || cutShort(field); }
    [[nodiscard]] bool f32(float& out, std::string_view field) { return readF32(out) || cutShort(field); }
    // `count` bytes appended to `out` one character each, or a view of them, or passed over.
    [[nodiscard]] bool text(std::size_t count, std::string& out, std::string_view field) {
        return readText(count, out) || cutShort(field);
    }
    [[nodiscard]] bool bytes(std::size_t count, std::span<const std::uint8_t>& out, std::string_view field) {
        return readBytes(count, out) || cutShort(field);
    }
    [[nodiscard]] bool pass(std::size_t count, std::string_view field) { return skip(count) || cutShort(field); }
    // True when `count` bytes are left; otherwise the refusal for `field` cut short here. For a field of several
    // values that is refused whole, at its start.
    [[nodiscard]] bool need(std::size_t count, std::string_view field) {
        return remaining() >= count || cutShort(field);
    }

    // The file offset of position `at` of these bytes.
    std::size_t fileOffset(std::size_t at) const { return base_ + at; }

    // The bytes at the reading position; for runs whose presence has been checked.
    const std::uint8_t* here() const { return bytes_.data() + position(); }
    // The end of the bytes, for decoding a checked run in place.
    const std::uint8_t* end() const { return bytes_.data() + bytes_.size(); }

    // The refusal of a fault at position `at` of these bytes in the current chunk: sets error() to its line and
    // returns false, so that a check reads `return ok || in.refuse(at, ": why")`. The first refusal stays.
    bool refuse(std::size_t at, std::string_view rest);
    // The same at the chunk's start, for a fault of the chunk as a whole.
    bool refuseChunk(std::string_view rest) { return refuse(chunkStart_, rest); }
    // The line of such a refusal, without setting it.
    std::string refusal(std::size_t at, std::string_view rest) const;

    // The refusal of `field` cut short by the end of the data at the reading position; returns false.
    bool cutShort(std::string_view field);

    bool failed() const { return !error_.empty(); }
    const std::string& error() const { return error_; }

private:
    std::span<const std::uint8_t> bytes_;
    RefusalWording wording_;
    std::size_t base_;
    std::string chunk_;
    std::size_t chunkStart_ = 0;
    std::string error_;
};

}  // namespace torvale
