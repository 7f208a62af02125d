#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace torvale {

// Reads a whole file into memory, opened for reading only (a missing file is never created). A path that
// is not a regular file, or a file larger than 2 GiB, is refused before anything is read (see ReadFileBytes).
// On failure `error` says why, in words a user understands, and `bytes` is left as it was.
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error);

// Writes `bytes` to a temporary file beside `path` and then moves it over `path` in one step, so that a
// failure at any point leaves the old file exactly as it was and no partial file behind. The temporary is
// named by TemporaryPathFor. Temporaries of the same file that an earlier run left behind (its process was
// killed) are removed first, once their writer is known to be gone; those of a running process stay.
bool ReplaceFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes, std::string& error);

// The temporary beside `path` that this process writes: a dot, the file's name, ".torvale-", this process's
// id and ".tmp" ("rooms/.big73.orf.torvale-4711.tmp").
std::string TemporaryPathFor(const std::string& path);
// The one operating-system step of the replacement: move `from` over `to`, replacing `to` if it exists.
// Implemented per platform (platform/file_replace_*.cpp).
bool MoveFileReplacing(const std::string& from, const std::string& to, std::string& error);

}  // namespace torvale
