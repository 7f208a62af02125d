#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "core/little_endian.h"

namespace torvale {

// Little-endian reader over a block of memory. Every read checks the bytes left first; a read that does
// not fit returns false and moves nothing, so the caller can say exactly where the data ran out.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t position() const { return position_; }
    std::size_t remaining() const { return bytes_.size() - position_; }
    std::size_t size() const { return bytes_.size(); }
    bool atEnd() const { return position_ == bytes_.size(); }

    // True when `count` elements of `elementSize` bytes each fit in what is left, without overflow.
    bool canHold(std::size_t count, std::size_t elementSize) const {
        return elementSize == 0 || count <= remaining() / elementSize;
    }

    [[nodiscard]] bool readU8(std::uint8_t& out) {
        if (remaining() < 1)
            return false;
        out = bytes_[position_++];
        return true;
    }
    [[nodiscard]] bool readU16(std::uint16_t& out) {
        if (remaining() < 2)
            return false;
        out = LoadU16(bytes_.data() + position_);
        position_ += 2;
        return true;
    }
    [[nodiscard]] bool readI16(std::int16_t& out) {
        std::uint16_t raw = 0;
        if (!readU16(raw))
            return false;
        out = static_cast<std::int16_t>(raw);
        return true;
    }
    [[nodiscard]] bool readU32(std::uint32_t& out) {
        if (remaining() < 4)
            return false;
        out = LoadU32(bytes_.data() + position_);
        position_ += 4;
        return true;
    }
    [[nodiscard]] bool readI32(std::int32_t& out) {
        std::uint32_t raw = 0;
        if (!readU32(raw))
            return false;
        out = static_cast<std::int32_t>(raw);
        return true;
    }
    [[nodiscard]] bool readF32(float& out) {
        if (remaining() < 4)
            return false;
        out = LoadF32(bytes_.data() + position_);
        position_ += 4;
        return true;
    }
    // Appends `count` bytes, one character each, to `out`.
    [[nodiscard]] bool readText(std::size_t count, std::string& out);
    [[nodiscard]] bool readBytes(std::size_t count, std::span<const std::uint8_t>& out);
    [[nodiscard]] bool skip(std::size_t count) {
        if (remaining() < count)
            return false;
        position_ += count;
        return true;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

}  // namespace torvale
