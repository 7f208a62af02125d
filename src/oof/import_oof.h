#pragma once

#include <string>

#include "core/output_sink.h"
#include "oof/object_model.h"
#include "oof/oof_reader.h"

namespace torvale {

// The part of the Import OOF command shared by the window and the command-line tool: reads the file at
// `path` (opened for reading only; a missing file is never created), runs ReadOofFile with `title`, and
// appends the closing message: CR LF "Finished loading " title CR LF, or
// CR LF "Error reading " title " Not a valid OOF!" CR LF. Returns kOofLoaded or kOofInvalid.
// When the file cannot be read at all, `openError` (if given) receives the system's reason.
int LoadOofFile(const std::string& path,
                const std::string& title,
                ObjectModel& model,
                OutputSink& out,
                const ReportFormat& format = {},
                std::string* openError = nullptr);

}  // namespace torvale
