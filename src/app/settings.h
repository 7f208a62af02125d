#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace torvale {

// A 16-bit flag as the settings file stores it: -1 for on, 0 for off. Any other non-zero value (a 1 written by
// another program) reads as on and is kept as it is, so that saving never rewrites a value the user did not
// change.
class Flag {
public:
    constexpr Flag() = default;
    constexpr explicit Flag(std::int16_t raw) : raw_(raw) {}

    constexpr bool isOn() const { return raw_ != 0; }
    constexpr std::int16_t raw() const { return raw_; }
    // Turns the flag on (-1) or off (0); a flag that already reads that way keeps its stored value.
    constexpr void set(bool on) {
        if (on != isOn())
            raw_ = on ? -1 : 0;
    }
    friend constexpr bool operator==(Flag, Flag) = default;

private:
    std::int16_t raw_ = 0;
};
inline constexpr Flag kTrue{-1};
inline constexpr Flag kFalse{0};

// Colours are 0x00BBGGRR, or a system colour reference 0x80000000 plus the system colour index.
inline constexpr std::uint32_t kSystemWindowBackground = 0x80000005;
inline constexpr std::uint32_t kSystemWindowText = 0x80000008;

// The program's one configuration record, kept in TORVALE.ini beside the executable.
struct Settings {
    float scaleFactor = 0.0254f;  // bits 0x3CD013A9
    float errorTolerance = 0.0f;
    std::uint8_t shadingMode = 0;
    std::array<std::uint8_t, 3> chunkSplits{0, 0, 0};
    Flag subObjSepPlanes = kFalse;
    Flag useFirstSepPlane = kFalse;
    Flag conflictSplitRatio = kFalse;
    Flag useLocalSepPlanes = kFalse;
    Flag combineObjects = kFalse;
    Flag animationOutput = kFalse;
    Flag capitalShips = kFalse;
    Flag combineSubObjects = kTrue;
    std::uint32_t backColor = 0;
    std::uint32_t textColor = 0;
    std::string fontName;  // at most 255 characters in the file
    std::int32_t fontSize = 0;
    Flag fontBold = kFalse;
    Flag fontItalic = kFalse;
    Flag fontStrikethru = kFalse;
    Flag fontUnderline = kFalse;
    std::string pofgenPath;  // at most 255 characters in the file
    Flag showPofgenOutput = kTrue;
};

}  // namespace torvale
