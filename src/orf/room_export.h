#pragma once

// Room export: the names of the room files (orf/room_names.h), the check that the model can be exported
// (orf/export_damage.h), the building of the room bytes (orf/room_build.h) and the writing of the rooms.

#include "core/output_sink.h"
#include "oof/object_model.h"
#include "orf/export_damage.h"
#include "orf/room_build.h"
#include "orf/room_names.h"
#include "orf/texture_table.h"

namespace torvale {

struct RoomExportOptions {
    bool combineSubObjects = true;  // one room for the whole model, or one room per sub-object
    char pathSeparator = '\\';      // '\\' on Windows, '/' elsewhere
    bool reverseFaces = false;      // see RoomBuildOptions
};

enum class ExportOutcome {
    Written,  // every room was written (possibly none, for a per-sub-object export of no sub-objects)
    Skipped,  // an empty name or title: nothing touched, nothing reported
    Refused,  // damaged model data: nothing written, the log says why
    Failed,   // a room could not be written: the log names it and the reason; earlier rooms stay complete
};

ExportOutcome WriteRooms(const ObjectModel& model,
                         const TextureTable& table,
                         const RoomExportOptions& options,
                         ExportNames& names,
                         OutputSink& out);

}  // namespace torvale
