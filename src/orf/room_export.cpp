#include "orf/room_export.h"

#include <set>

#include "core/atomic_file.h"
#include "core/number_text.h"
#include "orf/orf_reader.h"
#include "orf/room_check.h"
#include "orf/room_findings.h"

namespace torvale {
namespace {

// Reports one room and writes its bytes over the target in one step. False (after saying why) when the
// file could not be written.
bool WriteRoomFile(const std::string& fileName,
                   const std::string& unshownPrefix,
                   std::int64_t vertexCount,
                   std::int64_t faceCount,
                   const std::vector<std::uint8_t>& bytes,
                   OutputSink& out) {
    const std::string shown = fileName.starts_with(unshownPrefix) ? fileName.substr(unshownPrefix.size()) : fileName;
    out.PrintOutput(std::string(kCrLf) + "Exporting " + shown + "..." + std::string(kCrLf));
    out.PrintOutput("Number of Verts: " + FormatInteger(vertexCount) + std::string(kCrLf));
    out.PrintOutput("Number of Faces: " + FormatInteger(faceCount) + std::string(kCrLf));
    std::string error;
    if (ReplaceFileAtomically(fileName, bytes, error))
        return true;
    out.PrintOutput(std::string(kCrLf) + "Error: could not write " + shown + ": " + error + std::string(kCrLf));
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
    // The rooms of this export: the combined one, or one per sub-object.
    const auto roomCount = options.combineSubObjects ? 1 : static_cast<std::size_t>(model.subObjectCount);
    const auto roomPath = [&](std::size_t room) {
        return options.combineSubObjects
                   ? names.orfPath + ".orf"
                   : RoomFileName(names.orfPath, model.subObjectCount, static_cast<std::int32_t>(room + 1));
    };
    const auto fileName = [](const std::string& path) {
        return path.substr(path.find_last_of("\\/") == std::string::npos ? 0 : path.find_last_of("\\/") + 1);
    };
    const std::string damage = FindExportDamage(model, options.combineSubObjects, [&](std::size_t subObject) {
        return fileName(roomPath(subObject == kCombinedRoom ? 0 : subObject));
    });
    if (!damage.empty()) {
        out.PrintOutput(std::string(kCrLf) + "Error: " + damage + "; no room was written" + std::string(kCrLf));
        return ExportOutcome::Refused;
    }
    const std::vector<std::string> textureNames =
        options.textureNames ? *options.textureNames : RoomTextureNames(model, table);
    const RoomBuildOptions build{options.reverseFaces};
    const auto buildRoom = [&](std::size_t room) {
        return options.combineSubObjects ? BuildCombinedRoom(model, textureNames, build)
                                         : BuildSubObjectRoom(model, room, textureNames, build);
    };
    // What the level editor's room check finds in a room as written, read back from its bytes.
    const auto findingsOf = [&](const std::vector<std::uint8_t>& bytes) {
        Room written;
        std::string error;
        std::vector<RoomFinding> findings;
        if (ReadOrfFile(bytes, written, error))
            findings = CheckRoom(written);
        // A name that several of the model's textures share is one texture to the editor: one finding.
        std::set<std::string_view> named;
        for (const std::size_t t : options.unknownTextures) {
            if (t < textureNames.size()) {
                const std::string& name = textureNames[t];
                const std::string_view shown = std::string_view(name).substr(0, name.find('\0'));
                if (named.insert(shown).second)
                    findings.push_back(UnknownTextureFinding(t, shown));
            }
        }
        return findings;
    };

    if (options.strict) {
        // Nothing is written unless every room is clean: check them all first.
        std::size_t total = 0;
        for (std::size_t room = 0; room < roomCount; ++room) {
            const std::vector<RoomFinding> findings = findingsOf(buildRoom(room));
            if (!findings.empty())
                PrintRoomFindings(fileName(roomPath(room)), findings, out);
            total += findings.size();
        }
        if (total > 0) {
            out.PrintOutput(std::string(kCrLf) + "Error: the room check found " +
                            FormatInteger(static_cast<std::int64_t>(total)) + (total == 1 ? " finding" : " findings") +
                            "; no room was written" + std::string(kCrLf));
            return ExportOutcome::Refused;
        }
    }
    for (std::size_t room = 0; room < roomCount; ++room) {
        std::int64_t vertexCount = 0;
        std::int64_t faceCount = 0;
        for (std::size_t i = 0; i < static_cast<std::size_t>(model.subObjectCount); ++i) {
            if (options.combineSubObjects || i == room) {
                vertexCount += model.subObject(i).vertexCount;
                faceCount += model.subObject(i).faceCount;
            }
        }
        const std::vector<std::uint8_t> bytes = buildRoom(room);
        if (!WriteRoomFile(roomPath(room), options.unshownPrefix, vertexCount, faceCount, bytes, out))
            return ExportOutcome::Failed;
        PrintRoomFindings(fileName(roomPath(room)), findingsOf(bytes), out);
    }
    return ExportOutcome::Written;
}

}  // namespace torvale
