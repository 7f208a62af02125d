#include <ostream>
#include <string>
#include <vector>

#include "app/open_input.h"
#include "cli/arguments.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "core/path_text.h"
#include "game/game_textures.h"

namespace torvale::cli {
namespace {

constexpr const char* kCheckUsage =
    "Usage: torvale-cli check ROOM.orf... [--game PATH]... [--textures DIR]... [--strict]\n"
    "\n"
    "Reads each room file as the level editor reads it (versions 0 to 4) and prints a short report of it\n"
    "(version, vertex and face counts, texture names, bounding box), then what the level editor's room\n"
    "check would find, one line per finding:\n"
    "  Warning: ROOM, face K: FINDING   (or vertex K, or texture T)\n"
    "and a summary line 'Room check of ROOM: N findings'.\n"
    "\n"
    "Options:\n"
    "  --game PATH  also name the room's textures that no texture page of the game's tables answers (the\n"
    "               level editor would show texture 0); PATH is a Descent 3 folder, a .gam table or a\n"
    "               .hog or .mn3 archive, and may be given more than once\n"
    "  --textures DIR\n"
    "               a folder of images named after texture names (NAME.png, NAME.tga or NAME.ogf,\n"
    "               without regard to case), searched before the game's files; may be given more than\n"
    "               once. With --game or --textures, the room's textures whose bitmap the game would\n"
    "               not take (a size other than square 32, 64 or 128; a TGA named by a texture page)\n"
    "               are findings too\n"
    "  --strict     a room with findings counts as a failure\n"
    "  -h, --help   show this text\n"
    "\n"
    "Exit status: 0 every file was read (findings or not), 1 a file could not be read, or with --strict had\n"
    "findings, 2 usage error.\n";

constexpr CommandUsage kCheck{"check", kCheckUsage};

}  // namespace

int RunCheck(const CommandContext& context) {
    std::vector<std::string> rooms;
    std::vector<std::string> gamePaths;
    std::vector<std::string> textureFolders;
    bool strict = false;
    ArgumentParser parser;
    parser.flag("--strict", strict)
        .repeated("--game", gamePaths)
        .repeated("--textures", textureFolders)
        .operands(rooms, 1, "ROOM.orf is missing");
    if (const auto exit = ParseCommand(context, kCheck, parser, context.args))
        return *exit;

    TextureSources sources;
    bool ok = OpenTextureSources(gamePaths, textureFolders, sources, context.err);
    for (const std::string& path : rooms) {
        LogText log(context.out);
        std::string openError;
        OpenRequest request;
        request.as = OpenAs::RoomCheck;
        request.format.gameText = context.format.gameText;
        request.openError = &openError;
        request.game = gamePaths.empty() ? nullptr : &sources.pages;
        request.textures = sources.finder.hasSources() ? &sources.finder : nullptr;
        const OpenedInput check = OpenInput(path, FileNameOf(path), log, request);
        log.flush();
        if (!openError.empty())
            context.err << "torvale-cli: cannot read " << path << ": " << openError << '\n';
        else if (!check.loaded)
            context.err << "torvale-cli: " << path << " is no room file the level editor reads\n";
        ok = ok && check.loaded && !(strict && check.findings > 0);
    }
    return ok ? kExitOk : kExitFailed;
}

}  // namespace torvale::cli
