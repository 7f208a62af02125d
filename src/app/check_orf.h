#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/output_sink.h"
#include "orf/room.h"
#include "orf/room_check.h"

namespace torvale {

class GameTextures;
class TextureFinder;

// The findings of a room as the export and Check ORF give them: the room check's, then, with the game's tables,
// a finding for every texture name that no page answers (judged as the level editor looks names up), then,
// with a finder of textures, the findings of TextureBitmapFindings. Files that could not be read add a line
// each to `problems`.
std::vector<RoomFinding> RoomFindings(const Room& room,
                                      const GameTextures* game,
                                      TextureFinder* textures = nullptr,
                                      std::vector<std::string>* problems = nullptr);

// A finding for each of a room's texture names (each may end in its zero byte; a name listed twice counts once)
// whose bitmap `textures` finds and the game would not take (see TextureBitmapFinding).
std::vector<RoomFinding> TextureBitmapFindings(std::span<const std::string> roomNames,
                                               TextureFinder& textures,
                                               std::vector<std::string>& problems);

}  // namespace torvale
