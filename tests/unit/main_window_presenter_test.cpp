#include <gtest/gtest.h>

#include "app/main_window_presenter.h"
#include "builders/bytes.h"
#include "builders/fake_platform.h"

namespace torvale {
namespace {

using test::MainWindowHarness;

TEST(OutputStyle, TextAreaTakesNamesSizesAndColoursWithinItsLimits) {
    EXPECT_FALSE(IsAcceptedFontName(""));
    EXPECT_TRUE(IsAcceptedFontName("No Such Face At All"));  // the system substitutes; the name stays
    EXPECT_TRUE(IsAcceptedFontName(std::string(31, 'a')));
    EXPECT_FALSE(IsAcceptedFontName(std::string(32, 'a')));

    EXPECT_FALSE(IsAcceptedFontSize(0));
    EXPECT_FALSE(IsAcceptedFontSize(-8));
    EXPECT_TRUE(IsAcceptedFontSize(1));
    EXPECT_TRUE(IsAcceptedFontSize(2160));
    EXPECT_FALSE(IsAcceptedFontSize(2161));

    EXPECT_TRUE(IsAcceptedColor(0x00000000));
    EXPECT_TRUE(IsAcceptedColor(0x00FFFFFF));
    EXPECT_TRUE(IsAcceptedColor(0x80000005));
    EXPECT_TRUE(IsAcceptedColor(0x8000001E));   // the menu bar, the last system colour
    EXPECT_FALSE(IsAcceptedColor(0x80000019));  // no system colour has index 25
    EXPECT_FALSE(IsAcceptedColor(0x8000001F));
    EXPECT_FALSE(IsAcceptedColor(0x01000000));  // palette index
    EXPECT_FALSE(IsAcceptedColor(0xFF000000));
}

TEST(OutputStyle, RoundsFractionalPointSizesHalfToEven) {
    EXPECT_EQ(RoundHalfToEven(9.75), 10);
    EXPECT_EQ(RoundHalfToEven(10.5), 10);
    EXPECT_EQ(RoundHalfToEven(11.5), 12);
    EXPECT_EQ(RoundHalfToEven(8.25), 8);
}

Settings StyledSettings() {
    Settings s;
    s.fontName = "Courier New";
    s.fontSize = 12;
    s.fontBold = kTrue;
    s.fontUnderline = Flag(5);  // any non-zero flag is true
    s.backColor = 0x00203040;
    s.textColor = 0x80000012;
    return s;
}

TEST(OutputStyle, AcceptedSettingsAreAppliedAndKept) {
    Settings settings = StyledSettings();
    const OutputStyle applied = ApplyWithFallback(settings);
    EXPECT_EQ(applied.fontName, "Courier New");
    EXPECT_EQ(applied.fontSize, 12.0);
    EXPECT_TRUE(applied.bold);
    EXPECT_FALSE(applied.italic);
    EXPECT_TRUE(applied.underline);
    EXPECT_EQ(applied.backColor, 0x00203040u);
    EXPECT_EQ(applied.textColor, 0x80000012u);
    EXPECT_EQ(settings.fontUnderline, Flag(5));  // untouched
}

TEST(OutputStyle, RefusedNameMakesTheWholeStyleFallBackToTheDesignValues) {
    Settings settings = StyledSettings();
    settings.fontName = "";
    const OutputStyle applied = ApplyWithFallback(settings);
    OutputStyle expected = DesignOutputStyle();
    expected.fontSize = 10;
    EXPECT_EQ(applied, expected);
    EXPECT_EQ(settings.fontName, "MS Sans Serif");
    EXPECT_EQ(settings.fontSize, 10);
    EXPECT_EQ(settings.fontBold, kFalse);
    EXPECT_EQ(settings.fontUnderline, kFalse);
    EXPECT_EQ(settings.backColor, 0x80000005u);
    EXPECT_EQ(settings.textColor, 0x80000008u);
}

TEST(OutputStyle, FallbackKeepsTheValuesTheTextAreaTookBeforeTheRefusal) {
    Settings settings = StyledSettings();
    settings.textColor = 0x01000003;  // the last value applied: everything before it stays
    const OutputStyle applied = ApplyWithFallback(settings);
    EXPECT_EQ(applied.fontName, "Courier New");
    EXPECT_EQ(applied.fontSize, 12.0);
    EXPECT_TRUE(applied.bold);
    EXPECT_EQ(applied.backColor, 0x00203040u);
    EXPECT_EQ(applied.textColor, 0x80000008u);
    EXPECT_EQ(settings.textColor, 0x80000008u);
    EXPECT_EQ(settings.fontUnderline, Flag(5));  // still on, so the stored value stays as it was

    settings = StyledSettings();
    settings.fontSize = 0;
    EXPECT_EQ(ApplyWithFallback(settings).fontName, "Courier New");
    EXPECT_EQ(settings.fontSize, 10);
    EXPECT_EQ(settings.fontBold, kFalse);
    EXPECT_EQ(settings.backColor, 0x80000005u);
}

TEST(MainWindowLayout, TextAreaKeepsAThirtyTwipMarginOnEverySide) {
    const TwipsRect before{30, 30, 5730, 3330};
    EXPECT_EQ(LayoutOutput(2000, 1000, before), (TwipsRect{30, 30, 1940, 940}));
    EXPECT_EQ(LayoutOutput(61, 61, before), (TwipsRect{30, 30, 1, 1}));
}

TEST(MainWindowLayout, ADimensionOfSixtyOrLessLeavesTheTextAreasAsItWas) {
    const TwipsRect before{30, 30, 5730, 3330};
    EXPECT_EQ(LayoutOutput(0, 0, before), before);  // minimised
    EXPECT_EQ(LayoutOutput(60, 2000, before), (TwipsRect{30, 30, 5730, 1940}));
    EXPECT_EQ(LayoutOutput(2000, 60, before), (TwipsRect{30, 30, 1940, 3330}));
}

TEST(MainWindow, LoadSetsTheCaptionDisablesBothMenusShowsAndPrintsTheBanner) {
    MainWindowHarness h;
    EXPECT_EQ(h.window.caption(), "TORVALE v1.0");
    h.window.log().setInitialText("an earlier banner");
    h.window.Load();
    EXPECT_EQ(h.view.caption, "TORVALE Conversion Utility");
    EXPECT_EQ(h.window.caption(), "TORVALE Conversion Utility");
    EXPECT_FALSE(h.window.exportEnabled());
    EXPECT_FALSE(h.window.reloadEnabled());
    EXPECT_FALSE(h.view.menuEnabled.at(MenuItem::FileExport));
    EXPECT_FALSE(h.view.menuEnabled.at(MenuItem::ReloadP3D));
    EXPECT_EQ(h.view.shows, 1);
    EXPECT_EQ(h.window.log().text(), Banner());
    EXPECT_EQ(h.window.log().caret(), 0u);
}

TEST(MainWindow, FirstRunFallsBackToTheDesignStyleAndUnloadStoresIt) {
    MainWindowHarness h;
    h.window.Load();
    ASSERT_EQ(h.view.styles.size(), 1u);
    EXPECT_EQ(h.view.styles[0].fontName, "MS Sans Serif");
    EXPECT_EQ(h.view.styles[0].fontSize, 10.0);
    EXPECT_EQ(h.view.styles[0].backColor, 0x80000005u);
    EXPECT_EQ(h.view.styles[0].textColor, 0x80000008u);

    h.window.Unload();
    EXPECT_TRUE(h.messages.shown.empty());
    const test::Bytes file = test::ReadTestFile(h.program.settingsPath);
    ASSERT_EQ(file.size(), 52u + 13u);
    EXPECT_EQ(static_cast<std::uint32_t>(test::I32At(file, 28)), 0x80000005u);  // background first
    EXPECT_EQ(static_cast<std::uint32_t>(test::I32At(file, 32)), 0x80000008u);
    EXPECT_EQ(file[36], 13);
    EXPECT_EQ(std::string(file.begin() + 37, file.begin() + 50), "MS Sans Serif");
    EXPECT_EQ(test::I32At(file, 50), 10);
}

TEST(MainWindow, ClearWindowLeavesExactlyTheBanner) {
    MainWindowHarness h;
    h.window.Load();
    h.window.ClearWindow();
    EXPECT_EQ(h.window.log().text(), Banner());
    h.window.log().PrintOutput("\r\nsomething\r\n");
    h.window.ClearWindow();
    EXPECT_EQ(h.window.log().text(), Banner());
    EXPECT_EQ(h.window.log().caret(), 0u);
}

TEST(MainWindow, UnloadThatCannotSaveSaysSoAndNamesTheFile) {
    MainWindowHarness h;
    h.program.settingsPath = h.dir.path() + "missing" + test::kSeparator + "TORVALE.ini";
    h.window.Load();
    h.window.Unload();
    ASSERT_EQ(h.messages.shown.size(), 1u);
    EXPECT_EQ(h.messages.shown[0].rfind("The settings could not be saved to " + h.program.settingsPath + ": ", 0), 0u)
        << h.messages.shown[0];
}

}  // namespace
}  // namespace torvale
