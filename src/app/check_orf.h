#pragma once

#include <functional>
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

// What Check ORF found in one file.
struct RoomFileCheck {
    bool read = false;  // false: the file could not be read, or is no room the level editor reads
    std::size_t findings = 0;
    Room room;  // the room as read
};

// Check ORF, shared by the window and `torvale-cli check`: reads the room file at `path`, writes its short
// report and the room check's lines (see PrintRoomFindings) to `out`. A file that is no room gets its one
// "Error: ..." line; one that cannot be read at all gets "Error: cannot open <path>: <reason>", or the reason
// goes to `openError` when the caller gives one.
RoomFileCheck CheckRoomFile(const std::string& path,
                            const std::string& title,
                            const GameTextures* game,
                            OutputSink& out,
                            std::string* openError = nullptr,
                            const std::function<std::string(std::string_view)>& gameText = {});

}  // namespace torvale
