#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/texture_finder.h"
#include "cli/arguments.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "game/game_files.h"
#include "game/game_textures.h"
#include "game/texture_names.h"

namespace torvale::cli {
namespace {

constexpr const char* kTexturesUsage =
    "Usage: torvale-cli textures --game PATH... [--extract DIR] [NAME...]\n"
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
    "  --extract DIR  write the bitmap of each page (or of each page NAMEd, by page name) into DIR as\n"
    "                 PAGE.png; the frames of an animated texture as PAGE_00.png, PAGE_01.png, ...\n"
    "                 Every file is written, or none; DIR is made when it does not exist\n"
    "\n"
    "Exit status: 0 success, 1 a table could not be read, a name found no page or a bitmap could not be\n"
    "read, 2 usage error.\n";

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

// Writes the bitmap of each of `pages` into `folder` as PNG files, all or none.
int ExtractBitmaps(const CommandContext& context,
                   const std::vector<const TexturePage*>& pages,
                   GameFiles& files,
                   const std::string& folder,
                   bool ok) {
    const BitmapExtraction done = ExtractPageBitmaps(pages, files, folder);
    for (const std::string& problem : done.problems)
        context.err << "torvale-cli: " << problem << '\n';
    if (!done.writeError.empty())
        return Failed(context, done.writeError);
    context.out << "Extracted " << done.bitmaps << (done.bitmaps == 1 ? " bitmap" : " bitmaps") << " as " << done.files
                << (done.files == 1 ? " file" : " files") << " into " << folder << '\n';
    return ok && done.problems.empty() ? kExitOk : kExitFailed;
}

}  // namespace

int RunTextures(const CommandContext& context) {
    std::vector<std::string> names;
    std::vector<std::string> gamePaths;
    std::optional<std::string> extract;
    ArgumentParser parser;
    parser.repeated("--game", gamePaths)
        .value({"--extract"}, Once(extract, "--extract is given twice"))
        .operands(names, 0, {});
    if (const auto exit = ParseCommand(context, kTextures, parser, context.args))
        return *exit;
    if (gamePaths.empty())
        return UsageError(context, kTextures, "--game PATH is missing");

    GameTextures game;
    bool ok = LoadGameTextures(gamePaths, game, context.err);
    if (extract) {
        GameFiles files;
        for (const std::string& problem : files.open(gamePaths))
            context.err << "torvale-cli: " << problem << '\n';
        std::vector<const TexturePage*> pages;
        if (names.empty()) {
            for (const TexturePage& page : game.pages())
                pages.push_back(&page);
        }
        for (const std::string& name : names) {
            if (const TexturePage* page = game.findByName(name))
                pages.push_back(page);
            else {
                context.err << "torvale-cli: " << name << ": no texture page of that name\n";
                ok = false;
            }
        }
        return ExtractBitmaps(context, pages, files, *extract, ok);
    }
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
