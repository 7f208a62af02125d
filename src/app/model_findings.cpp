#include "app/model_findings.h"

#include <algorithm>
#include <memory>

#include "orf/room_build.h"
#include "orf/room_check.h"
#include "orf/room_limits.h"

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

std::vector<std::size_t> FlaggedFacesOf(const Scene& scene) {
    if (!FindRoomLimitProblem(scene, true).empty())
        return {};
    // The room exactly as the export would build it. Texture names do not bear on the faces' findings, so the
    // table is left empty.
    const auto table = std::make_unique<TextureTable>();
    return FlaggedFacesOf(BuildCombinedRoom(scene, RoomTextureNames(scene, *table)));
}

}  // namespace torvale
