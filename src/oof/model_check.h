#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/output_sink.h"
#include "oof/object_model.h"

namespace torvale {

// The kinds of finding, in the order the log lists them.
enum class ModelFindingKind {
    Layout,      // the header, the chunks, their order, repeats and lengths
    Limit,       // more of something than the game holds
    Numbering,   // sub-object numbers and parents
    Text,        // counted texts the game cannot take or cuts
    FaceData,    // faces naming vertices or textures that do not exist
    NotFinite,   // numbers that are not finite
    FaceNormal,  // stored face normals
    FaceShape,   // faces not convex or not planar, by the level editor's limits
    VertexData,  // vertex normals and alphas
    Property,    // property commands
    Animation,   // rotation and position tracks
    Point,       // gun, attach and ground points
    Battery,     // weapon batteries
    Radius,      // radii smaller than what they should hold
    Ship,        // what a ship needs
    FileName,    // the file's name
};

enum class ModelElement { Model, SubObject, Face };

struct ModelFinding {
    ModelFindingKind kind;
    ModelElement element;
    std::size_t subObject = 0;  // the sub-object's number (its index in the model), for SubObject and Face
    std::size_t face = 0;       // the face's number in the sub-object, from 0, for Face
    std::string text;
};

struct ModelCheckOptions {
    bool ship = false;          // also what the game needs of a player ship
    std::string_view fileName;  // judged for its stem and extension; empty: not judged
};

// What the game would refuse, crash on or get wrong in a model that ReadOofFile read from `bytes`.
// `walk` holds the offsets ReadOofFile reported through its `passed` callback while reading those bytes: where
// each chunk starts as the game walks the file, then where the last one's fields end. The check judges the file
// as the game loads it: the header's version, chunk order, repeats and lengths, every limit, the texts, the
// hierarchy, the faces and their normals, property commands with what they need, animation tracks, points,
// weapon batteries, and with `options.ship` what a ship needs. Findings come in sub-object order, the
// model's own after them.
std::vector<ModelFinding> CheckModel(const ObjectModel& model,
                                     std::span<const std::uint8_t> bytes,
                                     std::span<const std::size_t> walk,
                                     const ModelCheckOptions& options);

// Reads `bytes` as an OOF file, with its report to `report`, and checks the model. False when the reader
// refuses the file (its refusal is in the report and there are no findings).
bool ReadAndCheckModel(std::span<const std::uint8_t> bytes,
                       std::string_view title,
                       OutputSink& report,
                       const ModelCheckOptions& options,
                       std::vector<ModelFinding>& findings);

// Writes the findings to the log as the room check does, one line each ending in CR LF:
//   Warning: <model>: <finding>                  (the model's own)
//   Warning: <model>, sub-object <s>: <finding>
//   Warning: <model>, sub-object <s>, face <f>: <finding>
// grouped by kind, at most kFindingLinesPerKind lines per kind and a line counting the rest, then
// "Model check of <model>: no findings" / "1 finding" / "<n> findings".
void PrintModelFindings(std::string_view modelFileName, std::span<const ModelFinding> findings, OutputSink& out);

// The plural words the cut-off line uses for a kind ("faces with a bad normal").
std::string_view ModelFindingKindPlural(ModelFindingKind kind);

}  // namespace torvale
