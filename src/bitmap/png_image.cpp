#include "bitmap/png_image.h"

#include <algorithm>
#include <climits>
#include <cstring>

// The decoder and the encoder are compiled here for the bitmaps and stay private to this file.
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnull-dereference"
#include <stb/stb_image.h>
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace torvale {
namespace {

constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// Deflate makes at most 1032 bytes of one, and a pixel takes at least one bit of them: a PNG that claims more
// pixels than that could never hold them, and is refused before its pixels are allocated.
constexpr std::uint64_t kMostPixelsPerByte = 1032 * 8;
// And however well it packs, no image larger than 8192 x 8192 (256 MB of pixels) is read.
constexpr std::uint64_t kLargestPng = std::uint64_t{8192} * 8192;

std::uint32_t BigEndianAt(std::span<const std::uint8_t> bytes, std::size_t at) {
    return std::uint32_t{bytes[at]} << 24 | std::uint32_t{bytes[at + 1]} << 16 | std::uint32_t{bytes[at + 2]} << 8 |
           bytes[at + 3];
}

void Append(void* context, void* data, int size) {
    auto* bytes = static_cast<std::vector<std::uint8_t>*>(context);
    const auto* begin = static_cast<const std::uint8_t*>(data);
    bytes->insert(bytes->end(), begin, begin + size);
}

}  // namespace

bool IsPng(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= sizeof kSignature && std::equal(kSignature, kSignature + sizeof kSignature, bytes.data());
}

bool ReadPngImage(std::span<const std::uint8_t> bytes, Image& image, std::string& error) {
    constexpr std::size_t kHeaderEnd = 24;  // signature, IHDR's length and tag, width and height
    if (!IsPng(bytes) || bytes.size() < kHeaderEnd || std::memcmp(bytes.data() + 12, "IHDR", 4) != 0) {
        error = "not a PNG file, or its header is cut short";
        return false;
    }
    const std::uint64_t width = BigEndianAt(bytes, 16);
    const std::uint64_t height = BigEndianAt(bytes, 20);
    if (bytes.size() > INT_MAX || width * height > bytes.size() * kMostPixelsPerByte) {
        error = "the PNG header claims " + std::to_string(width) + " x " + std::to_string(height) +
                " pixels, more than its " + std::to_string(bytes.size()) + " bytes can hold";
        return false;
    }
    if (width * height > kLargestPng) {
        error = "the PNG is " + std::to_string(width) + " x " + std::to_string(height) + " pixels, more than the " +
                std::to_string(kLargestPng) + " this program reads";
        return false;
    }
    // The decoder stops once it has its pixels; a file cut short after them is refused here, so that a
    // damaged PNG is never taken for a whole one.
    for (std::size_t at = 8;;) {
        if (bytes.size() - at < 12) {
            error = "the PNG is cut short: it ends at byte " + std::to_string(bytes.size()) + " before its IEND chunk";
            return false;
        }
        const std::uint64_t length = BigEndianAt(bytes, at);
        if (std::memcmp(bytes.data() + at + 4, "IEND", 4) == 0)
            break;
        if (length > bytes.size() - at - 12) {
            error = "the PNG is cut short: the chunk at byte " + std::to_string(at) + " runs past its end";
            return false;
        }
        at += 12 + static_cast<std::size_t>(length);
    }
    int w = 0;
    int h = 0;
    int channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &w, &h, &channels, 4);
    if (pixels == nullptr) {
        // The decoder's reason may quote a chunk's tag, whose bytes are the file's: keep the line one line.
        std::string reason = stbi_failure_reason();
        std::replace_if(
            reason.begin(), reason.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }, '?');
        error = "the PNG data cannot be decoded: " + reason;
        return false;
    }
    Image read;
    read.level.width = static_cast<std::uint32_t>(w);
    read.level.height = static_cast<std::uint32_t>(h);
    read.level.rgba.assign(pixels, pixels + static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4);
    stbi_image_free(pixels);
    image = std::move(read);
    return true;
}

std::vector<std::uint8_t> EncodePngImage(const ImageLevel& image) {
    return EncodePngPixels(image.width, image.height, 4, image.rgba);
}

std::vector<std::uint8_t> EncodePngPixels(std::uint32_t width,
                                          std::uint32_t height,
                                          unsigned channels,
                                          std::span<const std::uint8_t> pixels) {
    if (width == 0 || height == 0 || channels == 0 || width > INT_MAX / channels || height > INT_MAX ||
        pixels.size() != std::size_t{width} * height * channels)
        return {};
    std::vector<std::uint8_t> png;
    const int stride = static_cast<int>(width * channels);
    if (stbi_write_png_to_func(Append, &png, static_cast<int>(width), static_cast<int>(height),
                               static_cast<int>(channels), pixels.data(), stride) == 0)
        return {};
    return png;
}

}  // namespace torvale
