#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace torvale {

// Reads a whole file into memory, opened for reading only (a missing file is never created).
// On failure `error` says why, in words a user understands.
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error);

// Writes `bytes` to a temporary file beside `path` and then moves it over `path` in one step, so that a
// failure at any point leaves the old file exactly as it was and no partial file behind.
bool ReplaceFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes, std::string& error);

// The one operating-system step of the replacement: move `from` over `to`, replacing `to` if it exists.
// Implemented per platform (platform/file_replace_*.cpp).
bool MoveFileReplacing(const std::string& from, const std::string& to, std::string& error);

}  // namespace torvale
