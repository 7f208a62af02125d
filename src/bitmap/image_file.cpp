#include "bitmap/image_file.h"

#include "bitmap/game_bitmap_reader.h"
#include "bitmap/png_image.h"

namespace torvale {

bool ReadImageFile(std::span<const std::uint8_t> bytes, Image& image, std::string& error) {
    if (IsPng(bytes))
        return ReadPngImage(bytes, image, error);
    // The JPEG decoder of the image library this program is built with writes past its tables on a damaged
    // Huffman table, so no JPEG is decoded.
    if (bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF) {
        error = "a JPEG image, which TORVALE does not read; save it as PNG, TGA or OGF";
        return false;
    }
    // The game's bitmaps carry no signature: whatever is neither of the above is read as one, whose reader
    // names what it is not.
    return ReadGameBitmap(bytes, image, error);
}

}  // namespace torvale
