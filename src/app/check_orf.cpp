#include "app/check_orf.h"

#include <cstdint>

#include "core/atomic_file.h"
#include "game/game_textures.h"
#include "game/texture_names.h"
#include "orf/orf_reader.h"
#include "orf/room_findings.h"
#include "orf/room_report.h"

#include <set>
#include <string_view>

namespace torvale {

std::vector<RoomFinding> RoomFindings(const Room& room, const GameTextures* game) {
    std::vector<RoomFinding> findings = CheckRoom(room);
    if (game) {
        std::set<std::string_view> named;  // a name listed twice is one finding
        for (std::size_t t = 0; t < room.textureNames.size(); ++t) {
            if (!JudgeRoomName(room.textureNames[t], *game) && named.insert(room.textureNames[t]).second)
                findings.push_back(UnknownTextureFinding(t, room.textureNames[t]));
        }
    }
    return findings;
}

}  // namespace torvale
