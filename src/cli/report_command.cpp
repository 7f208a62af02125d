#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>

#include "app/open_input.h"
#include "app/output_log.h"
#include "cli/arguments.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "core/path_text.h"

namespace torvale::cli {
namespace {

constexpr const char* kReportUsage =
    "Usage: torvale-cli report FILE\n"
    "\n"
    "Reads FILE and prints its report without the log's banner: for an OOF model exactly the chunk-by-chunk\n"
    "text that the Import OOF command writes into the output log; for an ORF room the short report of\n"
    "Check ORF (without the room check); for a glTF, GLB or OBJ model a summary (sub-objects, vertices,\n"
    "faces, texture names, bounding box). Files are told apart by their content, except that a FILE whose\n"
    "name ends in .ogf is read as a Descent 3 bitmap: its name, type, size, pixel format and mip levels; and\n"
    "one ending in .oaf as a Descent 3 animated texture: its version, frame count, frame time, size, pixel\n"
    "format and each frame's name inside and size.\n"
    "\n"
    "Exit status: 0 the model loaded, 1 it did not (not a valid OOF file, or the file cannot be read),\n"
    "2 usage error.\n";

constexpr CommandUsage kReport{"report", kReportUsage};

}  // namespace

int RunReport(const CommandContext& context) {
    std::vector<std::string> files;
    ArgumentParser parser;
    parser.operands(files, 1, "FILE is missing", 1, "only one FILE may be given");
    if (const auto exit = ParseCommand(context, kReport, parser, context.args))
        return *exit;
    const std::string& file = files.front();
    if (IsBitmapReportFile(file))
        return ReportBitmap(context, file);

    LogText report(context.out);
    std::string openError;
    const OpenedInput opened = OpenInput(file, FileNameOf(file), report,
                                         {.format = context.format, .openError = &openError, .sceneWanted = false});
    report.flush();
    if (!openError.empty())
        context.err << "torvale-cli: cannot read " << file << ": " << openError << '\n';
    return opened.loaded ? kExitOk : kExitFailed;
}

}  // namespace torvale::cli
