#pragma once

#include <span>
#include <string_view>

#include "core/finding_lines.h"
#include "core/output_sink.h"
#include "orf/room_check.h"

namespace torvale {

// Writes the findings of one room to the log, one message per line, each ending in CR LF:
//   Warning: <room>, face <k>: <finding>       (vertex <k>, texture <t>; a room's own: "Warning: <room>: ...")
// grouped by kind in the order of RoomFindingKind, at most kFindingLinesPerKind lines per kind, then
//   Warning: <room>: ... and <n> more <kind in plural words>
// and last the summary "Room check of <room>: no findings" / "1 finding" / "<n> findings", which counts every
// finding, also those not shown. Callers add their own findings (UnknownTextureFinding) to the list first.
void PrintRoomFindings(std::string_view roomFileName, std::span<const RoomFinding> findings, OutputSink& out);

// The plural words the cut-off line uses for a kind ("concave faces").
std::string_view FindingKindPlural(RoomFindingKind kind);

}  // namespace torvale
