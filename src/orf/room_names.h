#pragma once

#include <cstdint>
#include <string>

namespace torvale {

// The main window's export names. WriteRooms rewrites all three: orfPath becomes the base path without
// extension, orfTitle the title without ".orf", and orfDirectory keeps the directory for the next export.
struct ExportNames {
    std::string orfPath;
    std::string orfTitle;
    std::string orfDirectory;
};

// Turns the chosen file into the base path without extension: the title loses everything from its first
// ".orf" (in any case), and the directory is the path without the title, ending in `separator`. False, with
// nothing changed, when the path or the title is empty.
bool DeriveBaseName(ExportNames& names, char separator);

// The file of room `room` (1-based) of `roomCount`: the base path plus ".orf" when there is one room,
// otherwise the room's number with at least two digits before it ("base01.orf").
std::string RoomFileName(const std::string& basePath, std::int32_t roomCount, std::int32_t room);

}  // namespace torvale
