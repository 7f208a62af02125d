#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/colors_presenter.h"

namespace torvale {
namespace {

class FakeColorsView final : public ColorsView {
public:
    void ShowPreview(const OutputStyle& style) override { previews.push_back(style); }
    void ShowFontDescription(const std::string& text) override { descriptions.push_back(text); }
    void Close() override { ++closes; }

    std::vector<OutputStyle> previews;
    std::vector<std::string> descriptions;
    int closes = 0;
};

class FakeFontDialog final : public FontDialog {
public:
    FontDialogResult ShowFont(const DialogFont& preset, std::uint32_t flags) override {
        presets.push_back(preset);
        flagsGiven.push_back(flags);
        FontDialogResult result;
        result.outcome = outcome;
        // As the system dialog does: a cancel hands back the preset, a failure leaves the font empty.
        if (outcome == FontDialogOutcome::Confirmed)
            result.font = chosen;
        else if (outcome == FontDialogOutcome::Cancelled)
            result.font = preset;
        return result;
    }

    FontDialogOutcome outcome = FontDialogOutcome::Confirmed;
    DialogFont chosen;
    std::vector<DialogFont> presets;
    std::vector<std::uint32_t> flagsGiven;
};

DialogFont Font(std::string name, float size, bool bold = false, bool italic = false) {
    DialogFont font;
    font.name = std::move(name);
    font.size = size;
    font.bold = bold;
    font.italic = italic;
    return font;
}

Settings CourierSettings() {
    Settings s;
    s.fontName = "Courier New";
    s.fontSize = 10;
    s.fontBold = kTrue;
    s.backColor = 0x00000000;
    s.textColor = 0x0000FF00;
    return s;
}

struct ColorsHarness {
    explicit ColorsHarness(Settings initial, char separator = '.') : settings(std::move(initial)) {
        presenter = std::make_unique<ColorsPresenter>(settings, view, fonts, separator);
    }
    Settings settings;
    FakeColorsView view;
    FakeFontDialog fonts;
    std::unique_ptr<ColorsPresenter> presenter;
};

std::uint32_t Rgb(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
    return red | (green << 8) | (blue << 16);
}

TEST(ColorsPalette, SwatchesHoldTheTwoPalettesAsRedGreenBlueInTheLowBytes) {
    // Index by index, red, green, blue; in columns 1 to 7 the text palette's lower rows are one step brighter.
    const std::uint32_t text[24] = {Rgb(255, 255, 255), Rgb(192, 192, 192), Rgb(0, 0, 0),       Rgb(255, 192, 192),
                                    Rgb(255, 0, 0),     Rgb(192, 0, 0),     Rgb(255, 224, 192), Rgb(255, 128, 0),
                                    Rgb(192, 64, 0),    Rgb(255, 255, 192), Rgb(255, 255, 0),   Rgb(192, 192, 0),
                                    Rgb(192, 255, 192), Rgb(0, 255, 0),     Rgb(0, 192, 0),     Rgb(192, 255, 255),
                                    Rgb(0, 255, 255),   Rgb(0, 192, 192),   Rgb(192, 192, 255), Rgb(0, 0, 255),
                                    Rgb(0, 0, 192),     Rgb(255, 192, 255), Rgb(255, 0, 255),   Rgb(192, 0, 192)};
    const std::uint32_t back[24] = {Rgb(255, 255, 255), Rgb(192, 192, 192), Rgb(0, 0, 0),       Rgb(255, 192, 192),
                                    Rgb(192, 0, 0),     Rgb(128, 0, 0),     Rgb(255, 224, 192), Rgb(192, 64, 0),
                                    Rgb(128, 64, 0),    Rgb(255, 255, 192), Rgb(192, 192, 0),   Rgb(128, 128, 0),
                                    Rgb(192, 255, 192), Rgb(0, 192, 0),     Rgb(0, 128, 0),     Rgb(192, 255, 255),
                                    Rgb(0, 192, 192),   Rgb(0, 128, 128),   Rgb(192, 192, 255), Rgb(0, 0, 192),
                                    Rgb(0, 0, 128),     Rgb(255, 192, 255), Rgb(192, 0, 192),   Rgb(128, 0, 128)};
    for (std::size_t i = 0; i < kSwatchCount; ++i) {
        EXPECT_EQ(kTextSwatchColors[i], text[i]) << "text swatch " << i;
        EXPECT_EQ(kBackSwatchColors[i], back[i]) << "background swatch " << i;
    }
}

TEST(ColorsPresenter, OpeningShowsTheSettingsOnThePreviewAndDescribesTheFontInWholePoints) {
    ColorsHarness h(CourierSettings());
    h.presenter->Load();

    ASSERT_EQ(h.view.previews.size(), 1u);
    const OutputStyle& preview = h.view.previews.back();
    EXPECT_EQ(preview.fontName, "Courier New");
    EXPECT_EQ(preview.fontSize, 10.0);
    EXPECT_TRUE(preview.bold);
    EXPECT_FALSE(preview.italic);
    EXPECT_EQ(preview.backColor, 0x00000000u);
    EXPECT_EQ(preview.textColor, 0x0000FF00u);
    ASSERT_EQ(h.view.descriptions.size(), 1u);
    EXPECT_EQ(h.view.descriptions.back(), "Courier New, 10pts. B");
    EXPECT_EQ(h.presenter->fontDescription(), "Courier New, 10pts. B");
}

TEST(ColorsPresenter, DescriptionLettersFollowBoldItalicStrikethroughUnderline) {
    Settings s = CourierSettings();
    s.fontItalic = Flag(7);  // any non-zero flag is true
    s.fontStrikethru = kTrue;
    s.fontUnderline = kTrue;
    ColorsHarness h(s);
    h.presenter->Load();
    EXPECT_EQ(h.presenter->fontDescription(), "Courier New, 10pts. BISU");

    EXPECT_EQ(FontDescription("Arial", "12", true, true, false, false), "Arial, 12pts. BI");
    EXPECT_EQ(FontDescription("Arial", "12", false, false, false, true), "Arial, 12pts. U");
    EXPECT_EQ(FontDescription("Arial", "12", false, false, true, false), "Arial, 12pts. S");
}

TEST(ColorsPresenter, RefusedSettingsFallBackToTheSystemDefaultsWhichStayAfterCancel) {
    ColorsHarness h(Settings{});  // a first run: empty font name, size 0, colours 0
    h.settings.fontBold = kTrue;
    h.presenter->Load();
    h.presenter->Cancel();

    EXPECT_EQ(h.settings.fontName, "MS Sans Serif");
    EXPECT_EQ(h.settings.fontSize, 8);  // 8.25 in whole points
    EXPECT_EQ(h.settings.fontBold, kFalse);
    EXPECT_EQ(h.settings.backColor, 0x80000005u);
    EXPECT_EQ(h.settings.textColor, 0x80000008u);
    EXPECT_EQ(h.view.previews.back(), StyleFromSettings(h.settings));
    EXPECT_EQ(h.presenter->fontDescription(), "MS Sans Serif, 8pts. ");
    EXPECT_EQ(h.view.closes, 1);
}

TEST(ColorsPresenter, OneRefusedValueReplacesTheWholeStyle) {
    Settings refusedColour = CourierSettings();
    refusedColour.textColor = 0x80000019;  // no system colour has index 25
    Settings refusedSize = CourierSettings();
    refusedSize.fontSize = 2161;
    Settings refusedName = CourierSettings();
    refusedName.fontName = std::string(32, 'x');
    for (Settings s : {refusedColour, refusedSize, refusedName}) {
        ColorsHarness h(s);
        h.presenter->Load();
        EXPECT_EQ(h.settings.fontName, "MS Sans Serif");
        EXPECT_EQ(h.settings.fontSize, 8);
        EXPECT_EQ(h.settings.fontBold, kFalse);
        EXPECT_EQ(h.settings.backColor, kSystemWindowBackground);
        EXPECT_EQ(h.settings.textColor, kSystemWindowText);
    }
}

TEST(ColorsPresenter, SwatchClicksColourThePreviewAndOkStoresThem) {
    ColorsHarness h(CourierSettings());
    h.presenter->Load();
    h.presenter->ClickBackColor(23);
    EXPECT_EQ(h.view.previews.back().backColor, 0x00800080u);
    EXPECT_EQ(h.settings.backColor, 0x00000000u);  // only Ok stores
    h.presenter->ClickTextColor(4);
    EXPECT_EQ(h.view.previews.back().textColor, 0x000000FFu);
    EXPECT_EQ(h.view.previews.back().backColor, 0x00800080u);
    h.presenter->ClickTextColor(24);  // past the palette: nothing
    EXPECT_EQ(h.presenter->preview().textColor, 0x000000FFu);

    h.presenter->Ok();
    EXPECT_EQ(h.settings.backColor, 0x00800080u);
    EXPECT_EQ(h.settings.textColor, 0x000000FFu);
    EXPECT_EQ(h.settings.fontName, "Courier New");
    EXPECT_EQ(h.settings.fontSize, 10);
    EXPECT_EQ(h.view.closes, 1);
}

TEST(ColorsPresenter, CancelAfterSwatchAndFontChangesLeavesTheSettings) {
    const Settings before = CourierSettings();
    ColorsHarness h(before);
    h.presenter->Load();
    h.presenter->ClickBackColor(5);
    h.fonts.chosen = Font("Arial", 14.25f, false, true);
    h.presenter->Choose();
    h.presenter->Reset();
    h.presenter->Cancel();

    EXPECT_EQ(StyleFromSettings(h.settings), StyleFromSettings(before));
    EXPECT_EQ(h.view.closes, 1);
}

TEST(ColorsPresenter, ChooseIsPresetFromThePreviewWithFlags259) {
    Settings s = CourierSettings();
    s.fontUnderline = kTrue;
    ColorsHarness h(s);
    h.presenter->Load();
    h.fonts.chosen = Font("Arial", 12.0f);
    h.presenter->Choose();

    ASSERT_EQ(h.fonts.presets.size(), 1u);
    const DialogFont& preset = h.fonts.presets.front();
    EXPECT_EQ(preset.name, "Courier New");
    EXPECT_EQ(preset.size, 10.0f);
    EXPECT_TRUE(preset.bold);
    EXPECT_FALSE(preset.italic);
    EXPECT_TRUE(preset.underline);
    EXPECT_FALSE(preset.strikethru);
    EXPECT_EQ(h.fonts.flagsGiven.front(), 259u);
}

TEST(ColorsPresenter, ChosenFractionalSizeIsDescribedAndStoredRoundedThenReopenedWhole) {
    ColorsHarness h(CourierSettings());
    h.presenter->Load();
    h.fonts.chosen = Font("MS Sans Serif", 9.75f);
    h.fonts.chosen.color = 0x000000FF;  // a colour chosen among the effects
    h.presenter->Choose();

    EXPECT_EQ(h.presenter->fontDescription(), "MS Sans Serif, 9.75pts. ");
    EXPECT_EQ(h.view.previews.back().fontSize, 9.75);
    EXPECT_FALSE(h.view.previews.back().bold);
    EXPECT_EQ(h.view.previews.back().textColor, 0x0000FF00u);  // the dialog's colour is not used
    h.presenter->Ok();
    EXPECT_EQ(h.settings.fontSize, 10);
    EXPECT_EQ(h.settings.fontBold, kFalse);
    EXPECT_EQ(h.settings.textColor, 0x0000FF00u);

    ColorsHarness again(h.settings);
    again.presenter->Load();
    EXPECT_EQ(again.presenter->fontDescription(), "MS Sans Serif, 10pts. ");
}

TEST(ColorsPresenter, WholeChosenSizePrintsWithoutFractionAndFractionsUseTheUserSeparator) {
    ColorsHarness point(CourierSettings());
    point.presenter->Load();
    point.fonts.chosen = Font("Arial", 12.0f, true, true);
    point.presenter->Choose();
    EXPECT_EQ(point.presenter->fontDescription(), "Arial, 12pts. BI");

    ColorsHarness comma(CourierSettings(), ',');
    comma.presenter->Load();
    comma.fonts.chosen = Font("MS Sans Serif", 9.75f);
    comma.presenter->Choose();
    EXPECT_EQ(comma.presenter->fontDescription(), "MS Sans Serif, 9,75pts. ");
}

TEST(ColorsPresenter, HalfPointSizesAreStoredHalfToEven) {
    for (const auto& [size, stored] : {std::pair{10.5f, 10}, std::pair{11.5f, 12}, std::pair{8.25f, 8}}) {
        ColorsHarness h(CourierSettings());
        h.presenter->Load();
        h.fonts.chosen = Font("Arial", size);
        h.presenter->Choose();
        h.presenter->Ok();
        EXPECT_EQ(h.settings.fontSize, stored) << size;
    }
}

TEST(ColorsPresenter, CancelledFontDialogKeepsThePreviewFont) {
    Settings s = CourierSettings();
    s.fontItalic = kTrue;
    ColorsHarness h(s);
    h.presenter->Load();
    const OutputStyle before = h.presenter->preview();
    h.fonts.outcome = FontDialogOutcome::Cancelled;
    h.presenter->Choose();

    EXPECT_EQ(h.presenter->preview(), before);
    EXPECT_EQ(h.presenter->fontDescription(), "Courier New, 10pts. BI");
    h.presenter->Ok();
    EXPECT_EQ(StyleFromSettings(h.settings), StyleFromSettings(s));
}

TEST(ColorsPresenter, FontDialogThatFailsToShowChangesNothing) {
    ColorsHarness h(CourierSettings());
    h.presenter->Load();
    h.fonts.outcome = FontDialogOutcome::Failed;
    h.fonts.chosen = Font("Arial", 20.0f);
    const std::size_t previews = h.view.previews.size();
    const std::size_t descriptions = h.view.descriptions.size();
    h.presenter->Choose();

    EXPECT_EQ(h.view.previews.size(), previews);
    EXPECT_EQ(h.view.descriptions.size(), descriptions);
    EXPECT_EQ(h.presenter->preview().fontName, "Courier New");
}

TEST(ColorsPresenter, FontThePreviewWouldRefuseIsNotTaken) {
    ColorsHarness h(CourierSettings());
    h.presenter->Load();
    h.fonts.chosen = Font("", 12.0f);
    h.presenter->Choose();
    h.fonts.chosen = Font("Arial", 0.25f);
    h.presenter->Choose();
    h.presenter->Ok();
    EXPECT_EQ(h.settings.fontName, "Courier New");
    EXPECT_EQ(h.settings.fontSize, 10);
}

TEST(ColorsPresenter, ResetShowsTheSystemDefaultsAndOkStoresThemInWholePoints) {
    ColorsHarness h(CourierSettings());
    h.presenter->Load();
    h.presenter->ClickBackColor(2);
    h.presenter->Reset();

    EXPECT_EQ(h.view.previews.back(), SystemDefaultStyle());
    EXPECT_EQ(h.presenter->fontDescription(), "MS Sans Serif, 8.25pts. ");
    EXPECT_EQ(h.settings.fontName, "Courier New");  // not yet stored

    h.presenter->Ok();
    EXPECT_EQ(h.settings.backColor, 0x80000005u);
    EXPECT_EQ(h.settings.textColor, 0x80000008u);
    EXPECT_EQ(h.settings.fontName, "MS Sans Serif");
    EXPECT_EQ(h.settings.fontSize, 8);
    EXPECT_EQ(h.settings.fontBold, kFalse);
}

TEST(ColorsPresenter, OkStoresFlagsAsMinusOne) {
    ColorsHarness h(CourierSettings());
    h.presenter->Load();
    DialogFont all = Font("Arial", 12.0f, true, true);
    all.strikethru = true;
    all.underline = true;
    h.fonts.chosen = all;
    h.presenter->Choose();
    h.presenter->Ok();
    EXPECT_EQ(h.settings.fontBold, kTrue);
    EXPECT_EQ(h.settings.fontItalic, kTrue);
    EXPECT_EQ(h.settings.fontStrikethru, kTrue);
    EXPECT_EQ(h.settings.fontUnderline, kTrue);
    EXPECT_EQ(h.presenter->fontDescription(), "Arial, 12pts. BISU");
}

}  // namespace
}  // namespace torvale
