#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdlib>

#include "core/number_text.h"
#include "pofgen/command_line.h"

namespace torvale {
namespace {

// The options dialog as its fields leave a record, with each box showing eight decimals.
PofgenDialogControls DialogShowing(const std::string& scale, const std::string& tolerance) {
    PofgenDialogControls controls;
    controls.scaleFactorText = scale;
    controls.errorToleranceText = tolerance;
    return controls;
}

TEST(PofgenCommandLine, DefaultsGiveAnEmptyStringInBothBuilds) {
    EXPECT_EQ(BuildPofgenCommandLine(Settings{}), "");
    EXPECT_EQ(BuildPofgenCommandLineFromDialog(DialogShowing("0.02540000", "0.00000000")), "");
}

TEST(PofgenCommandLine, MixedExampleInBothBuilds) {
    Settings settings;
    settings.scaleFactor = 0.03f;
    settings.shadingMode = 1;
    settings.chunkSplits = {4, 4, 4};
    settings.subObjSepPlanes = kTrue;
    settings.capitalShips = kTrue;
    EXPECT_EQ(BuildPofgenCommandLine(settings), "-s0.03 -d1 -n4,4,4 -p -b ");

    PofgenDialogControls controls = DialogShowing("0.03000000", "0.00000000");
    controls.shadingOption = 1;
    controls.chunkSplitTexts = {"4", "4", "4"};
    controls.subObjSepPlanes = true;
    controls.capitalShips = true;
    EXPECT_EQ(BuildPofgenCommandLineFromDialog(controls), "-s0.03000000 -d1 -n4,4,4 -p -b ");
}

TEST(PofgenCommandLine, ScaleSwitchOnlyAboveTheDefaultComparedAsSingles) {
    Settings settings;
    for (float scale : {0.0254f, 0.02f, 0.0f, -1.0f}) {
        settings.scaleFactor = scale;
        EXPECT_EQ(BuildPofgenCommandLine(settings), "") << scale;
    }
    settings.scaleFactor = std::nextafter(0.0254f, 1.0f);  // the next single up: seven digits show 0.0254
    EXPECT_EQ(BuildPofgenCommandLine(settings), "-s0.0254 ");
    settings.scaleFactor = 0.0254001f;
    EXPECT_EQ(BuildPofgenCommandLine(settings), "-s0.0254001 ");
    settings.scaleFactor = 65535.0f;
    EXPECT_EQ(BuildPofgenCommandLine(settings), "-s65535 ");

    EXPECT_EQ(BuildPofgenCommandLineFromDialog(DialogShowing("0.02540000", "0.00000000")), "");
    EXPECT_EQ(BuildPofgenCommandLineFromDialog(DialogShowing("0.02000000", "0.00000000")), "");
    EXPECT_EQ(BuildPofgenCommandLineFromDialog(DialogShowing("65535.0000", "0.00000000")), "-s65535.0000 ");
}

TEST(PofgenCommandLine, ToleranceSwitchWhenAboveZero) {
    Settings settings;
    settings.errorTolerance = 0.5f;
    EXPECT_EQ(BuildPofgenCommandLine(settings), "-e0.5 ");
    settings.errorTolerance = -0.5f;
    EXPECT_EQ(BuildPofgenCommandLine(settings), "");
    EXPECT_EQ(BuildPofgenCommandLineFromDialog(DialogShowing("0.02540000", "0.50000000")), "-e0.50000000 ");
    EXPECT_EQ(BuildPofgenCommandLineFromDialog(DialogShowing("0.02540000", "0.00000000")), "");
}

TEST(PofgenCommandLine, NumbersUseTheGivenDecimalSeparator) {
    Settings settings;
    settings.scaleFactor = 1.5f;
    settings.errorTolerance = 0.00002f;
    EXPECT_EQ(BuildPofgenCommandLine(settings, ','), "-s1,5 -e2E-05 ");
    settings.errorTolerance = 0.0000125f;
    EXPECT_EQ(BuildPofgenCommandLine(settings, ','), "-s1,5 -e1,25E-05 ");
}

TEST(PofgenCommandLine, ShadingSwitchOnlyForModesOneAndTwo) {
    Settings settings;
    const std::pair<std::uint8_t, const char*> cases[] = {{0, ""}, {1, "-d1 "}, {2, "-d2 "}, {3, ""}, {255, ""}};
    for (const auto& [mode, expected] : cases) {
        settings.shadingMode = mode;
        EXPECT_EQ(BuildPofgenCommandLine(settings), expected) << int{mode};
    }
    PofgenDialogControls controls = DialogShowing("0.02540000", "0.00000000");
    controls.shadingOption = 2;
    EXPECT_EQ(BuildPofgenCommandLineFromDialog(controls), "-d2 ");
}

TEST(PofgenCommandLine, ChunkSplitsUnlessAllZero) {
    Settings settings;
    settings.chunkSplits = {100, 100, 100};
    EXPECT_EQ(BuildPofgenCommandLine(settings), "-n100,100,100 ");
    settings.chunkSplits = {0, 0, 255};
    EXPECT_EQ(BuildPofgenCommandLine(settings), "-n0,0,255 ");

    PofgenDialogControls controls = DialogShowing("0.02540000", "0.00000000");
    controls.chunkSplitTexts = {"100", "100", "100"};
    EXPECT_EQ(BuildPofgenCommandLineFromDialog(controls), "-n100,100,100 ");
    controls.chunkSplitTexts = {"0", "0", "0"};
    EXPECT_EQ(BuildPofgenCommandLineFromDialog(controls), "");
    controls.chunkSplitTexts = {"00", "0", ""};  // the joined texts are "000": no switch, as the dialog does it
    EXPECT_EQ(BuildPofgenCommandLineFromDialog(controls), "");
}

TEST(PofgenCommandLine, SevenFlagsInTheirOrderWhenNonZero) {
    Settings settings;
    settings.subObjSepPlanes = kTrue;
    settings.useFirstSepPlane = Flag(1);  // any non-zero value is true
    settings.conflictSplitRatio = kTrue;
    settings.useLocalSepPlanes = Flag(2);
    settings.combineObjects = kTrue;
    settings.animationOutput = kTrue;
    settings.capitalShips = kTrue;
    EXPECT_EQ(BuildPofgenCommandLine(settings), "-p -f -m -g -1 -a -b ");
    settings.useFirstSepPlane = kFalse;
    settings.combineObjects = kFalse;
    EXPECT_EQ(BuildPofgenCommandLine(settings), "-p -m -g -a -b ");

    PofgenDialogControls controls = DialogShowing("0.02540000", "0.00000000");
    controls.subObjSepPlanes = controls.useFirstSepPlane = controls.conflictSplitRatio = true;
    controls.useLocalSepPlanes = controls.combineObjects = controls.animationOutput = controls.capitalShips = true;
    EXPECT_EQ(BuildPofgenCommandLineFromDialog(controls), "-p -f -m -g -1 -a -b ");
}

// Below 1E-04 the number text is the exponent form; it must read back as the same single.
TEST(PofgenCommandLine, SmallTolerancesUseTheExponentFormAndReadBackExactly) {
    Settings settings;
    settings.errorTolerance = 0.00001f;
    EXPECT_EQ(BuildPofgenCommandLine(settings), "-e1E-05 ");

    // Every tolerance the dialog can give below 1E-04 (eight decimals) keeps FormatSingle's seven-digit text.
    for (int units = 1; units < 10000; ++units) {
        const auto value = static_cast<float>(units * 1e-8);
        const std::string text = FormatPofgenNumber(value);
        ASSERT_EQ(text, FormatSingle(value)) << units;
        ASSERT_EQ(std::strtof(text.c_str(), nullptr), value) << text;
    }
    // Any single below 1E-04, subnormals included, reads back; some need more than seven digits.
    int longer = 0;
    const auto top = std::bit_cast<std::uint32_t>(1e-4f);
    for (std::uint32_t bits = 1; bits < top; bits += 40009) {
        const float value = std::bit_cast<float>(bits);
        const std::string text = FormatPofgenNumber(value);
        ASSERT_EQ(std::strtof(text.c_str(), nullptr), value) << text;
        ASSERT_NE(text.find('E'), std::string::npos) << text;
        if (text != FormatSingle(value))
            ++longer;
    }
    EXPECT_GT(longer, 0);
}

}  // namespace
}  // namespace torvale
