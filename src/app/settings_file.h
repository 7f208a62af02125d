#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/settings.h"

namespace torvale {

// The settings file is 52 bytes plus the lengths of the font name and the POFGEN path (one length byte each).
inline constexpr std::size_t kSettingsFixedSize = 52;
inline constexpr std::size_t kSettingsTextLimit = 255;

// The settings file keeps the POFGEN path in the user's ANSI code page, as earlier versions wrote it; in the
// program it is UTF-8 like every path. None: the bytes as they are (systems whose file names are UTF-8).
struct AnsiCodec {
    std::function<std::string(std::string_view)> toUtf8;
    std::function<std::string(std::string_view)> fromUtf8;
};

// The file's bytes for `settings`; texts longer than 255 characters are cut to 255.
std::vector<std::uint8_t> EncodeSettings(const Settings& settings);
// Reads the fields in file order into `settings`. A text whose length byte is 0 keeps the value the record
// already holds; a file shorter than its layout keeps the record's values for every field it does not hold.
void DecodeSettings(std::span<const std::uint8_t> bytes, Settings& settings);

// LoadSettings: reads the file at `path` into `settings`; false with `error` when it cannot be read.
bool LoadSettings(const std::string& path, Settings& settings, std::string& error, const AnsiCodec& codec = {});
// SaveSettings: replaces the file at `path` atomically; on failure the old file stays as it was.
bool SaveSettings(const std::string& path, const Settings& settings, std::string& error, const AnsiCodec& codec = {});

}  // namespace torvale
