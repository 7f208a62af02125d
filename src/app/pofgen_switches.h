#pragma once

#include <array>

#include "app/pofgen_switch_ids.h"
#include "app/settings.h"

namespace torvale {

// The on/off switches of POFGEN as the options dialog's check boxes hold them. The Settings keep them as 16-bit
// flags; kPofgenSwitches ties each to its letter, its flag and its check box.
struct PofgenSwitchFlags {
    bool subObjSepPlanes = false;     // chkSubObjSepPlanes
    bool useFirstSepPlane = false;    // chkUseFirstSepPlane
    bool conflictSplitRatio = false;  // chkConflictSplitRatio
    bool useLocalSepPlanes = false;   // chkUseLocalSepPlanes
    bool combineObjects = false;      // chkCombineObjects
    bool animationOutput = false;     // chkAnimation
    bool capitalShips = false;        // chkCapitalShips
    friend bool operator==(const PofgenSwitchFlags&, const PofgenSwitchFlags&) = default;
};

// One on/off switch: "-" and its letter on POFGEN's command line, the flag of the Settings that keeps it, the
// field of the dialog's record, and its check box's caption and control id.
struct PofgenSwitch {
    char letter;
    Flag Settings::*setting;
    bool PofgenSwitchFlags::*flag;
    const char* caption;
    int controlId;
};

// In the order of the switch string, which is also the order of their flags in TORVALE.ini (right after the
// chunk splits) and the tab order of their check boxes.
inline constexpr std::array<PofgenSwitch, 7> kPofgenSwitches{{
    {'p', &Settings::subObjSepPlanes, &PofgenSwitchFlags::subObjSepPlanes, "Sub-Object Seperation Planes (Debug)",
     IDC_OPT_SUB_OBJ_SEP_PLANES},
    {'f', &Settings::useFirstSepPlane, &PofgenSwitchFlags::useFirstSepPlane, "Use First Seperation Plane (Debug)",
     IDC_OPT_USE_FIRST_SEP_PLANE},
    {'m', &Settings::conflictSplitRatio, &PofgenSwitchFlags::conflictSplitRatio, "Conflict/Split Ratio",
     IDC_OPT_CONFLICT_SPLIT_RATIO},
    {'g', &Settings::useLocalSepPlanes, &PofgenSwitchFlags::useLocalSepPlanes, "Use Local Seperation Planes",
     IDC_OPT_USE_LOCAL_SEP_PLANES},
    {'1', &Settings::combineObjects, &PofgenSwitchFlags::combineObjects, "Combine Objects", IDC_OPT_COMBINE_OBJECTS},
    {'a', &Settings::animationOutput, &PofgenSwitchFlags::animationOutput, "Animation Output", IDC_OPT_ANIMATION},
    {'b', &Settings::capitalShips, &PofgenSwitchFlags::capitalShips, "Capital Ships", IDC_OPT_CAPITAL_SHIPS},
}};

}  // namespace torvale
