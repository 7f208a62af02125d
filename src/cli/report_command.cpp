#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>

#include "app/open_input.h"
#include "app/output_log.h"
#include "cli/cli_support.h"
#include "cli/commands.h"

namespace torvale::cli {
namespace {

constexpr const char* kReportUsage =
    "Usage: torvale-cli report FILE\n"
    "\n"
    "Reads FILE and prints its report without the log's banner: for an OOF model exactly the chunk-by-chunk\n"
    "text that the Import OOF command writes into the output log; for an ORF room the short report of\n"
    "Check ORF (without the room check); for a glTF, GLB or OBJ model a summary (sub-objects, vertices,\n"
    "faces, texture names, bounding box). Files are told apart by their content.\n"
    "\n"
    "Exit status: 0 the model loaded, 1 it did not (not a valid OOF file, or the file cannot be read),\n"
    "2 usage error.\n";

int UsageError(const CommandContext& context, const std::string& problem) {
    context.err << "torvale-cli report: " << problem << "\n\n" << kReportUsage;
    return kExitUsage;
}

}  // namespace

int RunReport(const CommandContext& context) {
    std::string file;
    bool optionsEnded = false;
    for (const std::string& arg : context.args) {
        if (!optionsEnded && (arg == "--help" || arg == "-h")) {
            context.out << kReportUsage;
            return kExitOk;
        }
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg.size() > 1 && arg.front() == '-') {
            return UsageError(context, "unknown option '" + arg + "'");
        } else if (!file.empty()) {
            return UsageError(context, "only one FILE may be given");
        } else {
            file = arg;
        }
    }
    if (file.empty())
        return UsageError(context, "FILE is missing");

    LogText report(context.out);
    std::string openError;
    const OpenedInput opened =
        OpenInput(file, FileNamePart(file), report, {.format = context.format, .openError = &openError});
    report.flush();
    if (!openError.empty())
        context.err << "torvale-cli: cannot read " << file << ": " << openError << '\n';
    return opened.loaded ? kExitOk : kExitFailed;
}

}  // namespace torvale::cli
