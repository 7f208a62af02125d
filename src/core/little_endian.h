#pragma once

// Loads and stores of the little-endian numbers every game file uses. The caller has made sure the bytes are
// there. On a little-endian machine each is one plain (unaligned) memory access.

#include <bit>
#include <cstdint>
#include <cstring>

namespace torvale {

inline std::uint16_t LoadU16(const std::uint8_t* p) {
    if constexpr (std::endian::native == std::endian::little) {
        std::uint16_t value;
        std::memcpy(&value, p, 2);
        return value;
    } else {
        return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
    }
}

inline std::uint32_t LoadU32(const std::uint8_t* p) {
    if constexpr (std::endian::native == std::endian::little) {
        std::uint32_t value;
        std::memcpy(&value, p, 4);
        return value;
    } else {
        return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
               (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
    }
}

inline std::int16_t LoadI16(const std::uint8_t* p) {
    return static_cast<std::int16_t>(LoadU16(p));
}
inline std::int32_t LoadI32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(LoadU32(p));
}
inline float LoadF32(const std::uint8_t* p) {
    return std::bit_cast<float>(LoadU32(p));
}

inline void StoreU16(std::uint8_t* at, std::uint16_t value) {
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(at, &value, 2);
    } else {
        at[0] = static_cast<std::uint8_t>(value);
        at[1] = static_cast<std::uint8_t>(value >> 8);
    }
}

inline void StoreU32(std::uint8_t* at, std::uint32_t value) {
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(at, &value, 4);
    } else {
        for (int i = 0; i < 4; ++i)
            at[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

inline void StoreI32(std::uint8_t* at, std::int32_t value) {
    StoreU32(at, static_cast<std::uint32_t>(value));
}
inline void StoreF32(std::uint8_t* at, float value) {
    StoreU32(at, std::bit_cast<std::uint32_t>(value));
}

}  // namespace torvale
