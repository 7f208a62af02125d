#pragma once

#include <optional>
#include <span>
#include <string>

#include "bitmap/texture_images.h"
#include "core/file_bytes.h"
#include "core/output_sink.h"
#include "model_io/input_kind.h"
#include "oof/model_report.h"
#include "oof/object_model.h"
#include "orf/room.h"
#include "scene/scene.h"

namespace torvale {

class GameTextures;
class TextureFinder;

// How a file is taken: by what its content says it is, as an OOF model whatever it is (Import OOF), or as a
// room to check (Check ORF).
enum class OpenAs { Detected, Oof, RoomCheck };

struct OpenRequest {
    OpenAs as = OpenAs::Detected;
    ReportFormat format;
    // When given, the system's reason for a file that cannot be read at all goes here (the command-line tool says
    // it on its error stream); otherwise the log gets CR LF "Error: cannot open " path ": " reason CR LF.
    std::string* openError = nullptr;
    // The model an OOF file is read into in place, as Import OOF has always read (a new file overwrites only
    // what its chunks set); without one, a fresh model that lives only as long as the reading.
    ObjectModel* oofModel = nullptr;
    // For a room check: the game's tables, which judge the room's texture names.
    const GameTextures* game = nullptr;
    // For a room check: where the textures' bitmaps are found, to judge their sizes and kinds.
    TextureFinder* textures = nullptr;
    // Whether the caller uses the scene. A report only shows what was read, so an OOF model is then not made
    // into one (and a damaged one is no failure of the report).
    bool sceneWanted = true;
    // Whether the images a glTF or OBJ model brings for its textures are read (into OpenedInput::images);
    // only an export that writes textures pays for them.
    bool imagesWanted = false;
};

// What opening a file found: its kind, whether it was read, and the scene every export and the preview use.
struct OpenedInput {
    InputKind kind = InputKind::Unknown;
    bool loaded = false;         // read (an OOF: the reader got to its end), reported, and (but see below) usable
    std::optional<Scene> scene;  // set for every loaded file but an OOF model whose data is damaged
    std::string sceneProblem;    // why a loaded OOF model has no scene: one line naming the damaged element
    std::optional<Room> room;    // a room file as the level editor reads it
    std::size_t findings = 0;    // a room check's findings
    TextureImages images;        // with OpenRequest::imagesWanted: the model's own image per texture of the scene
};

// The one way a file comes in, for every command of the command-line tool and every way the window opens a file.
// Reads `path` once, tells its kind once (model_io/input_kind.h), and writes to `out` what the log shows:
// - an OOF model (or, taken as one, any file): the chunk report, or the refusal, then CR LF "Finished loading "
//   title CR LF or CR LF "Error reading " title " Not a valid OOF!" CR LF;
// - a file of no kind TORVALE knows: one "Error: ..." line and CR LF "Error reading " title CR LF;
// - an ORF room: the room's short report, then CR LF "Finished loading " title CR LF (a room that its reader
//   refuses: its one line and "Error reading"); for a room check instead the report and the room check's lines
//   (PrintRoomFindings) under `title`, and nothing more;
// - a glTF, GLB or OBJ model: the notes of its reader, the model's summary, then the same closing line. Files a
//   glTF or OBJ names (its buffers, its material library, its images) are read from the model's own folder and
//   nowhere else.
OpenedInput OpenInput(const std::string& path,
                      const std::string& title,
                      OutputSink& out,
                      const OpenRequest& request = {});

// What a file is by its content (DetectInputKind), text with a byte-order mark read as the text it holds.
InputKind KindOfFile(std::span<const std::uint8_t> bytes);

// The same for a file already read whole into `file`, whose kind its caller has told (KindOfFile) to choose
// what to do with it; `request.as` says how it is taken.
OpenedInput OpenInput(const std::string& path,
                      const std::string& title,
                      FileBytes file,
                      InputKind kind,
                      OutputSink& out,
                      const OpenRequest& request = {});

}  // namespace torvale
