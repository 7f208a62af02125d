#include "app/export_orf.h"

#include "app/output_log.h"

namespace torvale {

std::string SuggestOrfPath(std::string_view oofPath) {
    const std::size_t keep = oofPath.size() >= 3 ? oofPath.size() - 3 : 0;
    return std::string(oofPath.substr(0, keep)) + "orf";
}

FileDialogRequest ExportOrfDialog(std::string suggestedPath) {
    FileDialogRequest request;
    request.title = "Export ORF file";
    request.filter = "Outrage Room File(*.ORF)|*.orf";
    request.initialPath = std::move(suggestedPath);
    request.overwritePrompt = false;
    return request;
}

std::string ExportClosingMessage(ExportOutcome outcome) {
    const std::string crLf(kCrLf);
    switch (outcome) {
        case ExportOutcome::Written:
            return crLf + "Finished converting to ORF!" + crLf;
        case ExportOutcome::Failed:
        case ExportOutcome::Refused:
            return crLf + "Export failed: not every room was written." + crLf;
        case ExportOutcome::Skipped:
            break;
    }
    return {};
}

}  // namespace torvale
