#include "bitmap/ogf_writer.h"

#include <limits>

#include "bitmap/game_bitmap_reader.h"
#include "core/byte_writer.h"

namespace torvale {
namespace {

constexpr std::uint8_t kType4444 = 121;
constexpr std::uint8_t kType1555 = 122;
constexpr std::size_t kLongestRun = 250;
// The game reads the level count as a signed byte.
constexpr std::size_t kMostLevelsStored = 127;

// One level's commands: runs of up to 250 equal words that never pass the level's end, a lone word as
// command 0 (command 1 is never written).
void PutLevel(ByteWriter& out, const std::vector<std::uint16_t>& words) {
    for (std::size_t at = 0; at < words.size();) {
        std::size_t run = 1;
        while (run < kLongestRun && at + run < words.size() && words[at + run] == words[at])
            ++run;
        out.writeU8(static_cast<std::uint8_t>(run == 1 ? 0 : run));
        out.writeU16(words[at]);
        at += run;
    }
}

}  // namespace

bool HasGradedAlpha(const ImageLevel& image) {
    for (std::size_t i = 3; i < image.rgba.size(); i += 4)
        if (image.rgba[i] != 0 && image.rgba[i] != 255)
            return true;
    return false;
}

std::size_t MostOgfLevels(std::uint32_t width, std::uint32_t height) {
    std::size_t levels = 0;
    for (std::uint32_t side = width < height ? width : height; side > 0; side >>= 1)
        ++levels;
    return levels < kMostLevelsStored ? levels : kMostLevelsStored;
}

std::vector<std::uint16_t> ToOgfWords(const ImageLevel& image, bool as4444) {
    std::vector<std::uint16_t> words(image.rgba.size() / 4);
    for (std::size_t i = 0; i < words.size(); ++i) {
        const unsigned r = image.rgba[4 * i];
        const unsigned g = image.rgba[4 * i + 1];
        const unsigned b = image.rgba[4 * i + 2];
        const unsigned a = image.rgba[4 * i + 3];
        if (as4444)
            words[i] = static_cast<std::uint16_t>((a >> 4) << 12 | (r >> 4) << 8 | (g >> 4) << 4 | b >> 4);
        else
            words[i] = a == 0 ? 0 : static_cast<std::uint16_t>(0x8000 | (r >> 3) << 10 | (g >> 3) << 5 | b >> 3);
    }
    return words;
}

std::vector<std::uint16_t> BoxFilterOgfLevel(const std::vector<std::uint16_t>& words,
                                             std::uint32_t width,
                                             std::uint32_t height,
                                             bool as4444) {
    const std::uint32_t half = width / 2;
    const std::uint32_t halfHigh = height / 2;
    std::vector<std::uint16_t> smaller(std::size_t{half} * halfHigh);
    for (std::uint32_t y = 0; y < halfHigh; ++y) {
        for (std::uint32_t x = 0; x < half; ++x) {
            const std::size_t top = std::size_t{2 * y} * width + 2 * x;
            const std::uint16_t block[4] = {words[top], words[top + 1], words[top + width], words[top + width + 1]};
            unsigned sums[4] = {0, 0, 0, 0};  // alpha or the count of transparent pixels, red, green, blue
            for (const std::uint16_t word : block) {
                if (as4444) {
                    sums[0] += word >> 12u;
                    sums[1] += (word >> 8u) & 0xFu;
                    sums[2] += (word >> 4u) & 0xFu;
                    sums[3] += word & 0xFu;
                } else if ((word & 0x8000) == 0) {
                    ++sums[0];
                } else {
                    sums[1] += (word >> 10u) & 0x1Fu;
                    sums[2] += (word >> 5u) & 0x1Fu;
                    sums[3] += word & 0x1Fu;
                }
            }
            std::uint16_t& out = smaller[std::size_t{y} * half + x];
            if (as4444)
                out = static_cast<std::uint16_t>((sums[0] / 4) << 12 | (sums[1] / 4) << 8 | (sums[2] / 4) << 4 |
                                                 sums[3] / 4);
            else if (sums[0] > 2)
                out = 0;
            else  // the sums over the opaque pixels still divide by 4, as the game's filter does
                out = static_cast<std::uint16_t>(0x8000 | (sums[1] / 4) << 10 | (sums[2] / 4) << 5 | sums[3] / 4);
        }
    }
    return smaller;
}

bool EncodeOgf(const ImageLevel& image, const OgfOptions& options, std::vector<std::uint8_t>& out, std::string& error) {
    constexpr std::uint32_t kLargestSide = std::numeric_limits<std::uint16_t>::max();
    if (image.width == 0 || image.height == 0 || image.width > kLargestSide || image.height > kLargestSide ||
        image.rgba.size() != std::size_t{image.width} * image.height * 4) {
        error = "an OGF holds 1 to 65535 pixels a side; this image is " + std::to_string(image.width) + " x " +
                std::to_string(image.height);
        return false;
    }
    if (options.name.empty() || options.name.size() > kOgfNameLimit || options.name.find('\0') != std::string::npos) {
        error = "the name inside an OGF has 1 to " + std::to_string(kOgfNameLimit) + " characters; \"" + options.name +
                "\" has " + std::to_string(options.name.size());
        return false;
    }
    const std::size_t most = MostOgfLevels(image.width, image.height);
    if (options.levels < 1 || options.levels > most) {
        error = "a " + std::to_string(image.width) + " x " + std::to_string(image.height) + " image has 1 to " +
                std::to_string(most) + " levels, not " + std::to_string(options.levels);
        return false;
    }
    const bool as4444 =
        options.pixels == OgfPixels::Argb4444 || (options.pixels == OgfPixels::Automatic && HasGradedAlpha(image));

    ByteWriter bytes;
    bytes.writeU8(0);
    bytes.writeU8(0);
    bytes.writeU8(as4444 ? kType4444 : kType1555);
    bytes.writeText(options.name);
    bytes.writeU8(0);
    bytes.writeU8(static_cast<std::uint8_t>(options.levels));
    bytes.writeBytes(std::vector<std::uint8_t>(9, 0));
    bytes.writeU16(static_cast<std::uint16_t>(image.width));
    bytes.writeU16(static_cast<std::uint16_t>(image.height));
    bytes.writeU8(32);
    bytes.writeU8(0x28);  // 8 alpha bits, first row at the top

    std::vector<std::uint16_t> words = ToOgfWords(image, as4444);
    std::uint32_t width = image.width;
    std::uint32_t height = image.height;
    for (std::size_t level = 0; level < options.levels; ++level) {
        if (level > 0) {
            words = BoxFilterOgfLevel(words, width, height, as4444);
            width /= 2;
            height /= 2;
        }
        PutLevel(bytes, words);
    }
    out = bytes.release();
    return true;
}

}  // namespace torvale
