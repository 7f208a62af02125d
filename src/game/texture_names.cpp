#include "game/texture_names.h"

#include <unordered_set>

#include "orf/texlate_text.h"

namespace torvale {
namespace {

constexpr std::string_view kBitmapSuffix = ".ogf";
constexpr std::string_view kFramesNote = "frames of animated textures are not looked up";

std::string_view CutAtZero(std::string_view name) {
    return name.substr(0, name.find('\0'));
}

}  // namespace

ResolvedTexture ResolveTextureName(std::string_view modelName,
                                   const TextureTable* userTable,
                                   const GameTextures& game) {
    ResolvedTexture out;
    out.modelName = CutAtZero(modelName);
    if (const std::string* pair = userTable ? userTable->FindRoomName(out.modelName) : nullptr) {
        out.source = TextureSource::UserPair;
        out.roomName = CutAtZero(*pair);
        out.page = JudgeRoomName(out.roomName, game);
        return out;
    }
    if ((out.page = game.findByBitmap(out.modelName + std::string(kBitmapSuffix))))
        out.source = TextureSource::Bitmap;
    else if ((out.page = game.findByName(out.modelName)))
        out.source = TextureSource::PageName;
    out.roomName = out.page ? out.page->name : out.modelName;
    return out;
}

const TexturePage* JudgeRoomName(std::string_view roomName, const GameTextures& game) {
    return game.findByName(CutAtZero(roomName).substr(0, kPageTextLimit));
}

std::string ChangedNameLine(const ResolvedTexture& texture) {
    const bool byTables = texture.source == TextureSource::Bitmap || texture.source == TextureSource::PageName;
    if (!byTables || !texture.page || texture.roomName == texture.modelName)
        return {};
    return "Texture " + texture.modelName + " is page " + texture.roomName + " (" + texture.page->table + ")";
}

std::vector<std::string> ResolutionLines(std::span<const ResolvedTexture> textures, const GameTextures& game) {
    std::vector<std::string> lines;
    bool mayBeFrame = false;
    for (const ResolvedTexture& texture : textures) {
        if (std::string line = ChangedNameLine(texture); !line.empty())
            lines.push_back(std::move(line));
        mayBeFrame =
            mayBeFrame || (texture.source == TextureSource::Unknown && game.mayBeAnimationFrame(texture.modelName));
    }
    if (mayBeFrame)
        lines.emplace_back(kFramesNote);
    return lines;
}

std::string SuggestTexlateText(std::span<const std::string> modelNames, const GameTextures& game) {
    std::string text = "# model texture name = room texture name, as the game's tables suggest\n";
    std::unordered_set<std::string> seen;
    for (const std::string& stored : modelNames) {
        const ResolvedTexture texture = ResolveTextureName(stored, nullptr, game);
        if (!seen.insert(texture.modelName).second)
            continue;
        if (!texture.page)
            text += "# " + EscapeTexlateName(texture.modelName) + ": no texture page answers this name\n";
        else if (texture.roomName != texture.modelName)
            text += EscapeTexlateName(texture.modelName) + " = " + EscapeTexlateName(texture.roomName) + "\n";
    }
    return text;
}

}  // namespace torvale
