#include "app/import_oof.h"

#include <cstdint>
#include <vector>

#include "core/atomic_file.h"
#include "oof/model_report.h"

namespace torvale {

int LoadOofFile(const std::string& path,
                const std::string& title,
                ObjectModel& model,
                OutputSink& out,
                const ReportFormat& format,
                std::string* openError) {
    if (openError)
        openError->clear();
    std::vector<std::uint8_t> bytes;
    std::string error;
    int result = kOofInvalid;
    if (ReadWholeFile(path, bytes, error))
        result = ReadOofFile(bytes, title, model, out, format);
    else if (openError)
        *openError = error;  // the reader prints nothing for a file it never saw
    else
        out.PrintOutput(std::string(kCrLf) + "Error: cannot open " + path + ": " + error + std::string(kCrLf));
    out.PrintOutput(result == kOofLoaded ? FinishedLoadingMessage(title) : ErrorReadingMessage(title));
    return result;
}

}  // namespace torvale
