#include "app/export_orf.h"

#include "game/game_textures.h"
#include "game/texture_names.h"

#include "app/output_log.h"

namespace torvale {

std::string SuggestOrfPath(std::string_view oofPath) {
    const std::size_t keep = oofPath.size() >= 3 ? oofPath.size() - 3 : 0;
    return std::string(oofPath.substr(0, keep)) + "orf";
}

FileDialogRequest ExportOrfDialog(std::string suggestedPath) {
    FileDialogRequest request;
    request.title = "Export ORF file";
    request.filter = "Outrage Room File(*.ORF)|*.orf";
    request.initialPath = std::move(suggestedPath);
    request.overwritePrompt = false;
    return request;
}

std::string ExportClosingMessage(ExportOutcome outcome) {
    const std::string crLf(kCrLf);
    switch (outcome) {
        case ExportOutcome::Written:
            return crLf + "Finished converting to ORF!" + crLf;
        case ExportOutcome::Failed:
        case ExportOutcome::Refused:
            return crLf + "Export failed: not every room was written." + crLf;
        case ExportOutcome::Skipped:
            break;
    }
    return {};
}

RoomTextureNaming NameRoomTextures(const Scene& scene,
                                   const TextureTable& table,
                                   const GameTextures* game,
                                   OutputSink& out) {
    RoomTextureNaming naming;
    if (!game || scene.textures.empty()) {
        naming.names = RoomTextureNames(scene, table);
        return naming;
    }
    std::vector<ResolvedTexture> resolved;
    for (std::size_t k = 0; k < scene.textures.size(); ++k) {
        resolved.push_back(ResolveTextureName(scene.textures[k], &table, *game));
        naming.names.push_back(resolved.back().roomName + '\0');
        if (!resolved.back().page)
            naming.unknown.push_back(k);
    }
    for (const std::string& line : ResolutionLines(resolved, *game))
        out.PrintOutput(line + std::string(kCrLf));
    return naming;
}

RoomExportOptions RoomExportOptionsFrom(const RoomExportChoices& choices, RoomTextureNaming& naming) {
    RoomExportOptions options;
    options.combineSubObjects = choices.combineSubObjects;
    options.pathSeparator = choices.pathSeparator;
    options.reverseFaces = choices.reverseFaces;
    options.strict = choices.strict;
    options.textureNames = &naming.names;
    options.unshownPrefix = choices.unshownPrefix;
    options.unknownTextures = std::move(naming.unknown);
    options.inputs = choices.inputs;
    return options;
}

}  // namespace torvale
