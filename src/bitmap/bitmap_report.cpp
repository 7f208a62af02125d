#include "bitmap/bitmap_report.h"

#include <cstdio>

namespace torvale {
namespace {

std::string TypeText(std::uint8_t type) {
    switch (type) {
        case 0:
            return "not a TGA or OGF";
        case 2:
            return "2 (TGA, true colour)";
        case 10:
            return "10 (TGA, run-length true colour)";
        case 121:
            return "121 (OGF, 4444)";
        case 122:
            return "122 (OGF, 1555)";
        case 123:
            return "123 (OGF, 565)";
        case 124:
            return "124 (older OGF, 565)";
        case 127:
            return "127 (older OGF, 565, one level)";
        default:
            return std::to_string(type);
    }
}

std::string SizeText(const ImageLevel& level) {
    return std::to_string(level.width) + " x " + std::to_string(level.height);
}

std::string NameText(const std::string& name) {
    return name.empty() ? std::string("(none stored)") : name;
}

}  // namespace

std::string BitmapReport(const Image& image) {
    std::string text;
    text += "Name: " + NameText(image.name) + '\n';
    text += "Type: " + TypeText(image.fileType) + '\n';
    text += "Size: " + SizeText(image.level) + '\n';
    text += "Pixel format: " + std::string(PixelFormatName(image.format)) + '\n';
    text += "Mip levels: " + std::to_string(image.levelCount());
    if (!image.mips.empty())
        text += " (" + SizeText(image.level) + " down to " + SizeText(image.mips.back()) + ")";
    text += '\n';
    for (const std::string& note : image.notes)
        text += "Note: " + note + '\n';
    return text;
}

std::string AnimatedTextureReport(const AnimatedTexture& texture, std::string_view fileName) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%g", static_cast<double>(texture.frameTime));
    std::string text;
    text += "Name: " + std::string(fileName) + '\n';
    text += "Type: animated texture (OAF), version " + std::to_string(texture.version) +
            (texture.version == 1 ? " (as the game writes it)" : " (the older layout)") + '\n';
    text += "Frames: " + std::to_string(texture.frames.size()) + '\n';
    text += "Frame time in the file: " + std::string(seconds) +
            " s (unused: the game shows the whole cycle in its texture page's speed)\n";
    if (!texture.frames.empty()) {
        const Image& first = texture.frames.front();
        text += "Size: " + SizeText(first.level) + '\n';
        text += "Pixel format: " + std::string(PixelFormatName(first.format)) + '\n';
    }
    for (std::size_t number = 0; number < texture.frames.size(); ++number) {
        const Image& frame = texture.frames[number];
        text += "Frame " + std::to_string(number) + ": " + NameText(frame.name) + ", " + SizeText(frame.level) + ", " +
                std::string(PixelFormatName(frame.format)) + ", " + std::to_string(frame.levelCount()) +
                (frame.levelCount() == 1 ? " level" : " levels") + '\n';
    }
    for (const std::string& note : texture.notes)
        text += "Note: " + note + '\n';
    return text;
}

}  // namespace torvale
