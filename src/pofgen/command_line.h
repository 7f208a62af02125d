#pragma once

#include <array>
#include <optional>
#include <string>

#include "app/pofgen_switches.h"
#include "app/settings.h"

namespace torvale {

// The on/off flags of the Settings (any non-zero value is set), and back (-1 for set, 0 otherwise).
PofgenSwitchFlags SwitchFlagsOf(const Settings& settings);
void StoreSwitchFlags(const PofgenSwitchFlags& flags, Settings& settings);

// The switches POFGEN gets, as texts ready to be written. Both builds of the switch string fill this record
// and leave the order of the switches to AssemblePofgenCommandLine.
struct PofgenSwitches : PofgenSwitchFlags {
    std::optional<std::string> scaleFactor;                 // "-s" and this text
    std::optional<std::string> errorTolerance;              // "-e" and this text
    int shadingMode = 0;                                    // 1 gives "-d1", 2 gives "-d2", anything else nothing
    std::optional<std::array<std::string, 3>> chunkSplits;  // "-nX,Y,Z"
};

// The switch string: empty, or the switches in POFGEN's order, each followed by exactly one blank.
std::string AssemblePofgenCommandLine(const PofgenSwitches& switches);

// The POFGEN switch string built from the Settings at start-up: empty, or switches each followed by one
// blank. Numbers use `separator` as the decimal separator.
std::string BuildPofgenCommandLine(const Settings& settings, char separator = '.');

// The number text of the start-up build: the shortest general form with at most seven significant digits
// (FormatSingle). Below 1E-04 that form is the exponent form, and should seven digits not read back as the
// same 32-bit value there, as many digits as it takes (at most nine) are written instead.
std::string FormatPofgenNumber(float value, char separator = '.');

// The options dialog's controls as its OK button finds them.
struct PofgenDialogControls : PofgenSwitchFlags {
    std::string scaleFactorText;                                // txtScaleFactor
    std::string errorToleranceText;                             // txtErrorTolerance
    int shadingOption = 0;                                      // the selected optShadingMode: 0, 1 or 2
    std::array<std::string, 3> chunkSplitTexts{"0", "0", "0"};  // txtChunkSplits 0 to 2
};

// The switch string built from the dialog's controls on OK. The box texts are written unchanged; whether the
// scale factor and tolerance switches appear is decided by comparing the texts, character by character, with
// "0.02540000" and "0.00000000", and the chunk splits appear when their three texts joined differ from "000".
std::string BuildPofgenCommandLineFromDialog(const PofgenDialogControls& controls);

}  // namespace torvale
