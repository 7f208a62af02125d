#include "bitmap/image_file.h"

#include "bitmap/game_bitmap_reader.h"
#include "bitmap/png_image.h"

namespace torvale {

bool ReadImageFile(std::span<const std::uint8_t> bytes, Image& image, std::string& error) {
    if (IsPng(bytes))
        return ReadPngImage(bytes, image, error);
    if (IsJpeg(bytes))
        return ReadJpegImage(bytes, image, error);
    // The game's bitmaps carry no signature: whatever is neither of the above is read as one, whose reader
    // names what it is not.
    return ReadGameBitmap(bytes, image, error);
}

}  // namespace torvale
