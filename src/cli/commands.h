#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "oof/model_report.h"

namespace torvale::cli {

// Exit statuses of torvale-cli.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// Each command gets its own arguments (without the command word) and the streams to use.
// The directory of the executable is passed for defaults that live beside it (texlate.rsc).
struct CommandContext {
    std::vector<std::string> args;
    std::string executableDir;  // ends with the platform's separator
    std::ostream& out;
    std::ostream& err;
    ReportFormat format;  // how reports show the model's names
};

int RunReport(const CommandContext& context);
int RunExport(const CommandContext& context);
int RunTexlate(const CommandContext& context);
int RunTextures(const CommandContext& context);
int RunRender(const CommandContext& context);
int RunCheck(const CommandContext& context);
int RunTexture(const CommandContext& context);

// The report reads a file named *.ogf (any case) as a bitmap: an OGF has no signature of its own that tells it
// from other files by content alone.
bool IsBitmapReportFile(const std::string& path);
int ReportBitmap(const CommandContext& context, const std::string& path);

// Line breaks of the log are CR LF; on standard output they take the platform's own form.
std::string ToPlatformLineBreaks(const std::string& text);

}  // namespace torvale::cli
