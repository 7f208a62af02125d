#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace torvale {

// How a bitmap file stored its pixels.
enum class PixelFormat {
    Bgr888,    // TGA, 24 bits
    Bgra8888,  // TGA, 32 bits
    Argb1555,  // OGF 122: bit 15 opaque, 5 bits each of red, green, blue
    Argb4444,  // OGF 121: 4 bits each of alpha, red, green, blue
    Rgb565,    // OGF 123, 124, 127: the game turns them into 1555, pure green becoming transparent
    Rgba8888,  // PNG (and anything made in memory)
};

// "1555", "4444", "565", "24-bit BGR", ...
std::string_view PixelFormatName(PixelFormat format);

// One level of a bitmap: RGBA, 8 bits a channel, rows from the top, no padding.
struct ImageLevel {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> rgba;  // width * height * 4 bytes
};

// A bitmap as this program holds it, and what its file said about it.
struct Image {
    ImageLevel level;              // the full-size image
    std::vector<ImageLevel> mips;  // the smaller levels the file stored, largest first (levels 1, 2, ...)
    std::uint8_t fileType = 0;     // the TGA image-type byte (2, 10, 121, 122, ...); 0 for other files
    PixelFormat format = PixelFormat::Rgba8888;
    std::string name;                // the name inside an OGF; empty for other files
    std::vector<std::string> notes;  // things worth telling that did not stop the reading

    std::uint32_t width() const { return level.width; }
    std::uint32_t height() const { return level.height; }
    std::size_t levelCount() const { return 1 + mips.size(); }
};

// A channel of `bits` bits widened to 8 by repeating its high bits below it: 31 -> 255, 16 -> 132 (5 bits);
// 15 -> 255 (4 bits). Then 0 stays 0 and the largest value becomes 255.
constexpr std::uint8_t WidenChannel(unsigned value, unsigned bits) {
    unsigned wide = value << (8 - bits);
    for (unsigned filled = bits; filled < 8; filled += bits)
        wide |= (value << (8 - bits)) >> filled;
    return static_cast<std::uint8_t>(wide & 0xFF);
}

}  // namespace torvale
