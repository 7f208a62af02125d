#include "render/png_file.h"

#include "core/atomic_file.h"

// The encoder is compiled here and nowhere else; its functions stay private to this file.
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
// Optimised builds see through the encoder's allocation checks less well than its authors did.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnull-dereference"
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace torvale {
namespace {

void Append(void* context, void* data, int size) {
    auto* bytes = static_cast<std::vector<std::uint8_t>*>(context);
    const auto* begin = static_cast<const std::uint8_t*>(data);
    bytes->insert(bytes->end(), begin, begin + size);
}

}  // namespace

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
    std::vector<std::uint8_t> png;
    if (stbi_write_png_to_func(Append, &png, frame.width, frame.height, 3, rgb.data(), frame.width * 3) == 0)
        return {};
    return png;
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
