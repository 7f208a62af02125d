#include <ostream>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "game/game_textures.h"
#include "game/texture_names.h"

namespace torvale::cli {
namespace {

constexpr const char* kTexturesUsage =
    "Usage: torvale-cli textures --game PATH... [NAME...]\n"
    "\n"
    "Lists the texture pages of the game's tables, or tells how texture names of a model resolve.\n"
    "\n"
    "  --game PATH  a Descent 3 folder (its Table.gam, then extra.gam, loose or inside its .hog files), a\n"
    "               table file (.gam), or an archive (.hog, or a mission's .mn3); may be given more than\n"
    "               once: later tables replace pages of the same name\n"
    "\n"
    "Without names: every texture page, one a line (page name, bitmap file, table), sorted by page name.\n"
    "With names: for each, the page the game finds for it (by bitmap file NAME.ogf, then by page name,\n"
    "without regard to case), or that none does.\n"
    "\n"
    "Exit status: 0 success, 1 a table could not be read or a name found no page, 2 usage error.\n";

constexpr CommandUsage kTextures{"textures", kTexturesUsage};

std::string HowFound(const ResolvedTexture& texture) {
    switch (texture.source) {
        case TextureSource::Bitmap:
            return "page " + texture.page->name + " (bitmap " + texture.page->bitmap + ", " + texture.page->table + ")";
        case TextureSource::PageName:
            return "page " + texture.page->name + " (" + texture.page->table + ")";
        case TextureSource::UserPair:
        case TextureSource::Unknown:
            break;
    }
    return "no texture page of the game's tables; the level editor would show texture 0";
}

}  // namespace

int RunTextures(const CommandContext& context) {
    std::vector<std::string> names;
    std::vector<std::string> gamePaths;
    ArgumentParser parser;
    parser.repeated("--game", gamePaths).operands(names, 0, {});
    if (const auto exit = ParseCommand(context, kTextures, parser, context.args))
        return *exit;
    if (gamePaths.empty())
        return UsageError(context, kTextures, "--game PATH is missing");

    GameTextures game;
    bool ok = LoadGameTextures(gamePaths, game, context.err);
    if (names.empty()) {
        for (const std::string& line : TexturePageListing(game))
            context.out << line << '\n';
        return ok ? kExitOk : kExitFailed;
    }
    for (const std::string& name : names) {
        const ResolvedTexture texture = ResolveTextureName(name, nullptr, game);
        context.out << name << ": " << HowFound(texture) << '\n';
        ok = ok && texture.page != nullptr;
    }
    return ok ? kExitOk : kExitFailed;
}

}  // namespace torvale::cli
