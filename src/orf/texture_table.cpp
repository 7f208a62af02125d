#include "orf/texture_table.h"

#include <filesystem>
#include <system_error>

#include "core/atomic_file.h"
#include "core/byte_writer.h"
#include "core/field_reader.h"
#include "core/utf8_path.h"

namespace torvale {
namespace {

// A name written into a room ends in exactly one zero byte and holds no other, so the room's name list keeps
// its count.
std::string NameForRoom(std::string_view name) {
    std::string out(name.substr(0, name.find('\0')));
    out.push_back('\0');
    return out;
}

// Refusals name the pair, counted from 1: "pair 2 at byte 14: ...".
constexpr RefusalWording kPairWording{"", ": ", ""};

// Reads one length-prefixed name of the pair the reader is in; `what` is "room name" or "model name".
bool ReadName(FieldReader& reader, const char* what, std::string& name) {
    const std::size_t lengthAt = reader.position();
    std::int32_t length = 0;
    if (!reader.readI32(length)) {
        return reader.refuse(lengthAt, std::string(": the file ends inside the ") + what + " length (" +
                                           std::to_string(reader.remaining()) + " of its 4 bytes are there)");
    }
    if (length < 1) {
        return reader.refuse(lengthAt, std::string(": the ") + what + " length is " + std::to_string(length) +
                                           "; a name has at least 1 byte");
    }
    const auto size = static_cast<std::size_t>(length);
    if (!reader.canHold(size, 1)) {
        return reader.refuse(reader.position(), std::string(": the ") + what + " is " + std::to_string(size) +
                                                    " bytes long but only " + std::to_string(reader.remaining()) +
                                                    " are left");
    }
    name.clear();
    return reader.readText(size, name);
}

// Pair k fills slot k; every slot after the last pair is emptied.
void FillTable(std::vector<TexturePair>& pairs, TextureTable& table) {
    for (std::size_t k = 0; k < kTextureTableSlots; ++k) {
        table.translateTo[k] = k < pairs.size() ? std::move(pairs[k].roomName) : std::string();
        table.translateFrom[k] = k < pairs.size() ? std::move(pairs[k].modelName) : std::string();
    }
}

}  // namespace

std::string TextureTable::TranslateTextureName(std::string_view storedName) const {
    std::string_view key = storedName;
    if (!key.empty() && key.back() == '\0')
        key.remove_suffix(1);
    // Every slot is compared, filled or not: an empty key finds the first unfilled slot, whose replacement is
    // empty. The first equal pair wins.
    for (std::size_t k = 0; k < kTextureTableSlots; ++k)
        if (translateFrom[k] == key)
            return NameForRoom(translateTo[k]);
    return NameForRoom(storedName);
}

const std::string* TextureTable::FindRoomName(std::string_view modelName) const {
    for (std::size_t k = 0; k < kTextureTableSlots; ++k)
        if (!translateFrom[k].empty() && translateFrom[k] == modelName)
            return &translateTo[k];
    return nullptr;
}

bool ReadTexturePairs(std::span<const std::uint8_t> bytes, std::vector<TexturePair>& pairs, std::string& error) {
    if (bytes.empty()) {
        error = "the file is empty; a texture table holds at least one pair";
        return false;
    }
    FieldReader reader(bytes, kPairWording);
    std::vector<TexturePair> read;
    // The first pair is read without a test; after each pair, two or more bytes left begin another one.
    do {
        if (read.size() == kTextureTableSlots) {
            error = "the file holds more than " + std::to_string(kTextureTableSlots) + " pairs: pair " +
                    std::to_string(read.size() + 1) + " begins at byte " + std::to_string(reader.position());
            return false;
        }
        TexturePair pair;
        reader.enterChunk("pair " + std::to_string(read.size() + 1), reader.position());
        if (!ReadName(reader, "room name", pair.roomName) || !ReadName(reader, "model name", pair.modelName)) {
            error = reader.error();
            return false;
        }
        read.push_back(std::move(pair));
    } while (reader.remaining() >= 2);
    pairs = std::move(read);
    return true;
}

std::vector<std::uint8_t> EncodeTexturePairs(std::span<const TexturePair> pairs) {
    ByteWriter writer;
    for (const TexturePair& pair : pairs) {
        for (const std::string* name : {&pair.roomName, &pair.modelName}) {
            writer.writeI32(static_cast<std::int32_t>(name->size()));
            writer.writeText(*name);
        }
    }
    return writer.release();
}

bool LoadTextureTable(std::span<const std::uint8_t> bytes, TextureTable& table, std::string& error) {
    std::vector<TexturePair> pairs;
    if (!ReadTexturePairs(bytes, pairs, error))
        return false;
    FillTable(pairs, table);
    return true;
}

bool ReadTexturePairsFile(const std::string& path, std::vector<TexturePair>& pairs, std::string& error) {
    std::vector<std::uint8_t> bytes;
    std::string reason;
    if (!ReadWholeFile(path, bytes, reason)) {
        std::error_code ignored;
        error = path + ": " +
                (std::filesystem::exists(PathFromUtf8(path), ignored) ? reason : std::string("file not found"));
        return false;
    }
    if (!ReadTexturePairs(bytes, pairs, reason)) {
        error = path + ": " + reason;
        return false;
    }
    return true;
}

bool LoadTextureTableFile(const std::string& path, TextureTable& table, std::string& error) {
    std::vector<TexturePair> pairs;
    if (!ReadTexturePairsFile(path, pairs, error))
        return false;
    FillTable(pairs, table);
    return true;
}

}  // namespace torvale
