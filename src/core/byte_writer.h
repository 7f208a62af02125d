#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "core/little_endian.h"

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
    void writeU16(std::uint16_t value) { append<2>(value, StoreU16); }
    void writeI16(std::int16_t value) { writeU16(static_cast<std::uint16_t>(value)); }
    void writeU32(std::uint32_t value) { append<4>(value, StoreU32); }
    void writeI32(std::int32_t value) { writeU32(static_cast<std::uint32_t>(value)); }
    void writeF32(float value) { append<4>(value, StoreF32); }
    void writeBytes(std::span<const std::uint8_t> data) { bytes_.insert(bytes_.end(), data.begin(), data.end()); }
    void writeText(std::string_view text) { bytes_.insert(bytes_.end(), text.begin(), text.end()); }

    // Overwrites four bytes at an earlier position; the position must leave room for them.
    void patchI32(std::size_t at, std::int32_t value) {
        if (at > bytes_.size() || bytes_.size() - at < 4)
            throw std::out_of_range("patch outside the written bytes");
        StoreI32(bytes_.data() + at, value);
    }

private:
    template <std::size_t Size, typename T>
    void append(T value, void (*store)(std::uint8_t*, T)) {
        std::uint8_t raw[Size];
        store(raw, value);
        bytes_.insert(bytes_.end(), raw, raw + Size);
    }

    std::vector<std::uint8_t> bytes_;
};

}  // namespace torvale
