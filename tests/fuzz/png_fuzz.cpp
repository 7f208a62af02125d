// Each input is read as a PNG, as it is and behind a PNG signature and header chunk of a small image, so that
// the decoder past the signature is reached; and as any image file a model may name (PNG, TGA, OGF). A refusal
// is one line; an accepted image has its pixels.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "bitmap/image_file.h"
#include "bitmap/png_image.h"

namespace {

using Reader = bool (*)(std::span<const std::uint8_t>, torvale::Image&, std::string&);

void ReadOnce(std::span<const std::uint8_t> bytes, Reader read = torvale::ReadPngImage) {
    torvale::Image image;
    std::string error;
    if (!read(bytes, image, error)) {
        if (error.empty() || error.find('\n') != std::string::npos)
            std::abort();
        return;
    }
    if (image.level.rgba.size() != std::size_t{image.level.width} * image.level.height * 4)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ReadOnce(std::span<const std::uint8_t>(data, size));
    std::vector<std::uint8_t> framed = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    framed.insert(framed.end(), data, data + size);
    ReadOnce(framed);
    ReadOnce(std::span<const std::uint8_t>(data, size), torvale::ReadImageFile);
    return 0;
}
