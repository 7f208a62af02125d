#pragma once

// Test-side byte assembly, written independently of the program's own ByteWriter so that a mistake in one
// cannot hide in the other.

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace torvale::test {

using Bytes = std::vector<std::uint8_t>;

class ByteBuilder {
public:
    ByteBuilder& u8(unsigned value) {
        bytes_.push_back(static_cast<std::uint8_t>(value & 0xFF));
        return *this;
    }
    ByteBuilder& i16(int value) {
        const auto v = static_cast<std::uint16_t>(value);
        return u8(v & 0xFF).u8(v >> 8);
    }
    ByteBuilder& i32(std::int64_t value) {
        const auto v = static_cast<std::uint32_t>(value);
        return u8(v & 0xFF).u8((v >> 8) & 0xFF).u8((v >> 16) & 0xFF).u8(v >> 24);
    }
    ByteBuilder& f32(float value) {
        std::uint32_t raw;
        std::memcpy(&raw, &value, 4);
        return i32(static_cast<std::int32_t>(raw));
    }
    ByteBuilder& vec(float x, float y, float z) { return f32(x).f32(y).f32(z); }
    ByteBuilder& text(std::string_view s) {
        bytes_.insert(bytes_.end(), s.begin(), s.end());
        return *this;
    }
    ByteBuilder& raw(const Bytes& more) {
        bytes_.insert(bytes_.end(), more.begin(), more.end());
        return *this;
    }
    std::size_t size() const { return bytes_.size(); }
    const Bytes& bytes() const { return bytes_; }
    Bytes take() { return std::move(bytes_); }

private:
    Bytes bytes_;
};

// Reading back little-endian values from bytes under test.
inline std::int32_t I32At(const Bytes& b, std::size_t at) {
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(b.at(at)) | (static_cast<std::uint32_t>(b.at(at + 1)) << 8) |
        (static_cast<std::uint32_t>(b.at(at + 2)) << 16) | (static_cast<std::uint32_t>(b.at(at + 3)) << 24));
}
inline std::int16_t I16At(const Bytes& b, std::size_t at) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(b.at(at) | (b.at(at + 1) << 8)));
}
inline float F32At(const Bytes& b, std::size_t at) {
    const auto raw = static_cast<std::uint32_t>(I32At(b, at));
    float f;
    std::memcpy(&f, &raw, 4);
    return f;
}

// Writes bytes to a file with plain stdio (the tests' own file writer).
bool WriteTestFile(const std::string& path, const Bytes& bytes);
Bytes ReadTestFile(const std::string& path);

}  // namespace torvale::test
