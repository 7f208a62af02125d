#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "orf/room.h"
#include "orf/texture_table.h"
#include "scene/scene.h"

namespace torvale {

// The name a room lists when the model has no textures, and the name its untextured faces use.
inline constexpr std::string_view kSampleTexture{"SAMPLE TEXTURE\0", 15};

struct RoomBuildOptions {
    // Every face's corners in the opposite order (each corner keeps its UV) and its stored normal negated,
    // for models whose faces point inwards. Off, the room is exactly the model's faces.
    bool reverseFaces = false;
};

// The names that every room of `scene` lists, each ending in one zero byte: the model's textures passed
// through `table`, or "SAMPLE TEXTURE" alone when the model has none.
std::vector<std::string> RoomTextureNames(const Scene& scene, const TextureTable& table);

// One room of the scene, as its file will hold it (version 4, every corner's alpha 1, every face's light
// multiple 1). `textureNames` come from RoomTextureNames (each ending in one zero byte). A room with an
// untextured face lists "SAMPLE TEXTURE" after the model's names (when the model has textures) and its
// untextured faces use that name. The combined room holds every sub-object's vertices moved by WorldOffset
// (even a zero offset is a float32 addition); a room of one sub-object copies its positions bit for bit.
Room BuildCombinedRoom(const Scene& scene,
                       std::span<const std::string> textureNames,
                       const RoomBuildOptions& options = {});
Room BuildSubObjectRoom(const Scene& scene,
                        std::size_t index,
                        std::span<const std::string> textureNames,
                        const RoomBuildOptions& options = {});

}  // namespace torvale
