#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace torvale {

inline constexpr std::size_t kTextureTableSlots = 2086;

// Maps model texture names to room texture names: pair k is translateFrom[k] -> translateTo[k].
// Slots the file did not fill stay empty; a lookup scans all of them and the first equal pair wins.
struct TextureTable {
    std::array<std::string, kTextureTableSlots> translateTo;
    std::array<std::string, kTextureTableSlots> translateFrom;

    // `storedName` is the name as the model holds it, its terminating zero character last. Returns the
    // bytes to write into a room's texture list.
    std::string TranslateTextureName(std::string_view storedName) const;
};

// Reads texlate.rsc bytes into `table`. False with a reason in `error` when the bytes are not a sound table.
bool LoadTextureTable(std::span<const std::uint8_t> bytes, TextureTable& table, std::string& error);
// Reads the file at `path`; false with `error` when it is missing, unreadable or not a sound table.
bool LoadTextureTableFile(const std::string& path, TextureTable& table, std::string& error);

}  // namespace torvale
