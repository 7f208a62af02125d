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

RoomFileCheck CheckRoomFile(const std::string& path,
                            const std::string& title,
                            const GameTextures* game,
                            OutputSink& out,
                            std::string* openError,
                            const std::function<std::string(std::string_view)>& gameText) {
    RoomFileCheck check;
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!ReadWholeFile(path, bytes, error)) {
        if (openError)
            *openError = error;
        else
            out.PrintOutput(std::string(kCrLf) + "Error: cannot open " + path + ": " + error + std::string(kCrLf));
        return check;
    }
    if (!ReadOrfFile(bytes, check.room, error)) {
        out.PrintOutput(std::string(kCrLf) + error + std::string(kCrLf));
        check.room = Room{};
        return check;
    }
    check.read = true;
    ReportRoom(check.room, title, out, gameText);
    const std::vector<RoomFinding> findings = RoomFindings(check.room, game);
    PrintRoomFindings(title, findings, out);
    check.findings = findings.size();
    return check;
}

}  // namespace torvale
