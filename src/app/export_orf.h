#pragma once

#include <string>
#include <string_view>

#include "orf/room_export.h"
#include "platform/file_dialogs.h"

namespace torvale {

// The target the Export ORF command proposes: the model's path with its last three characters replaced by
// "orf", whatever they are (C:\m\Ship.OOF gives C:\m\Ship.orf).
std::string SuggestOrfPath(std::string_view oofPath);

// The save dialog of Export ORF: no question before an existing file is replaced, and no extension added to a
// name typed without one (the room export adds ".orf").
FileDialogRequest ExportOrfDialog(std::string suggestedPath);

// The line that closes an export in the log: "Finished converting to ORF!" only when every room was written;
// when a room failed or the model was refused, a line saying the export failed. Nothing when the export
// had no name to write to.
std::string ExportClosingMessage(ExportOutcome outcome);

}  // namespace torvale
