#pragma once

#include <string>

#include "app/output_log.h"
#include "oof/object_model.h"
#include "orf/texture_table.h"

namespace torvale {

// The main window's export names. WriteRooms rewrites all three: orfPath becomes the base path without
// extension, orfTitle the title without ".orf", and orfDirectory keeps the directory for the next export.
struct ExportNames {
    std::string orfPath;
    std::string orfTitle;
    std::string orfDirectory;
};

struct RoomExportOptions {
    bool combineSubObjects = true;  // one room for the whole model, or one room per sub-object
    char pathSeparator = '\\';      // '\\' on Windows, '/' elsewhere
};

enum class ExportOutcome {
    Written,   // every room was written (possibly none, for a per-sub-object export of no sub-objects)
    Skipped,   // an empty name or title: nothing touched, nothing reported
    Refused,   // damaged model data: nothing written, the log says why
    Failed,    // a room could not be written: the log names it and the reason; earlier rooms stay complete
};

ExportOutcome WriteRooms(const ObjectModel& model, const TextureTable& table, const RoomExportOptions& options,
                         ExportNames& names, OutputSink& out);

}  // namespace torvale
