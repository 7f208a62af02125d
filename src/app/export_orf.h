#pragma once

#include <vector>

#include <string>
#include <string_view>

#include "bitmap/texture_images.h"
#include "orf/room_export.h"
#include "platform/file_dialogs.h"

namespace torvale {

// The target the Export ORF command proposes: the model's path with its last three characters replaced by
// "orf", whatever they are (C:\m\Ship.OOF gives C:\m\Ship.orf).
std::string SuggestOrfPath(std::string_view oofPath);

// The save dialog of Export ORF: no question before an existing file is replaced, and no extension added to a
// name typed without one (the room export adds ".orf").
FileDialogRequest ExportOrfDialog(std::string suggestedPath);

// The line that closes an export in the log: "Finished converting to ORF!" only when every room was written;
// when a room failed or the model was refused, a line saying the export failed. Nothing when the export
// had no name to write to.
std::string ExportClosingMessage(ExportOutcome outcome);

class GameTextures;

// The texture names of the rooms of `scene`, each ending in one zero byte, and the numbers of those no
// texture page of the game's tables answers. Without the game's tables: the names through the user's table,
// as always, judged by nobody. With them: each name resolved as the game resolves it (a pair of the user's
// table, then the page whose bitmap is NAME.ogf, then the page named NAME), the log told once per name which
// names the tables changed ("Texture X is page Y (table)").
struct RoomTextureNaming {
    std::vector<std::string> names;
    std::vector<std::size_t> unknown;
};
RoomTextureNaming NameRoomTextures(const Scene& scene,
                                   const TextureTable& table,
                                   const GameTextures* game,
                                   OutputSink& out);

// What the user chose for an export of rooms, in the options dialog or on torvale-cli's command line.
struct RoomExportChoices {
    bool combineSubObjects = true;  // one room for the model, or one per sub-object
    bool reverseFaces = false;
    bool strict = false;  // a finding of the room check refuses the export
    char pathSeparator = '\\';
    std::string unshownPrefix;        // see RoomExportOptions
    std::vector<std::string> inputs;  // files no room may replace
};

// The options of WriteRooms for `choices`, with the texture names of `naming` (which must outlive them) and the
// names no page of the game's tables answers (moved out of `naming`).
RoomExportOptions RoomExportOptionsFrom(const RoomExportChoices& choices, RoomTextureNaming& naming);

// The file an OGF of the room texture `roomName` (without its zero byte) gets, as the level editor names a
// bitmap made from a file: the name cut to 28 characters, then ".ogf". Empty when the name cannot be a file's
// name (empty, or holding a separator, ':', a wildcard, quotes, '<', '>', '|' or a control character).
std::string TextureFileName(std::string_view roomName);

// The OGFs of the textures that the rooms of `scene` use and that have an image in `images`, for the folder
// `folder` (joined with `separator`): each square 32, 64 or 128 pixels a side (TextureSquareSide), one level,
// 1555 unless the image's alpha is graded, named inside as its own file; an image of another size resized,
// with a "Note: ..." line each. `roomNames` are the rooms' texture names (each ending in one zero byte).
// False, with one "Error: ..." line and no files, when two textures would share one file or a name cannot
// be a file's.
bool MakeTextureFiles(const Scene& scene,
                      const std::vector<std::string>& roomNames,
                      const TextureImages& images,
                      const std::string& folder,
                      char separator,
                      OutputSink& out,
                      std::vector<SideFile>& files);

}  // namespace torvale
