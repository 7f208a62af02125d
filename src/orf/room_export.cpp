#include "orf/room_export.h"

#include <set>

#include "core/atomic_file.h"
#include "core/number_text.h"
#include "core/path_text.h"
#include "orf/orf_writer.h"
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

std::vector<std::string> RoomPaths(std::size_t subObjects, bool combineSubObjects, const std::string& basePath) {
    if (combineSubObjects)
        return {basePath + ".orf"};
    std::vector<std::string> paths;
    const auto count = static_cast<std::int32_t>(subObjects);
    for (std::int32_t room = 1; room <= count; ++room)
        paths.push_back(RoomFileName(basePath, count, room));
    return paths;
}

ExportOutcome RefuseRoomExport(const std::string& reason, OutputSink& out) {
    out.PrintOutput(std::string(kCrLf) + "Error: " + reason + "; no room was written" + std::string(kCrLf));
    return ExportOutcome::Refused;
}

ExportOutcome WriteRooms(const Scene& scene,
                         const TextureTable& table,
                         const RoomExportOptions& options,
                         ExportNames& names,
                         OutputSink& out) {
    if (!DeriveBaseName(names, options.pathSeparator))
        return ExportOutcome::Skipped;
    // The rooms of this export: the combined one, or one per sub-object.
    const std::vector<std::string> paths = RoomPaths(scene.objects.size(), options.combineSubObjects, names.orfPath);
    const std::size_t roomCount = paths.size();
    const std::vector<SideFile> noSideFiles;
    const std::vector<SideFile>& sideFiles = options.sideFiles ? *options.sideFiles : noSideFiles;
    std::vector<std::string> outputs = paths;
    for (const SideFile& side : sideFiles)
        outputs.push_back(side.path);
    for (const std::string& path : outputs) {
        for (const std::string& input : options.inputs) {
            if (IsSameFile(path, input)) {
                out.PrintOutput(std::string(kCrLf) + "Error: " + path + " is a file the model was read from" +
                                "; no room was written" + std::string(kCrLf));
                return ExportOutcome::Refused;
            }
        }
    }
    const std::string problem = FindRoomLimitProblem(scene, options.combineSubObjects, [&](std::size_t subObject) {
        return FileNameOf(paths[subObject == kCombinedRoom ? 0 : subObject], PathSeparators::Any);
    });
    if (!problem.empty())
        return RefuseRoomExport(problem, out);
    const std::vector<std::string> textureNames =
        options.textureNames ? *options.textureNames : RoomTextureNames(scene, table);
    const RoomBuildOptions build{options.reverseFaces};

    // Each room is built once, checked as the level editor's room check would check it, and turned into its
    // bytes; its findings are logged at once and not kept. A name that several of the model's textures share is
    // one texture to the editor: one finding. Each room goes to its temporary as soon as it is made, and all
    // replace their files together at the end: a failure leaves the rooms of an earlier export as they were,
    // never half of them new. With `strict` nothing is written unless every room is clean, so the rooms wait in
    // memory, only their findings are logged while they are built, and their own lines follow.
    struct HeldRoom {
        std::vector<std::uint8_t> bytes;
        std::size_t vertices = 0;
        std::size_t faces = 0;
    };
    std::vector<HeldRoom> held;
    StagedFiles staged(outputs.size());
    std::string error;
    const auto write = [&](std::size_t r, const std::vector<std::uint8_t>& bytes) {
        if (staged.stage(paths[r], bytes, error))
            return true;
        out.PrintOutput(std::string(kCrLf) + "Error: could not write " + error + std::string(kCrLf));
        return false;
    };
    std::size_t total = 0;
    for (std::size_t r = 0; r < roomCount; ++r) {
        const Room room = options.combineSubObjects ? BuildCombinedRoom(scene, textureNames, build)
                                                    : BuildSubObjectRoom(scene, r, textureNames, build);
        std::vector<RoomFinding> findings = CheckRoom(room);
        std::set<std::string_view> named;
        for (const std::size_t t : options.unknownTextures) {
            if (t < textureNames.size()) {
                const std::string& name = textureNames[t];
                const std::string_view shown = std::string_view(name).substr(0, name.find('\0'));
                if (named.insert(shown).second)
                    findings.push_back(UnknownTextureFinding(t, shown));
            }
        }
        findings.insert(findings.end(), options.textureFindings.begin(), options.textureFindings.end());
        total += findings.size();
        const std::string fileName = FileNameOf(paths[r], PathSeparators::Any);
        if (options.strict) {
            if (!findings.empty())
                PrintRoomFindings(fileName, findings, out);
            held.push_back({EncodeRoom(room), room.vertices.size(), room.faces.size()});
            continue;
        }
        ReportRoom(paths[r], options.unshownPrefix, static_cast<std::int64_t>(room.vertices.size()),
                   static_cast<std::int64_t>(room.faces.size()), out);
        PrintRoomFindings(fileName, findings, out);
        if (!write(r, EncodeRoom(room)))
            return ExportOutcome::Failed;
    }

    if (options.strict) {
        if (total > 0) {
            out.PrintOutput(std::string(kCrLf) + "Error: the room check found " +
                            FormatInteger(static_cast<std::int64_t>(total)) + (total == 1 ? " finding" : " findings") +
                            "; no room was written" + std::string(kCrLf));
            return ExportOutcome::Refused;
        }
        for (std::size_t r = 0; r < roomCount; ++r) {
            ReportRoom(paths[r], options.unshownPrefix, static_cast<std::int64_t>(held[r].vertices),
                       static_cast<std::int64_t>(held[r].faces), out);
            PrintRoomFindings(FileNameOf(paths[r], PathSeparators::Any), {}, out);
            if (!write(r, held[r].bytes))
                return ExportOutcome::Failed;
        }
    }
    for (const SideFile& side : sideFiles) {
        if (!staged.stage(side.path, side.bytes, error)) {
            out.PrintOutput(std::string(kCrLf) + "Error: could not write " + error + std::string(kCrLf));
            return ExportOutcome::Failed;
        }
        out.PrintOutput(side.logLine + std::string(kCrLf));
    }
    if (!staged.commit(error)) {
        out.PrintOutput(std::string(kCrLf) + "Error: could not write " + error + std::string(kCrLf));
        return ExportOutcome::Failed;
    }
    return ExportOutcome::Written;
}

}  // namespace torvale
