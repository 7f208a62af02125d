#pragma once

#include <string>

#include "core/output_sink.h"
#include "oof/model_report.h"
#include "oof/object_model.h"
#include "oof/oof_reader.h"

namespace torvale {

// Where Import OOF takes its file from: the open dialog, or the path and title already set (a P3D import
// that POFGEN has just compiled).
enum class OofSource { AskUser, GivenFile };

// The load-and-report of Import OOF, shared by the window and the command-line tool: reads the file at
// `path` (opened for reading only; a missing file is never created), runs ReadOofFile with `title`, and
// appends the closing message: CR LF "Finished loading " title CR LF, or
// CR LF "Error reading " title " Not a valid OOF!" CR LF. Returns kOofLoaded or kOofInvalid.
// When the file cannot be read at all, the system's reason goes to `openError` if the caller gives one (the
// command-line tool says it on its error stream); otherwise the log gets the line
// CR LF "Error: cannot open " path ": " reason CR LF before the closing message.
int LoadOofFile(const std::string& path,
                const std::string& title,
                ObjectModel& model,
                OutputSink& out,
                const ReportFormat& format = {},
                std::string* openError = nullptr);

}  // namespace torvale
