#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "bitmap/image.h"

namespace torvale {

// Reads a bitmap in the game's one TGA/OGF format family, told apart by the image-type byte as the game tells
// them apart (never by the file's name):
// - TGA types 2 and 10 (true colour, plain or run-length), 24 or 32 bits, either row order;
// - OGF types 121 (4444), 122 (1555), 123 and 124 (565, the game's conversion applied) with every level the
//   file stores, and 127 (565, one level).
// Every other type is refused by name, as are the faults the game would not survive or would show as garbage:
// a level count of 0 or below, an invalid run command, a run crossing a level's end, data ending early.
// Bytes after the last pixel are ignored, as the game ignores them. On failure `error` is one line
// ("level 2 at byte 4711: ...") and `image` is left as it was.
bool ReadGameBitmap(std::span<const std::uint8_t> bytes, Image& image, std::string& error);

// The same for a bitmap that starts `base` bytes into a larger file, as the frames of an animated texture do:
// refusals give file offsets, and `used` is set to the bytes the bitmap took (it ends after its last pixel).
bool ReadGameBitmap(std::span<const std::uint8_t> bytes,
                    std::size_t base,
                    Image& image,
                    std::string& error,
                    std::size_t& used);

// The longest name an OGF keeps: the game keeps the first 33 characters of a longer one.
inline constexpr std::size_t kOgfNameLimit = 33;

}  // namespace torvale
