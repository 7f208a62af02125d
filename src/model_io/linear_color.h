#pragma once

#include <cstdint>

namespace torvale {

// glTF keeps colour factors linear, the game keeps sRGB bytes. The two directions live here together so that
// a byte written out comes back as the same byte.

// The linear value of the sRGB byte `byte`: the sRGB decoding of byte / 255.
double LinearFromSrgbByte(std::uint8_t byte);

// The sRGB byte nearest to the linear value `linear` (clamped to 0..1; not a number counts as 0).
std::uint8_t SrgbByteFromLinear(double linear);

}  // namespace torvale
