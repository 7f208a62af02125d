#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "render/renderer.h"

namespace torvale {

// The frame as the bytes of a PNG file: 8-bit RGB, rows from the top. Empty when the frame's size and its
// pixels do not match.
std::vector<std::uint8_t> EncodePng(const Frame& frame);

// Writes the frame as a PNG file, replacing `path` in one step (a failure leaves the old file as it was). On
// failure `error` says why.
bool WritePng(const std::string& path, const Frame& frame, std::string& error);

}  // namespace torvale
