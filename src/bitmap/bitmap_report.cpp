#include "bitmap/bitmap_report.h"

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

}  // namespace

std::string BitmapReport(const Image& image) {
    std::string text;
    text += "Name: " + (image.name.empty() ? std::string("(none stored)") : image.name) + '\n';
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

}  // namespace torvale
