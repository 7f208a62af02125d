#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "orf/room.h"

namespace torvale {

// Reads a room file of any version the level editor reads (0 to 4; later versions are laid out like 4).
// Returns false for anything the editor would misread, with `error` set to one line
// "Error: <chunk> at byte <n> ..." naming the chunk, the byte and the reason. Every count is checked against
// the bytes left before anything is stored. On failure `room` may hold part of the file; discard it.
bool ReadOrfFile(std::span<const std::uint8_t> bytes, Room& room, std::string& error);

}  // namespace torvale
