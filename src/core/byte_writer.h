#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace torvale {

// Little-endian writer that builds a whole file in memory, so that lengths can be patched in place and the
// file replaced in one step.
class ByteWriter {
public:
    std::size_t position() const { return bytes_.size(); }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    std::vector<std::uint8_t> release() { return std::move(bytes_); }
    void reserve(std::size_t size) { bytes_.reserve(size); }

    void writeU8(std::uint8_t value) { bytes_.push_back(value); }
    void writeU16(std::uint16_t value) {
        bytes_.push_back(static_cast<std::uint8_t>(value));
        bytes_.push_back(static_cast<std::uint8_t>(value >> 8));
    }
    void writeI16(std::int16_t value) { writeU16(static_cast<std::uint16_t>(value)); }
    void writeU32(std::uint32_t value) {
        const std::uint8_t raw[4] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                     static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
        bytes_.insert(bytes_.end(), raw, raw + 4);
    }
    void writeI32(std::int32_t value) { writeU32(static_cast<std::uint32_t>(value)); }
    void writeF32(float value) { writeU32(std::bit_cast<std::uint32_t>(value)); }
    void writeBytes(std::span<const std::uint8_t> data) { bytes_.insert(bytes_.end(), data.begin(), data.end()); }
    void writeText(std::string_view text) { bytes_.insert(bytes_.end(), text.begin(), text.end()); }
    // Appends `count` zero bytes and returns them, so that a block of records of known size can be filled in
    // place. The span stays valid until the next write.
    std::span<std::uint8_t> appendZeros(std::size_t count) {
        const std::size_t at = bytes_.size();
        bytes_.resize(at + count);
        return {bytes_.data() + at, count};
    }

    // Overwrites four bytes at an earlier position; the position must leave room for them.
    void patchI32(std::size_t at, std::int32_t value) {
        const auto raw = static_cast<std::uint32_t>(value);
        for (std::size_t i = 0; i < 4; ++i)
            bytes_.at(at + i) = static_cast<std::uint8_t>(raw >> (8 * i));
    }

private:
    std::vector<std::uint8_t> bytes_;
};

}  // namespace torvale
