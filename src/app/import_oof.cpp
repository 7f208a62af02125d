#include "app/import_oof.h"

#include <cstdint>

#include "core/file_bytes.h"
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
    // The reader goes through the file once, so the memory of what it has passed goes back as it reads: a large
    // model and its file are never both held whole.
    FileBytes file;
    std::string error;
    int result = kOofInvalid;
    if (ReadFileBytes(path, file, error))
        result =
            ReadOofFile(file.bytes(), title, model, out, format, [&](std::size_t passed) { file.release(passed); });
    else if (openError)
        *openError = error;  // the reader prints nothing for a file it never saw
    else
        out.PrintOutput(std::string(kCrLf) + "Error: cannot open " + path + ": " + error + std::string(kCrLf));
    out.PrintOutput(result == kOofLoaded ? FinishedLoadingMessage(title) : ErrorReadingMessage(title));
    return result;
}

}  // namespace torvale
