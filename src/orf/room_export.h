#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/output_sink.h"
#include "oof/object_model.h"
#include "orf/texture_table.h"

namespace torvale {

// The main window's export names. WriteRooms rewrites all three: orfPath becomes the base path without
// extension, orfTitle the title without ".orf", and orfDirectory keeps the directory for the next export.
struct ExportNames {
    std::string orfPath;
    std::string orfTitle;
    std::string orfDirectory;
};

struct RoomExportOptions {
    bool combineSubObjects = true;  // one room for the whole model, or one room per sub-object
    char pathSeparator = '\\';      // '\\' on Windows, '/' elsewhere
};

enum class ExportOutcome {
    Written,  // every room was written (possibly none, for a per-sub-object export of no sub-objects)
    Skipped,  // an empty name or title: nothing touched, nothing reported
    Refused,  // damaged model data: nothing written, the log says why
    Failed,   // a room could not be written: the log names it and the reason; earlier rooms stay complete
};

ExportOutcome WriteRooms(const ObjectModel& model,
                         const TextureTable& table,
                         const RoomExportOptions& options,
                         ExportNames& names,
                         OutputSink& out);

// The steps of WriteRooms, for callers that want the room bytes without touching the disk.

// A room holds at most this many vertices: corners name them with 16-bit indices.
inline constexpr std::int64_t kRoomVertexLimit = 32767;
// The name a room lists when the model has no textures, and the name its untextured faces use.
inline constexpr std::string_view kSampleTexture{"SAMPLE TEXTURE\0", 15};

// Finds damaged model data in what the chosen mode reads: both modes read every sub-object's vertices,
// faces, corners and texture indices; only the combined room also walks the parent chains and adds the
// offsets. Returns an empty text when the model can be exported, otherwise one line saying what is wrong.
std::string FindExportDamage(const ObjectModel& model, bool combineSubObjects);

// The names that every room of `model` lists, each ending in one zero byte: the model's textures passed
// through `table`, or "SAMPLE TEXTURE" alone when the model has none.
std::vector<std::string> RoomTextureNames(const ObjectModel& model, const TextureTable& table);

// The bytes of one room file. The model must have passed FindExportDamage for the same mode, and
// `textureNames` must come from RoomTextureNames. A room with an untextured face lists "SAMPLE TEXTURE"
// after the model's names (when the model has textures) and its untextured faces use that name.
std::vector<std::uint8_t> BuildCombinedRoom(const ObjectModel& model, std::span<const std::string> textureNames);
std::vector<std::uint8_t> BuildSubObjectRoom(const ObjectModel& model,
                                             std::size_t index,
                                             std::span<const std::string> textureNames);

}  // namespace torvale
