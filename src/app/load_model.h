#pragma once

#include <optional>
#include <string>

#include "core/output_sink.h"
#include "model_io/input_kind.h"
#include "oof/model_report.h"
#include "oof/object_model.h"
#include "oof/oof_reader.h"
#include "orf/room.h"

namespace torvale {

// What a load found in the file: its kind, and for a room file the room as the level editor reads it (the
// model made from it cannot carry corner alphas and light multiples).
struct LoadedInput {
    InputKind kind = InputKind::Unknown;
    std::optional<Room> room;
};

// Loads any file TORVALE reads, told apart by its content (model_io/input_kind.h), into `model`, writing
// to `out` what the log shows:
// - an OOF model, or a file of no kind TORVALE knows: exactly what LoadOofFile writes (the chunk report, or the
//   refusal, and the closing line);
// - an ORF room: the room's short report, then CR LF "Finished loading " title CR LF;
// - a glTF, GLB or OBJ model: the notes of its reader, the model's summary, then the same closing line.
// A room or exchange model that its reader refuses gets one "Error: ..." line and CR LF "Error reading " title
// CR LF. Files a glTF or OBJ names (its
// buffers, its material library) are read from the model's own folder. Returns kOofLoaded or kOofInvalid.
// An OOF file is read into `model` in place, as Import OOF reads it; other kinds replace `model` only when they
// load. When the file cannot be read at all, `openError` receives
// the reason if given; otherwise the log says it.
int LoadModelFile(const std::string& path,
                  const std::string& title,
                  ObjectModel& model,
                  LoadedInput& loaded,
                  OutputSink& out,
                  const ReportFormat& format = {},
                  std::string* openError = nullptr);

}  // namespace torvale
