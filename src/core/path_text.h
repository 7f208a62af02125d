#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>

namespace torvale {

// Which characters end a folder's name. A path given to this system uses its own separators; a name stored in
// a model file (a texture, a buffer's URI) may come from any system, so both slashes separate there.
enum class PathSeparators { OfThisSystem, Any };

// Where the file name starts in `path`: after the last '/', and, for this system's paths on Windows, also after
// '\\' or a drive's ':'; for stored names after the last '/' or '\\'.
std::size_t FileNameStart(std::string_view path, PathSeparators separators = PathSeparators::OfThisSystem);

// The file name: what follows the last separator ("rooms/ship.orf" gives "ship.orf").
std::string FileNameOf(std::string_view path, PathSeparators separators = PathSeparators::OfThisSystem);

// The file name without its last extension ("tex/wall.png" gives "wall"); a name whose only dot comes first
// (".hidden") keeps it.
std::string FileStemOf(std::string_view path, PathSeparators separators = PathSeparators::OfThisSystem);

}  // namespace torvale

namespace torvale {

// `name` made fit to be a file's stem on any system: control characters and < > : " / \ | ? * become '_',
// trailing dots and spaces become '_', an empty name is "_", and a name that Windows keeps for a device (CON,
// NUL, COM1, LPT1, ..., with or without an extension) gets a '_' after it. UTF-8 stays as it is. The result is
// also made distinct, ignoring ASCII case, from every stem in `taken` ("Wall", "Wall_2", "Wall_3", ...), and
// added to it.
std::string FileStemFromName(std::string_view name, std::unordered_set<std::string>& taken);

}  // namespace torvale
