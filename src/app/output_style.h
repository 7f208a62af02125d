#pragma once

#include <cstdint>
#include <string>

#include "app/settings.h"

namespace torvale {

// The font and colours of the output log's text area, as the text area holds them.
struct OutputStyle {
    std::string fontName;
    double fontSize = 0.0;  // points, possibly fractional
    bool bold = false;
    bool italic = false;
    bool strikethru = false;
    bool underline = false;
    std::uint32_t backColor = 0;
    std::uint32_t textColor = 0;
    friend bool operator==(const OutputStyle&, const OutputStyle&) = default;
};

// The text area's design values: "MS Sans Serif" 9.75 points, regular, the system window colours.
OutputStyle DesignOutputStyle();

// The largest point size the text area takes, and the longest face name Windows can hold (LF_FACESIZE - 1).
inline constexpr std::int32_t kLargestFontSize = 2160;
inline constexpr std::size_t kLongestFontName = 31;

// What the text area accepts: a face name of 1 to 31 characters, a size of 1 to 2160 points, and colours
// that are 0x00BBGGRR or a reference to an existing system colour (0x80000000 + index 0..30, except 25).
bool IsAcceptedFontName(const std::string& name);
bool IsAcceptedFontSize(std::int32_t points);
bool IsAcceptedColor(std::uint32_t color);

// Rounds to the nearest whole number, halves to even (9.75 gives 10, 10.5 gives 10, 11.5 gives 12).
std::int32_t RoundHalfToEven(double value);

// Copies a style into the Settings' output fields, the size rounded to whole points (halves to even).
void StoreOutputStyle(const OutputStyle& style, Settings& settings);

// The style the Settings ask for, when the text area accepts every value of it.
OutputStyle StyleFromSettings(const Settings& settings);

// Applying with fallback, starting from the text area's design values: the Settings' values are set in
// the order font name, size, bold, italic, strikethrough, underline, background colour, text colour. At the
// first value the text area refuses, applying stops, the text area's values at that moment (the design
// values with the ones already accepted) are copied into the Settings (the size rounded half to even), and
// that style is applied instead. Returns the style the text area ends up with.
OutputStyle ApplyWithFallback(Settings& settings);

}  // namespace torvale
