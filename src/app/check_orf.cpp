#include "app/check_orf.h"

#include <cstdint>

#include "app/texture_finder.h"
#include "core/ascii_text.h"
#include "core/atomic_file.h"
#include "game/game_textures.h"
#include "game/texture_names.h"
#include "orf/orf_reader.h"
#include "orf/room_findings.h"
#include "orf/room_report.h"

#include <set>
#include <string_view>

namespace torvale {

std::vector<RoomFinding> TextureBitmapFindings(std::span<const std::string> roomNames,
                                               TextureFinder& textures,
                                               std::vector<std::string>& problems) {
    std::vector<RoomFinding> findings;
    std::set<std::string> named;
    for (std::size_t t = 0; t < roomNames.size(); ++t) {
        const std::string_view name = std::string_view(roomNames[t]).substr(0, roomNames[t].find('\0'));
        if (name.empty() || !named.insert(AsciiLowered(name)).second)
            continue;
        const FoundImage& found = textures.find(name, problems);
        if (!found.image)
            continue;
        if (auto finding = TextureBitmapFinding(t, name, *found.image, found.pageBitmap, found.origin))
            findings.push_back(std::move(*finding));
    }
    return findings;
}

std::vector<RoomFinding> RoomFindings(const Room& room,
                                      const GameTextures* game,
                                      TextureFinder* textures,
                                      std::vector<std::string>* problems) {
    std::vector<RoomFinding> findings = CheckRoom(room);
    if (game) {
        std::set<std::string_view> named;  // a name listed twice is one finding
        for (std::size_t t = 0; t < room.textureNames.size(); ++t) {
            if (!JudgeRoomName(room.textureNames[t], *game) && named.insert(room.textureNames[t]).second)
                findings.push_back(UnknownTextureFinding(t, room.textureNames[t]));
        }
    }
    if (textures) {
        std::vector<std::string> unread;
        for (RoomFinding& finding : TextureBitmapFindings(room.textureNames, *textures, problems ? *problems : unread))
            findings.push_back(std::move(finding));
    }
    return findings;
}

}  // namespace torvale
