#pragma once

#include <cstddef>
#include <string>
#include <string_view>

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
