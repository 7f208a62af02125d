#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace torvale {

inline constexpr std::size_t kTextureTableSlots = 2086;

// Maps model texture names to room texture names: pair k is translateFrom[k] -> translateTo[k].
// Slots the file did not fill stay empty; a lookup scans all of them and the first equal pair wins.
struct TextureTable {
    std::array<std::string, kTextureTableSlots> translateTo;
    std::array<std::string, kTextureTableSlots> translateFrom;

    // `storedName` is the name as the model holds it, its terminating zero character last; the key is the name
    // without that zero (the whole name when it does not end in one). Returns the bytes to write into a room's
    // texture list: the replacement of the first pair whose model name equals the key, else the stored name,
    // either one cut at its first zero byte and ending in exactly one zero byte.
    std::string TranslateTextureName(std::string_view storedName) const;

    // The room name of the first filled pair whose model name is `modelName` (given without a terminating zero),
    // as the table holds it; null when no pair has that model name. Unfilled slots never answer.
    const std::string* FindRoomName(std::string_view modelName) const;
};

// One pair of texlate.rsc as the file holds it. Each name is at least one byte; a zero byte inside a name is
// part of it.
struct TexturePair {
    std::string modelName;  // goes to translateFrom
    std::string roomName;   // goes to translateTo
};

// Reads the pairs of texlate.rsc bytes in file order: each pair is an int32 length and the room name, then an
// int32 length and the model name; a single byte after the last pair is ignored. Refuses an empty file, a
// name length below 1, a pair cut off by the end of the file and more than 2086 pairs, with a reason that
// names the pair and its byte offset. `pairs` is only changed on success.
bool ReadTexturePairs(std::span<const std::uint8_t> bytes, std::vector<TexturePair>& pairs, std::string& error);
// Reads the file at `path` with ReadTexturePairs; the error begins with the path, as LoadTextureTableFile's does.
bool ReadTexturePairsFile(const std::string& path, std::vector<TexturePair>& pairs, std::string& error);
// The texlate.rsc bytes of `pairs`. The caller keeps to what the reader accepts: at most 2086 pairs, every name
// at least one byte long.
std::vector<std::uint8_t> EncodeTexturePairs(std::span<const TexturePair> pairs);

// Reads texlate.rsc bytes into `table`, pair k filling slot k and every other slot emptied. False with a reason
// in `error` when the bytes are not a sound table (see ReadTexturePairs); `table` is then unchanged.
bool LoadTextureTable(std::span<const std::uint8_t> bytes, TextureTable& table, std::string& error);
// Reads the file at `path`; false with `error` when it is missing, unreadable or not a sound table. The error
// begins with the path: "<path>: file not found", "<path>: pair 3 at byte 40: ...".
bool LoadTextureTableFile(const std::string& path, TextureTable& table, std::string& error);

}  // namespace torvale
