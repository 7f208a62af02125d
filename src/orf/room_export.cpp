#include "orf/room_export.h"

#include <set>

#include "core/atomic_file.h"
#include "core/number_text.h"
#include "core/path_text.h"
#include "orf/orf_reader.h"
#include "orf/room_check.h"
#include "orf/room_findings.h"

namespace torvale {
namespace {

// Reports one room as it is about to be written, under the name the user gave (without `unshownPrefix`).
void ReportRoom(const std::string& fileName,
                const std::string& unshownPrefix,
                std::int64_t vertexCount,
                std::int64_t faceCount,
                OutputSink& out) {
    const std::string shown = fileName.starts_with(unshownPrefix) ? fileName.substr(unshownPrefix.size()) : fileName;
    out.PrintOutput(std::string(kCrLf) + "Exporting " + shown + "..." + std::string(kCrLf));
    out.PrintOutput("Number of Verts: " + FormatInteger(vertexCount) + std::string(kCrLf));
    out.PrintOutput("Number of Faces: " + FormatInteger(faceCount) + std::string(kCrLf));
}

}  // namespace

std::vector<std::string> RoomPaths(const ObjectModel& model, bool combineSubObjects, const std::string& basePath) {
    if (combineSubObjects)
        return {basePath + ".orf"};
    std::vector<std::string> paths;
    for (std::int32_t room = 1; room <= model.subObjectCount; ++room)
        paths.push_back(RoomFileName(basePath, model.subObjectCount, room));
    return paths;
}

ExportOutcome WriteRooms(const ObjectModel& model,
                         const TextureTable& table,
                         const RoomExportOptions& options,
                         ExportNames& names,
                         OutputSink& out) {
    if (!DeriveBaseName(names, options.pathSeparator))
        return ExportOutcome::Skipped;
    // The rooms of this export: the combined one, or one per sub-object.
    const std::vector<std::string> paths = RoomPaths(model, options.combineSubObjects, names.orfPath);
    const std::size_t roomCount = paths.size();
    const auto roomPath = [&](std::size_t room) {
        return room < paths.size()
                   ? paths[room]
                   : RoomFileName(names.orfPath, model.subObjectCount, static_cast<std::int32_t>(room + 1));
    };
    const auto fileName = [](const std::string& path) { return FileNameOf(path, PathSeparators::Any); };
    for (const std::string& path : paths) {
        for (const std::string& input : options.inputs) {
            if (IsSameFile(path, input)) {
                out.PrintOutput(std::string(kCrLf) + "Error: " + path + " is the file the model was read from" +
                                "; no room was written" + std::string(kCrLf));
                return ExportOutcome::Refused;
            }
        }
    }
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
    // Every room is built before any is written, and all are replaced together: a failure leaves the rooms of
    // an earlier export as they were, never half of them new.
    std::vector<std::vector<std::uint8_t>> rooms;
    for (std::size_t room = 0; room < roomCount; ++room) {
        std::int64_t vertexCount = 0;
        std::int64_t faceCount = 0;
        for (std::size_t i = 0; i < static_cast<std::size_t>(model.subObjectCount); ++i) {
            if (options.combineSubObjects || i == room) {
                vertexCount += model.subObject(i).vertexCount;
                faceCount += model.subObject(i).faceCount;
            }
        }
        rooms.push_back(buildRoom(room));
        ReportRoom(roomPath(room), options.unshownPrefix, vertexCount, faceCount, out);
        PrintRoomFindings(fileName(roomPath(room)), findingsOf(rooms.back()), out);
    }
    std::vector<FileToWrite> files;
    for (std::size_t room = 0; room < roomCount; ++room)
        files.push_back({paths[room], rooms[room]});
    std::string error;
    if (!ReplaceFilesAtomically(files, error)) {
        out.PrintOutput(std::string(kCrLf) + "Error: could not write " + error + std::string(kCrLf));
        return ExportOutcome::Failed;
    }
    return ExportOutcome::Written;
}

}  // namespace torvale
