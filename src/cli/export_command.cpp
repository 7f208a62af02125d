#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "app/export_orf.h"
#include "app/import_oof.h"
#include "app/output_log.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "orf/room_export.h"
#include "orf/texture_table.h"

namespace torvale::cli {
namespace {

constexpr const char* kExportUsage =
    "Usage: torvale-cli export FILE [-o TARGET] [--combined | --per-subobject] [--texlate TABLE]\n"
    "\n"
    "Reads the OOF model FILE, printing its report as 'torvale-cli report' does, and writes its geometry\n"
    "as Descent 3 room files (ORF), printing each room's name and counts as the output log shows them.\n"
    "\n"
    "Options:\n"
    "  -o TARGET        the room file to write; by default FILE with its last three characters\n"
    "                   replaced by \"orf\" (ship.oof gives ship.orf). Rooms are named from TARGET\n"
    "                   without its \".orf\" and always end in \".orf\"\n"
    "  --combined       one room holding every sub-object, each moved by its parents' offsets (default)\n"
    "  --per-subobject  one room per sub-object in its own coordinates: TARGET01.orf, TARGET02.orf, ...\n"
    "                   (a model of one sub-object gives TARGET.orf)\n"
    "  --texlate TABLE  the texture translation table; by default texlate.rsc beside torvale-cli\n"
    "  -h, --help       show this text\n"
    "\n"
    "Room files of the same names are replaced. A model whose data is damaged is refused before any\n"
    "file is written; when a room cannot be written the export stops there.\n"
    "\n"
    "Exit status: 0 every room was written, 1 the table or the model could not be read or a room was\n"
    "not written, 2 usage error.\n";

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
        } else if (isOption && (arg == "--combined" || arg == "--per-subobject")) {
            const bool combined = arg == "--combined";
            if (arguments.combined && *arguments.combined != combined) {
                return "choose either --combined or --per-subobject";
            }
            arguments.combined = combined;
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
    return {};
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

    // The target as the Export ORF command would propose it, unless one is given.
    std::string target = arguments.target.value_or(SuggestOrfPath(arguments.file));
#ifdef _WIN32
    for (char& c : target) {
        if (c == '/')
            c = '\\';
    }
#endif
    // A bare file name is a room in the current directory; the room export always puts the name behind a
    // directory, which would otherwise be the root.
    if (!target.empty() && FileNamePart(target) == target)
        target = std::string(".") + kPathSeparator + target;
    ExportNames names{target, FileNamePart(target), ""};
    if (names.orfTitle.empty())
        return UsageError(context, "TARGET '" + target + "' names no file");

    const std::string tablePath = arguments.table.value_or(context.executableDir + "texlate.rsc");
    const auto table = std::make_unique<TextureTable>();
    std::string tableError;
    if (!LoadTextureTableFile(tablePath, *table, tableError)) {
        context.err << "torvale-cli export: cannot use the texture translation table " << tableError << '\n';
        return kExitFailed;
    }

    LogText log(context.out);
    ObjectModel model;
    std::string openError;
    const int loaded =
        LoadOofFile(arguments.file, FileNamePart(arguments.file), model, log, ReportFormat{}, &openError);
    log.flush();
    if (!openError.empty())
        context.err << "torvale-cli: cannot read " << arguments.file << ": " << openError << '\n';
    if (loaded != kOofLoaded)
        return kExitFailed;

    RoomExportOptions options;
    options.combineSubObjects = arguments.combined.value_or(true);
    options.pathSeparator = kPathSeparator;
    const ExportOutcome outcome = WriteRooms(model, *table, options, names, log);
    const std::string closing = ExportClosingMessage(outcome);
    if (!closing.empty())
        log.PrintOutput(closing);
    log.flush();
    return outcome == ExportOutcome::Written ? kExitOk : kExitFailed;
}

}  // namespace torvale::cli
