#include "bitmap/animated_texture.h"

#include <utility>

#include "bitmap/game_bitmap_reader.h"
#include "core/byte_writer.h"
#include "core/field_reader.h"

namespace torvale {
namespace {

constexpr RefusalWording kOafWording{"", ": the file ends inside ", ""};

// The first byte of the game's own layout; any other first byte is the older layout's frame count.
constexpr std::uint8_t kVersion1Marker = 0x7F;
// The smallest bitmap the frame reader accepts: a 1 x 1 uncompressed 24-bit TGA, 18 header bytes and 3 of pixel.
constexpr std::size_t kSmallestFrame = 21;

std::string SizeText(const ImageLevel& level) {
    return std::to_string(level.width) + " x " + std::to_string(level.height);
}

class OafReader {
public:
    explicit OafReader(std::span<const std::uint8_t> bytes) : bytes_(bytes), in_(bytes, kOafWording) {}

    bool read(AnimatedTexture& texture);
    const std::string& error() const { return in_.error(); }

private:
    bool readHeader(int& count);
    bool readFrame(int number);

    std::span<const std::uint8_t> bytes_;
    FieldReader in_;
    AnimatedTexture texture_;
};

bool OafReader::readHeader(int& count) {
    in_.enterChunk("header", 0);
    std::uint8_t first = 0;
    if (!in_.u8(first, "the first byte"))
        return false;
    std::size_t countAt = 0;
    if (first == kVersion1Marker) {
        std::uint8_t version = 0;
        std::uint8_t raw = 0;
        countAt = 2;
        if (!in_.u8(version, "the version") || !in_.u8(raw, "the frame count") ||
            !in_.f32(texture_.frameTime, "the frame time"))
            return false;
        texture_.version = 1;
        // The game reads this count as a signed byte: 128 to 255 are negative.
        count = static_cast<std::int8_t>(raw);
        if (version != 1)
            texture_.notes.push_back("the version byte is " + std::to_string(version) +
                                     ", not 1; the game does not look at it");
    } else {
        // The play time, flags and light value mean nothing to the game.
        texture_.version = 0;
        count = first;
        if (!in_.pass(4, "the play time") || !in_.f32(texture_.frameTime, "the frame time") ||
            !in_.pass(4, "the flags") || !in_.pass(4, "the light value"))
            return false;
    }
    if (count < 1)
        return in_.refuse(countAt, ": frame count " + std::to_string(count) + " holds no frame");
    if (count > kMostOafFrames) {
        return in_.refuse(countAt, ": frame count " + std::to_string(count) + " is more than the " +
                                       std::to_string(kMostOafFrames) +
                                       " the game holds; it would write past its table of frames");
    }
    // Checked before any frame is kept: every frame takes some bytes.
    if (static_cast<std::size_t>(count) > in_.remaining() / kSmallestFrame) {
        return in_.refuse(countAt, ": " + std::to_string(count) + " frames cannot come from the " +
                                       std::to_string(in_.remaining()) + " bytes left (a frame takes at least " +
                                       std::to_string(kSmallestFrame) + ")");
    }
    return true;
}

bool OafReader::readFrame(int number) {
    const std::size_t start = in_.position();
    const std::string chunk = "frame " + std::to_string(number);
    in_.enterChunk(chunk, start);
    Image frame;
    std::string error;
    std::size_t used = 0;
    if (!ReadGameBitmap(bytes_.subspan(start), start, frame, error, used))
        return in_.refuseChunk(": " + error);
    if (!in_.pass(used, "the frame"))
        return false;
    for (const std::string& note : frame.notes)
        texture_.notes.push_back(chunk + ": " + note);
    if (!texture_.frames.empty()) {
        const ImageLevel& first = texture_.frames.front().level;
        if (frame.width() != first.width || frame.height() != first.height)
            texture_.notes.push_back(chunk + " is " + SizeText(frame.level) + ", frame 0 " + SizeText(first) +
                                     ": the game resizes every frame to its texture's size");
    }
    texture_.frames.push_back(std::move(frame));
    return true;
}

bool OafReader::read(AnimatedTexture& texture) {
    int count = 0;
    if (!readHeader(count))
        return false;
    texture_.frames.reserve(static_cast<std::size_t>(count));
    for (int number = 0; number < count; ++number)
        if (!readFrame(number))
            return false;
    if (in_.remaining() > 0)
        texture_.notes.push_back(std::to_string(in_.remaining()) +
                                 " bytes after the last frame; the game never reads them");
    texture = std::move(texture_);
    return true;
}

}  // namespace

bool ReadAnimatedTexture(std::span<const std::uint8_t> bytes, AnimatedTexture& texture, std::string& error) {
    OafReader reader(bytes);
    if (!reader.read(texture)) {
        error = reader.error();
        return false;
    }
    return true;
}

bool EncodeOaf(std::span<const OafFrameToWrite> frames, std::vector<std::uint8_t>& out, std::string& error) {
    if (frames.empty() || frames.size() > static_cast<std::size_t>(kMostOafFrames)) {
        error = "an OAF holds 1 to " + std::to_string(kMostOafFrames) + " frames, not " + std::to_string(frames.size());
        return false;
    }
    ByteWriter bytes;
    bytes.writeU8(kVersion1Marker);
    bytes.writeU8(1);
    bytes.writeU8(static_cast<std::uint8_t>(frames.size()));
    bytes.writeF32(kOafFrameTime);
    const ImageLevel& first = *frames.front().image;
    for (std::size_t number = 0; number < frames.size(); ++number) {
        const ImageLevel& image = *frames[number].image;
        const std::string chunk = "frame " + std::to_string(number);
        if (image.width != first.width || image.height != first.height) {
            error = chunk + " is " + SizeText(image) + ", frame 0 " + SizeText(first) +
                    ": the frames of an OAF have one size";
            return false;
        }
        std::vector<std::uint8_t> ogf;
        if (!EncodeOgf(image, frames[number].ogf, ogf, error)) {
            error = chunk + ": " + error;
            return false;
        }
        bytes.writeBytes(ogf);
    }
    out = bytes.release();
    return true;
}

}  // namespace torvale
