#include "app/export_orf.h"

#include <map>

#include "bitmap/image_resize.h"
#include "bitmap/ogf_writer.h"
#include "core/ascii_text.h"
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

namespace {

// The game keeps 28 characters of a file's name before it adds ".ogf" to make a bitmap's name: the file of a
// longer name would not be found under the name the room asks for.
constexpr std::size_t kBitmapStemLimit = 28;

std::string SizeText(std::uint32_t width, std::uint32_t height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

}  // namespace

std::string TextureFileName(std::string_view roomName) {
    const std::string_view stem = roomName.substr(0, kBitmapStemLimit);
    if (stem.empty() || stem.find_first_of("/\\:*?\"<>|") != std::string_view::npos)
        return {};
    for (const char c : stem)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return {};
    return std::string(stem) + ".ogf";
}

bool MakeTextureFiles(const Scene& scene,
                      const std::vector<std::string>& roomNames,
                      const TextureImages& images,
                      const std::string& folder,
                      char separator,
                      OutputSink& out,
                      std::vector<SideFile>& files) {
    const std::string crLf(kCrLf);
    std::vector<bool> used(scene.textures.size(), false);
    for (const SceneObject& object : scene.objects)
        for (const SceneFace& face : object.faces)
            if (face.texture >= 0 && static_cast<std::size_t>(face.texture) < used.size())
                used[static_cast<std::size_t>(face.texture)] = true;
    const std::string prefix =
        folder.empty() || folder.back() == separator || folder.back() == '/' ? folder : folder + separator;

    std::vector<SideFile> made;
    std::map<std::string, std::string> byFile;  // lower-cased file name -> the room name that has it
    for (std::size_t t = 0; t < used.size() && t < roomNames.size(); ++t) {
        const Image* image = ImageOfTexture(images, static_cast<std::int32_t>(t));
        if (!used[t] || image == nullptr)
            continue;
        const std::string& named = roomNames[t];
        const std::string roomName = named.substr(0, named.find('\0'));
        const std::string fileName = TextureFileName(roomName);
        if (fileName.empty()) {
            out.PrintOutput(crLf + "Error: the texture \"" + roomName +
                            "\" cannot be a file's name; no file was written" + crLf);
            return false;
        }
        // Two names the file system takes for one file would overwrite each other: Windows ignores case.
        const auto [other, fresh] = byFile.emplace(AsciiLowered(fileName), roomName);
        if (!fresh) {
            if (other->second == roomName)
                continue;  // one room name for several of the model's textures: the first image stands
            out.PrintOutput(crLf + "Error: the textures \"" + other->second + "\" and \"" + roomName +
                            "\" would both be written as " + fileName + "; no file was written" + crLf);
            return false;
        }
        const ImageLevel& level = image->level;
        const std::uint32_t side = TextureSquareSide(level.width, level.height);
        ImageLevel resized;
        if (level.width != side || level.height != side) {
            resized = ResizeImage(level, side, side);
            out.PrintOutput("Note: the image of " + roomName + " (" + images[t].origin + ", " +
                            SizeText(level.width, level.height) + ") was resized to " + SizeText(side, side) + crLf);
        }
        const ImageLevel& square = resized.width != 0 ? resized : level;
        SideFile file;
        file.path = prefix + fileName;
        std::string error;
        if (!EncodeOgf(square, {.name = fileName}, file.bytes, error)) {
            out.PrintOutput(crLf + "Error: " + file.path + ": " + error + "; no file was written" + crLf);
            return false;
        }
        file.logLine = "Texture " + file.path + " (" + SizeText(side, side) + ", " +
                       (HasGradedAlpha(square) ? "4444" : "1555") + ")";
        made.push_back(std::move(file));
    }
    files = std::move(made);
    return true;
}

}  // namespace torvale
