#pragma once

#include <string>

#include "app/settings.h"

namespace torvale {

// The POFGEN switch string built from the Settings at start-up: empty, or switches each followed by one
// blank. Numbers use `separator` as the decimal separator.
std::string BuildPofgenCommandLine(const Settings& settings, char separator = '.');

}  // namespace torvale
