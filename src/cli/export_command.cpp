#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "app/export_model.h"
#include "app/export_orf.h"
#include "app/open_input.h"
#include "app/output_log.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "core/atomic_file.h"
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
    "                          [--scale FACTOR]\n"
    "\n"
    "Reads INPUT (an OOF model, an ORF room, a glTF 2.0 file (.gltf with its buffers, or .glb) or an OBJ\n"
    "file with its .mtl, told apart by their content), printing its report as 'torvale-cli report' does,\n"
    "and writes it as TARGET. TARGET's extension chooses the writer: .gltf (with a .bin beside it), .glb\n"
    "or .obj (with a .mtl beside it) write the model with its own texture names; any other name gives\n"
    "Descent 3 room files (ORF), each followed by what the level editor's room check finds in it.\n"
    "\n"
    "Options:\n"
    "  -o TARGET        the file to write; by default a room named after INPUT (an OOF model's last three\n"
    "                   characters replaced by \"orf\": ship.oof gives ship.orf; other inputs get .orf in\n"
    "                   place of their extension). Rooms are named from TARGET without its \".orf\"\n"
    "  --scale FACTOR   multiply every position of the model by FACTOR (above 0) before anything else, for\n"
    "                   models made in other units (100 turns a model made at 1 unit = 1 cm into metres)\n"
    "Options for rooms only:\n"
    "  --combined       one room holding every sub-object, each moved by its parents' offsets (default)\n"
    "  --per-subobject  one room per sub-object in its own coordinates: TARGET01.orf, TARGET02.orf, ...\n"
    "                   (a model of one sub-object gives TARGET.orf)\n"
    "  --texlate TABLE  the texture translation table; by default texlate.rsc beside torvale-cli\n"
    "  --game PATH      give the rooms the texture names of the game's own tables, and name those the\n"
    "                   level editor will not find; PATH is a Descent 3 folder, a .gam table or a .hog or\n"
    "                   .mn3 archive, and may be given more than once (later tables win)\n"
    "  --reverse-faces  turn every face round, for a model built to be seen from outside that becomes a\n"
    "                   room seen from inside\n"
    "  --strict         any finding of the room check refuses the export: nothing is written\n"
    "  --merge-faces    merge neighbouring triangles that lie in one plane into convex faces: every corner\n"
    "                   within the level editor's 0.1 of the merged face's plane\n"
    "  --merge-angle DEG\n"
    "                   with --merge-faces: the most, in degrees, that any merged triangle's normal may turn\n"
    "                   from the merged face's normal (0 to below 90; default 1)\n"
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

struct ExportArguments {
    std::string file;
    std::optional<std::string> target;
    std::optional<std::string> table;
    std::optional<bool> combined;
    std::vector<std::string> gamePaths;
    bool reverseFaces = false;
    bool strict = false;
    bool mergeFaces = false;
    std::optional<double> mergeAngle;
    double scale = kNoScale;
    std::vector<std::string> roomOptions;  // the room-only options given, for the usage error
};

int UsageError(const CommandContext& context, const std::string& problem) {
    context.err << "torvale-cli export: " << problem << "\n\n" << kExportUsage;
    return kExitUsage;
}

// Fills `arguments`; an empty result means the arguments are sound, otherwise it says what is wrong.
std::string ParseArguments(const std::vector<std::string>& args, ExportArguments& arguments) {
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool isOption = !optionsEnded && arg.size() > 1 && arg.front() == '-';
        if (isOption && arg == "--") {
            optionsEnded = true;
        } else if (isOption && (arg == "-o" || arg == "--texlate")) {
            std::optional<std::string>& value = arg == "-o" ? arguments.target : arguments.table;
            if (value)
                return arg + " may be given only once";
            if (i + 1 >= args.size() || args[i + 1].empty())
                return arg + " needs a value";
            value = args[++i];
            if (arg == "--texlate")
                arguments.roomOptions.push_back(arg);
        } else if (isOption && (arg == "--scale" || arg == "--merge-angle")) {
            if (i + 1 >= args.size() || args[i + 1].empty())
                return arg + " needs a value";
            double value = 0.0;
            const bool read = ParseDecimal(args[++i], value);
            if (arg == "--scale" && !(read && IsScaleFactor(value)))
                return "--scale needs a finite number above 0, not '" + args[i] + "'";
            if (arg == "--merge-angle" && !(read && IsMergeAngle(value)))
                return "--merge-angle needs a number of degrees from 0 to below 90, not '" + args[i] + "'";
            if (arg == "--scale") {
                arguments.scale = value;
            } else {
                arguments.mergeAngle = value;
                arguments.roomOptions.push_back(arg);
            }
        } else if (isOption && arg == "--game") {
            if (i + 1 >= args.size() || args[i + 1].empty())
                return arg + " needs a value";
            arguments.gamePaths.push_back(args[++i]);
            arguments.roomOptions.push_back(arg);
        } else if (isOption && (arg == "--reverse-faces" || arg == "--strict" || arg == "--merge-faces")) {
            (arg == "--reverse-faces" ? arguments.reverseFaces
             : arg == "--strict"      ? arguments.strict
                                      : arguments.mergeFaces) = true;
            arguments.roomOptions.push_back(arg);
        } else if (isOption && (arg == "--combined" || arg == "--per-subobject")) {
            const bool combined = arg == "--combined";
            if (arguments.combined && *arguments.combined != combined) {
                return "choose either --combined or --per-subobject";
            }
            arguments.combined = combined;
            arguments.roomOptions.push_back(arg);
        } else if (isOption) {
            return "unknown option '" + arg + "'";
        } else if (!arguments.file.empty()) {
            return "only one FILE may be given";
        } else {
            arguments.file = arg;
        }
    }
    if (arguments.file.empty())
        return "FILE is missing";
    if (arguments.mergeAngle && !arguments.mergeFaces)
        return "--merge-angle goes with --merge-faces";
    return {};
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
    return !target.empty() && FileNamePart(target) == target ? std::string(".") + kPathSeparator : std::string();
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
    if (WantsHelp(context.args)) {
        context.out << kExportUsage;
        return kExitOk;
    }
    ExportArguments arguments;
    const std::string problem = ParseArguments(context.args, arguments);
    if (!problem.empty())
        return UsageError(context, problem);
    const ModelTarget target = arguments.target ? TargetOf(*arguments.target) : ModelTarget::Room;
    if (target != ModelTarget::Room && !arguments.roomOptions.empty())
        return UsageError(context, arguments.roomOptions.front() + " is for room files; TARGET " + *arguments.target +
                                       " is a model file");
    if (arguments.target && NamesFolder(*arguments.target))
        return UsageError(context, "TARGET '" + *arguments.target + "' is a folder; name a file in it");

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
    GameTextures game;
    if (!arguments.gamePaths.empty() && !LoadGameTextures(arguments.gamePaths, game, context.err))
        return kExitFailed;

    LogText log(context.out);
    std::string openError;
    OpenedInput loaded = OpenInput(arguments.file, FileNamePart(arguments.file), log,
                                   {.format = context.format, .openError = &openError});
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
    if (target != ModelTarget::Room) {
        const std::string path = SystemSlashes(*arguments.target);
        const std::string overwritten = OutputThatIsInput(ExchangeModelFiles(path, target), inputs);
        if (!overwritten.empty())
            return UsageError(context, overwritten + " would be written over INPUT " + arguments.file);
        if (!loaded.scene) {
            log.PrintOutput(std::string(kCrLf) + "Error: " + damage + "; nothing was written" + std::string(kCrLf));
            log.flush();
            return kExitFailed;
        }
        const bool written = WriteExchangeModel(model, path, target, log);
        log.flush();
        return written ? kExitOk : kExitFailed;
    }

    const std::string given = arguments.target.value_or(DefaultRoomTarget(arguments.file, loaded.kind));
    const std::string path = PlacedTarget(given);
    ExportNames names{path, FileNamePart(path), ""};
    const bool combined = arguments.combined.value_or(true);
    if (ExportNames based = names; DeriveBaseName(based, kPathSeparator)) {
        const std::string tablePath = arguments.table.value_or(context.executableDir + "texlate.rsc");
        inputs.push_back(tablePath);
        const std::string overwritten =
            OutputThatIsInput(RoomPaths(model.objects.size(), combined, based.orfPath), inputs);
        if (!overwritten.empty())
            return UsageError(
                context, "the room " + overwritten + " would be written over " +
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
    RoomExportOptions options;
    options.combineSubObjects = combined;
    options.pathSeparator = kPathSeparator;
    options.reverseFaces = arguments.reverseFaces;
    options.strict = arguments.strict;
    options.unshownPrefix = CurrentDirectoryPrefix(given);
    ExportOutcome outcome = ExportOutcome::Refused;
    if (!loaded.scene) {
        outcome = RefuseRoomExport(damage, log);
    } else {
        RoomTextureNaming naming = NameRoomTextures(model, *table, arguments.gamePaths.empty() ? nullptr : &game, log);
        options.textureNames = &naming.names;
        options.unknownTextures = std::move(naming.unknown);
        outcome = WriteRooms(model, *table, options, names, log);
    }
    const std::string closing = ExportClosingMessage(outcome);
    if (!closing.empty())
        log.PrintOutput(closing);
    log.flush();
    return outcome == ExportOutcome::Written ? kExitOk : kExitFailed;
}

}  // namespace torvale::cli
