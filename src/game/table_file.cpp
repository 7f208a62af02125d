#include "game/table_file.h"

#include "core/field_reader.h"

namespace torvale {
namespace {

constexpr std::uint8_t kTexturePageType = 1;
constexpr std::int32_t kLengthFieldBytes = 4;

// Refusals name the page, counted from 1: "page 3 at byte 205: ...".
constexpr RefusalWording kTableWording{"", ": ", ""};

std::string PageName(std::size_t number) {
    return "page " + std::to_string(number);
}

// The body of one texture page; `base` is the file offset of its first byte, for messages.
class TexturePageReader {
public:
    TexturePageReader(std::span<const std::uint8_t> body, std::size_t base, std::size_t number)
        : in_(body, kTableWording, base) {
        // A fault in the version is reported at the page's start, one in a text at the text's start.
        in_.enterChunk(PageName(number), 0);
    }

    bool read(TexturePage& page, std::string& error) {
        std::int16_t version = 0;
        std::string destroyed;
        const bool ok =
            (in_.readI16(version) || in_.refuseChunk(": the texture page is too short to hold its version (" +
                                                     std::to_string(in_.remaining()) + " of 2 bytes)")) &&
            text("page name", page.name) && text("bitmap file name", page.bitmap) &&
            text("destroyed-texture name", destroyed);
        if (!ok)
            error = in_.error();
        return ok;
    }

private:
    // A text up to its zero byte, which must lie inside the page; the first 34 characters are kept.
    bool text(const char* what, std::string& out) {
        const std::size_t start = in_.position();
        const std::uint8_t* const first = in_.here();
        std::size_t length = 0;
        while (length < in_.remaining() && first[length] != 0)
            ++length;
        if (length == in_.remaining()) {
            return in_.refuse(start, std::string(": the ") + what + " has no zero byte before the page's end at byte " +
                                         std::to_string(in_.fileOffset(in_.size())));
        }
        out.assign(reinterpret_cast<const char*>(first), length < kPageTextLimit ? length : kPageTextLimit);
        return in_.skip(length + 1);
    }

    FieldReader in_;
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
    FieldReader in(bytes, kTableWording);
    std::vector<TexturePage> read;
    for (std::size_t number = 1; !in.atEnd(); ++number) {
        const std::size_t start = in.position();
        in.enterChunk(PageName(number), start);
        std::uint8_t type = 0;
        std::int32_t length = 0;
        if (!in.readU8(type))
            return false;  // not reached: the loop runs while bytes are left
        const std::size_t lengthAt = in.position();
        if (!in.readI32(length)) {
            error = in.refusal(start, ": the file ends inside the page length (" + std::to_string(in.remaining()) +
                                          " of its 4 bytes are there)");
            return false;
        }
        if (length < kLengthFieldBytes) {
            error = in.refusal(start, ": the page length is " + std::to_string(length) +
                                          "; it counts its own 4 bytes, so it is at least 4");
            return false;
        }
        const auto bodySize = static_cast<std::size_t>(length - kLengthFieldBytes);
        std::span<const std::uint8_t> body;
        if (!in.readBytes(bodySize, body)) {
            error = in.refusal(
                start, ": the page runs to byte " +
                           std::to_string(static_cast<std::uint64_t>(lengthAt) + static_cast<std::uint32_t>(length)) +
                           ", past the end of the file at byte " + std::to_string(bytes.size()));
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
