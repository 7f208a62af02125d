#include "app/model_findings.h"

#include <algorithm>
#include <memory>

#include "orf/orf_reader.h"
#include "orf/room_check.h"
#include "orf/room_export.h"

namespace torvale {

std::vector<std::size_t> FlaggedFacesOf(const Room& room) {
    std::vector<std::size_t> faces;
    for (const RoomFinding& finding : CheckRoom(room)) {
        if (finding.element == RoomElement::Face)
            faces.push_back(finding.index);
    }
    std::sort(faces.begin(), faces.end());
    faces.erase(std::unique(faces.begin(), faces.end()), faces.end());
    return faces;
}

std::vector<std::size_t> FlaggedFacesOf(const ObjectModel& model) {
    if (!FindExportDamage(model, true).empty())
        return {};
    // The room exactly as the export would write it, read back as the level editor reads it. Texture names do
    // not bear on the faces' findings, so the table is left empty.
    const auto table = std::make_unique<TextureTable>();
    const std::vector<std::uint8_t> bytes = BuildCombinedRoom(model, RoomTextureNames(model, *table));
    Room room;
    std::string error;
    if (!ReadOrfFile(bytes, room, error))
        return {};
    return FlaggedFacesOf(room);
}

}  // namespace torvale
