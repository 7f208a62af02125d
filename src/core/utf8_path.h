#pragma once

// Paths are UTF-8 inside the program. A std::filesystem::path built from a plain std::string reads it in the
// system's narrow encoding (the ANSI code page on Windows), so every path built or taken apart goes through these.

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace torvale {

std::filesystem::path PathFromUtf8(std::string_view utf8);

// The path's text as UTF-8; never throws, whatever the path holds.
std::string Utf8FromPath(const std::filesystem::path& path);

// std::fopen for a UTF-8 path: on Windows the wide name goes to the C library, so any file name opens.
std::FILE* OpenFileUtf8(const std::string& path, const char* mode);

// std::remove for a UTF-8 path; true when the file went.
bool RemoveFileUtf8(const std::string& path);

}  // namespace torvale
