#pragma once

#include "app/settings.h"
#include "builders/bytes.h"

namespace torvale::test {

// The settings file for `settings`, written field by field by hand: 52 bytes plus the two texts, each text
// after its one length byte. Texts are written as given (the caller keeps them to 255 characters).
Bytes SettingsFileBytes(const Settings& settings);

// A record in which every field differs from its default and from zero, with a 13-character font name and a
// 20-character POFGEN path: its file is 85 bytes long.
Settings DistinctSettings();

}  // namespace torvale::test
