#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace torvale {

// Flags are 16-bit: -1 for true, 0 for false; any non-zero value reads as true.
using Flag = std::int16_t;
inline constexpr Flag kTrue = -1;
inline constexpr Flag kFalse = 0;
inline bool IsSet(Flag flag) {
    return flag != 0;
}
inline Flag ToFlag(bool value) {
    return value ? kTrue : kFalse;
}

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
