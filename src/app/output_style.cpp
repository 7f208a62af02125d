#include "app/output_style.h"

#include <cmath>
#include <cstdint>

#include "core/number_text.h"

namespace torvale {
namespace {

constexpr std::uint32_t kSystemColorFlag = 0x80000000;
constexpr std::uint32_t kLastSystemColor = 30;    // COLOR_MENUBAR
constexpr std::uint32_t kUnusedSystemColor = 25;  // no system colour has this index

}  // namespace

void StoreOutputStyle(const OutputStyle& style, Settings& settings) {
    settings.backColor = style.backColor;
    settings.textColor = style.textColor;
    settings.fontName = style.fontName;
    settings.fontSize = RoundHalfToEven(style.fontSize);
    settings.fontBold.set(style.bold);
    settings.fontItalic.set(style.italic);
    settings.fontStrikethru.set(style.strikethru);
    settings.fontUnderline.set(style.underline);
}

OutputStyle DesignOutputStyle() {
    OutputStyle style;
    style.fontName = "MS Sans Serif";
    style.fontSize = 9.75;
    style.backColor = kSystemWindowBackground;
    style.textColor = kSystemWindowText;
    return style;
}

bool IsAcceptedFontName(const std::string& name) {
    return !name.empty() && name.size() <= kLongestFontName && name.find('\0') == std::string::npos;
}

bool IsAcceptedFontSize(std::int32_t points) {
    return points >= 1 && points <= kLargestFontSize;
}

bool IsAcceptedColor(std::uint32_t color) {
    if ((color & 0xFF000000u) == 0)
        return true;
    if ((color & 0xFF000000u) != kSystemColorFlag)
        return false;
    const std::uint32_t index = color & 0x00FFFFFFu;
    return index <= kLastSystemColor && index != kUnusedSystemColor;
}

std::int32_t RoundHalfToEven(double value) {
    // Held inside the 32-bit range, so that no size, however absurd, turns into an undefined conversion.
    const double rounded = RoundHalfEven(value);
    if (!(rounded > static_cast<double>(INT32_MIN)))
        return INT32_MIN;
    if (rounded > static_cast<double>(INT32_MAX))
        return INT32_MAX;
    return static_cast<std::int32_t>(rounded);
}

OutputStyle StyleFromSettings(const Settings& settings) {
    OutputStyle style;
    style.fontName = settings.fontName;
    style.fontSize = settings.fontSize;
    style.bold = settings.fontBold.isOn();
    style.italic = settings.fontItalic.isOn();
    style.strikethru = settings.fontStrikethru.isOn();
    style.underline = settings.fontUnderline.isOn();
    style.backColor = settings.backColor;
    style.textColor = settings.textColor;
    return style;
}

OutputStyle ApplyWithFallback(Settings& settings) {
    OutputStyle area = DesignOutputStyle();
    const OutputStyle wanted = StyleFromSettings(settings);
    // Each step sets one value; the flags are always taken.
    const bool accepted = [&] {
        if (!IsAcceptedFontName(wanted.fontName))
            return false;
        area.fontName = wanted.fontName;
        if (!IsAcceptedFontSize(settings.fontSize))
            return false;
        area.fontSize = wanted.fontSize;
        area.bold = wanted.bold;
        area.italic = wanted.italic;
        area.strikethru = wanted.strikethru;
        area.underline = wanted.underline;
        if (!IsAcceptedColor(wanted.backColor))
            return false;
        area.backColor = wanted.backColor;
        if (!IsAcceptedColor(wanted.textColor))
            return false;
        area.textColor = wanted.textColor;
        return true;
    }();
    if (!accepted) {
        StoreOutputStyle(area, settings);
        area.fontSize = settings.fontSize;  // applied again as the Settings now hold it
    }
    return area;
}

}  // namespace torvale
