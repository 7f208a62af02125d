#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "app/check_orf.h"
#include "app/export_model.h"
#include "app/export_orf.h"
#include "app/open_input.h"
#include "app/output_log.h"
#include "cli/arguments.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "core/ascii_text.h"
#include "core/atomic_file.h"
#include "core/path_text.h"
#include "core/utf8_path.h"
#include "game/game_textures.h"
#include "orf/merge_faces.h"
#include "orf/room_export.h"
#include "orf/texture_table.h"
#include "scene/scene_scale.h"

namespace torvale::cli {
namespace {

constexpr const char* kExportUsage =
    "Usage: torvale-cli export INPUT [-o TARGET] [--combined | --per-subobject] [--texlate TABLE]\n"
    "                          [--game PATH]... [--reverse-faces] [--strict] [--merge-faces [--merge-angle DEG]]\n"
    "                          [--scale FACTOR] [--textures-out DIR]\n"
    "\n"
    "Reads INPUT (an OOF model, an ORF room, a glTF 2.0 file (.gltf with its buffers, or .glb) or an OBJ\n"
    "file with its .mtl, told apart by their content), printing its report as 'torvale-cli report' does,\n"
    "and writes it as TARGET. TARGET's extension chooses the writer: .gltf (with a .bin beside it), .glb\n"
    "or .obj (with a .mtl beside it) write the model with its own texture names; .oof writes a Descent 3\n"
    "object model (an ORF room becomes a model of one sub-object); any other name gives Descent 3 room\n"
    "files (ORF), each followed by what the level editor's room check finds in it.\n"
    "\n"
    "Options:\n"
    "  -o TARGET        the file to write; by default a room named after INPUT (an OOF model's last three\n"
    "                   characters replaced by \"orf\": ship.oof gives ship.orf; other inputs get .orf in\n"
    "                   place of their extension). Rooms are named from TARGET without its \".orf\"\n"
    "  --scale FACTOR   multiply every position of the model by FACTOR (above 0) before anything else, for\n"
    "                   models made in other units (100 turns a model made at 1 unit = 1 cm into metres)\n"
    "  --game PATH      a Descent 3 folder, a .gam table or a .hog or .mn3 archive, which may be given\n"
    "                   more than once (later tables win): rooms get the texture names of the game's own\n"
    "                   tables, with the names the level editor will not find named; a glTF or OBJ gets\n"
    "                   the textures' images from the game's bitmaps\n"
    "  --textures DIR   a folder of images named after texture names (NAME.png, NAME.tga or NAME.ogf,\n"
    "                   without regard to case), searched before the game's files; may be given more than\n"
    "                   once. A glTF or OBJ embeds or writes beside it an image of each texture found (the\n"
    "                   model's own images first); rooms are checked against the bitmaps found\n"
    "Options for rooms only:\n"
    "  --combined       one room holding every sub-object, each moved by its parents' offsets (default)\n"
    "  --per-subobject  one room per sub-object in its own coordinates: TARGET01.orf, TARGET02.orf, ...\n"
    "                   (a model of one sub-object gives TARGET.orf)\n"
    "  --texlate TABLE  the texture translation table; by default texlate.rsc beside torvale-cli\n"

    "  --reverse-faces  turn every face round, for a model built to be seen from outside that becomes a\n"
    "                   room seen from inside\n"
    "  --strict         any finding of the room check refuses the export: nothing is written\n"
    "  --merge-faces    merge neighbouring triangles that lie in one plane into convex faces: every corner\n"
    "                   within the level editor's 0.1 of the merged face's plane\n"
    "  --merge-angle DEG\n"
    "                   with --merge-faces: the most, in degrees, that any merged triangle's normal may turn\n"
    "                   from the merged face's normal (0 to below 90; default 1)\n"
    "  --textures-out DIR\n"
    "                   also write, into the folder DIR (which must exist), an OGF for each texture the\n"
    "                   rooms use whose image comes with INPUT (a glTF's base-colour image, an OBJ's map_Kd)\n"
    "                   or is in a --textures folder,\n"
    "                   named as the room names the texture: square 32, 64 or 128 pixels, resized if need be\n"
    "  -h, --help       show this text\n"
    "\n"
    "Files of the same names are replaced. A model whose data is damaged, or a room beyond the level\n"
    "editor's limits (10000 vertices, 3000 faces, 3 to 64 corners a face), is refused before any file is\n"
    "written; when one of the files cannot be written, none is replaced. TARGET is never INPUT, the table\n"
    "or a folder.\n"
    "\n"
    "Exit status: 0 everything was written, 1 the table, the game's tables or INPUT could not be read, a\n"
    "file was not written, or --strict found something; 2 usage error.\n";

#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

constexpr CommandUsage kExport{"export", kExportUsage};

struct ExportArguments {
    std::vector<std::string> files;  // the one operand
    std::string file;
    std::optional<std::string> target;
    std::optional<std::string> table;
    std::optional<bool> combined;
    std::vector<std::string> gamePaths;
    std::vector<std::string> textureFolders;
    bool reverseFaces = false;
    bool strict = false;
    bool mergeFaces = false;
    std::optional<double> mergeAngle;
    double scale = kNoScale;
    std::optional<std::string> texturesOut;
    std::vector<std::string> roomOptions;  // the room-only options given, for the usage error
};

// The options of export, each filling its part of `arguments`; the room-only ones are noted as they come.
ArgumentParser ExportParser(ExportArguments& arguments) {
    std::vector<std::string>& room = arguments.roomOptions;
    const auto roomFlag = [&room](const char* name, bool& into) {
        return [&room, name, &into](const std::string&) {
            into = true;
            room.emplace_back(name);
            return std::string();
        };
    };
    const auto combined = [&arguments, &room](bool choice, const char* name) {
        return [&arguments, &room, choice, name](const std::string&) {
            if (arguments.combined && *arguments.combined != choice)
                return std::string("choose either --combined or --per-subobject");
            arguments.combined = choice;
            room.emplace_back(name);
            return std::string();
        };
    };
    ArgumentParser parser;
    parser.value({"-o"}, Once(arguments.target, "-o may be given only once"))
        .value({"--texlate"},
               [&room, once = Once(arguments.table, "--texlate may be given only once")](const std::string& given) {
                   std::string problem = once(given);
                   if (problem.empty())
                       room.emplace_back("--texlate");
                   return problem;
               })
        .value({"--scale"},
               [&arguments](const std::string& given) {
                   double value = 0.0;
                   if (!(ParseDecimal(given, value) && IsScaleFactor(value)))
                       return "--scale needs a finite number above 0, not '" + given + "'";
                   arguments.scale = value;
                   return std::string();
               })
        .value({"--merge-angle"},
               [&arguments, &room](const std::string& given) {
                   double value = 0.0;
                   if (!(ParseDecimal(given, value) && IsMergeAngle(value)))
                       return "--merge-angle needs a number of degrees from 0 to below 90, not '" + given + "'";
                   arguments.mergeAngle = value;
                   room.emplace_back("--merge-angle");
                   return std::string();
               })
        .value({"--textures-out"},
               [&room,
                once = Once(arguments.texturesOut, "--textures-out may be given only once")](const std::string& given) {
                   std::string problem = once(given);
                   if (problem.empty())
                       room.emplace_back("--textures-out");
                   return problem;
               })
        .repeated("--game", arguments.gamePaths)
        .repeated("--textures", arguments.textureFolders)
        .flag({"--reverse-faces"}, roomFlag("--reverse-faces", arguments.reverseFaces))
        .flag({"--strict"}, roomFlag("--strict", arguments.strict))
        .flag({"--merge-faces"}, roomFlag("--merge-faces", arguments.mergeFaces))
        .flag({"--combined"}, combined(true, "--combined"))
        .flag({"--per-subobject"}, combined(false, "--per-subobject"))
        .operands(arguments.files, 1, "FILE is missing", 1, "only one FILE may be given");
    return parser;
}

// Slashes as the system writes them.
std::string SystemSlashes(std::string target) {
#ifdef _WIN32
    for (char& c : target) {
        if (c == '/')
            c = '\\';
    }
#endif
    return target;
}

// The prefix that puts a bare file name in the current directory: the room export always puts the name behind
// a directory, which would otherwise be the root. The log leaves it out, showing the name as given.
std::string CurrentDirectoryPrefix(const std::string& target) {
    return !target.empty() && FileNameOf(target) == target ? std::string(".") + kPathSeparator : std::string();
}

std::string PlacedTarget(const std::string& target) {
    return CurrentDirectoryPrefix(target) + SystemSlashes(target);
}

// The room an input gets when no target is named: an OOF model's name as Export ORF proposes it, any other
// input's name with .orf in place of its extension.
std::string DefaultRoomTarget(const std::string& input, InputKind kind) {
    if (kind == InputKind::Oof || kind == InputKind::Unknown)
        return SuggestOrfPath(input);
    return Utf8FromPath(PathFromUtf8(input).replace_extension(".orf"));
}

}  // namespace

int RunExport(const CommandContext& context) {
    ExportArguments arguments;
    if (const auto exit = ParseCommand(context, kExport, ExportParser(arguments), context.args))
        return *exit;
    if (arguments.mergeAngle && !arguments.mergeFaces)
        return UsageError(context, kExport, "--merge-angle goes with --merge-faces");
    arguments.file = arguments.files.front();
    const ModelTarget target = arguments.target ? TargetOf(*arguments.target) : ModelTarget::Room;
    if (target != ModelTarget::Room && !arguments.roomOptions.empty())
        return UsageError(
            context, kExport,
            arguments.roomOptions.front() + " is for room files; TARGET " + *arguments.target + " is a model file");
    if (arguments.target && NamesFolder(*arguments.target))
        return UsageError(context, kExport, "TARGET '" + *arguments.target + "' is a folder; name a file in it");
    // As for the rooms' own folder, the textures' folder is not made: a mistyped name writes nothing.
    if (std::error_code failed;
        arguments.texturesOut && !std::filesystem::is_directory(PathFromUtf8(*arguments.texturesOut), failed))
        return UsageError(context, kExport, "--textures-out '" + *arguments.texturesOut + "' is not a folder");

    // The table is read before the model, so that a missing table costs nothing.
    const auto table = std::make_unique<TextureTable>();
    if (target == ModelTarget::Room) {
        const std::string tablePath = arguments.table.value_or(context.executableDir + "texlate.rsc");
        std::string tableError;
        if (!LoadTextureTableFile(tablePath, *table, tableError)) {
            context.err << "torvale-cli export: cannot use the texture translation table " << tableError << '\n';
            return kExitFailed;
        }
    }
    TextureSources sources;
    if (!OpenTextureSources(arguments.gamePaths, arguments.textureFolders, sources, context.err))
        return kExitFailed;

    LogText log(context.out);
    std::string openError;
    // A room's own images are read only for --textures-out; a glTF or OBJ carries them on.
    const bool imagesWanted = arguments.texturesOut.has_value() || target != ModelTarget::Room;
    OpenedInput loaded = OpenInput(arguments.file, FileNameOf(arguments.file), log,
                                   {.format = context.format, .openError = &openError, .imagesWanted = imagesWanted});
    log.flush();
    if (!openError.empty())
        context.err << "torvale-cli: cannot read " << arguments.file << ": " << openError << '\n';
    if (!loaded.loaded)
        return kExitFailed;
    std::string damage = loaded.sceneProblem;
    if (loaded.scene && arguments.scale != kNoScale) {
        damage = ScaleScene(*loaded.scene, arguments.scale);
        log.PrintOutput(std::string(kCrLf) + "Scaled by " + ScaleText(arguments.scale) + std::string(kCrLf));
    }
    if (!damage.empty())
        loaded.scene.reset();
    Scene empty;
    Scene& model = loaded.scene ? *loaded.scene : empty;

    std::vector<std::string> inputs{arguments.file};
    // The images the input was read with are inputs too: no file of the export may replace one.
    const std::filesystem::path inputFolder = PathFromUtf8(arguments.file).parent_path();
    for (const FoundImage& found : loaded.images)
        if (found.image)
            inputs.push_back(Utf8FromPath(inputFolder / PathFromUtf8(found.origin)));
    if (target != ModelTarget::Room) {
        const std::string path = SystemSlashes(*arguments.target);
        if (!loaded.scene) {
            log.PrintOutput(std::string(kCrLf) + "Error: " + damage + "; nothing was written" + std::string(kCrLf));
            log.flush();
            return kExitFailed;
        }
        std::vector<std::string> notes;
        const TextureImages images = FindTextureImages(model.textures, loaded.images, sources.finder, notes);
        const std::string overwritten = OutputThatIsInput(ExchangeModelFiles(path, target, model, images), inputs);
        if (!overwritten.empty())
            return UsageError(context, kExport, overwritten + " would be written over INPUT " + arguments.file);
        for (const std::string& note : notes)
            log.PrintOutput("Note: " + note + std::string(kCrLf));
        const bool written = WriteExchangeModel(model, path, target, log, {}, images);
        log.flush();
        return written ? kExitOk : kExitFailed;
    }

    const std::string given = arguments.target.value_or(DefaultRoomTarget(arguments.file, loaded.kind));
    const std::string path = PlacedTarget(given);
    ExportNames names{path, FileNameOf(path), ""};
    const bool combined = arguments.combined.value_or(true);
    if (ExportNames based = names; DeriveBaseName(based, kPathSeparator)) {
        const std::string tablePath = arguments.table.value_or(context.executableDir + "texlate.rsc");
        inputs.push_back(tablePath);
        const std::string overwritten =
            OutputThatIsInput(RoomPaths(model.objects.size(), combined, based.orfPath), inputs);
        if (!overwritten.empty())
            return UsageError(
                context, kExport,
                "the room " + overwritten + " would be written over " +
                    (IsSameFile(overwritten, arguments.file) ? "INPUT " + arguments.file
                                                             : "the texture translation table " + tablePath));
    }
    if (arguments.mergeFaces && loaded.scene) {
        MergeFacesOptions mergeOptions;
        mergeOptions.maxAngleDegrees = static_cast<float>(arguments.mergeAngle.value_or(mergeOptions.maxAngleDegrees));
        const MergeFacesResult merged = MergeCoplanarFaces(model, mergeOptions);
        log.PrintOutput(std::string(kCrLf) + "Merged " + std::to_string(merged.facesBefore) + " faces into " +
                        std::to_string(merged.facesAfter) + std::string(kCrLf));
    }
    ExportOutcome outcome = ExportOutcome::Refused;
    if (!loaded.scene) {
        outcome = RefuseRoomExport(damage, log);
    } else {
        RoomTextureNaming naming =
            NameRoomTextures(model, *table, arguments.gamePaths.empty() ? nullptr : &sources.pages, log);
        std::vector<SideFile> textureFiles;
        std::vector<std::string> notes;
        if (arguments.texturesOut) {
            // The rooms bring the images that come with the model or from the user's folders; the game's own
            // bitmaps are in the game already.
            TextureFinder folders;
            for (const std::string& folder : arguments.textureFolders)
                folders.addFolder(folder);
            const TextureImages images = FindTextureImages(model.textures, loaded.images, folders, notes);
            if (!MakeTextureFiles(model, naming.names, images, SystemSlashes(*arguments.texturesOut), kPathSeparator,
                                  log, textureFiles)) {
                log.PrintOutput(ExportClosingMessage(ExportOutcome::Refused));
                log.flush();
                return kExitFailed;
            }
        }
        // The bitmaps the rooms' textures find, judged as the game would take them, unless the export writes
        // the texture's bitmap itself.
        std::vector<RoomFinding> bitmapFindings;
        if (sources.finder.hasSources()) {
            std::vector<std::string> judged;
            for (const std::string& name : naming.names) {
                const std::string shown = name.substr(0, name.find('\0'));
                const std::string file = TextureFileName(shown);
                const bool written = std::any_of(textureFiles.begin(), textureFiles.end(), [&](const SideFile& side) {
                    return !file.empty() && EqualsIgnoringAsciiCase(FileNameOf(side.path), file);
                });
                judged.push_back(written ? std::string() : shown);
            }
            bitmapFindings = TextureBitmapFindings(judged, sources.finder, notes);
        }
        for (const std::string& note : notes)
            log.PrintOutput("Note: " + note + std::string(kCrLf));
        RoomExportChoices choices;
        choices.combineSubObjects = combined;
        choices.reverseFaces = arguments.reverseFaces;
        choices.strict = arguments.strict;
        choices.pathSeparator = kPathSeparator;
        choices.unshownPrefix = CurrentDirectoryPrefix(given);
        choices.inputs = inputs;
        RoomExportOptions options = RoomExportOptionsFrom(choices, naming);
        options.sideFiles = &textureFiles;
        options.textureFindings = std::move(bitmapFindings);
        outcome = WriteRooms(model, *table, options, names, log);
    }
    const std::string closing = ExportClosingMessage(outcome);
    if (!closing.empty())
        log.PrintOutput(closing);
    log.flush();
    return outcome == ExportOutcome::Written ? kExitOk : kExitFailed;
}

}  // namespace torvale::cli
