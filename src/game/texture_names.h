#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "game/game_textures.h"
#include "orf/texture_table.h"

namespace torvale {

// How the name a room gets for a model's texture was found.
enum class TextureSource {
    UserPair,  // a pair of the user's translation table
    Bitmap,    // the page whose bitmap file is NAME.ogf
    PageName,  // the page named NAME
    Unknown,   // nothing answers: the game would show its error texture
};

struct ResolvedTexture {
    std::string modelName;  // as the model names it, without its terminating zero
    std::string roomName;   // what the room should name, without a terminating zero
    TextureSource source = TextureSource::Unknown;
    // The page the room name finds in the game's tables; null when none does (always for Unknown, and for a user
    // pair whose room name is no page's name).
    const TexturePage* page = nullptr;
};

// Resolves one texture name of a model the way the game does (names compared ignoring case):
//   1. a pair of `userTable` (when given) for the name wins; its room name is then looked up among the page
//      names on its first 34 characters;
//   2. otherwise the page whose bitmap file name is NAME + ".ogf";
//   3. otherwise the page whose name is NAME;
//   4. otherwise unknown, the room name being the model's name.
// For 2 and 3 the room name is the page's own spelling. `modelName` is cut at its first zero byte, so the name
// as the model stores it (with its terminating zero) may be given as well. Frames of animated textures are not
// looked up (see GameTextures::mayBeAnimationFrame).
ResolvedTexture ResolveTextureName(std::string_view modelName, const TextureTable* userTable, const GameTextures& game);

// The page a room's texture name finds: rooms name pages already, compared ignoring case on the first 34
// characters. Null when no page has that name.
const TexturePage* JudgeRoomName(std::string_view roomName, const GameTextures& game);

// "Texture NGRFlareCorona1 is page NGRFlareCorona (extra.gam)" when the game's tables changed the name (found by
// bitmap or page name, spelt differently); empty otherwise.
std::string ChangedNameLine(const ResolvedTexture& texture);

// The log lines for a model's resolved names: a ChangedNameLine for each name the tables changed, in order,
// then once "frames of animated textures are not looked up" when any name nothing answered may be such a
// frame (GameTextures::mayBeAnimationFrame).
std::vector<std::string> ResolutionLines(std::span<const ResolvedTexture> textures, const GameTextures& game);

// The text form of a translation table (see orf/texlate_text.h) suggested by the game's tables for these model
// texture names: a "model name = page name" line for every name whose page name differs from it, a '#' comment
// line for every name no page answers; each name once, in the order given, after a heading comment.
std::string SuggestTexlateText(std::span<const std::string> modelNames, const GameTextures& game);

}  // namespace torvale
