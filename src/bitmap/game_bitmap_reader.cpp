#include "bitmap/game_bitmap_reader.h"

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <utility>

#include "core/field_reader.h"

namespace torvale {
namespace {

constexpr RefusalWording kBitmapWording{"", ": the file ends inside ", ""};

// The older OGF types hold their name in a field of this many bytes.
constexpr std::size_t kFixedNameBytes = 35;
// The longest run of one OGF command, and the fewest bytes such a command takes.
constexpr std::uint64_t kLongestRun = 250;
// Run-length data may unpack to over 300 times its own size: a header asking for more pixels than any bitmap
// could need (4096 x 4096, sixteen times the game's largest texture) is refused before any memory is taken.
constexpr std::uint64_t kLargestImage = std::uint64_t{4096} * 4096;
constexpr std::size_t kRunCommandBytes = 3;
// A TGA packet covers at most this many pixels.
constexpr std::uint64_t kLongestPacket = 128;

std::string Int(std::uint64_t value) {
    return std::to_string(value);
}

std::string Pixels(std::uint64_t count) {
    return Int(count) + (count == 1 ? " pixel" : " pixels");
}

std::string_view TypeName(std::uint8_t type) {
    switch (type) {
        case 0:
            return "no image";
        case 1:
            return "colour-mapped";
        case 3:
            return "grey scale";
        case 9:
            return "run-length colour-mapped";
        case 11:
            return "run-length grey scale";
        case 32:
        case 33:
            return "Huffman-coded colour-mapped";
        case 125:
            return "OGF 8-bit, which the game refuses too";
        case 126:
            return "Outrage TGA, whose pixels the game never decodes";
        default:
            return "unknown";
    }
}

// 1555: bit 15 alone says opaque; the colour of a transparent pixel means nothing.
void Put1555(std::uint16_t word, std::uint8_t* out) {
    if ((word & 0x8000) == 0) {
        std::fill(out, out + 4, std::uint8_t{0});
        return;
    }
    out[0] = WidenChannel((word >> 10) & 0x1F, 5);
    out[1] = WidenChannel((word >> 5) & 0x1F, 5);
    out[2] = WidenChannel(word & 0x1F, 5);
    out[3] = 255;
}

void Put4444(std::uint16_t word, std::uint8_t* out) {
    out[0] = WidenChannel((word >> 8) & 0xF, 4);
    out[1] = WidenChannel((word >> 4) & 0xF, 4);
    out[2] = WidenChannel(word & 0xF, 4);
    out[3] = WidenChannel(word >> 12, 4);
}

// The game turns 565 into 1555 as it loads: pure green is the transparent key, and green loses its low bit.
void Put565(std::uint16_t word, std::uint8_t* out) {
    if (word == 0x07E0) {
        Put1555(0, out);
        return;
    }
    const unsigned red = (word >> 11) & 0x1F;
    const unsigned green = ((word >> 5) & 0x3F) >> 1;
    const unsigned blue = word & 0x1F;
    Put1555(static_cast<std::uint16_t>(0x8000 | red << 10 | green << 5 | blue), out);
}

class BitmapReader {
public:
    BitmapReader(std::span<const std::uint8_t> bytes, std::size_t base) : in_(bytes, kBitmapWording, base) {}

    bool read(Image& image);
    const std::string& error() const { return in_.error(); }
    std::size_t used() const { return in_.position(); }

private:
    bool readName(std::uint8_t type);
    bool readLevelCount();
    bool readTgaPixels(std::uint8_t type, unsigned depth, bool topFirst);
    bool readTgaPixel(unsigned bytesPerPixel, std::uint8_t* out);
    bool readOgfLevel(std::size_t number, std::uint8_t type);

    FieldReader in_;
    Image image_;
    int levelCount_ = 1;
    std::uint32_t width_ = 0;
    std::uint32_t height_ = 0;
};

bool BitmapReader::read(Image& image) {
    in_.enterChunk("header", 0);
    std::uint8_t idLength = 0;
    std::uint8_t mapType = 0;
    std::uint8_t type = 0;
    if (!in_.u8(idLength, "the ID length") || !in_.u8(mapType, "the colour-map type") ||
        !in_.u8(type, "the image type"))
        return false;
    if (mapType != 0)
        return in_.refuse(1, ": colour-map type " + Int(mapType) + " is not read: the game reads no colour map");
    const bool tga = type == 2 || type == 10;
    const bool ogf = (type >= 121 && type <= 124) || type == 127;
    if (!tga && !ogf) {
        return in_.refuse(2, ": TGA type " + Int(type) + " (" + std::string(TypeName(type)) +
                                 ") is not read: the game reads only types 2 and 10 (true colour) and its own "
                                 "OGF types 121 to 124 and 127");
    }
    image_.fileType = type;
    if (ogf && (!readName(type) || !readLevelCount()))
        return false;

    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::uint8_t depth = 0;
    std::uint8_t descriptor = 0;
    if (!in_.pass(9, "the colour-map and origin fields"))
        return false;
    const std::size_t sizeAt = in_.position();
    if (!in_.u16(width, "the width") || !in_.u16(height, "the height") || !in_.u8(depth, "the pixel depth") ||
        !in_.u8(descriptor, "the descriptor"))
        return false;
    if (width == 0 || height == 0)
        return in_.refuse(sizeAt, ": the image is " + Int(width) + " x " + Int(height) + " pixels, which is empty");
    if (std::uint64_t{width} * height > kLargestImage) {
        return in_.refuse(sizeAt, ": the image is " + Int(width) + " x " + Int(height) + " pixels, more than the " +
                                      Int(kLargestImage) +
                                      " this program reads (the game's largest bitmaps are 640 x 480)");
    }
    if (depth != 24 && depth != 32)
        return in_.refuse(sizeAt + 4, ": pixel depth " + Int(depth) + " is not read: the game reads only 24 and 32");
    if ((descriptor & 0x0F) != 0 && (descriptor & 0x0F) != 8) {
        return in_.refuse(sizeAt + 5, ": the descriptor gives " + Int(descriptor & 0x0Fu) +
                                          " alpha bits; the game reads only 0 and 8");
    }
    if (!in_.pass(idLength, "the image ID"))
        return false;
    width_ = width;
    height_ = height;

    if (tga) {
        image_.format = depth == 32 ? PixelFormat::Bgra8888 : PixelFormat::Bgr888;
        if (!readTgaPixels(type, depth, (descriptor & 0x20) != 0))
            return false;
    } else {
        image_.format = type == 121 ? PixelFormat::Argb4444 : type == 122 ? PixelFormat::Argb1555 : PixelFormat::Rgb565;
        for (std::size_t number = 0; number < static_cast<std::size_t>(levelCount_); ++number)
            if (!readOgfLevel(number, type))
                return false;
    }
    image = std::move(image_);
    return true;
}

bool BitmapReader::readName(std::uint8_t type) {
    const std::size_t at = in_.position();
    if (type >= 124) {
        std::span<const std::uint8_t> field;
        if (!in_.bytes(kFixedNameBytes, field, "the 35-byte name"))
            return false;
        const auto zero = std::find(field.begin(), field.end(), std::uint8_t{0});
        if (zero == field.end())
            return in_.refuse(at, ": the 35-byte name has no zero byte to end it; the game would read past it");
        image_.name.assign(field.begin(), zero);
        return true;
    }
    // A zero-terminated name: the game keeps its first 33 characters and passes over the rest.
    std::string name;
    for (;;) {
        std::uint8_t c = 0;
        if (!in_.u8(c, "the bitmap's name"))
            return false;
        if (c == 0)
            break;
        if (name.size() < kOgfNameLimit)
            name.push_back(static_cast<char>(c));
    }
    if (in_.position() - at - 1 > kOgfNameLimit)
        image_.notes.push_back("the name inside is longer than " + Int(kOgfNameLimit) +
                               " characters; the game keeps only \"" + name + "\"");
    image_.name = std::move(name);
    return true;
}

bool BitmapReader::readLevelCount() {
    if (image_.fileType == 127)
        return true;  // one level, and no byte for it
    const std::size_t at = in_.position();
    std::uint8_t raw = 0;
    if (!in_.u8(raw, "the level count"))
        return false;
    // The game reads the count as a signed byte and decodes no level at all for 0 or a negative count.
    const int count = static_cast<std::int8_t>(raw);
    if (count <= 0) {
        return in_.refuse(
            at, ": level count " + std::to_string(count) + " stores no level; the game would show the image unfilled");
    }
    levelCount_ = count;
    return true;
}

bool BitmapReader::readTgaPixel(unsigned bytesPerPixel, std::uint8_t* out) {
    std::span<const std::uint8_t> stored;
    if (!in_.bytes(bytesPerPixel, stored, "a pixel"))
        return false;
    out[0] = stored[2];
    out[1] = stored[1];
    out[2] = stored[0];
    out[3] = bytesPerPixel == 4 ? stored[3] : std::uint8_t{255};
    return true;
}

bool BitmapReader::readTgaPixels(std::uint8_t type, unsigned depth, bool topFirst) {
    in_.enterChunk("pixels", in_.position());
    const unsigned bytesPerPixel = depth / 8;
    const std::uint64_t count = std::uint64_t{width_} * height_;
    const std::size_t left = in_.remaining();
    // The most pixels the bytes left can give, checked before anything is allocated.
    const std::uint64_t most = type == 2 ? left / bytesPerPixel : left / (1 + bytesPerPixel) * kLongestPacket;
    if (count > most) {
        return in_.refuseChunk(": " + Int(width_) + " x " + Int(height_) + " pixels cannot come from the " + Int(left) +
                               " bytes left");
    }
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(count) * 4);
    if (type == 2) {
        for (std::size_t i = 0; i < count; ++i)
            if (!readTgaPixel(bytesPerPixel, &rgba[4 * i]))
                return false;
    } else {
        bool noted = false;
        for (std::size_t done = 0; done < count;) {
            const std::size_t at = in_.position();
            std::uint8_t header = 0;
            if (!in_.u8(header, "a packet header"))
                return false;
            const std::size_t length = (header & 0x7Fu) + 1u;
            if (length > count - done) {
                return in_.refuse(at, ": a packet of " + Int(length) + " pixels runs past the image's end (" +
                                          Pixels(count - done) + " left)");
            }
            if ((header & 0x80) != 0) {
                if (!readTgaPixel(bytesPerPixel, &rgba[4 * done]))
                    return false;
                for (std::size_t i = 1; i < length; ++i)
                    std::copy_n(&rgba[4 * done], 4, &rgba[4 * (done + i)]);
                if (bytesPerPixel == 3 && !noted) {
                    image_.notes.push_back(
                        "24-bit run-length packets: the game reads their colours wrongly (red and blue swapped); "
                        "they are read here the standard way");
                    noted = true;
                }
            } else {
                for (std::size_t i = 0; i < length; ++i)
                    if (!readTgaPixel(bytesPerPixel, &rgba[4 * (done + i)]))
                        return false;
            }
            done += length;
        }
    }
    if (bytesPerPixel == 4) {
        bool anyAlpha = false;
        for (std::size_t i = 3; i < rgba.size() && !anyAlpha; i += 4)
            anyAlpha = rgba[i] != 0;
        if (!anyAlpha)
            image_.notes.push_back("every alpha byte is 0: the game shows this image wholly transparent");
    }
    if (!topFirst) {
        const std::size_t row = std::size_t{width_} * 4;
        for (std::size_t y = 0; y < height_ / 2; ++y)
            std::swap_ranges(rgba.begin() + static_cast<std::ptrdiff_t>(y * row),
                             rgba.begin() + static_cast<std::ptrdiff_t>((y + 1) * row),
                             rgba.begin() + static_cast<std::ptrdiff_t>((height_ - 1 - y) * row));
    }
    image_.level = {width_, height_, std::move(rgba)};
    return true;
}

bool BitmapReader::readOgfLevel(std::size_t number, std::uint8_t type) {
    in_.enterChunk("level " + Int(number), in_.position());
    // Sizes halve by shifting; a level of no pixels has no commands.
    const std::uint32_t width = number < 32 ? width_ >> number : 0;
    const std::uint32_t height = number < 32 ? height_ >> number : 0;
    const std::uint64_t count = std::uint64_t{width} * height;
    const std::size_t left = in_.remaining();
    if (count > left / kRunCommandBytes * kLongestRun) {
        return in_.refuseChunk(": " + Int(width) + " x " + Int(height) + " pixels cannot come from the " + Int(left) +
                               " bytes left (a command of 3 bytes gives at most 250)");
    }
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(count) * 4);
    for (std::size_t done = 0; done < count;) {
        const std::size_t at = in_.position();
        std::uint8_t command = 0;
        std::uint16_t word = 0;
        if (!in_.u8(command, "a run command"))
            return false;
        if (command == 1 || command > kLongestRun) {
            return in_.refuse(
                at, ": run command " + Int(command) + " is not valid (0 is one pixel, 2 to 250 a run of that many)");
        }
        const std::size_t length = command == 0 ? 1 : command;
        if (length > count - done) {
            return in_.refuse(at, ": a run of " + Int(length) + " pixels crosses the level's end (" +
                                      Pixels(count - done) + " left)");
        }
        if (!in_.u16(word, "a run's pixel"))
            return false;
        std::uint8_t* first = &rgba[4 * done];
        if (type == 121)
            Put4444(word, first);
        else if (type == 122)
            Put1555(word, first);
        else
            Put565(word, first);
        for (std::size_t i = 1; i < length; ++i)
            std::copy_n(first, 4, first + 4 * i);
        done += length;
    }
    ImageLevel level{width, height, std::move(rgba)};
    if (number == 0)
        image_.level = std::move(level);
    else
        image_.mips.push_back(std::move(level));
    return true;
}

}  // namespace

std::string_view PixelFormatName(PixelFormat format) {
    switch (format) {
        case PixelFormat::Bgr888:
            return "24-bit BGR";
        case PixelFormat::Bgra8888:
            return "32-bit BGRA";
        case PixelFormat::Argb1555:
            return "1555";
        case PixelFormat::Argb4444:
            return "4444";
        case PixelFormat::Rgb565:
            return "565";
        case PixelFormat::Rgba8888:
            return "32-bit RGBA";
    }
    return "unknown";
}

bool ReadGameBitmap(std::span<const std::uint8_t> bytes, Image& image, std::string& error) {
    std::size_t used = 0;
    return ReadGameBitmap(bytes, 0, image, error, used);
}

bool ReadGameBitmap(std::span<const std::uint8_t> bytes,
                    std::size_t base,
                    Image& image,
                    std::string& error,
                    std::size_t& used) {
    BitmapReader reader(bytes, base);
    if (!reader.read(image)) {
        error = reader.error();
        return false;
    }
    used = reader.used();
    return true;
}

}  // namespace torvale
