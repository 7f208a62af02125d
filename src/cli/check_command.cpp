#include <ostream>
#include <string>
#include <vector>

#include "app/check_model.h"
#include "app/open_input.h"
#include "cli/arguments.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "core/file_bytes.h"
#include "core/path_text.h"
#include "game/game_textures.h"

namespace torvale::cli {
namespace {

constexpr const char* kCheckUsage =
    "Usage: torvale-cli check ROOM.orf... [--game PATH]... [--textures DIR]... [--strict]\n"
    "       torvale-cli check MODEL.oof... [--ship] [--strict]\n"
    "\n"
    "Reads each room file as the level editor reads it (versions 0 to 4) and prints a short report of it\n"
    "(version, vertex and face counts, texture names, bounding box), then what the level editor's room\n"
    "check would find, one line per finding:\n"
    "  Warning: ROOM, face K: FINDING   (or vertex K, or texture T)\n"
    "and a summary line 'Room check of ROOM: N findings'.\n"
    "\n"
    "A file that is an object model (OOF, told by its content) is read as the report command reads it and\n"
    "its report printed, then what the game would refuse, crash on or get wrong in it: chunk order, repeats\n"
    "and lengths, the game's limits, texts, parents, faces and their normals, property commands and the\n"
    "faces and rotation keys they need, animation tracks, points and weapon batteries:\n"
    "  Warning: MODEL, sub-object S, face K: FINDING   (or sub-object S, or the model's own)\n"
    "and a summary line 'Model check of MODEL: N findings'.\n"
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
    "  --ship       judge object models also as player ships: battery 0 naming guns, at least 3 attach\n"
    "               points, and a header radius that holds every vertex\n"
    "  --strict     a room or model with findings counts as a failure\n"
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
    bool ship = false;
    ArgumentParser parser;
    parser.flag("--strict", strict)
        .flag("--ship", ship)
        .repeated("--game", gamePaths)
        .repeated("--textures", textureFolders)
        .operands(rooms, 1, "ROOM.orf or MODEL.oof is missing");
    if (const auto exit = ParseCommand(context, kCheck, parser, context.args))
        return *exit;

    TextureSources sources;
    bool ok = OpenTextureSources(gamePaths, textureFolders, sources, context.err);
    for (const std::string& path : rooms) {
        FileBytes file;
        std::string openError;
        if (!ReadFileBytes(path, file, openError)) {
            context.err << "torvale-cli: cannot read " << path << ": " << openError << '\n';
            ok = false;
            continue;
        }
        LogText log(context.out);
        bool loaded = false;
        std::size_t findings = 0;
        const bool model = KindOfFile(file.bytes()) == InputKind::Oof;
        if (model) {
            const ModelCheckResult check = PrintModelCheck(file.bytes(), FileNameOf(path), ship, log, true);
            loaded = check.read;
            findings = check.findings;
        } else {
            OpenRequest request;
            request.as = OpenAs::RoomCheck;
            request.format.gameText = context.format.gameText;
            request.game = gamePaths.empty() ? nullptr : &sources.pages;
            request.textures = sources.finder.hasSources() ? &sources.finder : nullptr;
            const OpenedInput check = OpenInput(path, FileNameOf(path), std::move(file), InputKind::Orf, log, request);
            loaded = check.loaded;
            findings = check.findings;
        }
        log.flush();
        if (!loaded)
            context.err << "torvale-cli: " << path
                        << (model ? " is no object model TORVALE reads\n"
                                  : " is no room file the level editor reads\n");
        ok = ok && loaded && !(strict && findings > 0);
    }
    return ok ? kExitOk : kExitFailed;
}

}  // namespace torvale::cli
