#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/output_sink.h"
#include "orf/room.h"
#include "orf/room_check.h"

namespace torvale {

class GameTextures;

// The findings of a room as the export and Check ORF give them: the room check's, then, with the game's tables,
// a finding for every texture name that no page answers (judged as the level editor looks names up).
std::vector<RoomFinding> RoomFindings(const Room& room, const GameTextures* game);

}  // namespace torvale
