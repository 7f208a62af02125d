#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/pofgen_switches.h"
#include "app/settings_file.h"
#include "builders/settings_builder.h"
#include "pofgen/command_line.h"

namespace torvale {
namespace {

// What each switch must be, written out apart from the table: the Settings' flag, where TORVALE.ini keeps it
// and what POFGEN gets for it.
struct ExpectedSwitch {
    Flag Settings::*setting;
    std::size_t offset;
    const char* text;
};
constexpr ExpectedSwitch kExpected[] = {
    {&Settings::subObjSepPlanes, 12, "-p "},    {&Settings::useFirstSepPlane, 14, "-f "},
    {&Settings::conflictSplitRatio, 16, "-m "}, {&Settings::useLocalSepPlanes, 18, "-g "},
    {&Settings::combineObjects, 20, "-1 "},     {&Settings::animationOutput, 22, "-a "},
    {&Settings::capitalShips, 24, "-b "},
};

// Each switch alone: its flag sits at its own two bytes of the hand-written file and nowhere else, reads back
// as that switch alone, is stored back into the same bytes, and gives its one switch in both builds of the
// switch string.
TEST(PofgenSwitches, EachRowRoundTripsThroughTheSettingsFileAndTheSwitchString) {
    ASSERT_EQ(std::size(kExpected), kPofgenSwitches.size());
    const test::Bytes defaults = test::SettingsFileBytes(Settings{});
    for (std::size_t i = 0; i < kPofgenSwitches.size(); ++i) {
        const PofgenSwitch& row = kPofgenSwitches[i];
        SCOPED_TRACE(std::string("switch ") + row.letter);
        EXPECT_EQ(row.setting, kExpected[i].setting);

        Settings on;
        on.*kExpected[i].setting = kTrue;
        const test::Bytes file = test::SettingsFileBytes(on);
        EXPECT_EQ(EncodeSettings(on), file);
        test::Bytes expectedFile = defaults;
        expectedFile[kExpected[i].offset] = 0xFF;
        expectedFile[kExpected[i].offset + 1] = 0xFF;
        EXPECT_EQ(file, expectedFile);

        Settings read;
        DecodeSettings(file, read);
        PofgenSwitchFlags alone;
        alone.*row.flag = true;
        EXPECT_EQ(SwitchFlagsOf(read), alone);
        EXPECT_EQ(BuildPofgenCommandLine(read), kExpected[i].text);

        Settings stored;
        StoreSwitchFlags(alone, stored);
        EXPECT_EQ(EncodeSettings(stored), file);

        PofgenDialogControls controls;
        controls.scaleFactorText = "0.02540000";
        controls.errorToleranceText = "0.00000000";
        static_cast<PofgenSwitchFlags&>(controls) = alone;
        EXPECT_EQ(BuildPofgenCommandLineFromDialog(controls), kExpected[i].text);
    }
}

TEST(PofgenSwitches, LettersControlsAndCaptionsAreEachUsedOnce) {
    std::set<char> letters;
    std::set<int> controls;
    std::set<std::string> captions;
    for (const PofgenSwitch& row : kPofgenSwitches) {
        letters.insert(row.letter);
        controls.insert(row.controlId);
        captions.insert(row.caption);
    }
    EXPECT_EQ(letters.size(), kPofgenSwitches.size());
    EXPECT_EQ(controls.size(), kPofgenSwitches.size());
    EXPECT_EQ(captions.size(), kPofgenSwitches.size());
}

}  // namespace
}  // namespace torvale
