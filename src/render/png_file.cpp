#include "render/png_file.h"

#include "bitmap/png_image.h"
#include "core/atomic_file.h"

namespace torvale {

std::vector<std::uint8_t> EncodePng(const Frame& frame) {
    if (frame.width <= 0 || frame.height <= 0 ||
        frame.pixels.size() != static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(frame.height))
        return {};
    std::vector<std::uint8_t> rgb(frame.pixels.size() * 3);
    for (std::size_t i = 0; i < frame.pixels.size(); ++i) {
        const std::uint32_t pixel = frame.pixels[i];
        rgb[3 * i] = static_cast<std::uint8_t>(pixel >> 16);
        rgb[3 * i + 1] = static_cast<std::uint8_t>(pixel >> 8);
        rgb[3 * i + 2] = static_cast<std::uint8_t>(pixel);
    }
    return EncodePngPixels(static_cast<std::uint32_t>(frame.width), static_cast<std::uint32_t>(frame.height), 3, rgb);
}

bool WritePng(const std::string& path, const Frame& frame, std::string& error) {
    const std::vector<std::uint8_t> png = EncodePng(frame);
    if (png.empty()) {
        error = "the picture is empty or its size does not match its pixels";
        return false;
    }
    return ReplaceFileAtomically(path, png, error);
}

}  // namespace torvale
