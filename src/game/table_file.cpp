#include "game/table_file.h"

#include "core/byte_reader.h"

namespace torvale {
namespace {

constexpr std::uint8_t kTexturePageType = 1;
constexpr std::int32_t kLengthFieldBytes = 4;

std::string PageAt(std::size_t number, std::size_t offset) {
    return "page " + std::to_string(number) + " at byte " + std::to_string(offset) + ": ";
}

// The body of one texture page; `base` is the file offset of its first byte, for messages.
class TexturePageReader {
public:
    TexturePageReader(std::span<const std::uint8_t> body, std::size_t base, std::size_t number)
        : in_(body), base_(base), number_(number) {}

    bool read(TexturePage& page, std::string& error) {
        std::int16_t version = 0;
        if (!in_.readI16(version)) {
            error = PageAt(number_, base_) + "the texture page is too short to hold its version (" +
                    std::to_string(in_.remaining()) + " of 2 bytes)";
            return false;
        }
        std::string destroyed;
        return text("page name", page.name, error) && text("bitmap file name", page.bitmap, error) &&
               text("destroyed-texture name", destroyed, error);
    }

private:
    // A text up to its zero byte, which must lie inside the page; the first 34 characters are kept.
    bool text(const char* what, std::string& out, std::string& error) {
        const std::size_t start = in_.position();
        std::span<const std::uint8_t> rest;
        if (!in_.readBytes(in_.remaining(), rest)) {
            error = PageAt(number_, base_ + start) + "cannot read the " + what;
            return false;
        }
        std::size_t length = 0;
        while (length < rest.size() && rest[length] != 0)
            ++length;
        if (length == rest.size()) {
            error = PageAt(number_, base_ + start) + "the " + what +
                    " has no zero byte before the page's end at byte " + std::to_string(base_ + start + rest.size());
            return false;
        }
        out.assign(reinterpret_cast<const char*>(rest.data()), length < kPageTextLimit ? length : kPageTextLimit);
        in_ = ByteReader(rest.subspan(length + 1));
        base_ += start + length + 1;
        return true;
    }

    ByteReader in_;
    std::size_t base_;
    std::size_t number_;
};

}  // namespace

bool ReadTableFile(std::span<const std::uint8_t> bytes,
                   std::string_view tableName,
                   std::vector<TexturePage>& pages,
                   std::string& error) {
    if (bytes.empty()) {
        error = "the file is empty; a table holds at least one page";
        return false;
    }
    ByteReader in(bytes);
    std::vector<TexturePage> read;
    for (std::size_t number = 1; !in.atEnd(); ++number) {
        const std::size_t start = in.position();
        std::uint8_t type = 0;
        std::int32_t length = 0;
        if (!in.readU8(type))
            return false;  // not reached: the loop runs while bytes are left
        const std::size_t lengthAt = in.position();
        if (!in.readI32(length)) {
            error = PageAt(number, start) + "the file ends inside the page length (" + std::to_string(in.remaining()) +
                    " of its 4 bytes are there)";
            return false;
        }
        if (length < kLengthFieldBytes) {
            error = PageAt(number, start) + "the page length is " + std::to_string(length) +
                    "; it counts its own 4 bytes, so it is at least 4";
            return false;
        }
        const auto bodySize = static_cast<std::size_t>(length - kLengthFieldBytes);
        std::span<const std::uint8_t> body;
        if (!in.readBytes(bodySize, body)) {
            error = PageAt(number, start) + "the page runs to byte " +
                    std::to_string(static_cast<std::uint64_t>(lengthAt) + static_cast<std::uint32_t>(length)) +
                    ", past the end of the file at byte " + std::to_string(bytes.size());
            return false;
        }
        if (type != kTexturePageType)
            continue;
        TexturePage page;
        if (!TexturePageReader(body, lengthAt + 4, number).read(page, error))
            return false;
        page.table = tableName;
        read.push_back(std::move(page));
    }
    pages = std::move(read);
    return true;
}

}  // namespace torvale
