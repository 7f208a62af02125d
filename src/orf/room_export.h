#pragma once

// Room export: the names of the room files (orf/room_names.h), the limits of the level editor
// (orf/room_limits.h), the building of the rooms (orf/room_build.h), their check and the writing of the rooms.

#include "core/output_sink.h"
#include "orf/room_build.h"
#include "orf/room_check.h"
#include "orf/room_limits.h"
#include "orf/room_names.h"
#include "orf/texture_table.h"

namespace torvale {

// A file written with the rooms, all of them or none (a texture's OGF beside them): where it goes, its whole
// content, and the line the log lists it with.
struct SideFile {
    std::string path;
    std::vector<std::uint8_t> bytes;
    std::string logLine;
};

struct RoomExportOptions {
    bool combineSubObjects = true;  // one room for the whole model, or one room per sub-object
    char pathSeparator = '\\';      // '\\' on Windows, '/' elsewhere
    bool reverseFaces = false;      // see RoomBuildOptions
    // Any finding of the room check refuses the export: nothing is written, the findings are shown.
    bool strict = false;
    // The names the rooms list, each ending in one zero byte, in place of RoomTextureNames(model, table).
    const std::vector<std::string>* textureNames = nullptr;
    // Text at the start of every room path that the log leaves out (a "./" the caller put before a bare name).
    std::string unshownPrefix;
    // Numbers of names that no texture page of the game's tables answers: findings of every room.
    std::vector<std::size_t> unknownTextures;
    // Findings about the textures' bitmaps (see TextureBitmapFinding): findings of every room.
    std::vector<RoomFinding> textureFindings;
    // Files the export must never replace (the file the model was read from): a room or side file of one of
    // these names refuses the export.
    std::vector<std::string> inputs;
    // Files written after the rooms and replaced together with them.
    const std::vector<SideFile>* sideFiles = nullptr;
};

enum class ExportOutcome {
    Written,  // every room was written (possibly none, for a per-sub-object export of no sub-objects)
    Skipped,  // an empty name or title: nothing touched, nothing reported
    Refused,  // damaged model data: nothing written, the log says why
    Failed,   // a room could not be written: the log names it and the reason; the rooms are all as they were
              // (or, should a replacement fail midway, the log names those already new)
};

// The room files of an export to `basePath` (the path without ".orf", as DeriveBaseName leaves it), in order.
std::vector<std::string> RoomPaths(std::size_t subObjects, bool combineSubObjects, const std::string& basePath);

// Writes the rooms of `scene` (after refusing, with one line and nothing written, rooms beyond the level
// editor's hard limits): each room's messages "Exporting <path>...", its vertex and face counts, then what the
// room check finds in the room about to be written (see PrintRoomFindings); then each side file's line. Each room is
// built once, checked, and turned into its bytes; nothing is read back. The findings are advice; with `strict` they
// refuse the export instead.
ExportOutcome WriteRooms(const Scene& scene,
                         const TextureTable& table,
                         const RoomExportOptions& options,
                         ExportNames& names,
                         OutputSink& out);

// The refusal of an export whose model could not become a scene: the log line
// CR LF "Error: <reason>; no room was written" CR LF. Returns ExportOutcome::Refused.
ExportOutcome RefuseRoomExport(const std::string& reason, OutputSink& out);

}  // namespace torvale
