#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "oof/object_model.h"
#include "orf/texture_table.h"

namespace torvale {

// The name a room lists when the model has no textures, and the name its untextured faces use.
inline constexpr std::string_view kSampleTexture{"SAMPLE TEXTURE\0", 15};

struct RoomBuildOptions {
    // Every face's corners in the opposite order (each corner keeps its UV) and its stored normal negated,
    // for models whose faces point inwards. Off, the room is exactly the model's faces.
    bool reverseFaces = false;
};

// The names that every room of `model` lists, each ending in one zero byte: the model's textures passed
// through `table`, or "SAMPLE TEXTURE" alone when the model has none.
std::vector<std::string> RoomTextureNames(const ObjectModel& model, const TextureTable& table);

// The bytes of one room file. The model must have passed FindExportDamage for the same mode, and
// `textureNames` must come from RoomTextureNames. A room with an untextured face lists "SAMPLE TEXTURE"
// after the model's names (when the model has textures) and its untextured faces use that name.
std::vector<std::uint8_t> BuildCombinedRoom(const ObjectModel& model,
                                            std::span<const std::string> textureNames,
                                            const RoomBuildOptions& options = {});
std::vector<std::uint8_t> BuildSubObjectRoom(const ObjectModel& model,
                                             std::size_t index,
                                             std::span<const std::string> textureNames,
                                             const RoomBuildOptions& options = {});

}  // namespace torvale
