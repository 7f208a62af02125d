#include "orf/room_export.h"

#include "core/atomic_file.h"
#include "core/number_text.h"

namespace torvale {
namespace {

// Reports one room and writes its bytes over the target in one step. False (after saying why) when the
// file could not be written.
bool WriteRoomFile(const std::string& fileName,
                   std::int64_t vertexCount,
                   std::int64_t faceCount,
                   const std::vector<std::uint8_t>& bytes,
                   OutputSink& out) {
    out.PrintOutput(std::string(kCrLf) + "Exporting " + fileName + "..." + std::string(kCrLf));
    out.PrintOutput("Number of Verts: " + FormatInteger(vertexCount) + std::string(kCrLf));
    out.PrintOutput("Number of Faces: " + FormatInteger(faceCount) + std::string(kCrLf));
    std::string error;
    if (ReplaceFileAtomically(fileName, bytes, error))
        return true;
    out.PrintOutput(std::string(kCrLf) + "Error: could not write " + fileName + ": " + error + std::string(kCrLf));
    return false;
}

}  // namespace

ExportOutcome WriteRooms(const ObjectModel& model,
                         const TextureTable& table,
                         const RoomExportOptions& options,
                         ExportNames& names,
                         OutputSink& out) {
    if (!DeriveBaseName(names, options.pathSeparator))
        return ExportOutcome::Skipped;
    const std::string damage = FindExportDamage(model, options.combineSubObjects);
    if (!damage.empty()) {
        out.PrintOutput(std::string(kCrLf) + "Error: " + damage + "; no room was written" + std::string(kCrLf));
        return ExportOutcome::Refused;
    }
    const std::vector<std::string> textureNames = RoomTextureNames(model, table);
    const RoomBuildOptions build{options.reverseFaces};

    if (options.combineSubObjects) {
        std::int64_t vertexCount = 0;
        std::int64_t faceCount = 0;
        for (std::size_t i = 0; i < static_cast<std::size_t>(model.subObjectCount); ++i) {
            vertexCount += model.subObject(i).vertexCount;
            faceCount += model.subObject(i).faceCount;
        }
        const bool written = WriteRoomFile(names.orfPath + ".orf", vertexCount, faceCount,
                                           BuildCombinedRoom(model, textureNames, build), out);
        return written ? ExportOutcome::Written : ExportOutcome::Failed;
    }

    for (std::int32_t room = 1; room <= model.subObjectCount; ++room) {
        const SubObject& sub = model.subObject(static_cast<std::size_t>(room - 1));
        const bool written =
            WriteRoomFile(RoomFileName(names.orfPath, model.subObjectCount, room), sub.vertexCount, sub.faceCount,
                          BuildSubObjectRoom(model, static_cast<std::size_t>(room - 1), textureNames, build), out);
        if (!written)
            return ExportOutcome::Failed;
    }
    return ExportOutcome::Written;
}

}  // namespace torvale
