#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace torvale {

// Files a model names (glTF buffers and images, OBJ material libraries and their map_Kd images) must lie in the
// model's own folder or below it: a model is never a way to read other files the user can read.

// Decodes the %XX escapes of a URI; false with `why` for a broken escape.
bool PercentDecode(std::string_view uri, std::string& decoded, std::string& why);

// Checks a decoded name against the folder rule and gives it back with '/' separators and without "." parts.
// Refused: an empty name, a root ("/x", "\x"), a drive ("C:x"), a server ("\\server\share", "//server"), any
// other ':' (a scheme, an NTFS stream), a NUL, and ".." reaching above the folder. '\' separates as '/' does.
bool CheckInsideFolder(std::string_view name, std::string& relative, std::string& why);

// Both of the above: what a URI written in a model names inside the model's folder.
bool ResolveModelUri(std::string_view uri, std::string& relative, std::string& why);

// The file `relative` (as CheckInsideFolder gives it) under `folder`, refused when a symbolic link on the way
// leads out of the folder. A file that does not exist is no refusal here; reading it fails afterwards.
bool FileInsideFolder(const std::filesystem::path& folder,
                      std::string_view relative,
                      std::filesystem::path& file,
                      std::string& why);

// The file name a model's side file (a glTF's .bin, an OBJ's .mtl) is written under, so that the model's
// reference to it reads back as that one file: every character the rule above reads otherwise ('\\' and ':'
// anywhere, '%' that starts an escape) and every control character becomes '_'.
std::string PlainSideFileName(std::string_view name);

// A name from a file made fit for a one-line message: quoted, control bytes as \xNN, cut after 200 bytes.
std::string QuotedName(std::string_view name);

}  // namespace torvale
