#pragma once

#include <cstdint>

namespace torvale {

// A colour byte as glTF keeps it: base colour factors are linear, the game's flat colours sRGB bytes.
// LinearOfSrgbByte(c) is the sRGB-decoded value of c / 255; SrgbByteOfLinear encodes a factor (clamped to
// 0..1) and rounds it to the nearest byte, so that every byte comes back as itself.
double LinearOfSrgbByte(std::uint8_t byte);
std::uint8_t SrgbByteOfLinear(double linear);

}  // namespace torvale
