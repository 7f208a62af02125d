#include "model_io/srgb_color.h"

#include <algorithm>
#include <cmath>

namespace torvale {

double LinearOfSrgbByte(std::uint8_t byte) {
    const double s = byte / 255.0;
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
}

std::uint8_t SrgbByteOfLinear(double linear) {
    // NaN clamps to nothing in particular: it is taken as black.
    linear = std::isnan(linear) ? 0.0 : std::clamp(linear, 0.0, 1.0);
    const double s = linear <= 0.0031308 ? linear * 12.92 : 1.055 * std::pow(linear, 1.0 / 2.4) - 0.055;
    return static_cast<std::uint8_t>(std::lround(std::clamp(s, 0.0, 1.0) * 255.0));
}

}  // namespace torvale
